// Program changes of the treble effect.
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
