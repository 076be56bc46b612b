// The exhaustive check of the vector powf: for every positive finite float x
// and each exponent the Boost parameter gives at 17 evenly spaced settings
// (or the exponents named on the command line), the vector code of the
// variant this machine's C library runs must give powf's bits. Takes a few
// minutes on two cores; run by hand after touching the powf code:
//
//   build/bench/powf_check [y ...]
//   build/bench/powf_check --telling-apart 1.5   # x where the two variants differ
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "treble_dsp/fast_powf.h"
#include "treble_dsp/treble_mapping.h"

namespace {

constexpr uint32_t kFirst = 0x00000001u, kEnd = 0x7f800000u;  // every positive finite float
constexpr int kRun = 4096;

float fromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Mismatches of `run` against `reference` over [from, to); the first few go to *firsts.
uint64_t compare(fast_powf::PowfRun run, fast_powf::PowfRun reference, float y, uint32_t from, uint32_t to,
                 std::vector<uint32_t>* firsts) {
    float x[kRun], mine[kRun], theirs[kRun];
    uint64_t mismatches = 0;
    for (uint32_t base = from; base < to; base += kRun) {
        const int n = to - base < kRun ? static_cast<int>(to - base) : kRun;
        for (int i = 0; i < n; ++i) x[i] = fromBits(base + static_cast<uint32_t>(i));
        run(x, y, mine, n);
        reference(x, y, theirs, n);
        for (int i = 0; i < n; ++i) {
            if (std::memcmp(&mine[i], &theirs[i], sizeof(float)) == 0) continue;
            ++mismatches;
            if (firsts->size() < 16) firsts->push_back(base + static_cast<uint32_t>(i));
        }
    }
    return mismatches;
}

uint64_t compareEverything(fast_powf::PowfRun run, fast_powf::PowfRun reference, float y,
                           std::vector<uint32_t>* firsts) {
    const uint32_t middle = kFirst + (kEnd - kFirst) / 2;
    std::vector<uint32_t> secondFirsts;
    uint64_t second = 0;
    std::thread helper([&] { second = compare(run, reference, y, middle, kEnd, &secondFirsts); });
    const uint64_t first = compare(run, reference, y, kFirst, middle, firsts);
    helper.join();
    firsts->insert(firsts->end(), secondFirsts.begin(), secondFirsts.end());
    return first + second;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--telling-apart") {
        if (!(__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))) {
            std::fprintf(stderr, "needs a processor with FMA\n");
            return 2;
        }
        std::vector<uint32_t> firsts;
        const float y = std::strtof(argv[2], nullptr);
        const uint64_t n = compareEverything(fast_powf::plainRun, fast_powf::fusedRun, y, &firsts);
        std::printf("y=%.9g: plain and fused differ for %llu x; first:", y, static_cast<unsigned long long>(n));
        for (uint32_t bits : firsts) std::printf(" 0x%08x", bits);
        std::printf("\n");
        return 0;
    }
    const fast_powf::Variant variant = fast_powf::libraryVariant();
    if (variant == fast_powf::Variant::None) {
        std::printf("the C library's powf matches neither variant: the plug-ins call it directly\n");
        return 1;
    }
    const fast_powf::PowfRun run =
        variant == fast_powf::Variant::Fused ? fast_powf::fusedRun : fast_powf::plainRun;
    std::printf("library variant: %s\n", variant == fast_powf::Variant::Fused ? "fused" : "plain");

    std::vector<float> exponents;
    for (int i = 1; i < argc; ++i) exponents.push_back(std::strtof(argv[i], nullptr));
    if (exponents.empty()) {
        for (int step = 0; step <= 16; ++step) {
            TrebleCoefficients c{};
            treble_mapping::applyParameter(c, 13, step / 16.0f, 44100.0, 0.5f);
            exponents.push_back(c.tranExponent);
        }
    }
    uint64_t total = 0;
    for (float y : exponents) {
        std::vector<uint32_t> firsts;
        const uint64_t n = compareEverything(run, fast_powf::libraryRun, y, &firsts);
        total += n;
        std::printf("y=%.9g: %llu of %u x differ", y, static_cast<unsigned long long>(n), kEnd - kFirst);
        for (uint32_t bits : firsts) std::printf(" 0x%08x", bits);
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("%s\n", total == 0 ? "all equal" : "MISMATCHES");
    return total == 0 ? 0 : 1;
}
