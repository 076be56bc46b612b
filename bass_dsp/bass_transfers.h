// Block transfers of the bass kernels: between the rings and a chunk,
// between the channel layouts, and into the host's buffers.
#pragma once

#include <emmintrin.h>

#include "bass_dsp/bass_block.h"

namespace bass_dsp {

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

// Transfers between the rings and a chunk, wrapping at the ring's end: n
// values from ring position `at` on.
inline void copyFloats(float* to, const float* from, int n) {
    int i = 0;
    for (; i + 4 <= n; i += 4) _mm_storeu_ps(to + i, _mm_loadu_ps(from + i));
    for (; i < n; ++i) to[i] = from[i];
}
inline int beforeWrap(unsigned at, int n) {
    const int room = kRingSize - static_cast<int>(at);
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

}  // namespace bass_dsp
