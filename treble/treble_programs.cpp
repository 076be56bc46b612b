#include <cstring>

#include "treble/treble_program.h"

namespace {

// Slots of the factory table, in record order; Output, Process, StereoMono and
// Mix are the same in every factory program and are written separately.
constexpr int kTableSlots[20] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 18, 19, 20, 21};

struct FactoryProgram {
    const char* name;
    float values[20];
};

// Columns: Freq, FirstOut, Q, Boost, Thresh, Speed, Slope, Trancients, NoiseAtten,
// TranDamp, EnhanceS, EnhSlope, Drive, Harmonics, MinFreq, Saturation,
// exciter switch, ProcessEnh, ProcessTran, ProcessHiss.
const FactoryProgram kFactory[treble_programs::kNumFactoryPrograms] = {
    {"mix1", {0.8f, 1.0f, 0.667f, 0.5f, 0.22f, 0.75f, 0.5f, 0.31f, 0.18f, 0.0f, 0.33f, 0.33f, 0.85f, 0.4f, 0.5f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f}},
    {"mix2", {0.8f, 1.0f, 0.667f, 0.5f, 0.22f, 0.75f, 0.5f, 0.31f, 0.18f, 0.0f, 0.33f, 0.33f, 0.85f, 0.4f, 0.5f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f}},
    {"mix3", {0.8f, 1.0f, 0.667f, 0.5f, 0.22f, 0.75f, 0.5f, 0.42f, 0.12f, 0.0f, 0.5f, 0.16f, 0.85f, 0.55f, 0.333f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f}},
    {"mix4", {0.8f, 1.0f, 0.667f, 0.5f, 0.22f, 0.75f, 0.5f, 0.42f, 0.12f, 0.0f, 0.5f, 0.16f, 0.85f, 0.55f, 0.333f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f}},
    {"acc guitar1", {0.725f, 1.0f, 0.58f, 0.5f, 0.6f, 0.5f, 0.667f, 0.72f, 0.5f, 0.5f, 0.25f, 0.333f, 1.0f, 0.5f, 0.333f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f}},
    {"acc guitar2", {0.725f, 1.0f, 0.58f, 0.5f, 0.6f, 0.5f, 0.667f, 0.72f, 0.5f, 0.5f, 0.25f, 0.333f, 1.0f, 0.5f, 0.333f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f}},
    {"acc guitar3", {0.55f, 0.0f, 0.12f, 0.58f, 0.25f, 0.667f, 0.37f, 0.6f, 0.25f, 0.3f, 0.25f, 0.25f, 0.0f, 0.5f, 0.125f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f}},
    {"acc guitar4", {0.55f, 0.0f, 0.12f, 0.58f, 0.25f, 0.667f, 0.37f, 0.6f, 0.25f, 0.3f, 0.25f, 0.25f, 0.0f, 0.5f, 0.125f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f}},
    {"vocal1", {0.75f, 1.0f, 0.333f, 0.333f, 0.333f, 0.667f, 0.5f, 0.5f, 0.25f, 0.333f, 0.85f, 0.667f, 1.0f, 0.5f, 0.25f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f}},
    {"vocal2", {0.75f, 1.0f, 0.333f, 0.333f, 0.333f, 0.667f, 0.5f, 0.5f, 0.25f, 0.333f, 0.85f, 0.667f, 1.0f, 0.5f, 0.25f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f}},
    {"vocal3", {0.72f, 0.0f, 0.1f, 0.333f, 0.75f, 0.333f, 0.667f, 0.6f, 0.5f, 0.2f, 0.16f, 0.16f, 0.0f, 0.6f, 0.667f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f}},
    {"vocal4", {0.72f, 0.0f, 0.1f, 0.333f, 0.75f, 0.333f, 0.667f, 0.6f, 0.5f, 0.2f, 0.16f, 0.16f, 0.0f, 0.6f, 0.667f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f}},
    {"drums1", {0.62f, 0.0f, 0.16f, 0.58f, 0.55f, 0.5f, 0.42f, 0.42f, 0.333f, 0.32f, 0.33f, 0.667f, 1.16f, 0.22f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f}},
    {"drums2", {0.62f, 0.0f, 0.16f, 0.58f, 0.55f, 0.5f, 0.42f, 0.42f, 0.333f, 0.32f, 0.33f, 0.667f, 1.16f, 0.22f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f}},
    {"piano1", {0.8f, 1.0f, 0.333f, 0.667f, 0.5f, 0.25f, 0.4f, 0.667f, 0.5f, 0.0f, 0.25f, 0.5f, 0.5f, 0.6f, 0.667f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f}},
    {"piano2", {0.8f, 1.0f, 0.333f, 0.667f, 0.5f, 0.25f, 0.4f, 0.667f, 0.5f, 0.0f, 0.25f, 0.5f, 0.5f, 0.6f, 0.667f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f}},
    {"violino1", {0.8f, 1.0f, 0.333f, 0.667f, 0.667f, 0.333f, 0.5f, 0.667f, 0.5f, 0.0f, 0.25f, 0.5f, 0.5f, 0.75f, 0.667f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f}},
    {"violino2", {0.8f, 1.0f, 0.333f, 0.667f, 0.667f, 0.333f, 0.5f, 0.667f, 0.5f, 0.0f, 0.25f, 0.5f, 0.5f, 0.75f, 0.667f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f}},
    {"Universal1", {0.7f, 1.0f, 0.333f, 0.5f, 0.5f, 0.5f, 0.5f, 0.44f, 0.333f, 0.1667f, 0.5f, 0.5f, 0.667f, 0.6f, 0.5f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f}},
    {"Universal2", {0.7f, 1.0f, 0.333f, 0.5f, 0.5f, 0.5f, 0.5f, 0.44f, 0.333f, 0.1667f, 0.5f, 0.5f, 0.667f, 0.6f, 0.5f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f}},
    {"Universal3", {0.5f, 0.5f, 0.5f, 0.44f, 0.667f, 0.5f, 0.667f, 0.667f, 0.5f, 0.333f, 0.667f, 0.667f, 0.2f, 0.6f, 0.333f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f}},
    {"Universal4", {0.5f, 0.5f, 0.5f, 0.44f, 0.667f, 0.5f, 0.667f, 0.667f, 0.5f, 0.333f, 0.667f, 0.667f, 0.2f, 0.6f, 0.333f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f}},
    {"hissRem1", {0.8f, 1.0f, 0.667f, 0.5f, 0.22f, 0.75f, 0.5f, 0.31f, 0.18f, 0.0f, 0.33f, 0.33f, 0.85f, 0.4f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}},
    {"hissRem2", {0.8f, 1.0f, 0.667f, 0.5f, 0.22f, 0.75f, 0.5f, 0.42f, 0.12f, 0.0f, 0.5f, 0.16f, 0.85f, 0.55f, 0.333f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}},
    {"hissRem3", {0.725f, 1.0f, 0.58f, 0.5f, 0.6f, 0.5f, 0.667f, 0.72f, 0.5f, 0.5f, 0.25f, 0.333f, 1.0f, 0.5f, 0.333f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}},
    {"hissRem4", {0.55f, 0.0f, 0.12f, 0.58f, 0.25f, 0.667f, 0.37f, 0.6f, 0.25f, 0.3f, 0.25f, 0.25f, 0.0f, 0.5f, 0.125f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}},
    {"transients1", {0.725f, 1.0f, 0.58f, 0.5f, 0.6f, 0.5f, 0.667f, 0.72f, 0.5f, 0.5f, 0.25f, 0.333f, 1.0f, 0.5f, 0.333f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f}},
    {"transients2", {0.55f, 0.0f, 0.12f, 0.58f, 0.25f, 0.667f, 0.37f, 0.6f, 0.25f, 0.3f, 0.25f, 0.25f, 0.0f, 0.5f, 0.125f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f}},
    {"transients3", {0.75f, 1.0f, 0.333f, 0.333f, 0.333f, 0.667f, 0.5f, 0.5f, 0.25f, 0.333f, 0.85f, 0.667f, 1.0f, 0.5f, 0.25f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f}},
    {"transients4", {0.72f, 0.0f, 0.1f, 0.333f, 0.75f, 0.333f, 0.667f, 0.6f, 0.5f, 0.2f, 0.16f, 0.16f, 0.0f, 0.6f, 0.667f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f}},
    {"stereoEnh1", {0.75f, 1.0f, 0.333f, 0.333f, 0.333f, 0.667f, 0.5f, 0.5f, 0.25f, 0.333f, 0.85f, 0.667f, 1.0f, 0.5f, 0.25f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}},
    {"stereoEnh2", {0.72f, 0.0f, 0.1f, 0.333f, 0.75f, 0.333f, 0.667f, 0.6f, 0.5f, 0.2f, 0.16f, 0.16f, 0.0f, 0.6f, 0.667f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}},
    {"stereoEnh3", {0.62f, 0.0f, 0.16f, 0.58f, 0.55f, 0.5f, 0.42f, 0.42f, 0.333f, 0.32f, 0.33f, 0.667f, 0.16f, 0.22f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}},
    {"stereoEnh4", {0.8f, 1.0f, 0.333f, 0.667f, 0.5f, 0.25f, 0.4f, 0.667f, 0.5f, 0.0f, 0.25f, 0.5f, 0.5f, 0.6f, 0.667f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}},
    {"harmonics1", {0.62f, 0.0f, 0.16f, 0.58f, 0.55f, 0.5f, 0.42f, 0.42f, 0.333f, 0.32f, 0.33f, 0.667f, 0.16f, 0.22f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f}},
    {"harmonics2", {0.8f, 1.0f, 0.333f, 0.667f, 0.5f, 0.25f, 0.4f, 0.667f, 0.5f, 0.0f, 0.25f, 0.5f, 0.5f, 0.6f, 0.667f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f}},
    {"harmonics3", {0.8f, 1.0f, 0.333f, 0.667f, 0.667f, 0.333f, 0.5f, 0.667f, 0.5f, 0.0f, 0.25f, 0.5f, 0.5f, 0.75f, 0.667f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f}},
    {"harmonics4", {0.7f, 1.0f, 0.333f, 0.5f, 0.5f, 0.5f, 0.5f, 0.44f, 0.333f, 0.1667f, 0.5f, 0.5f, 0.667f, 0.6f, 0.5f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f}},
};

constexpr float kFreshValues[24] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.75f, 0.5f, 0.5f, 0.0f, 0.5f,
                                    0.5f, 0.5f, 0.5f, 0.0f, 0.5f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, -1.0f, 1.0f};
constexpr int kStereoMonoSlot = 22;

}  // namespace

void TrebleProgram::setFresh(PluginBuild build) {
    std::memcpy(values, kFreshValues, sizeof(values));
    values[kStereoMonoSlot] = build == PluginBuild::Stereo ? -1.0f : 1.0f;
    std::memset(name, 0, sizeof(name));
    std::strcpy(name, "Init");
}

namespace treble_programs {

void loadFactoryBank(TrebleProgram* bank) {
    for (int p = 0; p < kNumFactoryPrograms; ++p) {
        TrebleProgram& record = bank[p];
        for (int i = 0; i < 20; ++i) record.values[kTableSlots[i]] = kFactory[p].values[i];
        record.values[16] = 0.5f;   // Output
        record.values[17] = 1.0f;   // Process
        // Undecided mode in both builds: the process driver settles it from the host's pins.
        record.values[kStereoMonoSlot] = -1.0f;
        std::memset(record.name, 0, sizeof(record.name));
        std::strncpy(record.name, kFactory[p].name, sizeof(record.name) - 1);
    }
}

}  // namespace treble_programs
