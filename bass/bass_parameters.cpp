#include "bass/bass_parameters.h"

namespace bass_params {

const ParameterInfo kParameters[kNumParams] = {
    {"process", kSlotProcess, "    "},
    {"gain", kSlotGain, "   dB   "},
    {"mix", kSlotMix, "        "},
    {"freq", kSlotFreq, "   Hz   "},
    {"threshold", kSlotThreshold, "    dB   "},
    {"colour", kSlotColour, "    %   "},
    {"bass", kSlotBass, "    dB    "},
    {"saturation", kSlotSaturation, "   "},
    {"stereo/mono", kSlotStereoMono, "   "},
};

const int kProgramApplyOrder[kNumParams] = {kGain,  kMix,        kFreq,       kThreshold, kColour,
                                            kBass, kSaturation, kStereoMono, kProcess};

}  // namespace bass_params
