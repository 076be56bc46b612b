// One stored program of the treble plug-in and the bank's factory content.
#pragma once

#include "shell/plugin_build.h"
#include "treble_dsp/treble_parameters.h"

struct TrebleProgram {
    float values[treble_params::kNumParams];  // normalised values in program-slot order
    char name[32];     // zero-terminated, at most 31 characters

    // The fresh record: every default, named "Init".
    void setFresh(PluginBuild build);
};
static_assert(sizeof(TrebleProgram) == 128, "TrebleProgram is 128 bytes without gaps");

namespace treble_programs {

constexpr int kNumPrograms = 48;
constexpr int kNumFactoryPrograms = 38;

// Writes the factory programs into records 0..37 of a bank of kNumPrograms.
void loadFactoryBank(TrebleProgram* bank);

}  // namespace treble_programs
