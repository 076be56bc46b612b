// Table-driven square root and reciprocal for the per-sample loop, and the
// bit-pattern tests used for switches and full-scale detection. Every table is
// indexed by a float's exponent field or by the top eight bits of its
// mantissa, so any bit pattern (NaN included) gives an index in range.
#pragma once

#include <cstdint>
#include <cstring>

inline uint32_t floatBits(float x) {
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof(bits));
    return bits;
}

// Magnitude of at least 1.0 and finite: one exponent step up sets bit 30
// exactly for exponents 127..254; infinities and NaNs wrap past it.
inline bool reachesOne(float x) { return ((floatBits(x) + 0x00800000u) >> 30) & 1u; }

// Magnitude of at least 2.0 (infinities and NaNs included).
inline bool reachesTwo(float x) { return (floatBits(x) >> 30) & 1u; }

struct BassLookup {
    float sqrtExpTable[256];
    float sqrtMantTable[256];
    float recipExpTable[256];
    float recipMantTable[256];
    // Products of the square-root and reciprocal tables, so that
    // sqrt(x) / x costs two lookups instead of four.
    float sqrtRecipExpTable[256];
    float sqrtRecipMantTable[256];

    void fill();

    static unsigned exponentOf(float x) { return (floatBits(x) >> 23) & 0xffu; }
    static unsigned mantissaOf(float x) { return (floatBits(x) >> 15) & 0xffu; }

    // About 8 bits of sqrt(x) and 1/x for positive x.
    float sqrtOf(float x) const { return sqrtExpTable[exponentOf(x)] * sqrtMantTable[mantissaOf(x)]; }
    float recipOf(float x) const { return recipExpTable[exponentOf(x)] * recipMantTable[mantissaOf(x)]; }
    // S(x) * R(x), about 1 / sqrt(x).
    float sqrtTimesRecip(float x) const { return sqrtRecipExpTable[exponentOf(x)] * sqrtRecipMantTable[mantissaOf(x)]; }
};
