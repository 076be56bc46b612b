// A careless host: every opcode in any order with odd arguments, sample rates
// and block sizes that make no sense, suspend and resume at random, parameter
// and program changes, and blocks of any size in between. No deliverable may
// crash, and finite input must keep giving finite output. (Parameter values
// stay within 0..1 here: beyond it the formulas may legitimately run away,
// for instance a transient damping above 1.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "tests/support/plugin_paths.h"

namespace {

class HostAbuse : public ::testing::TestWithParam<const char*> {};

TEST_P(HostAbuse, AnyCallInAnyOrderKeepsTheOutputFinite) {
    auto plugin = test_support::loadPlugin(GetParam(), [](vst_host::ScriptedHost& host) {
        host.recordRequests = false;
        host.setInputConnected(1, true);
    });
    plugin->startUp(44100.0f, 512);
    std::mt19937 random(20261208u);
    auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(random); };
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float rates[] = {0.0f, -1.0f, nan, 8000.0f, 22050.0f, 44100.0f, 96000.0f, 192000.0f, 1e6f};
    const VstIntPtr values[] = {0, 1, -1, 2, 47, 48, 100, -100000, VstIntPtr(1) << 40, 0x7fffffff};
    // A generous zeroed buffer serves every opcode that writes through ptr.
    std::vector<char> scratch(4096);
    const int channels = plugin->numInputs();
    vst_host::AudioBuffers in(channels, 2048), out(plugin->numOutputs(), 2048);

    for (int step = 0; step < 20000; ++step) {
        switch (pick(6)) {
        case 0: {  // any opcode but close, and no window for the editor
            VstInt32 opcode = pick(80);
            if (opcode == effClose) break;
            std::fill(scratch.begin(), scratch.end(), 0);
            void* ptr = (opcode == effEditOpen || pick(4) == 0) ? nullptr : scratch.data();
            VstIntPtr value = values[pick(10)];
            if (opcode == effSetBlockSizeAndSampleRate || opcode == effSetBlockSize) value = pick(5000) - 100;
            plugin->dispatch(opcode, pick(60) - 5, value, ptr, rates[pick(9)]);
            break;
        }
        case 1:
            plugin->setSampleRate(rates[pick(9)]);
            if (pick(2)) plugin->suspend();
            plugin->resume();
            break;
        case 2:
            plugin->setParameter(pick(30) - 3, pick(8) == 0 ? static_cast<float>(pick(2)) : uniform(0.0f, 1.0f));
            break;
        case 3:
            plugin->setProgram(pick(60) - 5);
            break;
        default: {
            const int frames = pick(4) == 0 ? 0 : pick(2049);
            for (int c = 0; c < channels; ++c)
                for (int i = 0; i < frames; ++i) in.channel(c)[i] = uniform(-1.0f, 1.0f);
            if (pick(2))
                plugin->processReplacing(in.pointers(), out.pointers(), frames);
            else
                plugin->process(in.pointers(), out.pointers(), frames);
            for (int c = 0; c < out.channels(); ++c)
                for (int i = 0; i < frames; ++i)
                    ASSERT_TRUE(std::isfinite(out.channel(c)[i])) << GetParam() << " step " << step;
            out.fill(0.0f);  // accumulating blocks start from silence
            break;
        }
        }
    }
    EXPECT_EQ(plugin->close(), 1);
}

INSTANTIATE_TEST_SUITE_P(Deliverables, HostAbuse,
                         ::testing::Values("Vorsa_Glintor", "Vorsa_Glintor_Mono", "Vorsa_RUMBLOR",
                                           "Vorsa_RUMBLOR_Mono"));

}  // namespace
