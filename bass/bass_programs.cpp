#include <cstring>

#include "bass/bass_program.h"

namespace bass_programs {
namespace {

struct FactoryProgram {
    const char* name;
    // gain, mix, freq, threshold, colour, bass, saturation; stereo/mono and
    // process are the same for every factory program.
    float values[7];
};

const FactoryProgram kFactory[kNumFactoryPrograms] = {
    {"psychoacoustic", {0.5f, 1.0f, 0.0f, 1.0f, 0.0f, 0.5f, 0.0f}},
    {"mastering1", {0.5f, 1.0f, 0.125f, 1.0f, 0.0f, 0.5f, 0.0f}},
    {"mastering2", {0.5f, 1.0f, 0.125f, 1.0f, 0.333f, 0.5f, 0.0f}},
    {"mastering3", {0.5f, 1.0f, 0.333f, 0.7f, 0.0f, 0.5f, 0.0f}},
    {"mastering4", {0.5f, 1.0f, 0.333f, 0.7f, 0.25f, 0.5f, 0.0f}},
    {"warm1", {0.5f, 1.0f, 0.4f, 0.84f, 0.0f, 0.5f, 1.0f}},
    {"warm2", {0.5f, 1.0f, 0.54f, 0.69f, 0.0f, 0.5f, 1.0f}},
    {"drum-loop1", {0.75f, 1.0f, 0.4f, 0.75f, 0.0f, 0.5f, 1.0f}},
    {"drum-loop2", {0.75f, 1.0f, 0.33f, 0.75f, 0.75f, 0.5f, 1.0f}},
    {"bass1", {0.5f, 1.0f, 0.333f, 1.0f, 0.0f, 0.5f, 1.0f}},
    {"bass2", {0.5f, 1.0f, 0.4f, 0.84f, 0.25f, 0.5f, 1.0f}},
    {"synth-bass1", {0.5f, 1.0f, 0.333f, 1.0f, 0.5f, 0.5f, 1.0f}},
    {"synth-bass2", {0.5f, 1.0f, 0.333f, 0.75f, 1.0f, 0.5f, 1.0f}},
    {"guitar1", {0.7f, 1.0f, 0.7f, 1.0f, 0.0f, 0.333f, 1.0f}},
    {"guitar2", {0.7f, 1.0f, 0.5f, 0.84f, 0.0f, 0.4f, 1.0f}},
    {"dark el-guit1", {1.0f, 1.0f, 0.75f, 0.75f, 0.35f, 0.75f, 1.0f}},
    {"dark el-guit2", {1.0f, 1.0f, 0.75f, 1.0f, 0.65f, 0.66f, 1.0f}},
    {"disco max-woofer", {0.8f, 1.0f, 0.5f, 1.0f, 0.5f, 0.65f, 1.0f}},
    {"disco sub-woofer", {0.8f, 1.0f, 0.35f, 1.0f, 0.6f, 0.7f, 1.0f}},
    {"extreme1", {0.5f, 1.0f, 0.5f, 0.75f, 1.0f, 0.5f, 1.0f}},
    {"extreme2", {0.75f, 1.0f, 1.0f, 1.0f, 0.5f, 0.5f, 1.0f}},
};

}  // namespace

void loadFactoryStore(BassProgram* store, PluginBuild build) {
    for (int p = 0; p < kNumPrograms; ++p) store[p].setDefault(build);
    for (int p = 0; p < kNumFactoryPrograms; ++p) {
        std::memcpy(store[p].values, kFactory[p].values, sizeof(kFactory[p].values));
        std::strncpy(store[p].name, kFactory[p].name, kMaxNameLength);
        store[p].name[kMaxNameLength] = 0;
    }
}

}  // namespace bass_programs

void BassProgram::setDefault(PluginBuild build) {
    for (const bass_params::ParameterInfo& p : bass_params::kParameters) values[p.slot] = p.defaultValue;
    // -1 leaves the choice to the first block, which asks the host about its pins.
    values[7] = build == PluginBuild::Stereo ? -1.0f : 0.0f;
    std::memset(name, 0, sizeof(name));
    std::strcpy(name, "init");
}
