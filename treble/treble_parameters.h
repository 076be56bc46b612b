// The 24 host parameters of the treble plug-in: names, labels, program slots
// and defaults. Host index order differs from the order values are stored in.
#pragma once

namespace treble_params {

constexpr int kNumParams = 24;

enum Index {
    kProcess = 0,
    kThresh,
    kNoiseAtten,
    kTrancients,
    kEnhanceS,
    kFreq,
    kHarmonics,
    kMix,
    kOutput,
    kMinFreq,
    kSpeed,
    kSlope,
    kTranDamp,
    kBoost,
    kEnhSlope,
    kQ,
    kDrive,
    kFirstOut,
    kSaturation,
    kExciterSwitch,
    kProcessEnh,
    kProcessTran,
    kProcessHiss,
    kStereoMono,
};

struct ParameterInfo {
    const char* name;
    int slot;  // position in a program record and in the effect's raw values
    const char* label;
    float defaultValue;  // StereoMono's default depends on the build
};

extern const ParameterInfo kParameters[kNumParams];

// Parameter index stored in each program slot.
extern const int kIndexOfSlot[kNumParams];

// Order in which a program is applied: Freq before Q and FirstOut so that both
// exciter filters end designed from the program's own values, ProcessEnh before
// StereoMono so that the mode in force decides whether the widener switch is taken.
extern const int kProgramApplyOrder[kNumParams];


}  // namespace treble_params
