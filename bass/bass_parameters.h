// The nine host parameters of the bass plug-in: names, labels and the program
// slot each one is stored in. Host index order differs from storage order,
// which keeps "process" last.
#pragma once

namespace bass_params {

constexpr int kNumParams = 9;

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

struct ParameterInfo {
    const char* name;
    int slot;
    const char* label;  // returned as is, blanks included
};

extern const ParameterInfo kParameters[kNumParams];

// A program is applied in this host-index order: "process" last, so that its
// state clearing follows the filter set-up of "freq".
extern const int kProgramApplyOrder[kNumParams];

}  // namespace bass_params
