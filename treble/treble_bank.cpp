// Program changes of the treble effect.
#include "treble/treble_effect.h"
#include "treble_dsp/treble_parameters.h"

void TrebleEffect::setProgram(VstInt32 program) {
    using namespace treble_params;
    float values[kNumParams];
    if (!storeProgram(program, kProgramApplyOrder, kParameters, values)) return;
    for (int index : kProgramApplyOrder) notifyEditor(index, values[kParameters[index].slot]);
    if (editorOpen && editor) editor->postUpdate();
}
