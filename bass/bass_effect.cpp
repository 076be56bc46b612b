#include "bass/bass_effect.h"
#include "bass_dsp/bass_mapping.h"

#include <cmath>
#include <cstring>


namespace {
constexpr float kRingFill = 1e-7f;

// The host's rate as the filters use it; also safe for NaN and absurd rates.
int usableSampleRate(float rate) {
    if (!(rate >= 22050.0f)) return 22050;
    if (rate > 192000.0f) return 192000;
    return static_cast<int>(rate);
}
}  // namespace

BassEffect::BassEffect(audioMasterCallback audioMaster, PluginBuild build)
    : ProductEffect(audioMaster, build, true) {
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

    lookup.fill();
    std::memset(work.chunks, 0, sizeof(work.chunks));
    mappingRate = usableSampleRate(getSampleRate());

    if (programs.exists()) bass_programs::loadFactoryStore(programs.data(), build);
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
    meters.peek(gain, overload);
    if (pendingReset.pending()) gain = overload = kRingFill;
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

    meters.restart(meterDelay);
    meters.fill(kRingFill);
    fillAudioRings(kRingFill);

    dcCoef = bass_mapping::onePole(15.0, fs);
    dcFeedback = 1.0 - dcCoef;

    // The band split follows the new rate; the shaper keeps the rate of the
    // last "freq" change.
    const float freq = appliedValues[bass_params::kSlotFreq];
    freqHz = bass_mapping::effectiveValue(bass_params::kFreq, freq, false);
    bandCoef = bass_mapping::bandCoefficient(freq, fs);

    resetAudioState();
}

bool BassEffect::getEffectName(char* name) {
    std::strcpy(name, "Vorsa Rumblor");
    return true;
}

bool BassEffect::getProductString(char* text) {
    std::strcpy(text, "Bass enhancing plug-in");
    return true;
}
