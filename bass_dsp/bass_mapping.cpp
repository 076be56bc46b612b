#include "bass_dsp/bass_mapping.h"

#include <cmath>

#include "bass_dsp/bass_parameters.h"

namespace bass_mapping {

namespace {
constexpr double kTwoPi = 6.283185307179586;

float decibelFactor(double v) { return static_cast<float>(std::pow(10.0, (v - 0.5) * 1.2)); }
}  // namespace

float effectiveValue(int index, float raw, bool monoBuild) {
    using namespace bass_params;
    const double v = raw;
    switch (index) {
    case kProcess: return raw >= 0.5f ? 1.0f : 0.0f;
    case kGain: return decibelFactor(v);
    case kMix: return static_cast<float>(v * v);
    case kFreq: return static_cast<float>(v * v * 580.0 + 20.0);
    case kThreshold: return static_cast<float>(std::pow(10.0, (v - 1.0) * 2.4));
    case kColour: return static_cast<float>(v * v * 63.0 + 1.0);
    case kBass: return decibelFactor(v);
    case kSaturation: return raw >= 0.5f ? 1.0f : 0.0f;
    // A negative value is undecided and reads as stereo until the first block
    // decides; the mono build then decides mono and stays so.
    case kStereoMono: return raw < 0.0f ? 1.0f : (monoBuild ? 0.0f : raw);
    default: return 0.0f;
    }
}

double onePole(double hz, double sampleRate) { return 1.0 - std::exp(-kTwoPi * hz / sampleRate); }

double bandCoefficient(float raw, double sampleRate) {
    return onePole(effectiveValue(bass_params::kFreq, raw, false), sampleRate);
}

double shaperCoefficient(float raw, double sampleRate) {
    const double v = raw;
    return onePole(v * v * 80.0 + 20.0, sampleRate);
}

float colourNorm(float colourFactor) {
    return static_cast<float>(1.0 / std::sqrt(std::sqrt(static_cast<double>(colourFactor))));
}

}  // namespace bass_mapping
