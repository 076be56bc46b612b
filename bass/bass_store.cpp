// The program store operations of the bass effect. Every index is checked, a
// negative one included, so that nothing outside the store is read or written.
#include <cstdio>
#include <cstring>

#include "bass/bass_effect.h"
#include "shell/effect_texts.h"
#include "shell/shared_float.h"

using namespace bass_params;

void BassEffect::setProgram(VstInt32 program) {
    if (!validProgramIndex(program)) return;
    curProgram = program;
    // One write for the whole program, so the audio thread takes all of it or
    // none; storeParameter writes the values back into this record (and the
    // stereo/mono value into every record) as it goes.
    syncStereoMonoSlots();
    BassProgram record;
    copyShared(record.values, programs[program].values, kNumParams);
    {
        ParameterWrite write(parameters);
        for (int index : kProgramApplyOrder) storeParameter(write, index, record.values[kParameters[index].slot]);
    }
    if (editorOpen && editor) {
        for (int index : kProgramApplyOrder) {
            editor->postUpdate();
            editor->parameterChanged(index, record.values[kParameters[index].slot]);
        }
    }
    if (editor) editor->postUpdate();
}

void BassEffect::setProgramName(char* name) {
    BassProgram& record = programs[curProgram];
    std::strncpy(record.name, name, bass_programs::kMaxNameLength);
    record.name[bass_programs::kMaxNameLength] = 0;
}

void BassEffect::getProgramName(char* name) {
    const char* stored = programs[curProgram].name;
    // Only the capitalised default name is numbered; "init" is shown as is.
    if (std::strcmp(stored, "Init") == 0)
        std::snprintf(name, kVstMaxProgNameLen + 1, "%s %d", stored, static_cast<int>(curProgram + 1));
    else
        copyProgramNameOut(name, stored);
}

bool BassEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
    if (!validProgramIndex(index)) return false;
    copyProgramNameOut(text, programs[index].name);
    return true;
}

bool BassEffect::copyProgram(VstInt32 destination) {
    if (!validProgramIndex(destination)) return false;
    syncStereoMonoSlots();
    const BassProgram& source = programs[curProgram];
    copyShared(programs[destination].values, source.values, kNumParams);
    std::memcpy(programs[destination].name, source.name, sizeof source.name);
    return true;
}
