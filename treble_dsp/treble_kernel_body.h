// The bodies of the treble kernels, compiled once per instruction-set path:
// treble_kernels_baseline.cpp and treble_kernels_avx2.cpp include this file
// with TREBLE_KERNEL_SET naming the table of kernels they define. Everything
// else here has internal linkage, so each path keeps its own copy.
#include <emmintrin.h>

#include <array>
#include <cmath>
#include <cstring>

#include "common/dsp/simd.h"
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

// The block works on its own copy of the coefficients. A record with an
// unstable exciter filter (the effect derives only stable designs, but the
// kernels take any record) would ring up for good; the block then runs the
// last stable version of that filter instead.
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

// The chain runs in chunks, one stage at a time over the whole chunk: the
// hiss reducer, the widener, the transient tracking with the exciter's
// band-pass (and the high-passes of the chunk before), the power function and
// the shaper's gain, the exciter's shaper, and the output section. Each value is computed exactly as
// in a sample-by-sample pass. Running the stages apart keeps each loop's
// recursions short and its working set in registers, and leaves the stages
// without recursion free of calls, so that the compiler runs them on several
// samples at once. Stereo keeps the two channels of a frame side by side
// throughout: the feedback loops run both in two vector lanes, and the
// stages without feedback see one run of values.
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

// One frame of kChannels values in the feedback loops: a float for one
// channel; for two, left and right in the two low lanes of one vector (the
// others idle), moved in and out of a chunk's frames with one 8-byte access.
template <int kChannels>
struct Frame;

template <>
struct Frame<1> {
    using V = float;
    static V load(const float* p) { return *p; }
    static void store(float* p, V v) { *p = v; }
    static V splat(float v) { return v; }
    static V of(float left, float) { return left; }
    static float lane(V v, int) { return v; }
};

template <>
struct Frame<2> {
    using V = simd::F4;
    // As one 8-byte move: a copy through memory would store half a vector
    // and read a whole one, which the processor cannot forward.
    static V load(const float* p) { return simd::bitCast<V>(_mm_load_sd(reinterpret_cast<const double*>(p))); }
    static void store(float* p, V v) { _mm_store_sd(reinterpret_cast<double*>(p), simd::bitCast<__m128d>(v)); }
    static V splat(float v) { return V{v, v, v, v}; }
    static V of(float left, float right) { return V{left, right, 0.0f, 0.0f}; }
    static float lane(V v, int i) { return v[i]; }
};

// A chunk's values between the stages, the kChannels values of each frame
// side by side.
template <int kChannels>
struct ChunkBuffers {
    static constexpr int kValues = kChannels * kChunk;
    float dry[kValues];
    float plain[kValues + kChannels];  // the hiss reducer's output before the widener, after the frame before
    float s[kValues];
    float u[kValues];
    float env[kValues];
    float power[kValues];  // env to the power of tranExponent
    float bp[kValues];     // the exciter's band signal
    float h[kValues];      // its root, then its shaped form
    float shaped[kValues];  // the harmonics after the high-passes (see Harmonics)
    float band[kValues];
    float out[kValues];
};

struct Switches {
    bool hiss, wide, transient, exciter, clip;
    float overLimit;  // above this an output sample counts as an overload
};

Switches switchesOf(const TrebleCoefficients& c) {
    const bool clip = c.softClipOn != 0.0f;
    return {c.hissOn != 0, c.wideOn != 0, c.transientOn != 0, c.exciterOn != 0, clip, clip ? 1.41f : 1.0f};
}

// A two-pole filter's coefficients for the channels of a frame.
template <int kChannels>
struct FrameBiquad {
    using F = Frame<kChannels>;
    typename F::V b0, b1, a1, a2;
    FrameBiquad(const BiquadCoefficients& l, const BiquadCoefficients& r)
        : b0(F::of(l.b0, r.b0)), b1(F::of(l.b1, r.b1)), a1(F::of(l.a1, r.a1)), a2(F::of(l.a2, r.a2)) {}
};

template <int kChannels>
FilterMemory<typename Frame<kChannels>::V> loadMemory(const BiquadMemory& l, const BiquadMemory& r) {
    using F = Frame<kChannels>;
    return {F::of(l.x1, r.x1), F::of(l.x2, r.x2), F::of(l.y1, r.y1), F::of(l.y2, r.y2)};
}

template <int kChannels>
void storeMemory(const FilterMemory<typename Frame<kChannels>::V>& m, BiquadMemory& l, BiquadMemory& r) {
    using F = Frame<kChannels>;
    l = {F::lane(m.x1, 0), F::lane(m.x2, 0), F::lane(m.y1, 0), F::lane(m.y2, 0)};
    if constexpr (kChannels == 2) r = {F::lane(m.x1, 1), F::lane(m.x2, 1), F::lane(m.y1, 1), F::lane(m.y2, 1)};
}

// A state value of both channels in and out of a frame.
template <int kChannels>
typename Frame<kChannels>::V loadPair(float left, float right) {
    return Frame<kChannels>::of(left, right);
}

template <int kChannels>
void storePair(typename Frame<kChannels>::V v, float& left, float& right) {
    left = Frame<kChannels>::lane(v, 0);
    if constexpr (kChannels == 2) right = Frame<kChannels>::lane(v, 1);
}

// The sum of the channels' values, left first.
inline float channelSum(float v) { return v; }
inline float channelSum(simd::F4 v) { return v[0] + v[1]; }

// The hiss reducer over a chunk: the control, one scalar chain shared by the
// channels, and the detector and reducer filters of each channel. Writes the
// input frames into the look-ahead rings and leaves the delayed frames in dry
// (the input itself with the reducer off) and the reducer's output in
// reduced. kAdvanceFirst: the accumulating mono kernel moves the look-ahead
// indices before writing and reading, the others after; both read the sample
// written 255 samples earlier. Returns zero unless an input was not finite.
template <int kChannels, bool kAdvanceFirst>
SIMD_INLINE float reduceHissChunk(TrebleDspState& state, const TrebleCoefficients& c, const BlockPrep& p, const Switches& sw,
                      float** inputs, int32_t start, int n, ChunkBuffers<kChannels>& b, float* reduced) {
    using F = Frame<kChannels>;
    using V = typename F::V;
    TrebleChannelState& left = state.channel[0];
    TrebleChannelState& right = state.channel[kChannels - 1];
    float* ringL = state.dryDelay[0];
    float* ringR = state.dryDelay[kChannels - 1];
    const float* inL = inputs[0] + start;
    const float* inR = inputs[kChannels - 1] + start;
    unsigned w = state.writeIndex, r = state.readIndex;
    HissControl hiss = loadHiss(state);
    V lp1 = loadPair<kChannels>(left.lp1, right.lp1), lp2 = loadPair<kChannels>(left.lp2, right.lp2);
    V y1 = loadPair<kChannels>(left.y1, right.y1), y2 = loadPair<kChannels>(left.y2, right.y2);
    const V keep = F::splat(c.hissKeep);
    // Only ever compared with zero: x - x is zero for every finite x.
    V probe = F::splat(0.0f);
    for (int j = 0; j < n; ++j) {
        const V ad = F::splat(offsetAt(j));
        const V x = F::of(inL[j], inR[j]) + ad;
        probe += x - x;
        if (kAdvanceFirst) {
            w = (w + 1) & kMask;
            r = (r + 1) & kMask;
        }
        ringL[w] = F::lane(x, 0);
        if constexpr (kChannels == 2) ringR[w] = F::lane(x, 1);
        V dry = x, y = x;
        if (sw.hiss) {
            // One residual for both channels: a hiss present in both counts twice.
            adaptHiss(hiss, p, c, channelSum(hissResidualStep<V>(lp1, lp2, F::splat(hiss.kc), x, ad)));
            dry = F::of(ringL[r], ringR[r]);
            y = reduceHissStep<V>(y1, y2, F::splat(hiss.k), F::splat(hiss.kc), F::splat(hiss.kc2), keep, dry);
        }
        if (!kAdvanceFirst) {
            w = (w + 1) & kMask;
            r = (r + 1) & kMask;
        }
        F::store(b.dry + kChannels * j, dry);
        F::store(reduced + kChannels * j, y);
    }
    if (sw.hiss) {
        storePair<kChannels>(lp1, left.lp1, right.lp1);
        storePair<kChannels>(lp2, left.lp2, right.lp2);
        storePair<kChannels>(y1, left.y1, right.y1);
        storePair<kChannels>(y2, left.y2, right.y2);
    }
    storeHiss(state, hiss);
    state.writeIndex = static_cast<uint16_t>(w);
    state.readIndex = static_cast<uint16_t>(r);
    return F::lane(probe, 0) + F::lane(probe, kChannels - 1);
}

// The stereo widener over a chunk, from plain to s: the tilted part moves
// from the plain signal towards its first difference; only it is widened, the
// rest passes by. Free of feedback (the frame before comes from plain), so
// that it runs on several frames at once. Returns how many frames had a side
// louder than their mid.
SIMD_INLINE int widenChunk(const TrebleCoefficients& c, ChunkBuffers<2>& b, int n) {
    const float slope = c.wideSlope, midGain = c.wideMidGain, sideGain = c.wideSideGain;
    int sides = 0;
    for (int j = 0; j < n; ++j) {
        const float sL = b.plain[2 * j + 2];
        const float sR = b.plain[2 * j + 3];
        const float diffL = sL - b.plain[2 * j] + kOffsets.at[j];
        const float diffR = sR - b.plain[2 * j + 1] + kOffsets.at[j];
        const float tiltL = sL + (diffL - sL) * slope;
        const float tiltR = sR + (diffR - sR) * slope;
        const float restL = sL - tiltL;
        const float restR = sR - tiltR;
        const float mid = (tiltL + tiltR) * midGain;
        const float side = (tiltL - tiltR) * sideGain;
        sides += std::fabs(side) > std::fabs(mid);
        b.s[2 * j] = mid + side + restL;
        b.s[2 * j + 1] = mid - side + restR;
    }
    return sides;
}

// The exciter's two high-passes of every channel in the lanes of one vector:
// for two channels the shaped signal's left and right, then the band's; for
// one, the shaped signal's and the band's (and the same again in the idle
// lanes). See highPassHarmonics.
template <int kChannels>
struct HighPassLanes {
    using F4 = simd::F4;
    F4 b0, b1, a1, a2, gain;
    FilterMemory<F4> m;

    static std::array<BiquadMemory*, 4> memories(TrebleChannelState& left, TrebleChannelState& right) {
        if constexpr (kChannels == 2)
            return {&left.shapedHighPass, &right.shapedHighPass, &left.bandHighPass, &right.bandHighPass};
        else
            return {&left.shapedHighPass, &left.bandHighPass, &left.shapedHighPass, &left.bandHighPass};
    }

    HighPassLanes() = default;
    HighPassLanes(const TrebleCoefficients& c, TrebleChannelState& left, TrebleChannelState& right) {
        constexpr int kRight = kChannels == 2 ? 1 : 0;
        const BiquadCoefficients& shapedL = c.highPassCoef[kHighPassLeftShaped];
        const BiquadCoefficients& shapedR = c.highPassCoef[kRight ? kHighPassRightShaped : kHighPassLeftShaped];
        const BiquadCoefficients& bandL = c.highPassCoef[kHighPassLeftBand];
        const BiquadCoefficients& bandR = c.highPassCoef[kRight ? kHighPassRightBand : kHighPassLeftBand];
        const std::array<const BiquadCoefficients*, 4> f =
            kChannels == 2 ? std::array<const BiquadCoefficients*, 4>{&shapedL, &shapedR, &bandL, &bandR}
                           : std::array<const BiquadCoefficients*, 4>{&shapedL, &bandL, &shapedL, &bandL};
        b0 = F4{f[0]->b0, f[1]->b0, f[2]->b0, f[3]->b0};
        b1 = F4{f[0]->b1, f[1]->b1, f[2]->b1, f[3]->b1};
        a1 = F4{f[0]->a1, f[1]->a1, f[2]->a1, f[3]->a1};
        a2 = F4{f[0]->a2, f[1]->a2, f[2]->a2, f[3]->a2};
        gain = F4{c.harmonicsGain, c.harmonicsGain, c.harmonicsGain, c.harmonicsGain};
        const std::array<BiquadMemory*, 4> mem = memories(left, right);
        m.x1 = F4{mem[0]->x1, mem[1]->x1, mem[2]->x1, mem[3]->x1};
        m.x2 = F4{mem[0]->x2, mem[1]->x2, mem[2]->x2, mem[3]->x2};
        m.y1 = F4{mem[0]->y1, mem[1]->y1, mem[2]->y1, mem[3]->y1};
        m.y2 = F4{mem[0]->y2, mem[1]->y2, mem[2]->y2, mem[3]->y2};
    }

    void store(TrebleChannelState& left, TrebleChannelState& right) const {
        const std::array<BiquadMemory*, 4> mem = memories(left, right);
        for (int k = 0; k < 2 * kChannels; ++k) *mem[k] = {m.x1[k], m.x2[k], m.y1[k], m.y2[k]};
    }

    // Frame j of chunk b: its shaped and band harmonics from its h and bp.
    SIMD_INLINE void step(ChunkBuffers<kChannels>& b, int j) {
        const float ad = offsetAt(j);
        F4 in;
        if constexpr (kChannels == 2)
            in = __builtin_shufflevector(Frame<2>::load(b.h + 2 * j), Frame<2>::load(b.bp + 2 * j), 0, 1, 4, 5);
        else
            in = F4{b.h[j], b.bp[j], b.h[j], b.bp[j]};
        const F4 y = highPassStep<F4>(m, b0, b1, a1, a2, in, F4{ad, ad, ad, ad});
        // gain * (yA + offset) in the shaped signal's lanes, gain * yB in the
        // band's: adding -0 leaves every value as it is.
        const F4 offset = kChannels == 2 ? F4{ad, ad, -0.0f, -0.0f} : F4{ad, -0.0f, ad, -0.0f};
        const F4 out = gain * (y + offset);
        if constexpr (kChannels == 2) {
            Frame<2>::store(b.shaped + 2 * j, out);
            Frame<2>::store(b.band + 2 * j, __builtin_shufflevector(out, out, 2, 3, 2, 3));
        } else {
            b.shaped[j] = out[0];
            b.band[j] = out[1];
        }
    }
};

// Transient tracking and the exciter's band-pass over a chunk (both read only
// s), and with kHighPass the high-passes of the chunk before, prev, which is
// a whole one: three feedback paths independent of each other, so that they
// run side by side.
// The stages' switches are template arguments, so that the loop has no
// branches and its feedback paths stay in registers.
template <int kChannels, bool kTransient, bool kExciter, bool kHighPass>
SIMD_INLINE void trackAndFilter(TrebleChannelState& left, TrebleChannelState& right, const TrebleCoefficients& c,
                                const BlockPrep& p, ChunkBuffers<kChannels>& b, int n,
                                HighPassLanes<kChannels>* hp, ChunkBuffers<kChannels>* prev) {
    using F = Frame<kChannels>;
    using V = typename F::V;
    TransientMemory<V> t{loadPair<kChannels>(left.prevIn, right.prevIn), loadPair<kChannels>(left.prevD1, right.prevD1),
                         loadPair<kChannels>(left.damp, right.damp), loadPair<kChannels>(left.env, right.env)};
    const bool secondOrder = c.tranSecondOrder != 0;
    const V slopeMix = F::splat(c.tranSlopeMix), damping = F::splat(c.tranDamp);
    const V attack = F::splat(0.35f), release = F::splat(p.tranRelease);
    const FrameBiquad<kChannels> band(c.bandPassCoef[0], c.bandPassCoef[kChannels - 1]);
    FilterMemory<V> m = loadMemory<kChannels>(left.bandPass, right.bandPass);
    // A local copy, so that the high-passes' memory stays in registers.
    HighPassLanes<kChannels> high = kHighPass ? *hp : HighPassLanes<kChannels>();
    for (int j = 0; j < n; ++j) {
        const V ad = F::splat(offsetAt(j));
        const V s = F::load(b.s + kChannels * j);
        if (kTransient) {
            V u, env;
            trackTransientStep<V>(t, secondOrder, slopeMix, damping, attack, release, s, ad, u, env);
            F::store(b.u + kChannels * j, u);
            F::store(b.env + kChannels * j, env);
        }
        if (kExciter) F::store(b.bp + kChannels * j, bandPassStep<V>(m, band.b0, band.a1, band.a2, s, ad));
        if (kHighPass) high.step(*prev, j);
    }
    if (kHighPass) {
        for (int j = n; j < kChunk; ++j) high.step(*prev, j);
        *hp = high;
    }
    if (kTransient) {
        storePair<kChannels>(t.prevIn, left.prevIn, right.prevIn);
        storePair<kChannels>(t.prevD1, left.prevD1, right.prevD1);
        storePair<kChannels>(t.damp, left.damp, right.damp);
        storePair<kChannels>(t.env, left.env, right.env);
    }
    if (kExciter) storeMemory<kChannels>(m, left.bandPass, right.bandPass);
}

template <int kChannels, bool kTransient, bool kExciter>
SIMD_INLINE void trackAndFilterChunk(TrebleChannelState& left, TrebleChannelState& right, const TrebleCoefficients& c,
                                     const BlockPrep& p, ChunkBuffers<kChannels>& b, int n,
                                     ChunkBuffers<kChannels>* prev) {
    if (kExciter && prev) {
        HighPassLanes<kChannels> hp(c, left, right);
        trackAndFilter<kChannels, kTransient, kExciter, true>(left, right, c, p, b, n, &hp, prev);
        hp.store(left, right);
    } else {
        trackAndFilter<kChannels, kTransient, kExciter, false>(left, right, c, p, b, n, nullptr, nullptr);
    }
}

// After the tracking: the transient shaper's output into b.out and the
// exciter's shaped band into b.h.
template <int kChannels>
SIMD_INLINE void shapeChunk(const TrebleDspState& state, const TrebleCoefficients& c, const BlockPrep& p,
                            const Switches& sw, ChunkBuffers<kChannels>& b, int n) {
    const int values = kChannels * n;
    if (sw.transient) {
        state.powfRun(b.env, c.tranExponent, b.power, values);
        for (int i = 0; i < values; ++i) b.out[i] = finishTransient(c, b.s[i], b.u[i], b.env[i], b.power[i]);
    } else {
        for (int i = 0; i < values; ++i) b.out[i] = b.s[i];
    }
    if (sw.exciter) {
        const float twoDriveGain = p.twoDriveGain, shapeW = p.shapeW, shapeWNegative = p.shapeWNegative;
        for (int i = 0; i < values; ++i) b.h[i] = shaperRoot(state, b.bp[i]);
        for (int i = 0; i < values; ++i) b.h[i] = shapeHarmonics(twoDriveGain, shapeW, shapeWNegative, b.bp[i], b.h[i]);
    }
}

// The output section on a chunk whose harmonics are done: leaves the limited
// output samples in b.out. True on an overload.
template <int kChannels>
SIMD_INLINE bool outputChunk(const TrebleCoefficients& c, const Switches& sw, ChunkBuffers<kChannels>& b, int n) {
    const int values = kChannels * n;
    float* t = b.out;
    if (sw.exciter)
        for (int i = 0; i < values; ++i) t[i] = addHarmonics(t[i], {b.shaped[i], b.band[i]});
    for (int i = 0; i < values; ++i) t[i] = mixOutput(c, b.dry[i], t[i]);
    const float overLimit = sw.overLimit;
    int over = 0;
    for (int i = 0; i < values; ++i) over |= std::fabs(t[i]) > overLimit;
    if (sw.clip)
        for (int i = 0; i < values; ++i) t[i] = softClip(t[i]);
    return over != 0;
}

// Runs a block's chunks as a pipeline one chunk deep: a chunk's high-passes
// run in the next chunk's tracking loop, and its output follows them. Hiss
// (chunk, start, n) runs the hiss reducer (and widener) of a chunk, leaving
// its dry and s values; emit(chunk, start, n) hands a finished chunk to the
// outputs. True on an overload.
template <int kChannels, class Hiss, class Emit>
SIMD_INLINE bool runChunks(TrebleDspState& state, const TrebleCoefficients& c, const BlockPrep& p, const Switches& sw,
                           int32_t sampleFrames, Hiss&& hiss, Emit&& emit) {
    // A single channel reads and writes its own state as both channels.
    TrebleChannelState& left = state.channel[0];
    TrebleChannelState& right = state.channel[kChannels - 1];
    ChunkBuffers<kChannels> chunks[2];
    ChunkBuffers<kChannels>* prev = nullptr;
    int32_t prevStart = 0;
    int prevN = 0;
    bool over = false;
    for (int32_t start = 0; start < sampleFrames; start += kChunk) {
        ChunkBuffers<kChannels>& b = chunks[(start / kChunk) & 1];
        const int n = sampleFrames - start < kChunk ? static_cast<int>(sampleFrames - start) : kChunk;
        hiss(b, start, n);
        if (sw.transient && sw.exciter)
            trackAndFilterChunk<kChannels, true, true>(left, right, c, p, b, n, prev);
        else if (sw.transient)
            trackAndFilterChunk<kChannels, true, false>(left, right, c, p, b, n, prev);
        else if (sw.exciter)
            trackAndFilterChunk<kChannels, false, true>(left, right, c, p, b, n, prev);
        shapeChunk<kChannels>(state, c, p, sw, b, n);
        if (prev) {
            over |= outputChunk<kChannels>(c, sw, *prev, prevN);
            emit(*prev, prevStart, prevN);
        }
        prev = &b;
        prevStart = start;
        prevN = n;
    }
    if (prev) {
        if (sw.exciter) {
            HighPassLanes<kChannels> hp(c, left, right);
            for (int j = 0; j < prevN; ++j) hp.step(*prev, j);
            hp.store(left, right);
        }
        over |= outputChunk<kChannels>(c, sw, *prev, prevN);
        emit(*prev, prevStart, prevN);
    }
    return over;
}

template <class Store>
void storeChannel(const float* frames, int stride, float* out, int n) {
    for (int j = 0; j < n; ++j) Store::store(out[j], frames[stride * j]);
}

// The single-channel chain on inputs[0]. kBothOutputs: the result goes to
// outputs[0] and outputs[1].
template <class Store, bool kAdvanceFirst, bool kBothOutputs>
void runSingleChannel(const TrebleCoefficients& live, TrebleDspState& state, float sampleRate, float** inputs,
                      float** outputs, int32_t sampleFrames, float* overFlag) {
    if (sampleFrames <= 0) return;
    const TrebleCoefficients c = snapshot(live, state);
    const BlockPrep p = prepareBlock(c, sampleRate);
    const Switches sw = switchesOf(c);

    float probe = 0.0f;
    const bool over = runChunks<1>(
        state, c, p, sw, sampleFrames,
        [&](ChunkBuffers<1>& b, int32_t start, int n) {
            probe += reduceHissChunk<1, kAdvanceFirst>(state, c, p, sw, inputs, start, n, b, b.s);
        },
        [&](const ChunkBuffers<1>& b, int32_t start, int n) {
            storeChannel<Store>(b.out, 1, outputs[0] + start, n);
            if (kBothOutputs) storeChannel<Store>(b.out, 1, outputs[1] + start, n);
        });
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

    float probe = 0.0f;
    float sides = 0.0f;
    TrebleChannelState& left = state.channel[0];
    TrebleChannelState& right = state.channel[1];
    const bool over = runChunks<2>(
        state, c, p, sw, sampleFrames,
        [&](ChunkBuffers<2>& b, int32_t start, int n) {
            if (!sw.wide) {
                probe += reduceHissChunk<2, false>(state, c, p, sw, inputs, start, n, b, b.s);
                return;
            }
            // The reducer's output goes to plain, after the frame before it,
            // and the widener moves it to s.
            b.plain[0] = left.widePrev;
            b.plain[1] = right.widePrev;
            probe += reduceHissChunk<2, false>(state, c, p, sw, inputs, start, n, b, b.plain + 2);
            // Counted in whole numbers per chunk: the same sums as one by one.
            sides += static_cast<float>(widenChunk(c, b, n));
            left.widePrev = b.plain[2 * n];
            right.widePrev = b.plain[2 * n + 1];
        },
        [&](const ChunkBuffers<2>& b, int32_t start, int n) {
            storeChannel<Store>(b.out, 2, outputs[0] + start, n);
            storeChannel<Store>(b.out + 1, 2, outputs[1] + start, n);
        });
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
