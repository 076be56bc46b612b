#include "bass_dsp/bass_parameters.h"

namespace bass_params {

namespace {
using F = FieldFormat;
constexpr FieldSource E = FieldSource::Effective, N = FieldSource::Normalised;
}  // namespace

const ParameterInfo kParameters[kNumParams] = {
    {"process", kSlotProcess, "    ", Display::Switch, kNoField},
    {"gain", kSlotGain, "   dB   ", Display::Level, {E, 1.0f, F::Decibels}},
    {"mix", kSlotMix, "        ", Display::Raw, {N, 1.0f, F::Percent}},
    {"freq", kSlotFreq, "   Hz   ", Display::Effective, {E, 1.0f, F::Hertz}},
    {"threshold", kSlotThreshold, "    dB   ", Display::Threshold, {E, 1.0f, F::Decibels}},
    {"colour", kSlotColour, "    %   ", Display::Percent, {N, 1.0f, F::Percent}},
    {"bass", kSlotBass, "    dB    ", Display::Level, {E, 1.0f, F::Decibels}},
    {"saturation", kSlotSaturation, "   ", Display::Switch, kNoField},
    {"stereo/mono", kSlotStereoMono, "   ", Display::Channels, kNoField},
};

const int kProgramApplyOrder[kNumParams] = {kGain,  kMix,        kFreq,       kThreshold, kColour,
                                            kBass, kSaturation, kStereoMono, kProcess};

}  // namespace bass_params
