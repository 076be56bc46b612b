#include "treble/treble_effect.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "shell/effect_texts.h"
#include "treble/treble_parameters.h"
#include "treble_dsp/treble_mapping.h"

using treble_params::kParameters;

bool trebleFailBankAllocation = false;

TrebleEffect::TrebleEffect(audioMasterCallback audioMaster, PluginBuild build)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams), pluginBuild(build) {
    const bool stereo = build == PluginBuild::Stereo;
    editorOpen = 0;
    setNumInputs(stereo ? 2 : 1);
    setNumOutputs(stereo ? 2 : 1);
    setUniqueID(stereo ? fourCharCode("VrGL") : fourCharCode("VrGl"));
    canMono(true);
    canProcessReplacing(true);

    setMeterDelay();

    // Only the constructor checks the rate's range; later host rates are
    // taken as sent (see resume).
    if (getSampleRate() < 22050.0f || getSampleRate() > 192000.0f) sampleRate = 44100.0f;
    mappingRate.store(sampleRate);

    dspState.construct();

    secondInputConnected = stereo ? -1 : 0;
    programs = nullptr;
    vuValue = 0.0f;

    if (!trebleFailBankAllocation) programs = new (std::nothrow) TrebleProgram[kNumPrograms];
    if (programs)
        for (int p = 0; p < kNumPrograms; ++p) programs[p].setFresh(build);

    if (programs) treble_programs::loadFactoryBank(programs);

    // The defaults, which program 0 replaces; without a bank they stay and
    // the first take below derives every coefficient from them.
    {
        ParameterWrite write(parameters);
        for (int index = 0; index < kNumParams; ++index) {
            float value = treble_params::kParameters[index].defaultValue;
            if (index == treble_params::kStereoMono) value = stereo ? -1.0f : 1.0f;
            write.set(treble_params::kParameters[index].slot, value);
        }
    }
    if (programs) setProgram(0);

    suspend();
    // No other thread knows the instance yet: derive and reset right away.
    takeHostChanges();
}
TrebleEffect::~TrebleEffect() { delete[] programs; }

void TrebleEffect::setMeterDelay() {
    const VstInt32 latency = getOutputLatency();
    const VstInt32 block = updateBlockSize();
    int delay = 1;
    if (latency > 1 && block > 1) {
        // Show each block's meters when its audio is heard, about 30 % early.
        double blocks = static_cast<double>(latency) / block * 100.0 / 130.0;
        delay = blocks >= 255.0 ? 255 : static_cast<int>(blocks);
    }
    if (delay < 1) delay = 1;
    if (delay > 255) delay = 255;
    meterWriteIndex = delay;
    meterReadIndex = 0;
}

void TrebleEffect::resetMeterRings() {
    editorPolled = 0;
    for (int i = 0; i < kMeterRingSize; ++i) {
        overEnhanceRing[i].store(0.0f, std::memory_order_relaxed);
        peakOverRing[i].store(0.0f, std::memory_order_relaxed);
    }
    meterWriteIndex = meterWriteIndex & (kMeterRingSize - 1);
    meterReadIndex = meterReadIndex & (kMeterRingSize - 1);
}

void TrebleEffect::pollMeters(float& overEnhanced, float& peakOver) {
    editorPolled = 1;
    if (pendingReset.pending()) {
        overEnhanced = peakOver = 0.0f;
        return;
    }
    const int slot = meterReadIndex & (kMeterRingSize - 1);
    overEnhanced = overEnhanceRing[slot].load(std::memory_order_relaxed);
    peakOver = peakOverRing[slot].load(std::memory_order_relaxed);
}

float TrebleEffect::getVu() {
    float value = vuValue;
    vuValue = 0.0f;
    return value;
}

// Both builds describe a stereo pair, also the mono build with its single pins.
bool TrebleEffect::getInputProperties(VstInt32 index, VstPinProperties* properties) {
    return describeStereoPin(index, properties, "My %1d In");
}

bool TrebleEffect::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
    return describeStereoPin(index, properties, "My %1d Out");
}

bool TrebleEffect::getEffectName(char* name) {
    std::strcpy(name, "Vorsa Glintor");
    return true;
}

bool TrebleEffect::getVendorString(char* text) {
    std::strcpy(text, "Vorsa");
    return true;
}

bool TrebleEffect::getProductString(char* text) {
    std::strcpy(text, "The Vorsa treble enhancer & transient processing plug-in");
    return true;
}
