// Program changes of the bass effect.
#include "bass/bass_effect.h"

using namespace bass_params;

void BassEffect::setProgram(VstInt32 program) {
    if (!programs.valid(program)) return;
    curProgram = program;
    if (!programs.exists()) return;
    // One write for the whole program, so the audio thread takes all of it or
    // none; storeParameter writes the values back into this record (and the
    // stereo/mono value into every record) as it goes.
    syncStereoMonoSlots();
    float values[kNumParams];
    programs.copyValues(program, values);
    {
        ParameterWrite write(parameters);
        for (int index : kProgramApplyOrder) storeParameter(write, index, values[kParameters[index].slot]);
    }
    if (editorOpen && editor) {
        for (int index : kProgramApplyOrder) {
            editor->postUpdate();
            editor->parameterChanged(index, values[kParameters[index].slot]);
        }
    }
    if (editor) editor->postUpdate();
}
