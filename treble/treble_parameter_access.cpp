// Setting, reading and showing the treble parameters.
#include <cstring>

#include "treble/treble_effect.h"
#include "treble/treble_parameters.h"
#include "treble_dsp/treble_mapping.h"

using namespace treble_params;

namespace {
bool validIndex(VstInt32 index) { return index >= 0 && index < kNumParams; }
}  // namespace

float* TrebleEffect::effectiveValueField(VstInt32 index) {
    switch (index) {
    case kProcess: return &coef.processDisplay;
    case kThresh: return &coef.hissThreshold;
    case kNoiseAtten: return &coef.hissKeep;
    case kTrancients: return &coef.tranGain;
    case kEnhanceS: return &coef.wideMidGain;
    case kFreq: return &coef.bandHz;
    case kHarmonics: return &coef.harmonicsGain;
    case kMix: return &coef.mixAmount;
    case kOutput: return &coef.outputGain;
    case kMinFreq: return &coef.hissMinHz;
    case kSpeed: return &coef.hissOpenRate;
    case kSlope: return &coef.tranSlopeMix;
    case kTranDamp: return &coef.tranDamp;
    case kBoost: return &coef.tranExponent;
    case kEnhSlope: return &coef.wideSlope;
    case kQ: return &coef.bandQ;
    case kDrive: return &coef.driveAmount;
    case kFirstOut: return &coef.firstOutDisplay;
    case kSaturation: return &coef.softClipOn;
    case kExciterSwitch: return &coef.exciterDisplay;
    case kProcessEnh: return &coef.processEnhDisplay;
    case kProcessTran: return &coef.processTranDisplay;
    case kProcessHiss: return &coef.processHissDisplay;
    default: return nullptr;
    }
}

float TrebleEffect::getEffectiveValue(VstInt32 index) const {
    if (!validIndex(index)) return 0.0f;
    if (index == kStereoMono) return rawValues[kParameters[kStereoMono].slot];
    return *const_cast<TrebleEffect*>(this)->effectiveValueField(index);
}

float TrebleEffect::getParameter(VstInt32 index) {
    return validIndex(index) ? rawValues[kParameters[index].slot] : 0.0f;
}

void TrebleEffect::writeStereoMonoToAllPrograms(float value) {
    if (!programs) return;
    for (int p = 0; p < kNumPrograms; ++p) programs[p].values[kParameters[kStereoMono].slot] = value;
}

void TrebleEffect::notifyEditor(VstInt32 index, float value) {
    if (editorOpen && editor) {
        editor->parameterChanged(index, value);
        editor->postUpdate();
    }
}

void TrebleEffect::setParameter(VstInt32 index, float value) {
    // A NaN from a host has no place in any formula; the call changes nothing.
    if (validIndex(index) && value == value) {
        const int slot = kParameters[index].slot;
        const bool storeValue =
            index != kStereoMono && (index != kProcessEnh || coef.stereoMonoEffective < 0.5f);
        if (index == kStereoMono) {
            if (pluginBuild == PluginBuild::Mono) {
                rawValues[slot] = 1.0f;
                coef.stereoMonoEffective = 1.0f;
            } else {
                rawValues[slot] = value;
                treble_mapping::applyParameter(coef, index, value, sampleRate, 0.0f);
                writeStereoMonoToAllPrograms(value);
            }
        } else if (storeValue) {
            rawValues[slot] = value;
            if (programs) programs[curProgram].values[slot] = value;
            treble_mapping::applyParameter(coef, index, value, treble_mapping::usableSampleRate(sampleRate),
                                           rawValues[kParameters[kFirstOut].slot]);
        }
    }
    notifyEditor(index, value);
}

void TrebleEffect::getParameterName(VstInt32 index, char* text) {
    std::strcpy(text, validIndex(index) ? kParameters[index].name : "   ");
}

void TrebleEffect::getParameterLabel(VstInt32 index, char* label) {
    std::strcpy(label, validIndex(index) ? kParameters[index].label : "   ");
}

void TrebleEffect::getParameterDisplay(VstInt32 index, char* text) {
    const float raw = getParameter(index);
    switch (index) {
    case kThresh: dB2string(coef.hissThreshold, text); break;
    case kNoiseAtten: dB2string(coef.hissKeep, text); break;
    case kTrancients: dB2string(coef.tranGain, text); break;
    case kEnhanceS: float2string(2.0f * coef.wideSideGain, text); break;
    case kFreq: float2string(coef.bandHz, text); break;
    case kHarmonics: dB2string(coef.harmonicsGain, text); break;
    case kOutput: dB2string(coef.outputGain, text); break;
    case kMinFreq: float2string(coef.hissMinHz, text); break;
    case kSpeed: float2string(coef.hissOpenRate, text); break;
    case kSlope: float2string(6.0f * coef.tranSlopeMix + 6.0f * static_cast<float>(coef.tranSecondOrder), text); break;
    case kTranDamp: float2string(coef.tranDamp, text); break;
    case kBoost: float2string(coef.tranExponent, text); break;
    case kEnhSlope: float2string(6.0f * coef.wideSlope, text); break;
    case kQ: float2string(coef.bandQ, text); break;
    case kSaturation: float2string(coef.softClipOn, text); break;
    // Mix, Drive and StereoMono show the raw value itself.
    case kMix:
    case kDrive:
    case kStereoMono: float2string(raw, text); break;
    case kProcess:
    case kFirstOut:
    case kExciterSwitch:
    case kProcessEnh:
    case kProcessTran:
    case kProcessHiss: float2string(*effectiveValueField(index), text); break;
    default: float2string(0.0f, text); break;
    }
}
