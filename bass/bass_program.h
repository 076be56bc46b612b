// One stored program of the bass plug-in and the factory content of the store.
#pragma once

#include "bass_dsp/bass_parameters.h"
#include "shell/plugin_build.h"

struct BassProgram {
    float values[bass_params::kNumParams];  // normalised values in program-slot order
    char name[24];    // zero-terminated, at most 23 characters

    // The default record: every default value, named "init".
    void setDefault(PluginBuild build);
};

namespace bass_programs {

constexpr int kNumPrograms = 32;
constexpr int kNumFactoryPrograms = 21;
constexpr int kMaxNameLength = 23;

// Fills every record with the defaults, then writes the factory programs over
// records 0..20.
void loadFactoryStore(BassProgram* store, PluginBuild build);

}  // namespace bass_programs
