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

}  // namespace

void BassEffect::settleChannelMode() {
    float& raw = rawValues[kSlotStereoMono];
    if (pluginBuild == PluginBuild::Mono) {
        stereoMode = 0;
        stereoValue = 0.0f;
        raw = 0.0f;
        return;
    }
    if (truncated(raw) != truncated(stereoValue)) {
        const float decided = isInputConnected(1) ? 1.0f : 0.0f;
        stereoValue = decided;
        raw = decided;
        writeStereoMonoToAllPrograms(decided);
    }
    stereoMode = truncated(stereoValue);
}

void BassEffect::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames, bool replacing) {
    settleChannelMode();
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

    // A non-finite input poisons the filters and rings for good; start them
    // afresh so that the next finite block gives finite output again. The
    // band split takes up any such input, so checking the states suffices.
    double sum = envelope;
    for (int c = 0; c < 2; ++c)
        sum += splitState1[c] + splitState2[c] + shaperState[c] + peakHold[c] + harmonicState[c] + dcState[c];
    if (!std::isfinite(sum)) {
        envelope = 0.0f;
        lastGain = 1.0f;
        resetAudioState();
        fillAudioRings(1e-7f);
    }

    overloadRing[meterWriteIndex] = s.overload;
    gainMeterRing[meterWriteIndex] = lastGain > 1e-8f ? std::log10(lastGain) * (5.0f / 12.0f) : 0.0f;
    meterWriteIndex = (meterWriteIndex + 1) & bass_dsp::kRingMask;
    meterReadIndex = (meterReadIndex + 1) & bass_dsp::kRingMask;
}

void BassEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processBlock(inputs, outputs, sampleFrames, false);
}

void BassEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processBlock(inputs, outputs, sampleFrames, true);
}
