// Program changes of the bass effect.
#include "bass/bass_effect.h"

using namespace bass_params;

void BassEffect::setProgram(VstInt32 program) {
    // storeParameter also writes the stereo/mono value into every record.
    float values[kNumParams];
    if (!storeProgram(program, kProgramApplyOrder, kParameters, values)) return;
    if (editorOpen && editor) {
        for (int index : kProgramApplyOrder) {
            editor->postUpdate();
            editor->parameterChanged(index, values[kParameters[index].slot]);
        }
    }
    if (editor) editor->postUpdate();
}
