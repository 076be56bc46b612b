// The bass signal path: one implementation behind both process calls, with
// the block start and end steps around it.
//
// The per-sample chain runs in three stages over chunks of a block, each a
// short loop around its own feedback paths: (1) band split, envelope and
// gain, (2) the harmonic generator, (3) DC filter, mix, clipper and overload.
// Short loops let the processor overlap many samples; one long loop body
// would leave it waiting on the chain from input to output of every sample.
// Stereo runs both channels side by side in the two low lanes of SSE
// registers; mono runs the same steps on plain floats.
#include <emmintrin.h>

#include <cmath>
#include <initializer_list>

#include "bass/bass_effect.h"

using namespace bass_params;

namespace {

// How a processed sample reaches the host's buffer.
struct StoreSample {
    static void put(float* destination, float value) { *destination = value; }
    static void put4(float* destination, __m128 values) { _mm_storeu_ps(destination, values); }
};
struct AddSample {
    static void put(float* destination, float value) { *destination += value; }
    static void put4(float* destination, __m128 values) {
        _mm_storeu_ps(destination, _mm_add_ps(_mm_loadu_ps(destination), values));
    }
};

// Hands n processed samples to one host buffer.
template <class Store>
inline void deliver(float* destination, const float* values, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) Store::put4(destination + i, _mm_load_ps(values + i));
    for (; i < n; ++i) Store::put(destination + i, values[i]);
}
// The same for a stereo chunk whose channels lie side by side.
template <class Store>
inline void deliverPairs(float* left, float* right, const float* values, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128 a = _mm_load_ps(values + 2 * i), b = _mm_load_ps(values + 2 * i + 4);
        Store::put4(left + i, _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
        Store::put4(right + i, _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    }
    for (; i < n; ++i) {
        Store::put(left + i, values[2 * i]);
        Store::put(right + i, values[2 * i + 1]);
    }
}

constexpr float kSilenceFloor = 1.5258789e-05f;  // 2^-16
constexpr float kAttack = 0.025f;
constexpr float kRelease = 0.001f;
constexpr double kHoldRelease = 0.025;
// The harmonic shaper's square overflows beyond this; no real signal comes near it.
constexpr float kShaperLimit = 1e15f;
constexpr int kChunk = BassEffect::kChunk;
using ChunkBuffers = BassEffect::ChunkBuffers;
constexpr unsigned kRingMask = BassEffect::kRingSize - 1;

// Truncation toward zero that stays defined for any value.
int truncated(float value) {
    if (value >= 1073741824.0f) return 1073741824;
    if (value <= -1073741824.0f) return -1073741824;
    return value == value ? static_cast<int>(value) : 0;
}

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

// Block transfers between the 256-entry rings and a chunk, wrapping at the
// ring's end: n values from ring position `at` on.
inline void copyFloats(float* to, const float* from, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) _mm_storeu_ps(to + i, _mm_loadu_ps(from + i));
    for (; i < n; ++i) to[i] = from[i];
}
inline int beforeWrap(unsigned at, int n) {
    const int room = BassEffect::kRingSize - static_cast<int>(at);
    return room < n ? room : n;
}
inline void readRing(const float* ring, unsigned at, float* to, int n) {
    const int first = beforeWrap(at, n);
    copyFloats(to, ring + at, first);
    copyFloats(to + first, ring, n - first);
}
inline void writeRing(float* ring, unsigned at, const float* from, int n) {
    const int first = beforeWrap(at, n);
    copyFloats(ring + at, from, first);
    copyFloats(ring, from + first, n - first);
}
// The stereo chunk keeps the channels side by side; the rings are one per channel.
inline void interleave(float* to, const float* left, const float* right, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128 l = _mm_loadu_ps(left + i), r = _mm_loadu_ps(right + i);
        _mm_storeu_ps(to + 2 * i, _mm_unpacklo_ps(l, r));
        _mm_storeu_ps(to + 2 * i + 4, _mm_unpackhi_ps(l, r));
    }
    for (; i < n; ++i) {
        to[2 * i] = left[i];
        to[2 * i + 1] = right[i];
    }
}
inline void deinterleave(float* left, float* right, const float* from, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128 a = _mm_loadu_ps(from + 2 * i), b = _mm_loadu_ps(from + 2 * i + 4);
        _mm_storeu_ps(left + i, _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
        _mm_storeu_ps(right + i, _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)));
    }
    for (; i < n; ++i) {
        left[i] = from[2 * i];
        right[i] = from[2 * i + 1];
    }
}
inline void readRingPairs(const float* left, const float* right, unsigned at, float* to, int n) {
    const int first = beforeWrap(at, n);
    interleave(to, left + at, right + at, first);
    interleave(to + 2 * first, left, right, n - first);
}
inline void writeRingPairs(float* left, float* right, unsigned at, const float* from, int n) {
    const int first = beforeWrap(at, n);
    deinterleave(left + at, right + at, from, first);
    deinterleave(left, right, from + 2 * first, n - first);
}
// values[i] -= amounts[i]
inline void subtract(float* values, const float* amounts, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) _mm_storeu_ps(values + i, _mm_sub_ps(_mm_loadu_ps(values + i), _mm_loadu_ps(amounts + i)));
    for (; i < n; ++i) values[i] -= amounts[i];
}

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
    unsigned w, r;
    bool lastOver;
    float overload;
};

// The gain for an envelope value: 1 at or above the threshold, about
// sqrt(threshold / envelope) below it, and its ceiling near silence.
inline float gainFor(const BassLookup& lookup, const BlockConstants& k, float env) {
    const float raised = env >= k.threshold ? 1.0f : k.sqrtThreshold * lookup.sqrtTimesRecip(env);
    return env > kSilenceFloor ? raised : k.maxGain;
}

inline float nextEnvelope(float env, float peak) {
    return peak > env ? env * (1.0f - kAttack) + peak * kAttack : env * (1.0f - kRelease) + peak * kRelease;
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

// Runs the three stages over the chunks of a block as a pipeline: stage 1 of
// chunk j, stage 2 of chunk j - 1 and stage 3 of chunk j - 2 share one loop.
// Their feedback paths are independent of each other there, so the processor
// works on all of them at once instead of one after the other.
// Inlined so that the path's filter states stay in registers.
template <class Path>
__attribute__((always_inline)) inline void runPipeline(Path& p, VstInt32 frames) {
    const int chunks = static_cast<int>((static_cast<long long>(frames) + kChunk - 1) / kChunk);
    auto size = [&](int j) {
        if (j < 0 || j >= chunks) return 0;
        const VstInt32 left = frames - static_cast<VstInt32>(j) * kChunk;
        return left < kChunk ? static_cast<int>(left) : kChunk;
    };
    for (int j = 0; j < chunks + 2; ++j) {
        const int n1 = size(j), n2 = size(j - 1), n3 = size(j - 2);
        ChunkBuffers& c1 = p.buffers[j % 3];
        ChunkBuffers& c2 = p.buffers[(j + 2) % 3];
        ChunkBuffers& c3 = p.buffers[(j + 1) % 3];
        if (n1) p.begin1(c1, n1);
        // Only the last chunk may be short, so the active stages share the
        // shortest length and the longer ones finish alone.
        int common = kChunk;
        for (int n : {n1, n2, n3})
            if (n && n < common) common = n;
        if (n1 && n2 && n3) {
            for (int i = 0; i < common; ++i) {
                p.step1(c1, i, j);
                p.step2(c2, i);
                p.step3(c3, i);
            }
        } else if (n1 && n2) {
            for (int i = 0; i < common; ++i) {
                p.step1(c1, i, j);
                p.step2(c2, i);
            }
        } else if (n2 && n3) {
            for (int i = 0; i < common; ++i) {
                p.step2(c2, i);
                p.step3(c3, i);
            }
        } else {
            common = 0;
        }
        for (int i = common; i < n1; ++i) p.step1(c1, i, j);
        for (int i = common; i < n2; ++i) p.step2(c2, i);
        for (int i = common; i < n3; ++i) p.step3(c3, i);
        if (n1) p.end1(c1, n1);
        if (n3) p.end3(c3, n3, (j - 2) * kChunk);
    }
}

// Two consecutive full-scale values in a chunk's bit set, the pair possibly
// spanning chunks.
inline void countOvers(BlockState& s, unsigned long long over, int n) {
    if ((over & ((over << 1) | (s.lastOver ? 1u : 0u))) != 0) s.overload = 1.0f;
    s.lastOver = (over >> (n - 1)) & 1u;
}

template <class Store, bool ProcessOn>
void BassEffect::runStereo(float** inputs, float** outputs, VstInt32 sampleFrames, void* blockState,
                           const void* blockConstants) {
    struct Path {
        BassEffect& e;
        BlockState& s;
        const BlockConstants k;  // a copy: the chunk stores cannot alias it, so it stays in registers
        ChunkBuffers* buffers;
        const float* inL;
        const float* inR;
        float* outL;
        float* outR;
        __m128 split1, split2, shaper, dc;
        __m128d hold, smooth;
        __m128 dither;
        float env;

        void begin1(ChunkBuffers& c, int n) {
            // The delayed values leave the rings before this chunk overwrites
            // them: the slot read at one sample is written at the next.
            readRingPairs(e.dryRing[0], e.dryRing[1], s.r, c.dry, n);
            readRingPairs(e.highRing[0], e.highRing[1], s.r, c.high, n);
            readRingPairs(e.lowRing[0], e.lowRing[1], s.r, c.low, n);
        }
        // Stage 1: dither, band split, envelope and gain.
        void step1(ChunkBuffers& c, int i, int j) {
            dither = _mm_xor_ps(dither, _mm_set1_ps(-0.0f));
            const int at = j * kChunk + i;
            const __m128 x = _mm_add_ps(pairOf(inL[at], inR[at]), dither);
            storePair(e.chunkInput + 2 * i, x);
            const __m128 a1 = _mm_set1_ps(k.a1), keep1 = _mm_set1_ps(k.keep1);
            split1 = _mm_add_ps(_mm_mul_ps(split1, keep1), _mm_mul_ps(a1, x));
            split2 = _mm_add_ps(_mm_mul_ps(split2, keep1), _mm_mul_ps(a1, split1));
            storePair(e.chunkSplit + 2 * i, split2);
            // The envelope of the undelayed low band of the louder channel
            // sets the gain 255 samples before the audio it applies to.
            const __m128 level = magnitudeOf(split2);
            env = nextEnvelope(env, larger(_mm_cvtss_f32(level), rightOf(level)));
            c.gain[i] = gainFor(e.lookup, k, env);
        }
        void end1(ChunkBuffers& c, int n) {
            writeRingPairs(e.dryRing[0], e.dryRing[1], s.w, e.chunkInput, n);
            writeRingPairs(e.lowRing[0], e.lowRing[1], s.w, e.chunkSplit, n);
            subtract(e.chunkInput, e.chunkSplit, 2 * n);
            writeRingPairs(e.highRing[0], e.highRing[1], s.w, e.chunkInput, n);
            s.w = (s.w + static_cast<unsigned>(n)) & kRingMask;
            s.r = (s.r + static_cast<unsigned>(n)) & kRingMask;
            s.gain = c.gain[n - 1];
        }
        // Stage 2: the raised low band and its harmonics.
        void step2(ChunkBuffers& c, int i) {
            if (!ProcessOn) return;
            const __m128 raisedLow = _mm_mul_ps(loadPair(c.low + 2 * i), _mm_set1_ps(c.gain[i]));
            shaper = _mm_add_ps(_mm_mul_ps(shaper, _mm_set1_ps(k.keep2)), _mm_mul_ps(_mm_set1_ps(k.a2), raisedLow));
            const __m128d shaped = _mm_cvtps_pd(shaper);
            // Above the hold the new value wins; below it the decayed hold
            // lies between the two: either way the larger one.
            hold = _mm_max_pd(shaped, _mm_add_pd(_mm_mul_pd(hold, _mm_set1_pd(1.0 - kHoldRelease)),
                                                 _mm_mul_pd(shaped, _mm_set1_pd(kHoldRelease))));
            const __m128 t = _mm_min_ps(_mm_max_ps(_mm_cvtpd_ps(_mm_mul_pd(_mm_set1_pd(k.colourFactor), hold)),
                                                   _mm_set1_ps(-kShaperLimit)),
                                        _mm_set1_ps(kShaperLimit));
            const __m128d harm = _mm_sub_pd(_mm_cvtps_pd(_mm_mul_ps(_mm_set1_ps(k.colourNorm), parabolaOf(t))), hold);
            smooth = _mm_add_pd(_mm_mul_pd(smooth, _mm_set1_pd(k.keep1Wide)), _mm_mul_pd(_mm_set1_pd(k.a1Wide), harm));
            storePair(c.low + 2 * i, _mm_add_ps(raisedLow, _mm_cvtpd_ps(smooth)));
        }
        // Stage 3: sum and DC filter ...
        void step3(ChunkBuffers& c, int i) {
            const __m128 y =
                _mm_add_ps(loadPair(c.high + 2 * i), _mm_mul_ps(_mm_set1_ps(k.bassGain), loadPair(c.low + 2 * i)));
            dc = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(k.b0), y), _mm_mul_ps(_mm_set1_ps(k.b1), dc));
            storePair(c.high + 2 * i, _mm_sub_ps(y, dc));
        }
        // ... then mix, output gain, clipper and overload, two frames a step.
        void end3(ChunkBuffers& c, int n, int start) {
            const __m128 mix = _mm_set1_ps(k.mixAmount), outputGain = _mm_set1_ps(k.outputGain);
            const bool saturate = k.saturate;
            // Bit i set: frame i reached full scale in either channel.
            unsigned long long over = 0;
            for (int i = 0; i < 2 * n; i += 4) {
                const __m128 y = _mm_load_ps(c.high + i), d = _mm_load_ps(c.dry + i);
                __m128 o = _mm_mul_ps(_mm_add_ps(d, _mm_mul_ps(_mm_sub_ps(y, d), mix)), outputGain);
                if (saturate) o = softClipOf(o);
                const int lanes = fullScaleLanes(o) & (i + 4 <= 2 * n ? 15 : 3);
                over |= static_cast<unsigned long long>(((lanes & 3) != 0) | (((lanes & 12) != 0) << 1)) << (i / 2);
                _mm_store_ps(c.high + i, o);
            }
            countOvers(s, over, n);
            deliverPairs<Store>(outL + start, outR + start, c.high, n);
        }
    };

    BlockState& s = *static_cast<BlockState*>(blockState);
    Path p{*this,
           s,
           *static_cast<const BlockConstants*>(blockConstants),
           chunkBuffers,
           inputs[0],
           inputs[1],
           outputs[0],
           outputs[1],
           pairOf(s.split1[0], s.split1[1]),
           pairOf(s.split2[0], s.split2[1]),
           pairOf(s.shaper[0], s.shaper[1]),
           pairOf(s.dc[0], s.dc[1]),
           _mm_setr_pd(s.hold[0], s.hold[1]),
           _mm_setr_pd(s.smooth[0], s.smooth[1]),
           _mm_set1_ps(s.dither),
           s.env};
    runPipeline(p, sampleFrames);

    float lanes[4];
    _mm_storeu_ps(lanes, p.split1);
    s.split1[0] = lanes[0], s.split1[1] = lanes[1];
    _mm_storeu_ps(lanes, p.split2);
    s.split2[0] = lanes[0], s.split2[1] = lanes[1];
    _mm_storeu_ps(lanes, p.shaper);
    s.shaper[0] = lanes[0], s.shaper[1] = lanes[1];
    _mm_storeu_ps(lanes, p.dc);
    s.dc[0] = lanes[0], s.dc[1] = lanes[1];
    _mm_storeu_pd(s.hold, p.hold);
    _mm_storeu_pd(s.smooth, p.smooth);
    s.env = p.env;
    s.dither = _mm_cvtss_f32(p.dither);
}

template <class Store, bool BothOutputs, bool ProcessOn>
void BassEffect::runMono(float** inputs, float** outputs, VstInt32 sampleFrames, void* blockState,
                         const void* blockConstants) {
    struct Path {
        BassEffect& e;
        BlockState& s;
        const BlockConstants k;  // a copy: the chunk stores cannot alias it, so it stays in registers
        ChunkBuffers* buffers;
        const float* in;
        float* out0;
        float* out1;
        float split1, split2, shaper, dc;
        double hold, smooth;
        float dither, env;

        void begin1(ChunkBuffers& c, int n) {
            // The delayed values leave the rings before this chunk overwrites them.
            readRing(e.dryRing[0], s.r, c.dry, n);
            readRing(e.highRing[0], s.r, c.high, n);
            readRing(e.lowRing[0], s.r, c.low, n);
        }
        // Stage 1: dither, band split, envelope and gain.
        void step1(ChunkBuffers& c, int i, int j) {
            dither = -dither;
            const float x = in[j * kChunk + i] + dither;
            e.chunkInput[i] = x;
            split1 = split1 * k.keep1 + k.a1 * x;
            split2 = split2 * k.keep1 + k.a1 * split1;
            e.chunkSplit[i] = split2;
            env = nextEnvelope(env, std::fabs(split2));
            c.gain[i] = gainFor(e.lookup, k, env);
        }
        void end1(ChunkBuffers& c, int n) {
            // In the stereo build the right band rings follow the left, ready
            // for a switch to stereo; the mono build never reads them.
            writeRing(e.dryRing[0], s.w, e.chunkInput, n);
            writeRing(e.lowRing[0], s.w, e.chunkSplit, n);
            if (BothOutputs) writeRing(e.lowRing[1], s.w, e.chunkSplit, n);
            subtract(e.chunkInput, e.chunkSplit, n);
            writeRing(e.highRing[0], s.w, e.chunkInput, n);
            if (BothOutputs) writeRing(e.highRing[1], s.w, e.chunkInput, n);
            s.w = (s.w + static_cast<unsigned>(n)) & kRingMask;
            s.r = (s.r + static_cast<unsigned>(n)) & kRingMask;
            s.gain = c.gain[n - 1];
        }
        // Stage 2: the raised low band and its harmonics.
        void step2(ChunkBuffers& c, int i) {
            if (!ProcessOn) return;
            const float raisedLow = c.low[i] * c.gain[i];
            shaper = shaper * k.keep2 + k.a2 * raisedLow;
            const double shaped = shaper;
            const double decayed = hold * (1.0 - kHoldRelease) + shaped * kHoldRelease;
            hold = shaped > hold ? shaped : decayed;
            const float t = limited(static_cast<float>(k.colourFactor * hold), kShaperLimit);
            const double harm = static_cast<double>(k.colourNorm * parabola(t)) - hold;
            smooth = smooth * k.keep1Wide + k.a1Wide * harm;
            c.low[i] = raisedLow + static_cast<float>(smooth);
        }
        // Stage 3: sum and DC filter ...
        void step3(ChunkBuffers& c, int i) {
            const float y = c.high[i] + k.bassGain * c.low[i];
            dc = k.b0 * y + k.b1 * dc;
            c.high[i] = y - dc;
        }
        // ... then mix, output gain, clipper and overload, four samples a step.
        void end3(ChunkBuffers& c, int n, int start) {
            const __m128 mix = _mm_set1_ps(k.mixAmount), outputGain = _mm_set1_ps(k.outputGain);
            const bool saturate = k.saturate;
            // Bit i set: sample i reached full scale.
            unsigned long long over = 0;
            for (int i = 0; i < n; i += 4) {
                const __m128 y = _mm_load_ps(c.high + i), d = _mm_load_ps(c.dry + i);
                __m128 o = _mm_mul_ps(_mm_add_ps(d, _mm_mul_ps(_mm_sub_ps(y, d), mix)), outputGain);
                if (saturate) o = softClipOf(o);
                const int valid = n - i >= 4 ? 15 : (1 << (n - i)) - 1;
                over |= static_cast<unsigned long long>(fullScaleLanes(o) & valid) << i;
                _mm_store_ps(c.high + i, o);
            }
            countOvers(s, over, n);
            deliver<Store>(out0 + start, c.high, n);
            if (BothOutputs) deliver<Store>(out1 + start, c.high, n);
        }
    };

    BlockState& s = *static_cast<BlockState*>(blockState);
    Path p{*this,
           s,
           *static_cast<const BlockConstants*>(blockConstants),
           chunkBuffers,
           inputs[0],
           outputs[0],
           BothOutputs ? outputs[1] : nullptr,
           s.split1[0],
           s.split2[0],
           s.shaper[0],
           s.dc[0],
           s.hold[0],
           s.smooth[0],
           s.dither,
           s.env};
    runPipeline(p, sampleFrames);

    s.split1[0] = p.split1;
    s.split2[0] = p.split2;
    s.shaper[0] = p.shaper;
    s.dc[0] = p.dc;
    s.hold[0] = p.hold;
    s.smooth[0] = p.smooth;
    s.env = p.env;
    s.dither = p.dither;
}

template <class Store>
void BassEffect::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames) {
    settleChannelMode();
    if (sampleFrames < 0) sampleFrames = 0;

    const float a1 = static_cast<float>(bandCoef), a2 = static_cast<float>(shaperCoef);
    const float sqrtThreshold = lookup.sqrtOf(thresholdLin);
    const BlockConstants k = {a1,
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
                              lookup.sqrtOf(kSilenceFloor) * sqrtThreshold * 65536.0f,
                              gainLin,
                              bassLin,
                              colourFactor,
                              colourNorm,
                              mixAmount,
                              reachesOne(saturationOn)};

    BlockState s;
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
    s.w = static_cast<unsigned>(ringWriteIndex) & kRingMask;
    s.r = static_cast<unsigned>(ringReadIndex) & kRingMask;
    s.lastOver = false;
    s.overload = 0.0f;

    const bool on = reachesOne(processOn);
    if (pluginBuild == PluginBuild::Mono) {
        if (on) runMono<Store, false, true>(inputs, outputs, sampleFrames, &s, &k);
        else runMono<Store, false, false>(inputs, outputs, sampleFrames, &s, &k);
    } else if (stereoMode != 0) {
        if (on) runStereo<Store, true>(inputs, outputs, sampleFrames, &s, &k);
        else runStereo<Store, false>(inputs, outputs, sampleFrames, &s, &k);
    } else {
        if (on) runMono<Store, true, true>(inputs, outputs, sampleFrames, &s, &k);
        else runMono<Store, true, false>(inputs, outputs, sampleFrames, &s, &k);
    }

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
    meterWriteIndex = (meterWriteIndex + 1) & kRingMask;
    meterReadIndex = (meterReadIndex + 1) & kRingMask;
}

void BassEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processBlock<AddSample>(inputs, outputs, sampleFrames);
}

void BassEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    processBlock<StoreSample>(inputs, outputs, sampleFrames);
}
