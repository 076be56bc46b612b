// Hosts split blocks at automation points and loop boundaries, and users
// null-test renders: the block sizes a host picks must not change the sound.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/hosting/hosting_support.h"

namespace {

using hosting::Render;

std::vector<float> render(const char* plugin, int program, const std::vector<int>& blocks) {
    Render r(plugin);
    r->startUp(44100.0f, 4096);
    r->setProgram(program);
    return r.run(hosting::music(44100, 44100.0f), blocks);
}

double largestDifference(const std::vector<float>& a, const std::vector<float>& b) {
    double worst = a.size() == b.size() ? 0.0 : INFINITY;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) worst = std::fmax(worst, std::fabs(a[i] - b[i]));
    return worst;
}

TEST(BlockSizes, TheSoundDoesNotDependOnHowTheHostSplitsIt) {
    struct Case {
        const char* plugin;
        int program;
        std::vector<int> blocks;
        double tolerance;  // 0: the same bits
    } cases[] = {
        // Rumblor carries all of its state across blocks.
        {"Vorsa_RUMBLOR", 19, {1}, 0.0},
        {"Vorsa_RUMBLOR", 19, {63}, 0.0},
        {"Vorsa_RUMBLOR", 19, {7, 4096, 0, 130}, 0.0},
        {"Vorsa_RUMBLOR_Mono", 3, {1, 2, 3}, 0.0},
        // Glintor's anti-denormal offset starts negative in every block: blocks
        // of even length continue its alternation exactly.
        {"Vorsa_Glintor", 0, {2}, 0.0},
        {"Vorsa_Glintor", 5, {62, 64, 100}, 0.0},
        {"Vorsa_Glintor_Mono", 30, {4096, 0, 256}, 0.0},
        // An odd block length restarts it out of step. The hiss reducer's
        // control loop carries the ±1e-8 difference on, to at most about
        // -62 dB (program 14) over all 48 programs of this music.
        {"Vorsa_Glintor", 0, {1}, 2e-3},
        {"Vorsa_Glintor", 14, {63}, 2e-3},
        {"Vorsa_Glintor_Mono", 30, {7, 65}, 2e-3},
    };
    for (const Case& c : cases) {
        const std::vector<float> reference = render(c.plugin, c.program, {512});
        const double difference = largestDifference(render(c.plugin, c.program, c.blocks), reference);
        if (c.tolerance == 0.0)
            EXPECT_EQ(difference, 0.0) << c.plugin << " program " << c.program << " blocks of " << c.blocks[0];
        else
            EXPECT_LE(difference, c.tolerance) << c.plugin << " program " << c.program << " blocks of " << c.blocks[0];
    }
}

}  // namespace
