// The 24 host parameters of the treble plug-in, one row each: name, label,
// program slot, default, the processing value that stands for it and how its
// display text is made. The mapping, the effect (names, texts, programs) and
// the editor all read this table; every count comes from it.
#pragma once

#include "common/value_field_rule.h"
#include "treble_dsp/treble_coefficients.h"

namespace treble_params {

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
    kNumParams
};

// How a display text is made.
enum class Display {
    Raw,       // the raw value itself
    Number,    // `scale` times the processing value `shown`
    Decibels,  // the processing value `shown` in dB
    Slope,     // dB per octave of the transient detector: 6 per half of the Slope range
};

struct ParameterInfo {
    const char* name;
    const char* label;
    int slot;            // position in a program record and in the raw values
    float defaultValue;  // StereoMono's default depends on the build
    // The processing value the editor shows for the parameter; null: the raw value.
    float TrebleCoefficients::*effective;
    Display display;
    float TrebleCoefficients::*shown;  // Number and Decibels
    float scale;                       // Number
    FieldRule field;                   // the editor's value field
};

extern const ParameterInfo kParameters[kNumParams];

// Order in which a program is applied: Freq before Q and FirstOut so that both
// exciter filters end designed from the program's own values, ProcessEnh before
// StereoMono so that the mode in force decides whether the widener switch is taken.
extern const int kProgramApplyOrder[kNumParams];

}  // namespace treble_params
