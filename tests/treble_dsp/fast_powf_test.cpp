// The vector powf against the C library's powf, bit for bit, on every run a
// plug-in may pick on this machine. The exhaustive sweep over every positive
// finite float is bench/powf_check (minutes); this is a dense sample of it
// plus the inputs the library treats apart.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "treble_dsp/fast_powf.h"

namespace {

float fromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

uint32_t bitsOf(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

struct NamedRun {
    std::string name;
    fast_powf::PowfRun run;
};

std::vector<NamedRun> runsToCheck() {
    std::vector<NamedRun> runs = {{"baseline", fast_powf::baselineRun()}, {"plain", fast_powf::plainRun}};
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
        runs.push_back({"avx2", fast_powf::avx2Run()});
        runs.push_back({"fused", fast_powf::fusedRun});
    }
    return runs;
}

// The runs that must equal the library: the two the plug-ins use, and the
// vector variant the library was found to run.
bool mustMatch(const std::string& name) {
    const fast_powf::Variant v = fast_powf::libraryVariant();
    return name == "baseline" || name == "avx2" || (name == "plain" && v == fast_powf::Variant::Plain) ||
           (name == "fused" && v == fast_powf::Variant::Fused);
}

TEST(FastPowf, TheLibraryRunsOneOfTheVectorVariantsAndTheyDiffer) {
    // Otherwise every plug-in falls back to one library call per sample.
    EXPECT_NE(fast_powf::libraryVariant(), fast_powf::Variant::None);
    // An input the two variants round differently: a fused variant that
    // fused nothing would pass every other test on a machine whose library
    // runs the plain variant.
    if (!(__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))) return;
    float x[4] = {fromBits(0x1af6c13bu), fromBits(0x1af6c13bu), fromBits(0x1af6c13bu), fromBits(0x1af6c13bu)};
    float plain[4], fused[4];
    fast_powf::plainRun(x, 1.41421354f, plain, 4);
    fast_powf::fusedRun(x, 1.41421354f, fused, 4);
    EXPECT_NE(bitsOf(plain[0]), bitsOf(fused[0]));
}

TEST(FastPowf, EqualsTheLibraryOnADenseSweepAndOnItsSpecialCases) {
    std::vector<float> x;
    for (uint64_t bits = 1; bits < 0x7f800000u; bits += 4093) x.push_back(fromBits(static_cast<uint32_t>(bits)));
    // What the library handles apart: zero, subnormals, negative values,
    // infinities and NaN, and results beyond the float range either way.
    const float inf = std::numeric_limits<float>::infinity();
    for (float v : {0.0f, -0.0f, 1e-45f, 1e-39f, -1.0f, -2.5f, inf, -inf, std::nanf(""), 1e38f, 3e38f, 1e-38f,
                    1.17549435e-38f, 0.999999f, 1.0f, 1.000001f})
        x.push_back(v);
    // A run length that leaves a tail after the groups of four.
    x.push_back(0.5f);
    std::vector<float> mine(x.size());

    for (const NamedRun& run : runsToCheck()) {
        if (!mustMatch(run.name)) continue;
        for (float y : {1.0f, 1.5f, 2.0f, 1.2345678f, 1.0905077f, 0.5f, 3.0f, -1.5f, 0.0f, inf, std::nanf("")}) {
            run.run(x.data(), y, mine.data(), static_cast<int>(x.size()));
            int mismatches = 0;
            for (size_t i = 0; i < x.size(); ++i) {
                if (bitsOf(mine[i]) == bitsOf(powf(x[i], y))) continue;
                if (++mismatches <= 3)
                    ADD_FAILURE() << run.name << ": powf(" << x[i] << " [0x" << std::hex << bitsOf(x[i]) << "], "
                                  << y << ") gave 0x" << bitsOf(mine[i]) << ", library 0x" << bitsOf(powf(x[i], y));
            }
            EXPECT_EQ(mismatches, 0) << run.name << " y=" << y;
        }
    }
}

TEST(FastPowf, WorksInPlaceAndOnUnalignedRuns) {
    std::vector<float> buffer(67);
    for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = 0.001f * static_cast<float>(i * i + 1);
    std::vector<float> expected(buffer.size());
    for (size_t i = 1; i < buffer.size(); ++i) expected[i] = powf(buffer[i], 1.7f);
    for (const NamedRun& run : runsToCheck()) {
        if (!mustMatch(run.name)) continue;
        std::vector<float> data = buffer;
        run.run(data.data() + 1, 1.7f, data.data() + 1, static_cast<int>(data.size()) - 1);
        for (size_t i = 1; i < data.size(); ++i) EXPECT_EQ(bitsOf(data[i]), bitsOf(expected[i])) << run.name << i;
    }
}

}  // namespace
