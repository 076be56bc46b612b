// The program bank operations of the treble effect.
#include <cstdio>
#include <cstring>

#include "shell/effect_texts.h"
#include "shell/shared_float.h"
#include "treble/treble_effect.h"
#include "treble_dsp/treble_parameters.h"

void TrebleEffect::setProgram(VstInt32 program) {
    if (!validProgramIndex(program)) return;
    curProgram = program;
    if (programs) {
        // One write for the whole program, so the audio thread takes all of
        // it or none; storeParameter writes the same values back into this
        // record as it goes.
        syncStereoMonoSlots();
        TrebleProgram record;
        copyShared(record.values, programs[program].values, kNumParams);
        {
            ParameterWrite write(parameters);
            for (int index : treble_params::kProgramApplyOrder)
                storeParameter(write, index, record.values[treble_params::kParameters[index].slot]);
        }
        for (int index : treble_params::kProgramApplyOrder)
            notifyEditor(index, record.values[treble_params::kParameters[index].slot]);
        if (editorOpen && editor) editor->postUpdate();
    }
}

void TrebleEffect::setProgramName(char* name) {
    if (!programs) return;
    TrebleProgram& record = programs[curProgram];
    std::strncpy(record.name, name, sizeof(record.name) - 1);
    record.name[sizeof(record.name) - 1] = 0;
}

void TrebleEffect::getProgramName(char* name) {
    if (!programs) {
        std::strcpy(name, "init");
        return;
    }
    const char* stored = programs[curProgram].name;
    if (std::strcmp(stored, "Init") == 0)
        std::snprintf(name, kVstMaxProgNameLen + 1, "Init %d", static_cast<int>(curProgram + 1));
    else
        copyProgramNameOut(name, stored);
}

bool TrebleEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
    if (!programs || !validProgramIndex(index)) return false;
    copyProgramNameOut(text, programs[index].name);
    return true;
}

bool TrebleEffect::copyProgram(VstInt32 destination) {
    if (!programs || !validProgramIndex(destination)) return false;
    syncStereoMonoSlots();
    const TrebleProgram& source = programs[curProgram];
    copyShared(programs[destination].values, source.values, kNumParams);
    std::memcpy(programs[destination].name, source.name, sizeof source.name);
    return true;
}
