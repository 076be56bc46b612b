// The bodies of the treble kernels, compiled once per instruction-set path:
// treble_kernels_baseline.cpp and treble_kernels_avx2.cpp include this file
// with TREBLE_KERNEL_SET naming the table of kernels they define. Everything
// else here has internal linkage, so each path keeps its own copy.
#include <cmath>
#include <cstring>

#include "treble_dsp/simd.h"
#include "treble_dsp/treble_chain.h"
#include "treble_dsp/treble_kernel_set.h"

namespace treble_kernels {

using namespace treble_chain;

namespace {

constexpr unsigned kMask = TrebleDspState::kDelayMask;

// A filter with these feedback values stays bounded.
bool isStable(const BiquadCoefficients& f) { return std::fabs(f.a2) < 1.0f && std::fabs(f.a1) < 1.0f + f.a2; }

// Keeps a stable filter as the one to fall back on, or falls back to it.
void useStable(BiquadCoefficients& filter, BiquadCoefficients& lastStable) {
    if (isStable(filter))
        lastStable = filter;
    else
        filter = lastStable;
}

// The block works on a copy of the coefficients, which setParameter may be
// rewriting from other threads. Two threads setting the exciter parameters at
// once can leave a filter with feedback values from two different designs,
// unstable until its parameters are set again; the block then runs the last
// stable version of that filter instead.
TrebleCoefficients snapshot(const TrebleCoefficients& live, TrebleDspState& state) {
    TrebleCoefficients copy;
    std::memcpy(&copy, &live, sizeof copy);
    for (int i = 0; i < 2; ++i) useStable(copy.bandPassCoef[i], state.lastStableBandPass[i]);
    for (int i = 0; i < 4; ++i) useStable(copy.highPassCoef[i], state.lastStableHighPass[i]);
    return copy;
}

// After the block: a non-finite input or an overflow leaves state that would
// keep the output non-finite for good; start again from construction values.
void recoverIfNonFinite(TrebleDspState& state, float inputProbe) {
    if (!(inputProbe == 0.0f) || !state.isFinite()) state.recover();
}

// The chain runs in chunks, one stage at a time over the whole chunk: the hiss
// reducer (and widener), then the transient tracking, the power function and
// the shaper's gain, the exciter's band-pass, shaper and high-passes, and the
// output section. Each value is computed exactly as in a sample-by-sample
// pass. Running the stages apart keeps each loop's recursions short and its
// working set in registers, lets the two channels' recursions overlap, and
// leaves the stages without recursion (the shaper's gain, the exciter's
// shaper, the output section) free of calls, so that the compiler runs them on
// several samples at once.
constexpr int kChunk = 64;  // even, so that every chunk starts with the negative offset

// The offset added at sample j of a chunk: it flips sign before every sample
// and starts each block negative. A table, so that loops over a chunk read it
// for several samples at once.
struct ChunkOffsets {
    float at[kChunk];
    constexpr ChunkOffsets() : at() {
        for (int j = 0; j < kChunk; ++j) at[j] = (j & 1) ? kAntiDenormal : -kAntiDenormal;
    }
};
constexpr ChunkOffsets kOffsets;
inline float offsetAt(int j) { return kOffsets.at[j]; }

struct ChunkLane {
    float dry[kChunk];
    float plain[kChunk + 1];  // the hiss reducer's output before the widener, after the previous one
    float s[kChunk];
    float u[kChunk];
    float env[kChunk];
    float power[kChunk];  // env to the power of tranExponent
    float bp[kChunk];     // the exciter's band signal
    float h[kChunk];      // its root, then its shaped form
    Harmonics harmonics[kChunk];
    float out[kChunk];
};

struct Switches {
    bool hiss, wide, transient, exciter, clip;
    float overLimit;  // above this an output sample counts as an overload
};

Switches switchesOf(const TrebleCoefficients& c) {
    const bool clip = c.softClipOn != 0.0f;
    return {c.hissOn != 0, c.wideOn != 0, c.transientOn != 0, c.exciterOn != 0, clip, clip ? 1.41f : 1.0f};
}

// Left and right in the two low lanes of one vector (the others idle), for
// the feedback steps that take either (see treble_chain.h).
using simd::F4;
inline F4 pairOf(float left, float right) { return F4{left, right, 0.0f, 0.0f}; }
inline F4 splatOf(float v) { return F4{v, v, v, v}; }

struct BiquadPair {
    F4 b0, b1, a1, a2;
    BiquadPair(const BiquadCoefficients& l, const BiquadCoefficients& r)
        : b0(pairOf(l.b0, r.b0)), b1(pairOf(l.b1, r.b1)), a1(pairOf(l.a1, r.a1)), a2(pairOf(l.a2, r.a2)) {}
};

FilterMemory<F4> pairOf(const BiquadMemory& l, const BiquadMemory& r) {
    return {pairOf(l.x1, r.x1), pairOf(l.x2, r.x2), pairOf(l.y1, r.y1), pairOf(l.y2, r.y2)};
}

void store(const FilterMemory<F4>& m, BiquadMemory& l, BiquadMemory& r) {
    l = {m.x1[0], m.x2[0], m.y1[0], m.y2[0]};
    r = {m.x1[1], m.x2[1], m.y1[1], m.y2[1]};
}

// Transient tracking and the exciter's band-pass of both channels over a chunk.
inline void trackAndBandPassPairs(TrebleChannelState& left, TrebleChannelState& right, const TrebleCoefficients& c,
                                  const BlockPrep& p, const Switches& sw, const BiquadCoefficients& bandL,
                                  const BiquadCoefficients& bandR, ChunkLane& laneL, ChunkLane& laneR, int n) {
    TransientMemory<F4> t{pairOf(left.prevIn, right.prevIn), pairOf(left.prevD1, right.prevD1),
                          pairOf(left.damp, right.damp), pairOf(left.env, right.env)};
    const bool secondOrder = c.tranSecondOrder != 0;
    const F4 slopeMix = splatOf(c.tranSlopeMix), damping = splatOf(c.tranDamp);
    const F4 attack = splatOf(0.35f), release = splatOf(p.tranRelease);
    const BiquadPair band(bandL, bandR);
    FilterMemory<F4> m = pairOf(left.bandPass, right.bandPass);
    for (int j = 0; j < n; ++j) {
        const F4 ad = splatOf(offsetAt(j));
        const F4 s = pairOf(laneL.s[j], laneR.s[j]);
        if (sw.transient) {
            F4 u, env;
            trackTransientStep<F4>(t, secondOrder, slopeMix, damping, attack, release, s, ad, u, env);
            laneL.u[j] = u[0];
            laneR.u[j] = u[1];
            laneL.env[j] = env[0];
            laneR.env[j] = env[1];
        }
        if (sw.exciter) {
            const F4 bp = bandPassStep<F4>(m, band.b0, band.a1, band.a2, s, ad);
            laneL.bp[j] = bp[0];
            laneR.bp[j] = bp[1];
        }
    }
    if (sw.transient) {
        left.prevIn = t.prevIn[0], right.prevIn = t.prevIn[1];
        left.prevD1 = t.prevD1[0], right.prevD1 = t.prevD1[1];
        left.damp = t.damp[0], right.damp = t.damp[1];
        left.env = t.env[0], right.env = t.env[1];
    }
    if (sw.exciter) store(m, left.bandPass, right.bandPass);
}

// The exciter's two high-passes of both channels over a chunk (see
// highPassHarmonics).
inline void highPassPairs(TrebleChannelState& left, TrebleChannelState& right, const BiquadCoefficients& shapedL,
                          const BiquadCoefficients& bandL, const BiquadCoefficients& shapedR,
                          const BiquadCoefficients& bandR, const TrebleCoefficients& c, ChunkLane& laneL,
                          ChunkLane& laneR, int n) {
    const BiquadPair fa(shapedL, shapedR), fb(bandL, bandR);
    FilterMemory<F4> a = pairOf(left.shapedHighPass, right.shapedHighPass);
    FilterMemory<F4> b = pairOf(left.bandHighPass, right.bandHighPass);
    const F4 gain = splatOf(c.harmonicsGain);
    for (int j = 0; j < n; ++j) {
        const F4 ad = splatOf(offsetAt(j));
        const F4 yA = highPassStep<F4>(a, fa.b0, fa.b1, fa.a1, fa.a2, pairOf(laneL.h[j], laneR.h[j]), ad);
        const F4 yB = highPassStep<F4>(b, fb.b0, fb.b1, fb.a1, fb.a2, pairOf(laneL.bp[j], laneR.bp[j]), ad);
        const F4 shaped = gain * (yA + ad);
        const F4 band = gain * yB;
        laneL.harmonics[j] = {shaped[0], band[0]};
        laneR.harmonics[j] = {shaped[1], band[1]};
    }
    store(a, left.shapedHighPass, right.shapedHighPass);
    store(b, left.bandHighPass, right.bandHighPass);
}

// The stages after the hiss reducer and the widener, for the kChannels
// channels of a chunk; leaves the limited output samples in each lane's out.
// Stereo runs the feedback loops on both channels at once, in vector lanes.
// True on an overload.
template <int kChannels>
bool finishChannels(TrebleDspState& state, const TrebleCoefficients& c, const BlockPrep& p, const Switches& sw,
                    ChunkLane* lanes, int n) {
    static_assert(kChannels == 1 || kChannels == 2, "one or two channels");
    TrebleChannelState left = state.channel[0];
    TrebleChannelState right;
    if constexpr (kChannels == 2) right = state.channel[1];
    ChunkLane& laneL = lanes[0];
    ChunkLane& laneR = lanes[kChannels - 1];

    // The transient tracking and the exciter's band-pass both read only s;
    // in one loop their feedback paths run side by side.
    {
        // By value: the stores into the lanes could otherwise alias them.
        const BiquadCoefficients bandL = c.bandPassCoef[0];
        const BiquadCoefficients bandR = c.bandPassCoef[1];
        if constexpr (kChannels == 2) {
            if (sw.transient || sw.exciter) trackAndBandPassPairs(left, right, c, p, sw, bandL, bandR, laneL, laneR, n);
        } else if (sw.transient && sw.exciter) {
            for (int j = 0; j < n; ++j) {
                trackTransient(left, c, p, laneL.s[j], offsetAt(j), laneL.u[j], laneL.env[j]);
                laneL.bp[j] = bandPass(left.bandPass, bandL, laneL.s[j], offsetAt(j));
            }
        } else if (sw.transient) {
            for (int j = 0; j < n; ++j) trackTransient(left, c, p, laneL.s[j], offsetAt(j), laneL.u[j], laneL.env[j]);
        } else if (sw.exciter) {
            for (int j = 0; j < n; ++j) laneL.bp[j] = bandPass(left.bandPass, bandL, laneL.s[j], offsetAt(j));
        }
    }
    for (int k = 0; k < kChannels; ++k) {
        ChunkLane& lane = lanes[k];
        float* t = lane.out;  // the transient shaper's output, then the final samples
        if (sw.transient) {
            state.powfRun(lane.env, c.tranExponent, lane.power, n);
            for (int j = 0; j < n; ++j) t[j] = finishTransient(c, lane.s[j], lane.u[j], lane.env[j], lane.power[j]);
        } else {
            for (int j = 0; j < n; ++j) t[j] = lane.s[j];
        }
    }
    if (sw.exciter) {
        const float twoDriveGain = p.twoDriveGain, shapeW = p.shapeW, shapeWNegative = p.shapeWNegative;
        for (int k = 0; k < kChannels; ++k) {
            ChunkLane& lane = lanes[k];
            for (int j = 0; j < n; ++j) lane.h[j] = shaperRoot(state, lane.bp[j]);
            for (int j = 0; j < n; ++j)
                lane.h[j] = shapeHarmonics(twoDriveGain, shapeW, shapeWNegative, lane.bp[j], lane.h[j]);
        }
        // By value: the stores into the lanes could otherwise alias them.
        const BiquadCoefficients shapedL = c.highPassCoef[kHighPassLeftShaped];
        const BiquadCoefficients bandHpL = c.highPassCoef[kHighPassLeftBand];
        const BiquadCoefficients shapedR = c.highPassCoef[kHighPassRightShaped];
        const BiquadCoefficients bandHpR = c.highPassCoef[kHighPassRightBand];
        if constexpr (kChannels == 2) {
            highPassPairs(left, right, shapedL, bandHpL, shapedR, bandHpR, c, laneL, laneR, n);
        } else {
            for (int j = 0; j < n; ++j)
                laneL.harmonics[j] =
                    highPassHarmonics(left, shapedL, bandHpL, c, laneL.h[j], laneL.bp[j], offsetAt(j));
        }
    }
    state.channel[0] = left;
    if constexpr (kChannels == 2) state.channel[1] = right;

    int over = 0;
    const float overLimit = sw.overLimit;
    for (int k = 0; k < kChannels; ++k) {
        ChunkLane& lane = lanes[k];
        float* t = lane.out;
        if (sw.exciter)
            for (int j = 0; j < n; ++j) t[j] = addHarmonics(t[j], lane.harmonics[j]);
        for (int j = 0; j < n; ++j) t[j] = mixOutput(c, lane.dry[j], t[j]);
        for (int j = 0; j < n; ++j) over |= std::fabs(t[j]) > overLimit;
        if (sw.clip)
            for (int j = 0; j < n; ++j) t[j] = softClip(t[j]);
    }
    return over != 0;
}

// The stereo widener over a chunk, from each lane's plain to its s: the
// tilted part moves from the plain signal towards its first difference; only
// it is widened, the rest passes by. Free of feedback (the previous sample
// comes from plain), so that it runs on several samples at once. Returns how
// many samples had a side louder than their mid.
int widenChunk(const TrebleCoefficients& c, ChunkLane& laneL, ChunkLane& laneR, int n) {
    const float slope = c.wideSlope, midGain = c.wideMidGain, sideGain = c.wideSideGain;
    int sides = 0;
    for (int j = 0; j < n; ++j) {
        const float sL = laneL.plain[j + 1];
        const float sR = laneR.plain[j + 1];
        const float diffL = sL - laneL.plain[j] + kOffsets.at[j];
        const float diffR = sR - laneR.plain[j] + kOffsets.at[j];
        const float tiltL = sL + (diffL - sL) * slope;
        const float tiltR = sR + (diffR - sR) * slope;
        const float restL = sL - tiltL;
        const float restR = sR - tiltR;
        const float mid = (tiltL + tiltR) * midGain;
        const float side = (tiltL - tiltR) * sideGain;
        sides += std::fabs(side) > std::fabs(mid);
        laneL.s[j] = mid + side + restL;
        laneR.s[j] = mid - side + restR;
    }
    return sides;
}

template <class Store>
void storeChunk(const float* y, float* out, int n) {
    for (int j = 0; j < n; ++j) Store::store(out[j], y[j]);
}

// The single-channel chain on inputs[0]. kAdvanceFirst: the accumulating mono
// kernel moves the look-ahead indices before writing and reading, the others
// after; both read the sample written 255 samples earlier. kBothOutputs: the
// result goes to outputs[0] and outputs[1].
template <class Store, bool kAdvanceFirst, bool kBothOutputs>
void runSingleChannel(const TrebleCoefficients& live, TrebleDspState& state, float sampleRate, float** inputs,
                      float** outputs, int32_t sampleFrames, float* overFlag) {
    if (sampleFrames <= 0) return;
    const TrebleCoefficients c = snapshot(live, state);
    const BlockPrep p = prepareBlock(c, sampleRate);
    const Switches sw = switchesOf(c);

    float* ring = state.dryDelay[0];
    unsigned w = state.writeIndex, r = state.readIndex;
    const float* in = inputs[0];
    float* out0 = outputs[0];
    float* out1 = kBothOutputs ? outputs[1] : nullptr;

    ChunkLane lane;
    bool over = false;
    float probe = 0.0f;
    for (int32_t start = 0; start < sampleFrames; start += kChunk) {
        const int n = sampleFrames - start < kChunk ? static_cast<int>(sampleFrames - start) : kChunk;
        HissControl hiss = loadHiss(state);
        TrebleChannelState ch = state.channel[0];
        for (int j = 0; j < n; ++j) {
            const float ad = offsetAt(j);
            const float x = in[start + j] + ad;
            probe += x - x;  // stays 0 unless an input is not finite
            if (kAdvanceFirst) {
                w = (w + 1) & kMask;
                r = (r + 1) & kMask;
            }
            ring[w] = x;
            float dry = x;
            float s = x;
            if (sw.hiss) {
                adaptHiss(hiss, p, c, hissResidual(ch, hiss.kc, x, ad));
                dry = ring[r];
                s = reduceHiss(ch, hiss, c, dry);
            }
            if (!kAdvanceFirst) {
                w = (w + 1) & kMask;
                r = (r + 1) & kMask;
            }
            lane.dry[j] = dry;
            lane.s[j] = s;
        }
        storeHiss(state, hiss);
        state.channel[0] = ch;

        over |= finishChannels<1>(state, c, p, sw, &lane, n);
        storeChunk<Store>(lane.out, out0 + start, n);
        if (kBothOutputs) storeChunk<Store>(lane.out, out1 + start, n);
    }

    state.writeIndex = static_cast<uint16_t>(w);
    state.readIndex = static_cast<uint16_t>(r);
    if (over) *overFlag = 1.0f;
    recoverIfNonFinite(state, probe);
}

// Two channels with one hiss control, the widener between the hiss reducer
// and the other stages, and every other stage per channel.
template <class Store>
void runTwoChannels(const TrebleCoefficients& live, TrebleDspState& state, float sampleRate, float** inputs,
                    float** outputs, int32_t sampleFrames, float* overFlag, float* sideCount) {
    if (sampleFrames <= 0) return;
    const TrebleCoefficients c = snapshot(live, state);
    const BlockPrep p = prepareBlock(c, sampleRate);
    const Switches sw = switchesOf(c);

    float* ringL = state.dryDelay[0];
    float* ringR = state.dryDelay[1];
    unsigned w = state.writeIndex, r = state.readIndex;
    const float* inL = inputs[0];
    const float* inR = inputs[1];
    float* outL = outputs[0];
    float* outR = outputs[1];

    ChunkLane lanes[2];
    ChunkLane& laneL = lanes[0];
    ChunkLane& laneR = lanes[1];
    bool over = false;
    float probe = 0.0f;
    float sides = 0.0f;
    for (int32_t start = 0; start < sampleFrames; start += kChunk) {
        const int n = sampleFrames - start < kChunk ? static_cast<int>(sampleFrames - start) : kChunk;
        HissControl hiss = loadHiss(state);
        TrebleChannelState left = state.channel[0];
        TrebleChannelState right = state.channel[1];
        // With the widener on, the hiss reducer's output goes to plain, after
        // the sample before it, and the widener moves it to s.
        laneL.plain[0] = left.widePrev;
        laneR.plain[0] = right.widePrev;
        float* reducedL = sw.wide ? laneL.plain + 1 : laneL.s;
        float* reducedR = sw.wide ? laneR.plain + 1 : laneR.s;
        // The hiss filters of both channels run in vector lanes; the control
        // between them is one scalar chain.
        F4 lp1 = pairOf(left.lp1, right.lp1), lp2 = pairOf(left.lp2, right.lp2);
        F4 y1 = pairOf(left.y1, right.y1), y2 = pairOf(left.y2, right.y2);
        const F4 keep = splatOf(c.hissKeep);
        for (int j = 0; j < n; ++j) {
            const F4 ad = splatOf(offsetAt(j));
            const F4 x = pairOf(inL[start + j], inR[start + j]) + ad;
            const F4 zeroUnlessNonFinite = x - x;
            probe += zeroUnlessNonFinite[0] + zeroUnlessNonFinite[1];
            ringL[w] = x[0];
            ringR[w] = x[1];
            F4 dry = x, s = x;
            if (sw.hiss) {
                // One residual for both channels: a hiss present in both counts twice.
                const F4 residual = hissResidualStep<F4>(lp1, lp2, splatOf(hiss.kc), x, ad);
                adaptHiss(hiss, p, c, residual[0] + residual[1]);
                dry = pairOf(ringL[r], ringR[r]);
                s = reduceHissStep<F4>(y1, y2, splatOf(hiss.k), splatOf(hiss.kc), splatOf(hiss.kc2), keep, dry);
            }
            w = (w + 1) & kMask;
            r = (r + 1) & kMask;
            laneL.dry[j] = dry[0];
            laneR.dry[j] = dry[1];
            reducedL[j] = s[0];
            reducedR[j] = s[1];
        }
        if (sw.hiss) {
            left.lp1 = lp1[0], left.lp2 = lp2[0], left.y1 = y1[0], left.y2 = y2[0];
            right.lp1 = lp1[1], right.lp2 = lp2[1], right.y1 = y1[1], right.y2 = y2[1];
        }
        if (sw.wide) {
            // Counted in whole numbers per chunk: the same sums as one by one.
            sides += static_cast<float>(widenChunk(c, laneL, laneR, n));
            left.widePrev = laneL.plain[n];
            right.widePrev = laneR.plain[n];
        }
        storeHiss(state, hiss);
        state.channel[0] = left;
        state.channel[1] = right;

        over |= finishChannels<2>(state, c, p, sw, lanes, n);
        storeChunk<Store>(laneL.out, outL + start, n);
        storeChunk<Store>(laneR.out, outR + start, n);
    }

    state.writeIndex = static_cast<uint16_t>(w);
    state.readIndex = static_cast<uint16_t>(r);
    if (over) *overFlag = 1.0f;
    *sideCount += sides;
    recoverIfNonFinite(state, probe);
}

}  // namespace

#define TREBLE_KERNEL_ARGS                                                                                 \
    const TrebleCoefficients &coef, TrebleDspState &state, float sampleRate, float **inputs, float **outputs, \
        int32_t sampleFrames, float *overFlag, float *sideCount
#define TREBLE_KERNEL_PASS coef, state, sampleRate, inputs, outputs, sampleFrames, overFlag

extern const KernelSet TREBLE_KERNEL_SET;
const KernelSet TREBLE_KERNEL_SET = {
    [](TREBLE_KERNEL_ARGS) { (void)sideCount, runSingleChannel<AddToOutput, true, false>(TREBLE_KERNEL_PASS); },
    [](TREBLE_KERNEL_ARGS) { (void)sideCount, runSingleChannel<WriteOutput, false, false>(TREBLE_KERNEL_PASS); },
    [](TREBLE_KERNEL_ARGS) { (void)sideCount, runSingleChannel<AddToOutput, false, true>(TREBLE_KERNEL_PASS); },
    [](TREBLE_KERNEL_ARGS) { (void)sideCount, runSingleChannel<WriteOutput, false, true>(TREBLE_KERNEL_PASS); },
    [](TREBLE_KERNEL_ARGS) { runTwoChannels<AddToOutput>(TREBLE_KERNEL_PASS, sideCount); },
    [](TREBLE_KERNEL_ARGS) { runTwoChannels<WriteOutput>(TREBLE_KERNEL_PASS, sideCount); },
};

#undef TREBLE_KERNEL_ARGS
#undef TREBLE_KERNEL_PASS

}  // namespace treble_kernels
