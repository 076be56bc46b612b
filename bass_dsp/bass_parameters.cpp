#include "bass_dsp/bass_parameters.h"

namespace bass_params {

namespace {
using F = FieldFormat;
constexpr FieldSource E = FieldSource::Effective, N = FieldSource::Normalised;
}  // namespace

const ParameterInfo kParameters[kNumParams] = {
    {"process", kSlotProcess, "    ", 1.0f, Display::Switch, kNoField},
    {"gain", kSlotGain, "   dB   ", 0.5f, Display::Level, {E, 1.0f, F::Decibels}},
    {"mix", kSlotMix, "        ", 1.0f, Display::Raw, {N, 1.0f, F::Percent}},
    {"freq", kSlotFreq, "   Hz   ", 0.33f, Display::Effective, {E, 1.0f, F::Hertz}},
    {"threshold", kSlotThreshold, "    dB   ", 0.5f, Display::Threshold, {E, 1.0f, F::Decibels}},
    {"colour", kSlotColour, "    %   ", 0.5f, Display::Percent, {N, 1.0f, F::Percent}},
    {"bass", kSlotBass, "    dB    ", 0.5f, Display::Level, {E, 1.0f, F::Decibels}},
    {"saturation", kSlotSaturation, "   ", 1.0f, Display::Switch, kNoField},
    {"stereo/mono", kSlotStereoMono, "   ", 0.0f, Display::Channels, kNoField},
};

const int kProgramApplyOrder[kNumParams] = {kGain,  kMix,        kFreq,       kThreshold, kColour,
                                            kBass, kSaturation, kStereoMono, kProcess};

}  // namespace bass_params
