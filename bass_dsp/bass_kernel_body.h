// The bass kernels' source, compiled once per instruction set: the including
// file defines BASS_KERNEL_SET, the name of the entry point it gets, and
// BASS_KERNEL_AVX where it compiles for AVX processors.
//
// The per-sample chain runs in three stages over chunks of a block, each a
// short loop around its own feedback paths: (1) band split, envelope and
// gain, (2) the harmonic generator's filters, then a pass over the chunk for
// its shaping, (3) harmonic smoothing, DC filter, mix, clipper and overload.
// The shaping has no feedback, so it runs on several samples at once, which
// spreads its float/double conversions over vector lanes.
// Short loops let the processor overlap many samples; one long loop body
// would leave it waiting on the chain from input to output of every sample.
// Stereo runs both channels side by side in the two low lanes of SSE
// registers; mono runs the same steps on plain floats.
#include <immintrin.h>

#include <cmath>

#include "bass_dsp/bass_kernels.h"
#include "bass_dsp/bass_pipeline.h"
#include "bass_dsp/bass_sample_math.h"
#include "bass_dsp/bass_transfers.h"

namespace bass_dsp {
namespace {

// The limit of the shaper's input as each layout has always applied it; they
// differ only for a value that is not a number, which mono passes on and
// stereo turns into the lower limit.
struct ClampMono {
    static __m128 of(__m128 t) {
        return _mm_min_ps(_mm_set1_ps(kShaperLimit), _mm_max_ps(_mm_set1_ps(-kShaperLimit), t));
    }
};
struct ClampStereo {
    static __m128 of(__m128 t) {
        return _mm_min_ps(_mm_max_ps(t, _mm_set1_ps(-kShaperLimit)), _mm_set1_ps(kShaperLimit));
    }
};

// The harmonics of the peak holds in place, four values a step (n rounded
// up; the values past n are scratch):
// hold -> colourNorm * parabola(limit(float(colourFactor * hold))) - hold.
template <class Clamp>
inline void shapeHarmonics(const BlockConstants& k, double* values, int n) {
    const __m128 norm = _mm_set1_ps(k.colourNorm);
#ifdef BASS_KERNEL_AVX
    // AVX converts four doubles to four floats and back in one step each.
    const __m256d factor = _mm256_set1_pd(k.colourFactor);
    for (int i = 0; i < n; i += 4) {
        const __m256d hold = _mm256_loadu_pd(values + i);
        const __m128 t = Clamp::of(_mm256_cvtpd_ps(_mm256_mul_pd(factor, hold)));
        const __m128 shaped = _mm_mul_ps(norm, parabolaOf(t));
        _mm256_storeu_pd(values + i, _mm256_sub_pd(_mm256_cvtps_pd(shaped), hold));
    }
#else
    const __m128d factor = _mm_set1_pd(k.colourFactor);
    for (int i = 0; i < n; i += 4) {
        const __m128d low = _mm_load_pd(values + i), high = _mm_load_pd(values + i + 2);
        const __m128 t = Clamp::of(
            _mm_movelh_ps(_mm_cvtpd_ps(_mm_mul_pd(factor, low)), _mm_cvtpd_ps(_mm_mul_pd(factor, high))));
        const __m128 shaped = _mm_mul_ps(norm, parabolaOf(t));
        _mm_store_pd(values + i, _mm_sub_pd(_mm_cvtps_pd(shaped), low));
        _mm_store_pd(values + i + 2, _mm_sub_pd(_mm_cvtps_pd(_mm_movehl_ps(shaped, shaped)), high));
    }
#endif
}

// The gains of a chunk's envelope values, in place. The table lookups take
// no part in the envelope's feedback, so a pass of their own keeps them out
// of the loop that carries it.
inline void gainsOf(const BassLookup& lookup, const BlockConstants& k, float* values, int n) {
    for (int i = 0; i < n; ++i) values[i] = gainFor(lookup, k, values[i]);
}

template <class Store, bool ProcessOn>
void runStereo(const Block& b) {
    struct Path {
        Workspace& w;
        const BassLookup& lookup;
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
            readRingPairs(w.dryRing[0], w.dryRing[1], s.r, c.dry, n);
            readRingPairs(w.highRing[0], w.highRing[1], s.r, c.high, n);
            readRingPairs(w.lowRing[0], w.lowRing[1], s.r, c.low, n);
        }
        // Stage 1: dither, band split, envelope and gain.
        void step1(ChunkBuffers& c, int i, int j) {
            dither = _mm_xor_ps(dither, _mm_set1_ps(-0.0f));
            const int at = j * kChunk + i;
            const __m128 x = _mm_add_ps(pairOf(inL[at], inR[at]), dither);
            storePair(w.chunkInput + 2 * i, x);
            const __m128 a1 = _mm_set1_ps(k.a1), keep1 = _mm_set1_ps(k.keep1);
            split1 = _mm_add_ps(_mm_mul_ps(split1, keep1), _mm_mul_ps(a1, x));
            split2 = _mm_add_ps(_mm_mul_ps(split2, keep1), _mm_mul_ps(a1, split1));
            storePair(w.chunkSplit + 2 * i, split2);
            // The envelope of the undelayed low band of the louder channel
            // sets the gain 255 samples before the audio it applies to.
            const __m128 level = magnitudeOf(split2);
            env = nextEnvelope(env, larger(_mm_cvtss_f32(level), rightOf(level)));
            c.gain[i] = env;  // end1 turns it into the gain
        }
        void end1(ChunkBuffers& c, int n) {
            gainsOf(lookup, k, c.gain, n);
            writeRingPairs(w.dryRing[0], w.dryRing[1], s.w, w.chunkInput, n);
            writeRingPairs(w.lowRing[0], w.lowRing[1], s.w, w.chunkSplit, n);
            subtract(w.chunkInput, w.chunkSplit, 2 * n);
            writeRingPairs(w.highRing[0], w.highRing[1], s.w, w.chunkInput, n);
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
            storePair(c.low + 2 * i, raisedLow);
            _mm_store_pd(c.harm + 2 * i, hold);
        }
        void end2(ChunkBuffers& c, int n) {
            if (ProcessOn) shapeHarmonics<ClampStereo>(k, c.harm, 2 * n);
        }
        // Stage 3: harmonic smoothing, sum and DC filter ...
        void step3(ChunkBuffers& c, int i) {
            __m128 low = loadPair(c.low + 2 * i);
            if (ProcessOn) {
                smooth = _mm_add_pd(_mm_mul_pd(smooth, _mm_set1_pd(k.keep1Wide)),
                                    _mm_mul_pd(_mm_set1_pd(k.a1Wide), _mm_load_pd(c.harm + 2 * i)));
                low = _mm_add_ps(low, _mm_cvtpd_ps(smooth));
            }
            const __m128 y = _mm_add_ps(loadPair(c.high + 2 * i), _mm_mul_ps(_mm_set1_ps(k.bassGain), low));
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

    BlockState& s = b.s;
    Path p{b.w,
           b.lookup,
           s,
           b.k,
           b.w.chunks,
           b.inputs[0],
           b.inputs[1],
           b.outputs[0],
           b.outputs[1],
           pairOf(s.split1[0], s.split1[1]),
           pairOf(s.split2[0], s.split2[1]),
           pairOf(s.shaper[0], s.shaper[1]),
           pairOf(s.dc[0], s.dc[1]),
           _mm_setr_pd(s.hold[0], s.hold[1]),
           _mm_setr_pd(s.smooth[0], s.smooth[1]),
           _mm_set1_ps(s.dither),
           s.env};
    runPipeline(p, b.frames);

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
void runMono(const Block& b) {
    struct Path {
        Workspace& w;
        const BassLookup& lookup;
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
            readRing(w.dryRing[0], s.r, c.dry, n);
            readRing(w.highRing[0], s.r, c.high, n);
            readRing(w.lowRing[0], s.r, c.low, n);
        }
        // Stage 1: dither, band split, envelope and gain.
        void step1(ChunkBuffers& c, int i, int j) {
            dither = -dither;
            const float x = in[j * kChunk + i] + dither;
            w.chunkInput[i] = x;
            split1 = split1 * k.keep1 + k.a1 * x;
            split2 = split2 * k.keep1 + k.a1 * split1;
            w.chunkSplit[i] = split2;
            env = nextEnvelope(env, std::fabs(split2));
            c.gain[i] = env;  // end1 turns it into the gain
        }
        void end1(ChunkBuffers& c, int n) {
            gainsOf(lookup, k, c.gain, n);
            // With both outputs the right band rings follow the left, ready
            // for a switch to stereo; one output never reads them.
            writeRing(w.dryRing[0], s.w, w.chunkInput, n);
            writeRing(w.lowRing[0], s.w, w.chunkSplit, n);
            if (BothOutputs) writeRing(w.lowRing[1], s.w, w.chunkSplit, n);
            subtract(w.chunkInput, w.chunkSplit, n);
            writeRing(w.highRing[0], s.w, w.chunkInput, n);
            if (BothOutputs) writeRing(w.highRing[1], s.w, w.chunkInput, n);
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
            c.low[i] = raisedLow;
            c.harm[i] = hold;
        }
        void end2(ChunkBuffers& c, int n) {
            if (ProcessOn) shapeHarmonics<ClampMono>(k, c.harm, n);
        }
        // Stage 3: harmonic smoothing, sum and DC filter ...
        void step3(ChunkBuffers& c, int i) {
            float low = c.low[i];
            if (ProcessOn) {
                smooth = smooth * k.keep1Wide + k.a1Wide * c.harm[i];
                low = low + static_cast<float>(smooth);
            }
            const float y = c.high[i] + k.bassGain * low;
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

    BlockState& s = b.s;
    Path p{b.w,
           b.lookup,
           s,
           b.k,
           b.w.chunks,
           b.inputs[0],
           b.outputs[0],
           BothOutputs ? b.outputs[1] : nullptr,
           s.split1[0],
           s.split2[0],
           s.shaper[0],
           s.dc[0],
           s.hold[0],
           s.smooth[0],
           s.dither,
           s.env};
    runPipeline(p, b.frames);

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
void runWith(Layout layout, const Block& b) {
    switch (layout) {
    case Layout::Mono:
        if (b.processOn) runMono<Store, false, true>(b);
        else runMono<Store, false, false>(b);
        break;
    case Layout::MonoToBoth:
        if (b.processOn) runMono<Store, true, true>(b);
        else runMono<Store, true, false>(b);
        break;
    case Layout::Stereo:
        if (b.processOn) runStereo<Store, true>(b);
        else runStereo<Store, false>(b);
        break;
    }
}

}  // namespace

void BASS_KERNEL_SET(Layout layout, const Block& b) {
    if (b.replacing) runWith<StoreSample>(layout, b);
    else runWith<AddSample>(layout, b);
}

}  // namespace bass_dsp
