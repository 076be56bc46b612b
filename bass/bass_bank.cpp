// Program changes and the program bank operations of the bass effect.
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

void BassEffect::setProgramName(char* name) { programs.setName(curProgram, name); }

void BassEffect::getProgramName(char* name) { programs.currentName(curProgram, name); }

bool BassEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
    return programs.nameAt(index, text);
}

bool BassEffect::copyProgram(VstInt32 destination) {
    syncStereoMonoSlots();
    return programs.copy(curProgram, destination);
}
