// Per-sample arithmetic of the bass chain, on plain floats and on SSE lanes
// (stereo runs both channels side by side in the two low lanes).
#pragma once

#include <emmintrin.h>

#include <cmath>

#include "bass_dsp/bass_block.h"
#include "bass_dsp/bass_lookup.h"

namespace bass_dsp {

constexpr float kAttack = 0.025f;
constexpr float kRelease = 0.001f;
constexpr double kHoldRelease = 0.025;
// The harmonic shaper's square overflows beyond this; no real signal comes near it.
constexpr float kShaperLimit = 1e15f;

// t - t^2/4 for t >= 0 and t + t^2/4 below, by the sign bit: one formula.
inline float parabola(float t) { return t - 0.25f * t * std::fabs(t); }

// Written so that they compile to single max and min instructions (the
// library's fmin and fmax are calls).
inline float larger(float a, float b) { return a < b ? b : a; }
inline float limited(float t, float limit) {
    const float floorOfT = t < -limit ? -limit : t;
    return limit < floorOfT ? limit : floorOfT;
}

// Lane-wise helpers for the stereo stages.
inline __m128 pairOf(float left, float right) { return _mm_unpacklo_ps(_mm_set_ss(left), _mm_set_ss(right)); }
inline __m128 loadPair(const float* p) { return _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(p))); }
inline void storePair(float* p, __m128 v) { _mm_store_sd(reinterpret_cast<double*>(p), _mm_castps_pd(v)); }
inline float rightOf(__m128 v) { return _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1))); }
inline __m128 magnitudeOf(__m128 v) { return _mm_and_ps(v, _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff))); }
inline __m128 parabolaOf(__m128 t) {
    return _mm_sub_ps(t, _mm_mul_ps(_mm_set1_ps(0.25f), _mm_mul_ps(t, magnitudeOf(t))));
}

// Soft clipper: beyond a magnitude of 2 (or not a number, as the exponent
// test of the pattern has it) the sign at full scale, else the parabola.
inline __m128 softClipOf(__m128 o) {
    const __m128 beyond = _mm_cmpnlt_ps(magnitudeOf(o), _mm_set1_ps(2.0f));
    const __m128 sign = _mm_and_ps(o, _mm_castsi128_ps(_mm_set1_epi32(static_cast<int>(0x80000000u))));
    const __m128 full = _mm_or_ps(sign, _mm_set1_ps(1.0f));
    return _mm_or_ps(_mm_and_ps(beyond, full), _mm_andnot_ps(beyond, parabolaOf(o)));
}
inline float softClip(float o) { return _mm_cvtss_f32(softClipOf(_mm_set_ss(o))); }

// Lanes whose value reaches full scale (finite, magnitude of at least 1): one
// exponent step up sets bit 30, shifted into the sign bit for the mask.
inline int fullScaleLanes(__m128 v) {
    const __m128i stepped = _mm_add_epi32(_mm_castps_si128(v), _mm_set1_epi32(0x00800000));
    return _mm_movemask_ps(_mm_castsi128_ps(_mm_slli_epi32(stepped, 1)));
}

// The gain for an envelope value: 1 at or above the threshold, about
// sqrt(threshold / envelope) below it, and its ceiling near silence.
inline float gainFor(const BassLookup& lookup, const BlockConstants& k, float env) {
    const float raised = env >= k.threshold ? 1.0f : k.sqrtThreshold * lookup.sqrtTimesRecip(env);
    return env > kSilenceFloor ? raised : k.maxGain;
}

inline float nextEnvelope(float env, float peak) {
    return peak > env ? env * (1.0f - kAttack) + peak * kAttack : env * (1.0f - kRelease) + peak * kRelease;
}

}  // namespace bass_dsp
