// Setting, reading and showing the treble parameters.
#include <cstring>

#include "treble/treble_effect.h"
#include "treble_dsp/treble_parameters.h"
#include "treble_dsp/treble_mapping.h"

using namespace treble_params;

namespace {

bool validIndex(VstInt32 index) { return index >= 0 && index < kNumParams; }

}  // namespace

void TrebleEffect::deriveParameter(TrebleCoefficients& c, VstInt32 index, float value, double rate,
                                   float rawFirstOut) const {
    if (index == kStereoMono)
        c.stereoMonoEffective = pluginBuild == PluginBuild::Mono ? 1.0f : (value >= 0.0f ? value : 0.0f);
    else
        treble_mapping::applyParameter(c, index, value, rate, rawFirstOut);
}

// The display and the editor derive a parameter's values from its raw value
// on their own thread, at the rate the processing uses: they answer at once
// and never read what the audio thread is writing.
TrebleCoefficients TrebleEffect::displayCoefficients(VstInt32 index) const {
    TrebleCoefficients c = {};
    c.bandQ = 1.0f;  // Freq redesigns the band-pass with it; only bandHz is read
    deriveParameter(c, index, parameters.get(kParameters[index].slot), mappingRate.load(std::memory_order_relaxed),
                    parameters.get(kParameters[kFirstOut].slot));
    return c;
}

float TrebleEffect::getEffectiveValue(VstInt32 index) const {
    if (!validIndex(index)) return 0.0f;
    const auto effective = kParameters[index].effective;
    return effective ? displayCoefficients(index).*effective : getRaw(index);
}

float TrebleEffect::stereoMonoEffective() const {
    if (pluginBuild == PluginBuild::Mono) return 1.0f;
    const float raw = parameters.get(kParameters[kStereoMono].slot);
    return raw >= 0.0f ? raw : 0.0f;
}

float TrebleEffect::getRaw(VstInt32 index) const { return parameters.get(kParameters[index].slot); }

float TrebleEffect::getParameter(VstInt32 index) { return validIndex(index) ? getRaw(index) : 0.0f; }

void TrebleEffect::syncStereoMonoSlots() const {
    if (pluginBuild == PluginBuild::Mono) return;
    const int slot = kParameters[kStereoMono].slot;
    programs.setValueInAll(slot, parameters.get(slot));
}

void TrebleEffect::notifyEditor(VstInt32 index, float value) {
    if (editorOpen && editor) {
        editor->parameterChanged(index, value);
        editor->postUpdate();
    }
}

void TrebleEffect::storeParameter(ParameterWrite& write, VstInt32 index, float value) {
    const int slot = kParameters[index].slot;
    if (index == kStereoMono) {
        // The mono build's mode is fixed; the stereo build's value belongs to
        // every program.
        if (pluginBuild == PluginBuild::Mono) return;
        write.set(slot, value);
        syncStereoMonoSlots();
    } else if (index != kProcessEnh || stereoMonoEffective() < 0.5f) {
        write.set(slot, value);
        if (programs.exists()) programs.setValue(curProgram, slot, value);
    }
}

void TrebleEffect::setParameter(VstInt32 index, float value) {
    // Host values are normalised: anything outside 0..1 is held at the nearest
    // end, so no formula meets a value it was not made for; a NaN changes
    // nothing. StereoMono keeps its negative "undecided" value, which a host
    // may have saved with a project before the first block settled it.
    if (validIndex(index) && value == value) {
        const float lowest = index == kStereoMono ? -1.0f : 0.0f;
        value = value < lowest ? lowest : (value > 1.0f ? 1.0f : value);
        ParameterWrite write(parameters);
        storeParameter(write, index, value);
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
    if (!validIndex(index)) {
        float2string(0.0f, text);
        return;
    }
    const ParameterInfo& p = kParameters[index];
    if (p.display == Display::Raw) {
        float2string(getRaw(index), text);
        return;
    }
    const TrebleCoefficients c = displayCoefficients(index);
    switch (p.display) {
    case Display::Decibels: dB2string(c.*p.shown, text); break;
    case Display::Number: float2string(p.scale * c.*p.shown, text); break;
    case Display::Slope: float2string(6.0f * c.tranSlopeMix + 6.0f * static_cast<float>(c.tranSecondOrder), text); break;
    case Display::Raw: break;
    }
}
