#include "treble_dsp/fast_powf.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "treble_dsp/fast_powf_lanes.h"

namespace fast_powf {

namespace avx2 {
void plainRun(const float* x, float y, float* out, int n);
}

namespace {

bool processorHasFma() { return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"); }

#if defined(_WIN32)
// The Windows C runtime's powf rounds differently from the Linux library's now
// and then. Run the Linux library's method, with the variant it would pick on
// this processor, so that both builds of a plug-in give the same samples.
Variant findVariant() { return processorHasFma() ? Variant::Fused : Variant::Plain; }
#else
float fromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Inputs where the library's plain and fused variants round differently
// (found with bench/powf_check --telling-apart; about one x in a billion).
struct Probe {
    uint32_t xBits;
    float y;
};
constexpr Probe kTellingApart[] = {{0x491f2590u, 1.18920708f}, {0x6ecd0368u, 1.18920708f},
                                   {0x1af6c13bu, 1.41421354f}, {0x3a18e652u, 1.41421354f},
                                   {0x5092f986u, 1.41421354f}};

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A variant counts as the library's only if it agrees on the telling-apart
// inputs and on a spread of ordinary ones.
bool agreesWithLibrary(PowfRun run) {
    float x[4], mine[4];
    for (const Probe& probe : kTellingApart) {
        for (float& v : x) v = fromBits(probe.xBits);
        run(x, probe.y, mine, 4);
        if (!sameBits(mine[0], powf(x[0], probe.y))) return false;
    }
    for (const float y : {1.5f, 1.0f, 2.0f, 1.2345678f}) {
        for (uint32_t bits = 0x00800000u; bits < 0x7f800000u; bits += 4 * 0x000f1235u) {
            for (uint32_t i = 0; i < 4; ++i) x[i] = fromBits(bits + i * 0x0003c48du);
            run(x, y, mine, 4);
            for (int i = 0; i < 4; ++i)
                if (!sameBits(mine[i], powf(x[i], y))) return false;
        }
    }
    return true;
}

Variant findVariant() {
    if (processorHasFma() && agreesWithLibrary(fusedRun)) return Variant::Fused;
    if (agreesWithLibrary(plainRun)) return Variant::Plain;
    return Variant::None;
}
#endif

}  // namespace

void libraryRun(const float* x, float y, float* out, int n) {
    for (int i = 0; i < n; ++i) out[i] = powf(x[i], y);
}

void plainRun(const float* x, float y, float* out, int n) { powf_lanes::run<false>(x, y, out, n); }

Variant libraryVariant() {
    static const Variant variant = findVariant();
    return variant;
}

PowfRun baselineRun() { return libraryVariant() == Variant::Plain ? plainRun : libraryRun; }

PowfRun avx2Run() {
    switch (libraryVariant()) {
    case Variant::Fused: return fusedRun;
    case Variant::Plain: return avx2::plainRun;
    default: return libraryRun;
    }
}

}  // namespace fast_powf
