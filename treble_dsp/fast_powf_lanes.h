// The C library's powf method on four lanes. Included by one source file per
// instruction set, each compiling its own copy (internal linkage).
//
// x = 2^k * z with z in [0x1.66p-1, 0x1.66p0), log2(z) = log2(c) + log2(z/c)
// from a 16-entry table around c and a polynomial; then 2^(y log2 x) from a
// 32-entry table of 2^(i/32) and a polynomial. The tables, coefficients and
// the order of every operation are the library's, which is what makes every
// result bit for bit equal to it.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/dsp/simd.h"

namespace {

namespace powf_lanes {

using namespace simd;

// 1/c and log2(c) for the 16 subintervals of z.
constexpr double kInvC[16] = {
    0x1.661ec79f8f3bep+0, 0x1.571ed4aaf883dp+0, 0x1.49539f0f010b0p+0, 0x1.3c995b0b80385p+0,
    0x1.30d190c8864a5p+0, 0x1.25e227b0b8ea0p+0, 0x1.1bb4a4a1a343fp+0, 0x1.12358f08ae5bap+0,
    0x1.0953f419900a7p+0, 0x1.0000000000000p+0, 0x1.e608cfd9a47acp-1, 0x1.ca4b31f026aa0p-1,
    0x1.b2036576afce6p-1, 0x1.9c2d163a1aa2dp-1, 0x1.886e6037841edp-1, 0x1.767dcf5534862p-1};
constexpr double kLogC[16] = {
    -0x1.efec65b963019p-2, -0x1.b0b6832d4fca4p-2, -0x1.7418b0a1fb77bp-2, -0x1.39de91a6dcf7bp-2,
    -0x1.01d9bf3f2b631p-2, -0x1.97c1d1b3b7af0p-3, -0x1.2f9e393af3c9fp-3, -0x1.960cbbf788d5cp-4,
    -0x1.a6f9db6475fcep-5, 0x0.0p+0,               0x1.338ca9f24f53dp-4,  0x1.476a9543891bap-3,
    0x1.e840b4ac4e4d2p-3,  0x1.40645f0c6651cp-2,  0x1.88e9c2c1b9ff8p-2,  0x1.ce0a44eb17bccp-2};
// log2(1 + r) as the library's polynomial in r, highest power first.
constexpr double kLogPoly[5] = {0x1.27616c9496e0bp-2, -0x1.71969a075c67ap-2, 0x1.ec70a6ca7baddp-2,
                                -0x1.7154748bef6c8p-1, 0x1.71547652ab82bp+0};
// Bits of 2^(i/32), less i << 47 so that adding the integer part's bits
// gives 2^(k/32) in one integer add.
constexpr uint64_t kExp2Table[32] = {
    0x3ff0000000000000, 0x3fefd9b0d3158574, 0x3fefb5586cf9890f, 0x3fef9301d0125b51, 0x3fef72b83c7d517b,
    0x3fef54873168b9aa, 0x3fef387a6e756238, 0x3fef1e9df51fdee1, 0x3fef06fe0a31b715, 0x3feef1a7373aa9cb,
    0x3feedea64c123422, 0x3feece086061892d, 0x3feebfdad5362a27, 0x3feeb42b569d4f82, 0x3feeab07dd485429,
    0x3feea47eb03a5585, 0x3feea09e667f3bcd, 0x3fee9f75e8ec5f74, 0x3feea11473eb0187, 0x3feea589994cce13,
    0x3feeace5422aa0db, 0x3feeb737b0cdc5e5, 0x3feec49182a3f090, 0x3feed503b23e255d, 0x3feee89f995ad3ad,
    0x3feeff76f2fb5e47, 0x3fef199bdd85529c, 0x3fef3720dcef9069, 0x3fef5818dcfba487, 0x3fef7c97337b9b5f,
    0x3fefa4afa2a490da, 0x3fefd0765b6e4540};
// Adding and subtracting it rounds to a multiple of 1/32.
constexpr double kExp2Shift = 0x1.8p+47;
constexpr double kExp2Poly[3] = {0x1.c6af84b912394p-5, 0x1.ebfce50fac4f3p-3, 0x1.62e42ff0c52d6p-1};

SIMD_INLINE D4 splat(double v) { return D4{v, v, v, v}; }

// powf for four x and one y. Lanes the library treats apart (x zero,
// subnormal, negative or not finite; a result near or past the float range)
// come back with all bits set in their lane of *special, and their value is
// meaningless.
template <bool kFused>
SIMD_INLINE F4 powf4(F4 x, D4 y, I4* special) {
    const U4 ix = bitCast<U4>(x);
    const U4 tmp = ix - 0x3f330000u;
    const U4 i = (tmp >> 19) & 15u;
    const U4 top = tmp & 0xff800000u;
    const F4 zf = bitCast<F4>(ix - top);
    const D4 k = __builtin_convertvector(bitCast<I4>(top) >> 23, D4);
    const D4 invc = {kInvC[i[0]], kInvC[i[1]], kInvC[i[2]], kInvC[i[3]]};
    const D4 logc = {kLogC[i[0]], kLogC[i[1]], kLogC[i[2]], kLogC[i[3]]};
    const D4 z = __builtin_convertvector(zf, D4);

    const D4 r = mulAdd<kFused>(z, invc, splat(-1.0));
    const D4 y0 = logc + k;
    const D4 r2 = r * r;
    D4 logx = mulAdd<kFused>(splat(kLogPoly[0]), r, splat(kLogPoly[1]));
    const D4 p = mulAdd<kFused>(splat(kLogPoly[2]), r, splat(kLogPoly[3]));
    const D4 r4 = r2 * r2;
    D4 q = mulAdd<kFused>(splat(kLogPoly[4]), r, y0);
    q = mulAdd<kFused>(p, r2, q);
    logx = mulAdd<kFused>(logx, r4, q);
    const D4 ylogx = y * logx;

    const I4 outOfRange = (ix - 0x00800000u) >= 0x7f000000u;
    const I4 nearLimit = __builtin_convertvector(((bitCast<UL4>(ylogx) >> 47) & 0xffffu) >= 0x80bfu, I4);
    *special = outOfRange | nearLimit;

    D4 kd = ylogx + splat(kExp2Shift);
    const UL4 ki = bitCast<UL4>(kd);
    kd -= splat(kExp2Shift);
    const D4 f = ylogx - kd;
    UL4 t = {kExp2Table[ki[0] & 31], kExp2Table[ki[1] & 31], kExp2Table[ki[2] & 31], kExp2Table[ki[3] & 31]};
    t += ki << 47;
    const D4 scale = bitCast<D4>(t);
    const D4 c = mulAdd<kFused>(splat(kExp2Poly[0]), f, splat(kExp2Poly[1]));
    const D4 f2 = f * f;
    D4 e = mulAdd<kFused>(splat(kExp2Poly[2]), f, splat(1.0));
    e = mulAdd<kFused>(c, f2, e);
    e = e * scale;
    return __builtin_convertvector(e, F4);
}

// y zero, infinite or not a number: the library's special cases throughout.
inline bool specialExponent(float y) {
    uint32_t iy;
    std::memcpy(&iy, &y, sizeof iy);
    return 2u * iy - 1u >= 2u * 0x7f800000u - 1u;
}

template <bool kFused>
void run(const float* x, float y, float* out, int n) {
    int i = 0;
    if (!specialExponent(y)) {
        const D4 yd = splat(static_cast<double>(y));
        for (; i + 4 <= n; i += 4) {
            F4 v;
            std::memcpy(&v, x + i, sizeof v);
            I4 special;
            F4 result = powf4<kFused>(v, yd, &special);
            uint64_t halves[2];
            std::memcpy(halves, &special, sizeof halves);
            if (__builtin_expect((halves[0] | halves[1]) != 0, 0)) {
                for (int lane = 0; lane < 4; ++lane)
                    if (special[lane]) result[lane] = powf(v[lane], y);
            }
            std::memcpy(out + i, &result, sizeof result);
        }
    }
    for (; i < n; ++i) out[i] = powf(x[i], y);
}

}  // namespace powf_lanes

}  // namespace
