// The bass signal path's glue: one implementation behind both process calls,
// with the block start and end steps around the per-sample kernels.
#include <cmath>

#include "bass/bass_effect.h"
#include "bass_dsp/bass_kernels.h"

using namespace bass_params;

namespace {

// Truncation toward zero that stays defined for any value.
int truncated(float value) {
    if (value >= 1073741824.0f) return 1073741824;
    if (value <= -1073741824.0f) return -1073741824;
    return value == value ? static_cast<int>(value) : 0;
}

// The band split's states and the envelope follow the input through low-passes,
// so no audio takes them past its own peak; beyond 1e6 (120 dB above full
// scale) they hold a fault from upstream (a 1e20 sample), which would keep
// the output wrong for most of a second.
constexpr double kRunawayLevel = 1e6;

}  // namespace

// The stereo build decides an undecided mode (a raw value that disagrees with
// the effective one, as -1 does) from the second input's connection; the
// answer becomes the shared value, which every program record shows.
void BassEffect::settleStereoMode() {
    constexpr int slot = kSlotStereoMono;
    if (pluginBuild == PluginBuild::Mono) {
        stereoMode = 0;
        stereoValue = 0.0f;
        if (appliedValues[slot] != 0.0f && ParameterWrite(parameters).replaceIf(slot, appliedValues[slot], 0.0f))
            appliedValues[slot] = 0.0f;
        return;
    }
    settleUndecided(parameters, slot, appliedValues[slot], stereoValue,
                    [this] { return isInputConnected(1) ? 1.0f : 0.0f; });
    stereoMode = truncated(stereoValue);
}

// The audio thread's block start. Parameters: only what was set since the
// last block is applied again, in the order a program is applied, from one
// consistent copy. A new rate applies everything at that rate and then resets
// the processing, as a fresh instance at that rate starts.
void BassEffect::takeHostChanges() {
    const int rate = mappingRate.load(std::memory_order_acquire);
    const bool newRate = rate != appliedRate;
    if (newRate) sampleRateInt = rate;
    const bool taken = takeParameters(newRate, kProgramApplyOrder, kParameters,
                                      [this](int index, float value, const auto&) { applyParameter(index, value); });
    if (newRate && taken) {
        appliedRate = rate;
        pendingReset.take();
        resetProcessing(rate, resetMeterDelay.load(std::memory_order_relaxed));
    }
    if (pendingReset.take())
        resetProcessing(resetRate.load(std::memory_order_relaxed), resetMeterDelay.load(std::memory_order_relaxed));
}

void BassEffect::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing) {
    takeHostChanges();
    settleStereoMode();
    if (sampleFrames < 0) sampleFrames = 0;

    const float a1 = static_cast<float>(bandCoef), a2 = static_cast<float>(shaperCoef);
    const float sqrtThreshold = lookup.sqrtOf(thresholdLin);
    const bass_dsp::BlockConstants k = {a1,
                                        1.0f - a1,
                                        a2,
                                        1.0f - a2,
                                        static_cast<float>(dcCoef),
                                        static_cast<float>(dcFeedback),
                                        a1,
                                        1.0 - static_cast<double>(a1),
                                        thresholdLin,
                                        sqrtThreshold,
                                        // S(2^-16) * S(T) / 2^-16, about 256 * sqrt(T)
                                        lookup.sqrtOf(bass_dsp::kSilenceFloor) * sqrtThreshold * 65536.0f,
                                        gainLin,
                                        bassLin,
                                        colourFactor,
                                        colourNorm,
                                        mixAmount,
                                        reachesOne(saturationOn)};

    bass_dsp::BlockState s;
    for (int c = 0; c < 2; ++c) {
        s.split1[c] = static_cast<float>(splitState1[c]);
        s.split2[c] = static_cast<float>(splitState2[c]);
        s.shaper[c] = static_cast<float>(shaperState[c]);
        s.dc[c] = static_cast<float>(dcState[c]);
        s.hold[c] = peakHold[c];
        s.smooth[c] = harmonicState[c];
    }
    s.env = envelope;
    s.dither = ditherValue;
    s.gain = lastGain;
    s.w = static_cast<unsigned>(ringWriteIndex) & bass_dsp::kRingMask;
    s.r = static_cast<unsigned>(ringReadIndex) & bass_dsp::kRingMask;
    s.lastOver = false;
    s.overload = 0.0f;

    // A stereo instance in mono mode feeds both outputs from the left input.
    const bass_dsp::Layout layout = pluginBuild == PluginBuild::Mono ? bass_dsp::Layout::Mono
                                    : stereoMode != 0                ? bass_dsp::Layout::Stereo
                                                                     : bass_dsp::Layout::MonoToBoth;
    bass_dsp::runBlock(dspPath, layout, {k, s, work, lookup, inputs, outputs, sampleFrames, replacing, reachesOne(processOn)});

    // Block end: states back into their fields.
    for (int c = 0; c < 2; ++c) {
        splitState1[c] = s.split1[c];
        splitState2[c] = s.split2[c];
        shaperState[c] = s.shaper[c];
        dcState[c] = s.dc[c];
        peakHold[c] = s.hold[c];
        harmonicState[c] = s.smooth[c];
    }
    envelope = s.env;
    ditherValue = s.dither;
    ringWriteIndex = static_cast<int>(s.w);
    ringReadIndex = static_cast<int>(s.r);
    lastGain = s.gain;

    // A state that went non-finite, or one that holds input far beyond any
    // audio level, would keep the output wrong for a long time (the 15 Hz
    // filter alone needs most of a second to forget a 1e20 sample): start the
    // states and rings afresh, so the next block is clean again.
    double sum = envelope;
    double level = std::fabs(envelope);
    for (int c = 0; c < 2; ++c) {
        sum += splitState1[c] + splitState2[c] + shaperState[c] + peakHold[c] + harmonicState[c] + dcState[c];
        level = std::fmax(level, std::fmax(std::fabs(splitState1[c]), std::fabs(splitState2[c])));
    }
    if (!std::isfinite(sum) || level > kRunawayLevel) {
        envelope = 0.0f;
        lastGain = 1.0f;
        resetAudioState();
        fillAudioRings(1e-7f);
    }

    meters.write(lastGain > 1e-8f ? std::log10(lastGain) * (5.0f / 12.0f) : 0.0f, s.overload, false);
}
