// What the bass kernels work on: the per-block constants, the filter states
// of one block, and the delay rings and chunk buffers of one instance.
#pragma once

namespace bass_dsp {

// Delay rings of this size give the processing its 255 samples of latency.
constexpr int kRingSize = 256;
constexpr unsigned kRingMask = kRingSize - 1;
// Processing works through a block in chunks of this many frames.
constexpr int kChunk = 64;

// One chunk's delayed signals, gains and harmonics; stereo keeps the two channels side
// by side.
struct ChunkBuffers {
    alignas(16) float dry[2 * kChunk];
    alignas(16) float high[2 * kChunk];
    alignas(16) float low[2 * kChunk];
    float gain[kChunk];
    // The stage-2 peak holds, then their harmonics.
    alignas(16) double harm[2 * kChunk];
};

// The memory the kernels keep between blocks besides the filter states: one
// ring per band and channel (index 0 left, 1 right), and the working buffers
// of the stages, three chunks of which are in flight at once.
struct Workspace {
    float dryRing[2][kRingSize];
    float highRing[2][kRingSize];
    float lowRing[2][kRingSize];
    ChunkBuffers chunks[3];
    alignas(16) float chunkInput[2 * kChunk];
    alignas(16) float chunkSplit[2 * kChunk];
};

// Below this envelope the gain stays at its ceiling, maxGain.
constexpr float kSilenceFloor = 1.5258789e-05f;  // 2^-16

// Per-block copies of the coefficients. The one-pole filters run as
// s = s * keep + coef * x, which keeps their feedback path to one multiply
// and one add.
struct BlockConstants {
    float a1, keep1, a2, keep2, b0, b1;
    double a1Wide, keep1Wide;
    float threshold, sqrtThreshold, maxGain;
    float outputGain, bassGain;
    double colourFactor;  // widened as the harmonics step multiplies it
    float colourNorm, mixAmount;
    bool saturate;
};

// The processing states as a block works on them: the band split, shaper
// and DC filter in 32 bits, the peak-hold and harmonic smoothing in 64.
struct BlockState {
    float split1[2], split2[2], shaper[2], dc[2];
    double hold[2], smooth[2];
    float env, dither, gain;
    unsigned w, r;  // ring write and read positions
    bool lastOver;
    float overload;  // 1 once two consecutive frames reached full scale
};

}  // namespace bass_dsp
