#include "bass/bass_effect.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "shell/effect_texts.h"

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr float kRingFill = 1e-7f;

// The host's rate as the filters use it; also safe for NaN and absurd rates.
int usableSampleRate(float rate) {
    if (!(rate >= 22050.0f)) return 22050;
    if (rate > 192000.0f) return 192000;
    return static_cast<int>(rate);
}
}  // namespace

BassEffect::BassEffect(audioMasterCallback audioMaster, PluginBuild build)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams), pluginBuild(build) {
    const bool stereo = build == PluginBuild::Stereo;
    editorOpen = 0;
    setInitialDelay(256);
    stereoMode = stereo ? -1 : 0;
    setNumInputs(stereo ? 2 : 1);
    setNumOutputs(stereo ? 2 : 1);
    setUniqueID(stereo ? fourCharCode("VrRU") : fourCharCode("VrRu"));
    canProcessReplacing(true);
    canMono(true);
    hasVu(true);
    vuValue = 0.0f;

    lookup.fill();
    std::memset(work.chunks, 0, sizeof(work.chunks));
    mappingRate = usableSampleRate(getSampleRate());

    bass_programs::loadFactoryStore(programs, build);
    BassProgram defaults;
    defaults.setDefault(build);
    {
        ParameterWrite write(parameters);
        for (int slot = 0; slot < kNumParams; ++slot) write.set(slot, defaults.values[slot]);
    }

    setProgram(0);

    // Undecided in both builds: the stereo build asks the host at its first
    // block, the mono build overrides it at every block.
    parameters.set(bass_params::kSlotStereoMono, -1.0f);

    askForReset(mappingRate);
    // No other thread knows the instance yet: derive and reset right away.
    takeHostChanges();
}

BassEffect::~BassEffect() = default;

// The reset runs on the audio thread at the start of the next block, with
// the rate the host has now; until then the editor reads the meters as cleared.
void BassEffect::suspend() { askForReset(usableSampleRate(getSampleRate())); }

// Hosts set the session's rate before resuming: when it differs from the one
// the coefficients were computed with, every one of them follows it, and the
// processing restarts as a fresh instance at that rate would.
void BassEffect::resume() {
    const int rate = usableSampleRate(getSampleRate());
    if (rate == mappingRate.load(std::memory_order_relaxed)) return;
    resetMeterDelay.store(meterDelayFromHost(), std::memory_order_relaxed);
    mappingRate.store(rate, std::memory_order_release);
}

int BassEffect::meterDelayFromHost() {
    // Show each block's meters when its audio is heard, about 30 % early.
    const VstInt32 latency = getOutputLatency();
    const VstInt32 block = updateBlockSize();
    int delay = 1;
    if (latency > 1 && block > 1) {
        const double blocks = (static_cast<double>(latency) * 100.0) / (static_cast<double>(block) * 130.0);
        delay = blocks >= 255.0 ? 255 : static_cast<int>(blocks);
    }
    return delay < 1 ? 1 : delay;
}

void BassEffect::askForReset(int rate) {
    resetRate.store(rate, std::memory_order_relaxed);
    resetMeterDelay.store(meterDelayFromHost(), std::memory_order_relaxed);
    pendingReset.ask();
    if (editor) editor->resetMeters();
}

void BassEffect::readMeters(float& gain, float& overload) const {
    if (pendingReset.pending()) {
        gain = overload = kRingFill;
        return;
    }
    const int slot = meterReadIndex & (kRingSize - 1);
    gain = gainMeterRing[slot].load(std::memory_order_relaxed);
    overload = overloadRing[slot].load(std::memory_order_relaxed);
}

void BassEffect::fillAudioRings(float value) {
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < kRingSize; ++i) work.dryRing[c][i] = work.highRing[c][i] = work.lowRing[c][i] = value;
}

void BassEffect::resetAudioState() {
    for (int c = 0; c < 2; ++c) {
        splitState1[c] = splitState2[c] = shaperState[c] = 0.0;
        peakHold[c] = harmonicState[c] = dcState[c] = 0.0;
    }
}

void BassEffect::resetProcessing(int rate, int meterDelay) {
    envelope = 0.0f;
    ditherValue = 1e-12f;
    ringWriteIndex = kRingSize - 1;
    ringReadIndex = 0;
    lastGain = 1.0f;

    sampleRateInt = rate;
    const double fs = sampleRateInt;

    meterWriteIndex = meterDelay;
    meterReadIndex = 0;

    for (int i = 0; i < kRingSize; ++i) {
        gainMeterRing[i].store(kRingFill, std::memory_order_relaxed);
        overloadRing[i].store(kRingFill, std::memory_order_relaxed);
    }
    fillAudioRings(kRingFill);

    dcCoef = 1.0 - std::exp(-kTwoPi * 15.0 / fs);
    dcFeedback = 1.0 - dcCoef;

    // The band split follows the new rate; the shaper keeps the rate of the
    // last "freq" change.
    const double v = appliedValues[bass_params::kSlotFreq];
    freqHz = static_cast<float>(v * v * 580.0 + 20.0);
    bandCoef = 1.0 - std::exp(-kTwoPi * freqHz / fs);

    resetAudioState();
}

float BassEffect::getVu() {
    const float value = vuValue;
    vuValue = 0.0f;
    return value;
}

// Both builds describe a stereo pair, the mono build too.
bool BassEffect::getInputProperties(VstInt32 index, VstPinProperties* properties) {
    return describeStereoPin(index, properties, "My %1d In");
}

bool BassEffect::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
    return describeStereoPin(index, properties, "My %1d Out");
}

bool BassEffect::getEffectName(char* name) {
    std::strcpy(name, "Vorsa Rumblor");
    return true;
}

bool BassEffect::getVendorString(char* text) {
    std::strcpy(text, "Vorsa");
    return true;
}

bool BassEffect::getProductString(char* text) {
    std::strcpy(text, "Bass enhancing plug-in");
    return true;
}
