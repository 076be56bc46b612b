// Setting, reading and showing the bass parameters; setParameter is where the
// effective values and filter coefficients are computed.
#include <cmath>
#include <cstring>

#include "bass/bass_effect.h"

using namespace bass_params;

namespace {
constexpr double kTwoPi = 6.283185307179586;

// Values beyond this magnitude would overflow 10^x and v^2 into infinities;
// every sensible host value lies well inside.
constexpr float kValueLimit = 8.0f;

bool validIndex(VstInt32 index) { return index >= 0 && index < kNumParams; }

float decibelFactor(double v) { return static_cast<float>(std::pow(10.0, (v - 0.5) * 1.2)); }
}  // namespace

void BassEffect::writeStereoMonoToAllPrograms(float value) {
    for (BassProgram& program : programs) program.values[kSlotStereoMono] = value;
}

void BassEffect::setParameter(VstInt32 index, float value) {
    // A NaN has no place in any formula: the call changes nothing.
    if (value != value) return;
    if (value > kValueLimit) value = kValueLimit;
    if (value < -kValueLimit) value = -kValueLimit;

    if (validIndex(index)) {
        BassProgram& program = programs[curProgram];
        const int slot = kParameters[index].slot;
        const double v = value;
        const double fs = sampleRateInt;
        if (index != kStereoMono) {
            rawValues[slot] = value;
            program.values[slot] = value;
        }
        switch (index) {
        case kProcess:
            processOn = value >= 0.5f ? 1.0f : 0.0f;
            // The right channel starts afresh; a mode change may have left it stale.
            splitState1[0] = 0.0;
            splitState1[1] = splitState2[1] = shaperState[1] = 0.0;
            peakHold[1] = harmonicState[1] = dcState[1] = 0.0;
            break;
        case kGain: gainLin = decibelFactor(v); break;
        case kMix: mixAmount = static_cast<float>(v * v); break;
        case kFreq:
            freqHz = static_cast<float>(v * v * 580.0 + 20.0);
            bandCoef = 1.0 - std::exp(-kTwoPi * freqHz / fs);
            shaperCoef = 1.0 - std::exp(-kTwoPi * (v * v * 80.0 + 20.0) / fs);
            for (int c = 0; c < 2; ++c) splitState1[c] = shaperState[c] = harmonicState[c] = 0.0;
            break;
        case kThreshold: thresholdLin = static_cast<float>(std::pow(10.0, (v - 1.0) * 2.4)); break;
        case kColour:
            colourFactor = static_cast<float>(v * v * 63.0 + 1.0);
            colourNorm = static_cast<float>(1.0 / std::sqrt(std::sqrt(static_cast<double>(colourFactor))));
            break;
        case kBass: bassLin = decibelFactor(v); break;
        case kSaturation: saturationOn = value >= 0.5f ? 1.0f : 0.0f; break;
        case kStereoMono:
            if (pluginBuild == PluginBuild::Mono) {
                rawValues[slot] = 0.0f;
                stereoValue = 0.0f;
            } else {
                // A negative value asks for stereo.
                stereoValue = value >= 0.0f ? value : 1.0f;
                rawValues[slot] = value;
                writeStereoMonoToAllPrograms(value);
            }
            break;
        default: break;
        }
    }

    if (editorOpen && editor) {
        editor->postUpdate();
        editor->parameterChanged(index, value);
    }
}

float BassEffect::getParameter(VstInt32 index) { return validIndex(index) ? rawValues[kParameters[index].slot] : 0.0f; }

float BassEffect::getEffectiveValue(VstInt32 index) const {
    switch (index) {
    case kProcess: return processOn;
    case kGain: return gainLin;
    case kMix: return mixAmount;
    case kFreq: return freqHz;
    case kThreshold: return thresholdLin;
    case kColour: return colourFactor;
    case kBass: return bassLin;
    case kSaturation: return saturationOn;
    case kStereoMono: return stereoValue;
    default: return 0.0f;
    }
}

void BassEffect::getParameterName(VstInt32 index, char* text) {
    if (validIndex(index)) std::strcpy(text, kParameters[index].name);
}

void BassEffect::getParameterLabel(VstInt32 index, char* label) {
    if (validIndex(index)) std::strcpy(label, kParameters[index].label);
}

void BassEffect::getParameterDisplay(VstInt32 index, char* text) {
    if (!validIndex(index)) return;
    const float raw = rawValues[kParameters[index].slot];
    switch (index) {
    case kProcess: std::strcpy(text, processOn > 0.5f ? "on" : "off"); break;
    case kGain:
    case kBass: float2string((raw - 0.5f) * 24.0f, text); break;
    case kMix: float2string(raw, text); break;
    case kFreq: float2string(freqHz, text); break;
    case kThreshold: float2string(raw * 48.0f - 48.0f, text); break;
    case kColour: float2string(raw * 100.0f, text); break;
    case kSaturation: std::strcpy(text, saturationOn > 0.5f ? "on" : "off"); break;
    case kStereoMono: std::strcpy(text, stereoValue > 0.5f ? "stereo" : "mono"); break;
    default: break;
    }
}
