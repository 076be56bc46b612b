// The stages of the treble per-sample chain, shared by every kernel. Each stage
// works on a channel's memory held in locals by the kernel loop, so that the
// compiler keeps it in registers across samples.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/dsp/simd.h"
#include "treble_dsp/treble_coefficients.h"
#include "treble_dsp/treble_dsp_state.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TREBLE_CHAIN_SSE 1
#endif

namespace treble_chain {

// The alternating offset's magnitude; it flips sign before every sample.
constexpr float kAntiDenormal = 1e-8f;

// Values that depend only on the coefficients and the sample rate, prepared
// once per block.
struct BlockPrep {
    float invThr;
    float openStep, closeStep;
    float openSlope, closeSlope;
    float openBase, closeBase;
    float lowMark;
    float attack, release;
    float tranRelease;
    float shapeW;
    float shapeWNegative;   // the negative half of the shaper bends less
    float twoDriveGain;
};

BlockPrep prepareBlock(const TrebleCoefficients& c, float sampleRate);

// The hiss control shared by both channels: k, 1 - k, k2, 1 - k2 and the envelope.
struct HissControl {
    float k, kc, k2, kc2, envelope;
};

inline HissControl loadHiss(const TrebleDspState& s) {
    return {s.hissCoef, s.hissCoefComp, s.hissCoef2, s.hissCoef2Comp, s.hissEnvelope};
}

inline void storeHiss(TrebleDspState& s, const HissControl& h) {
    s.hissCoef = h.k;
    s.hissCoefComp = h.kc;
    s.hissCoef2 = h.k2;
    s.hissCoef2Comp = h.kc2;
    s.hissEnvelope = h.envelope;
}

// The steps below are templates on the sample type: float for one channel,
// simd::F4 for the two channels of a stereo pair in the low lanes of one
// vector. Either way every lane goes through the same operations in the same
// order, so both give the same bits.
inline float magnitudeOf(float v) { return std::fabs(v); }
inline simd::F4 magnitudeOf(simd::F4 v) {
    return simd::bitCast<simd::F4>(simd::bitCast<simd::U4>(v) & 0x7fffffffu);
}

// Hiss detector: the level of what a two-pole low-pass at the current
// coefficient removes from the input.
template <class V>
inline V hissResidualStep(V& lp1, V& lp2, V kc, V x, V ad) {
    lp1 = x + kc * (lp1 - x);
    lp2 = lp1 + kc * (lp2 - lp1) + ad;
    return magnitudeOf(x - lp2) + 1e-6f;
}

inline float hissResidual(TrebleChannelState& ch, float kc, float x, float ad) {
    return hissResidualStep<float>(ch.lp1, ch.lp2, kc, x, ad);
}

// An empty statement the compiler cannot move out of a branch, so that the
// branch is not turned into a select (which would wait for its condition).
inline void keepAsBranch(float& v) {
#if defined(__GNUC__) && defined(TREBLE_CHAIN_SSE)
    __asm__("" : "+x"(v));
#else
    (void)v;
#endif
}

// Follows the residual and opens the filter above the threshold, closes it
// below lowMark, and holds it in between.
inline void adaptHiss(HissControl& h, const BlockPrep& p, const TrebleCoefficients& c, float residual) {
    h.envelope += (residual - h.envelope) * (residual > h.envelope ? p.attack : p.release);
    float k = h.k;
    if (h.envelope >= c.hissThreshold)
        k = k * (p.openBase + p.openSlope * h.envelope);
    else if (h.envelope < p.lowMark)
        k = k * (p.closeBase + p.closeSlope * h.envelope);
    // The coefficient rests at one of its limits most of the time (open on
    // music, closed on silence). As predictable branches, the limits free the
    // next sample from waiting for this one's whole computation.
    if (k > 0.99f) {
        k = 0.99f;
        keepAsBranch(k);
    } else if (k < c.hissMinCoef) {
        k = c.hissMinCoef;
        keepAsBranch(k);
    }
    h.k = k;
    h.kc = 1.0f - k;
    float k2 = 1.3f * k;
    if (k2 > 1.0f) k2 = 1.0f;
    h.k2 = k2;
    h.kc2 = 1.0f - k2;
}

// The adaptive low-pass on the delayed input, with part of the removed hiss kept.
template <class V>
inline V reduceHissStep(V& y1, V& y2, V k, V kc, V kc2, V keep, V d) {
    y1 = y1 * kc + d * k;
    y2 = y1 + (y2 - y1) * kc2;
    return y2 + (d - y2) * keep;
}

inline float reduceHiss(TrebleChannelState& ch, const HissControl& h, const TrebleCoefficients& c, float d) {
    return reduceHissStep<float>(ch.y1, ch.y2, h.k, h.kc, h.kc2, c.hissKeep, d);
}

// Transient shaper, first half: differences, detection signal, damping and
// envelope. Leaves the damped detection signal u and the envelope.
inline float chooseGreater(float a, float b, float ifGreater, float otherwise) {
    return a > b ? ifGreater : otherwise;
}
inline simd::F4 chooseGreater(simd::F4 a, simd::F4 b, simd::F4 ifGreater, simd::F4 otherwise) {
    return a > b ? ifGreater : otherwise;
}

template <class V>
struct TransientMemory {
    V prevIn, prevD1, damp, env;
};

template <class V>
inline void trackTransientStep(TransientMemory<V>& m, bool secondOrder, V slopeMix, V damping, V attack, V release,
                               V s, V ad, V& u, V& env) {
    const V d1 = s - m.prevIn + ad;
    m.prevIn = s;
    const V d2 = d1 - m.prevD1 + ad;
    m.prevD1 = d1;
    const V detect = secondOrder ? d1 + (d2 - d1) * slopeMix : s + (d1 - s) * slopeMix;
    m.damp = detect + (m.damp - detect) * damping;
    u = m.damp;
    const V a = magnitudeOf(u);
    m.env += (a - m.env) * chooseGreater(a, m.env, attack, release);
    env = m.env;
}

inline void trackTransient(TrebleChannelState& ch, const TrebleCoefficients& c, const BlockPrep& p, float s,
                           float ad, float& u, float& env) {
    TransientMemory<float> m{ch.prevIn, ch.prevD1, ch.damp, ch.env};
    trackTransientStep<float>(m, c.tranSecondOrder != 0, c.tranSlopeMix, c.tranDamp, 0.35f, p.tranRelease, s, ad,
                              u, env);
    ch.prevIn = m.prevIn;
    ch.prevD1 = m.prevD1;
    ch.damp = m.damp;
    ch.env = m.env;
}

// Transient shaper, second half: the expanded copy added to s. Feeds nothing
// back, so the kernels run it apart from the recursive stages.
// power is env to the power of tranExponent, by the general power function.
inline float finishTransient(const TrebleCoefficients& c, float s, float u, float env, float power) {
    const float g = c.tranGain * power;
    const float den = (g + 1.0f) * env;
    // A zero envelope would give 0/0 and an overflowing power inf/inf; either
    // way the shaper adds nothing for that sample. (The division runs in any
    // case, so that the choice needs no branch.)
    const float ratio = g / den;
    const float q = (den > 0.0f && den <= FLT_MAX) ? ratio : 0.0f;
    return s + c.tranGain * (u * q);
}

// The harmonic exciter: band-pass, asymmetric square-root shaper, and both
// the shaped and the unshaped band after the same high-pass. The kernels add
// harmonicsGain times their difference to the transient shaper's output (see
// addHarmonics), so only the harmonics the shaper created above the corner
// reach the output. The steps are apart so that the kernels can run each over
// a whole chunk.
struct Harmonics {
    float shaped;  // harmonicsGain * (yA + offset)
    float band;    // harmonicsGain * yB
};

template <class V>
struct FilterMemory {
    V x1, x2, y1, y2;
};

template <class V>
inline V bandPassStep(FilterMemory<V>& m, V b0, V a1, V a2, V s, V ad) {
    const V bp = b0 * (s - m.x2) - a1 * m.y1 - a2 * m.y2 + ad;
    m.y2 = m.y1;
    m.y1 = bp;
    m.x2 = m.x1;
    m.x1 = s;
    return bp;
}

inline float bandPass(BiquadMemory& m, const BiquadCoefficients& band, float s, float ad) {
    FilterMemory<float> f{m.x1, m.x2, m.y1, m.y2};
    const float bp = bandPassStep<float>(f, band.b0, band.a1, band.a2, s, ad);
    m = {f.x1, f.x2, f.y1, f.y2};
    return bp;
}

// The root the shaper bends: the table index ignores the sign bit, so |bp|
// reads the same entries as -bp.
inline float shaperRoot(const TrebleDspState& tables, float bp) { return tables.fastSqrt(std::fabs(bp)); }

// Rises with |bp| and keeps its sign, levelling off sooner on the negative
// side. r is shaperRoot(bp). Free of table reads and of recursion, so that the
// kernels' loop over a chunk runs on several samples at once.
inline float shapeHarmonics(float twoDriveGain, float shapeW, float shapeWNegative, float bp, float r) {
    const float z = twoDriveGain * r / (1.0f + (bp >= 0.0f ? shapeW : shapeWNegative) * r);
    return bp >= 0.0f ? z * z : -(z * z);
}

template <class V>
inline V highPassStep(FilterMemory<V>& m, V b0, V b1, V a1, V a2, V in, V ad) {
    const V y = b0 * (in + m.x2) + b1 * m.x1 - a1 * m.y1 - a2 * m.y2 + ad;
    m.y2 = m.y1;
    m.y1 = y;
    m.x2 = m.x1;
    m.x1 = in;
    return y;
}

inline float highPass(BiquadMemory& m, const BiquadCoefficients& f, float in, float ad) {
    FilterMemory<float> mem{m.x1, m.x2, m.y1, m.y2};
    const float y = highPassStep<float>(mem, f.b0, f.b1, f.a1, f.a2, in, ad);
    m = {mem.x1, mem.x2, mem.y1, mem.y2};
    return y;
}

inline Harmonics highPassHarmonics(TrebleChannelState& ch, const BiquadCoefficients& shapedHp,
                                   const BiquadCoefficients& bandHp, const TrebleCoefficients& c, float h, float bp,
                                   float ad) {
    const float yA = highPass(ch.shapedHighPass, shapedHp, h, ad);
    const float yB = highPass(ch.bandHighPass, bandHp, bp, ad);
    return {c.harmonicsGain * (yA + ad), c.harmonicsGain * yB};
}

inline float addHarmonics(float t, const Harmonics& h) { return t + h.shaped - h.band; }

inline float mixOutput(const TrebleCoefficients& c, float dry, float e) {
    return (dry + (e - dry) * c.mixAmount) * c.outputGain;
}

inline uint32_t floatBits(float y) {
    uint32_t bits;
    std::memcpy(&bits, &y, sizeof bits);
    return bits;
}

inline float floatOfBits(uint32_t bits) {
    float y;
    std::memcpy(&y, &bits, sizeof y);
    return y;
}

// The soft clipper's curve: y - y^2/4 (mirrored for negative y) below 2, meeting
// +-1 there with zero slope, and +-1 from 2 up. Works on the bits so that
// infinities and NaN also land on +-1, and without a branch, so that the
// kernels run it on several samples at once.
inline float softClip(float y) {
    const uint32_t bits = floatBits(y);
    const uint32_t sign = bits & 0x80000000u;
    // y - y^2/4 above zero, y + y^2/4 below: subtracting the square carrying
    // y's sign does both without a branch on the sign.
    const float curve = y - floatOfBits(floatBits(y * y * 0.25f) | sign);
    const float limit = floatOfBits(0x3f800000u | sign);
    return (bits & 0x40000000u) ? limit : curve;
}

// Store policies: the plain kernels add into the output, the Replacing ones write it.
struct AddToOutput {
    static void store(float& out, float y) { out += y; }
};
struct WriteOutput {
    static void store(float& out, float y) { out = y; }
};

}  // namespace treble_chain
