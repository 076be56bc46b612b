// The nine host parameters of the bass plug-in, one row each: name, program
// slot, label and how the display text is made. Host index order differs from
// storage order, which keeps "process" last. The mapping, the effect and the
// editor read this table.
#pragma once

#include "common/value_field_rule.h"

namespace bass_params {

enum Index {
    kProcess = 0,
    kGain,
    kMix,
    kFreq,
    kThreshold,
    kColour,
    kBass,
    kSaturation,
    kStereoMono,
    kNumParams
};

// Program slots (storage order).
enum Slot {
    kSlotGain = 0,
    kSlotMix,
    kSlotFreq,
    kSlotThreshold,
    kSlotColour,
    kSlotBass,
    kSlotSaturation,
    kSlotStereoMono,
    kSlotProcess,
};

// How a display text is made; the unit is the label.
enum class Display {
    Switch,       // "on" or "off" by the effective value
    Channels,     // "stereo" or "mono" by the effective value
    Raw,          // the raw value
    Effective,    // the effective value
    Level,        // dB of a level knob: (raw - 0.5) x 24
    Threshold,    // dB below full scale: raw x 48 - 48
    Percent,      // raw x 100
};

struct ParameterInfo {
    const char* name;
    int slot;
    const char* label;  // returned as is, blanks included
    float defaultValue;  // stereo/mono's default depends on the build
    Display display;
    FieldRule field;  // the editor's value field
};

extern const ParameterInfo kParameters[kNumParams];

// A program is applied in this host-index order: "process" last, so that its
// state clearing follows the filter set-up of "freq".
extern const int kProgramApplyOrder[kNumParams];

}  // namespace bass_params
