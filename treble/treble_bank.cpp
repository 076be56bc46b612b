// Program changes and the program bank operations of the treble effect.
#include "treble/treble_effect.h"
#include "treble_dsp/treble_parameters.h"

void TrebleEffect::setProgram(VstInt32 program) {
    if (!programs.valid(program)) return;
    curProgram = program;
    if (!programs.exists()) return;
    // One write for the whole program, so the audio thread takes all of it or
    // none; storeParameter writes the same values back into this record as
    // it goes.
    syncStereoMonoSlots();
    float values[kNumParams];
    programs.copyValues(program, values);
    {
        ParameterWrite write(parameters);
        for (int index : treble_params::kProgramApplyOrder)
            storeParameter(write, index, values[treble_params::kParameters[index].slot]);
    }
    for (int index : treble_params::kProgramApplyOrder)
        notifyEditor(index, values[treble_params::kParameters[index].slot]);
    if (editorOpen && editor) editor->postUpdate();
}

void TrebleEffect::setProgramName(char* name) { programs.setName(curProgram, name); }

void TrebleEffect::getProgramName(char* name) { programs.currentName(curProgram, name); }

bool TrebleEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
    return programs.nameAt(index, text);
}

bool TrebleEffect::copyProgram(VstInt32 destination) {
    syncStereoMonoSlots();
    return programs.copy(curProgram, destination);
}
