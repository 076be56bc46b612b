#include "bass_dsp/bass_parameters.h"

namespace bass_params {

const ParameterInfo kParameters[kNumParams] = {
    {"process", kSlotProcess, "    ", Display::Switch},
    {"gain", kSlotGain, "   dB   ", Display::Level},
    {"mix", kSlotMix, "        ", Display::Raw},
    {"freq", kSlotFreq, "   Hz   ", Display::Effective},
    {"threshold", kSlotThreshold, "    dB   ", Display::Threshold},
    {"colour", kSlotColour, "    %   ", Display::Percent},
    {"bass", kSlotBass, "    dB    ", Display::Level},
    {"saturation", kSlotSaturation, "   ", Display::Switch},
    {"stereo/mono", kSlotStereoMono, "   ", Display::Channels},
};

const int kProgramApplyOrder[kNumParams] = {kGain,  kMix,        kFreq,       kThreshold, kColour,
                                            kBass, kSaturation, kStereoMono, kProcess};

}  // namespace bass_params
