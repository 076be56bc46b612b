// Vector types for the DSP code, as compiler vector extensions: the same
// source compiles to SSE2 in the baseline build and to AVX2 in the files
// built for AVX2/FMA processors (compiled with -ffp-contract=off, so that the
// compiler never fuses a multiply and an add on its own; a fused multiply-add
// appears only where mulAdd asks for one). Each lane computes exactly what
// the scalar code computes.
#pragma once

#include <cstdint>

#if defined(__FMA__)
#include <immintrin.h>
#endif

// Wide vectors pass only between always-inlined functions, never across a
// call, so the baseline build's note on how they would be passed does not
// apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace simd {

typedef float F4 __attribute__((vector_size(16)));
typedef int32_t I4 __attribute__((vector_size(16)));
typedef uint32_t U4 __attribute__((vector_size(16)));
typedef double D4 __attribute__((vector_size(32)));
typedef uint64_t UL4 __attribute__((vector_size(32)));

#define SIMD_INLINE inline __attribute__((always_inline))

template <class To, class From>
SIMD_INLINE To bitCast(From v) {
    static_assert(sizeof(To) == sizeof(From), "same size");
    To out;
    __builtin_memcpy(&out, &v, sizeof out);
    return out;
}

// a * b + c, rounded once when kFused (only where the processor has FMA),
// otherwise rounded after the multiply and after the add.
template <bool kFused>
SIMD_INLINE D4 mulAdd(D4 a, D4 b, D4 c) {
#if defined(__FMA__)
    if constexpr (kFused)
        return bitCast<D4>(_mm256_fmadd_pd(bitCast<__m256d>(a), bitCast<__m256d>(b), bitCast<__m256d>(c)));
    else
        return a * b + c;
#else
    static_assert(!kFused, "a fused multiply-add needs a build for FMA processors");
    return a * b + c;
#endif
}

}  // namespace simd
