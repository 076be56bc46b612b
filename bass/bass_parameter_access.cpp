// Setting, reading and showing the bass parameters; setParameter is where the
// effective values and filter coefficients are computed.
#include <cmath>
#include <cstring>

#include "bass/bass_effect.h"
#include "bass_dsp/bass_mapping.h"

using namespace bass_params;

namespace {
bool validIndex(VstInt32 index) { return index >= 0 && index < kNumParams; }
}  // namespace

void BassEffect::syncStereoMonoSlots() const {
    if (pluginBuild == PluginBuild::Mono) return;
    const float value = parameters.get(kSlotStereoMono);
    programs.setValueInAll(kSlotStereoMono, value);
}

void BassEffect::storeParameter(ParameterWrite& write, VstInt32 index, float value) {
    const int slot = kParameters[index].slot;
    if (index != kStereoMono) {
        write.set(slot, value);
        if (programs.exists()) programs.setValue(curProgram, slot, value);
    } else if (pluginBuild == PluginBuild::Mono) {
        write.set(slot, 0.0f);
    } else {
        write.set(slot, value);
        syncStereoMonoSlots();
    }
}

void BassEffect::applyParameter(VstInt32 index, float value) {
    const double fs = sampleRateInt;
    const float effective = bass_mapping::effectiveValue(index, value, pluginBuild == PluginBuild::Mono);
    switch (index) {
    case kProcess:
        processOn = effective;
        // The right channel starts afresh; a mode change may have left it stale.
        splitState1[0] = 0.0;
        splitState1[1] = splitState2[1] = shaperState[1] = 0.0;
        peakHold[1] = harmonicState[1] = dcState[1] = 0.0;
        break;
    case kGain: gainLin = effective; break;
    case kMix: mixAmount = effective; break;
    case kFreq:
        freqHz = effective;
        bandCoef = bass_mapping::bandCoefficient(value, fs);
        shaperCoef = bass_mapping::shaperCoefficient(value, fs);
        for (int c = 0; c < 2; ++c) splitState1[c] = shaperState[c] = harmonicState[c] = 0.0;
        break;
    case kThreshold: thresholdLin = effective; break;
    case kColour:
        colourFactor = effective;
        colourNorm = bass_mapping::colourNorm(colourFactor);
        break;
    case kBass: bassLin = effective; break;
    case kSaturation: saturationOn = effective; break;
    case kStereoMono: stereoValue = effective; break;
    default: break;
    }
}

void BassEffect::setParameter(VstInt32 index, float value) {
    // A NaN has no place in any formula: the call changes nothing. Host values
    // are normalised, so anything outside 0..1 is held at the nearest end;
    // "stereo/mono" keeps its negative "undecided" value, which a host may have
    // saved with a project before the first block decided it.
    if (value != value) return;
    const float lowest = index == kStereoMono ? -1.0f : 0.0f;
    value = value < lowest ? lowest : (value > 1.0f ? 1.0f : value);

    if (validIndex(index)) {
        ParameterWrite write(parameters);
        storeParameter(write, index, value);
    }

    if (editorOpen && editor) {
        editor->postUpdate();
        editor->parameterChanged(index, value);
    }
}

float BassEffect::getParameter(VstInt32 index) { return validIndex(index) ? parameters.get(kParameters[index].slot) : 0.0f; }

float BassEffect::getEffectiveValue(VstInt32 index) const {
    return validIndex(index) ? bass_mapping::effectiveValue(index, parameters.get(kParameters[index].slot),
                                                            pluginBuild == PluginBuild::Mono)
                             : 0.0f;
}

void BassEffect::getParameterName(VstInt32 index, char* text) {
    if (validIndex(index)) std::strcpy(text, kParameters[index].name);
}

void BassEffect::getParameterLabel(VstInt32 index, char* label) {
    if (validIndex(index)) std::strcpy(label, kParameters[index].label);
}

void BassEffect::getParameterDisplay(VstInt32 index, char* text) {
    if (!validIndex(index)) return;
    const float raw = parameters.get(kParameters[index].slot);
    const float effective = getEffectiveValue(index);
    switch (kParameters[index].display) {
    case Display::Switch: std::strcpy(text, effective > 0.5f ? "on" : "off"); break;
    case Display::Channels: std::strcpy(text, effective > 0.5f ? "stereo" : "mono"); break;
    case Display::Raw: float2string(raw, text); break;
    case Display::Effective: float2string(effective, text); break;
    case Display::Level: float2string((raw - 0.5f) * 24.0f, text); break;
    case Display::Threshold: float2string(raw * 48.0f - 48.0f, text); break;
    case Display::Percent: float2string(raw * 100.0f, text); break;
    }
}
