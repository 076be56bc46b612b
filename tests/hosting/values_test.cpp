// Values no host should send and input no plug-in upstream should produce:
// the output stays finite and bounded, and a broken block is forgotten soon.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/hosting/hosting_support.h"

namespace {

using hosting::Render;

constexpr float kInf = std::numeric_limits<float>::infinity();

double peakOf(const std::vector<float>& v, size_t from = 0) {
    double peak = 0.0;
    for (size_t i = from; i < v.size(); ++i) peak = std::isfinite(v[i]) ? std::fmax(peak, std::fabs(v[i])) : INFINITY;
    return peak;
}

TEST(BadValues, HostValuesOutsideTheRangeAreHeldAtItsEnds) {
    struct Case {
        const char* plugin;
        int program, index;
        float value, stored;  // `stored`: what getParameter answers afterwards
        double bound;         // the output's peak stays below
    } cases[] = {
        {"Vorsa_Glintor", 38, 12, 2.0f, 1.0f, 8.0},  // TranDamp
        {"Vorsa_Glintor", 0, 3, 1e30f, 1.0f, 8.0},   // Trancients
        {"Vorsa_Glintor", 0, 7, 1e30f, 1.0f, 8.0},   // Mix
        {"Vorsa_Glintor", 0, 7, -1e30f, 0.0f, 8.0},
        {"Vorsa_Glintor_Mono", 0, 7, -kInf, 0.0f, 8.0},
        {"Vorsa_Glintor", 0, 8, 1e30f, 1.0f, 8.0},  // Output
        {"Vorsa_Glintor", 0, 2, kInf, 1.0f, 8.0},   // NoiseAtten
        {"Vorsa_Glintor", 12, 16, 5.0f, 1.0f, 8.0},  // Drive past the point where the shaper divides by 0
        {"Vorsa_Glintor", 0, 23, -1e30f, -1.0f, 8.0},  // StereoMono keeps its undecided value
        {"Vorsa_RUMBLOR", 19, 1, 1e30f, 1.0f, 2000.0},  // gain
        {"Vorsa_RUMBLOR", 19, 6, 1e30f, 1.0f, 2000.0},  // bass
        {"Vorsa_RUMBLOR", 19, 5, 1e30f, 1.0f, 2000.0},  // colour
        {"Vorsa_RUMBLOR_Mono", 19, 4, -kInf, 0.0f, 2000.0},  // threshold
        {"Vorsa_RUMBLOR", 19, 3, -1e30f, 0.0f, 2000.0},  // freq
    };
    const std::vector<float> music = hosting::music(22050, 44100.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.plugin) + " program " + std::to_string(c.program) + " parameter " +
                     std::to_string(c.index) + " at " + std::to_string(c.value));
        Render r(c.plugin);
        r->startUp(44100.0f, 512);
        r->setProgram(c.program);
        r->setParameter(c.index, c.value);
        EXPECT_EQ(r->getParameter(c.index), c.stored);
        // A NaN changes nothing.
        r->setParameter(c.index, std::numeric_limits<float>::quiet_NaN());
        EXPECT_EQ(r->getParameter(c.index), c.stored);
        EXPECT_LT(peakOf(r.run(music, 512)), c.bound);
    }
}

// One block holding a wild sample (a broken plug-in upstream), then music:
// from the given number of frames after that block the output is back to
// what music gives.
TEST(BadValues, ABrokenInputBlockIsForgottenSoon) {
    struct Case {
        const char* plugin;
        int program;
        float wild;
        bool saturation;   // Rumblor: its soft clipper on
        int cleanAfter;    // frames after the end of the broken block
    } cases[] = {
        {"Vorsa_RUMBLOR", 0, 1e20f, false, 0},
        // The soft clipper hides the kept state until a program turns it off.
        {"Vorsa_RUMBLOR", 3, -1e20f, true, 0},
        {"Vorsa_RUMBLOR_Mono", 0, 1e10f, false, 0},
        {"Vorsa_RUMBLOR", 19, kInf, true, 0},
        // Glintor starts again from its construction state: its look-ahead
        // and hiss control need up to 28 ms to sound as before.
        {"Vorsa_Glintor", 0, 1e20f, false, 1235},
        {"Vorsa_Glintor_Mono", 5, -1e20f, false, 1235},
    };
    constexpr int kBlock = 512;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.plugin) + " program " + std::to_string(c.program) + " input " +
                     std::to_string(c.wild));
        Render clean(c.plugin), broken(c.plugin);
        for (Render* r : {&clean, &broken}) {
            (*r)->startUp(44100.0f, kBlock);
            (*r)->setProgram(c.program);
            if (c.saturation) (*r)->setParameter(7, 1.0f);
        }
        std::vector<float> music = hosting::music(44100, 44100.0f);
        const double normal = peakOf(clean.run(music, kBlock));
        music[2 * (10 * kBlock + 300)] = c.wild;  // block 10
        const std::vector<float> out = broken.run(music, kBlock);
        const int outputs = broken->numOutputs();
        EXPECT_LT(peakOf(out, static_cast<size_t>((11 * kBlock + c.cleanAfter) * outputs)), 2.0 * normal);
        // A program change later must not release anything kept from it.
        broken->setProgram(c.program == 3 ? 4 : 3);
        EXPECT_LT(peakOf(broken.run(hosting::music(8192, 44100.0f), kBlock)), 4.0 * normal + 1.0);
    }
}

}  // namespace
