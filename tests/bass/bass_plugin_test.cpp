// The bass plug-in as a host sees it: the built libraries loaded through the
// host library, every answer read through the AEffect record.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstring>
#include <random>

#include "bass/bass_effect.h"
#include "tests/support/plugin_paths.h"

using test_support::loadPlugin;
using vst_host::AudioBuffers;

namespace {

struct Build {
    const char* file;
    int channels;
    VstInt32 id;
};
const Build kBuilds[] = {{"Vorsa_RUMBLOR", 2, fourCharCode("VrRU")}, {"Vorsa_RUMBLOR_Mono", 1, fourCharCode("VrRu")}};

class BassPlugin : public ::testing::TestWithParam<Build> {};
INSTANTIATE_TEST_SUITE_P(Builds, BassPlugin, ::testing::ValuesIn(kBuilds),
                         [](const ::testing::TestParamInfo<Build>& info) { return std::string(info.param.file); });

TEST_P(BassPlugin, IdentityAndRecord) {
    auto plugin = loadPlugin(GetParam().file);
    AEffect* r = plugin->effect();
    EXPECT_EQ(r->magic, kEffectMagic);
    EXPECT_EQ(plugin->numInputs(), GetParam().channels);
    EXPECT_EQ(plugin->numOutputs(), GetParam().channels);
    EXPECT_EQ(plugin->uniqueId(), GetParam().id);
    EXPECT_EQ(plugin->numPrograms(), 32);
    EXPECT_EQ(plugin->numParams(), 9);
    EXPECT_EQ(plugin->flags(), effFlagsCanMono | effFlagsCanReplacing | effFlagsHasVu | effFlagsHasEditor);
    EXPECT_EQ(plugin->initialDelay(), 256);
    EXPECT_EQ(plugin->effectName(), "Vorsa Rumblor");
    EXPECT_EQ(plugin->vendorString(), "Vorsa");
    EXPECT_EQ(plugin->productString(), "Bass enhancing plug-in");
    EXPECT_EQ(plugin->vendorVersion(), 1);
    EXPECT_EQ(plugin->dispatch(effGetVu), 0);
    EXPECT_EQ(plugin->dispatch(effEditOpen), 0);  // no window to open in
    ERect* rect = nullptr;
    ASSERT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 343);
    EXPECT_EQ(rect->bottom - rect->top, 160);
    VstPinProperties pin{};
    ASSERT_TRUE(plugin->inputProperties(1, pin));
    EXPECT_STREQ(pin.label, "My 2 In");
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    ASSERT_TRUE(plugin->outputProperties(0, pin));
    EXPECT_STREQ(pin.label, "My 1 Out");
    EXPECT_FALSE(plugin->inputProperties(2, pin));
}

TEST_P(BassPlugin, OnlyTheEntryPointsAreExported) {
    void* handle = dlopen(test_support::pluginPath(GetParam().file).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(dlsym(handle, "main"), nullptr);
    EXPECT_NE(dlsym(handle, "VSTPluginMain"), nullptr);
    EXPECT_EQ(dlsym(handle, "_Z11makeRumblorPFlP7AEffectiilPvfE11PluginBuild"), nullptr);
    EXPECT_EQ(dlsym(handle, "_ZN10BassEffectC1EPFlP7AEffectiilPvfE11PluginBuild"), nullptr);
    dlclose(handle);
}

TEST_P(BassPlugin, EveryParameterText) {
    auto plugin = loadPlugin(GetParam().file);
    const bool stereo = GetParam().channels == 2;
    const char* names[] = {"process", "gain", "mix", "freq", "threshold", "colour", "bass", "saturation", "stereo/mono"};
    const char* labels[] = {"    ", "   dB   ", "        ", "   Hz   ", "    dB   ", "    %   ", "    dB    ", "   ", "   "};
    // Program 0 as constructed.
    const char* displays[] = {"on", "0.000000", "1.000000", "20.00000", "0.000000", "0.000000", "0.000000", "off", "stereo"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(plugin->parameterName(i), names[i]) << i;
        EXPECT_EQ(plugin->parameterLabel(i), labels[i]) << i;
        EXPECT_EQ(plugin->parameterDisplay(i), displays[i]) << i;
    }
    plugin->setParameter(1, 0.0f);
    EXPECT_EQ(plugin->parameterDisplay(1), "-12.0000");
    plugin->setParameter(4, 0.0f);
    EXPECT_EQ(plugin->parameterDisplay(4), "-48.0000");
    plugin->setParameter(5, 1.0f);
    EXPECT_EQ(plugin->parameterDisplay(5), "100.0000");
    plugin->setParameter(6, 1.0f);
    EXPECT_EQ(plugin->parameterDisplay(6), "12.00000");
    plugin->setParameter(3, 0.5f);
    EXPECT_EQ(plugin->parameterDisplay(3), "165.0000");
    plugin->setParameter(0, 0.0f);
    EXPECT_EQ(plugin->parameterDisplay(0), "off");
    plugin->setParameter(7, 1.0f);
    EXPECT_EQ(plugin->parameterDisplay(7), "on");
    plugin->setParameter(8, 0.7f);
    EXPECT_EQ(plugin->parameterDisplay(8), stereo ? "stereo" : "mono");
    EXPECT_EQ(plugin->getParameter(8), stereo ? 0.7f : 0.0f);
    EXPECT_EQ(plugin->parameterName(9), "");
}

TEST_P(BassPlugin, Programs) {
    auto plugin = loadPlugin(GetParam().file);
    EXPECT_EQ(plugin->getProgram(), 0);
    EXPECT_EQ(plugin->programName(), "psychoacoustic");
    EXPECT_EQ(plugin->programNameIndexed(17).value_or("-"), "disco max-woofer");
    EXPECT_EQ(plugin->programNameIndexed(31).value_or("-"), "init");
    EXPECT_FALSE(plugin->programNameIndexed(32).has_value());
    EXPECT_FALSE(plugin->programNameIndexed(-1).has_value());

    plugin->setProgram(13);
    EXPECT_EQ(plugin->programName(), "guitar1");
    EXPECT_FLOAT_EQ(plugin->getParameter(1), 0.7f);
    EXPECT_FLOAT_EQ(plugin->getParameter(6), 0.333f);
    plugin->setParameter(1, 0.1f);
    EXPECT_TRUE(plugin->copyProgram(29));
    EXPECT_FALSE(plugin->copyProgram(32));
    EXPECT_FALSE(plugin->copyProgram(-3));
    plugin->setProgram(40);  // refused by the dispatcher
    plugin->setProgram(-2);
    EXPECT_EQ(plugin->getProgram(), 13);
    plugin->setProgram(29);
    EXPECT_EQ(plugin->programName(), "guitar1");
    EXPECT_FLOAT_EQ(plugin->getParameter(1), 0.1f);
    plugin->setProgramName("Init");
    EXPECT_EQ(plugin->programName(), "Init 30");
    EXPECT_EQ(plugin->programNameIndexed(29).value_or("-"), "Init");
    plugin->setProgramName(std::string(100, 'n'));
    EXPECT_EQ(plugin->programName(), std::string(23, 'n'));
    EXPECT_EQ(plugin->programNameIndexed(30).value_or("-"), "init");
}

// Host delivers blocks of `block` frames of one signal to every input.
std::vector<std::vector<float>> runThrough(vst_host::PluginInstance& p, const std::vector<float>& left,
                                           const std::vector<float>& right, int channels, int block) {
    const int frames = static_cast<int>(left.size());
    std::vector<std::vector<float>> out(static_cast<size_t>(channels), std::vector<float>(left.size()));
    AudioBuffers in(channels, block), o(channels, block);
    for (int start = 0; start < frames; start += block) {
        const int n = std::min(block, frames - start);
        for (int i = 0; i < n; ++i) {
            in.channel(0)[i] = left[static_cast<size_t>(start + i)];
            if (channels == 2) in.channel(1)[i] = right[static_cast<size_t>(start + i)];
        }
        p.processReplacing(in.pointers(), o.pointers(), n);
        for (int c = 0; c < channels; ++c)
            std::copy(o.channel(c), o.channel(c) + n, out[static_cast<size_t>(c)].begin() + start);
    }
    return out;
}

std::vector<float> noise(int frames, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-0.9f, 0.9f);
    std::vector<float> v(static_cast<size_t>(frames));
    for (float& s : v) s = dist(rng);
    return v;
}

TEST_P(BassPlugin, MixZeroDelaysTheDrySignalBy255Samples) {
    auto plugin = loadPlugin(GetParam().file);
    plugin->startUp(48000.0f, 256);
    plugin->setProgram(19);
    plugin->setParameter(2, 0.0f);  // mix
    plugin->setParameter(7, 0.0f);  // saturation
    plugin->setParameter(1, 1.0f);  // +12 dB
    const float g = static_cast<float>(std::pow(10.0, 0.6));
    const int channels = GetParam().channels;
    const std::vector<float> l = noise(3000, 1), r = noise(3000, 2);
    const auto out = runThrough(*plugin.instance, l, r, channels, 256);
    for (int c = 0; c < channels; ++c) {
        const std::vector<float>& in = c == 0 ? l : r;
        for (int n = 0; n < 255; ++n) ASSERT_NEAR(out[static_cast<size_t>(c)][static_cast<size_t>(n)], 1e-7f * g, 1e-12f);
        for (int n = 255; n < 3000; ++n)
            ASSERT_NEAR(out[static_cast<size_t>(c)][static_cast<size_t>(n)], in[static_cast<size_t>(n - 255)] * g, 1e-6f)
                << "channel " << c << " sample " << n;
    }
}

TEST(BassPluginStereo, FirstBlockSettlesToMonoWhenTheSecondInputIsUnconnected) {
    auto plugin = loadPlugin("Vorsa_RUMBLOR");
    auto mono = loadPlugin("Vorsa_RUMBLOR_Mono");
    plugin.host->setInputConnected(1, false);
    plugin->startUp(44100.0f, 512);
    mono->startUp(44100.0f, 512);
    plugin.host->clearRequests();
    const std::vector<float> l = noise(2048, 3), r = noise(2048, 4);
    const auto out = runThrough(*plugin.instance, l, r, 2, 512);
    const auto expected = runThrough(*mono.instance, l, r, 1, 512);
    EXPECT_EQ(plugin.host->countRequests(audioMasterPinConnected), 1u);
    EXPECT_EQ(out[0], expected[0]);
    EXPECT_EQ(out[1], expected[0]);
    EXPECT_EQ(plugin->getParameter(8), 0.0f);
    EXPECT_EQ(plugin->parameterDisplay(8), "mono");
    plugin->setProgram(20);
    EXPECT_EQ(plugin->getParameter(8), 0.0f);

    // Connected: stereo, each output from its own input.
    auto connected = loadPlugin("Vorsa_RUMBLOR");
    connected->startUp(44100.0f, 512);
    const auto both = runThrough(*connected.instance, l, r, 2, 512);
    EXPECT_EQ(connected->getParameter(8), 1.0f);
    // The envelope follows the louder channel, so even the left result differs.
    EXPECT_NE(both[0], expected[0]);
    EXPECT_NE(both[1], both[0]);
}

// The meter rings are what the editor reads through the effect object; read
// them the same way after each block the host delivers.
TEST_P(BassPlugin, OverloadNeedsTwoFullScaleSamplesInOneBlock) {
    auto plugin = loadPlugin(GetParam().file);
    plugin->startUp(44100.0f, 256);
    plugin->setParameter(2, 0.0f);  // mix 0: the output is the delayed input
    plugin->setParameter(7, 0.0f);
    plugin->setParameter(1, 0.5f);
    const auto* effect = static_cast<const BassEffect*>(static_cast<AudioEffect*>(plugin->effect()->object));
    auto flags = [&](const std::vector<int>& fullScaleAt) {
        std::vector<float> l(4 * 256, 0.1f);
        for (int n : fullScaleAt) l[static_cast<size_t>(n)] = -1.0f;
        AudioBuffers in(GetParam().channels, 256), out(GetParam().channels, 256);
        std::vector<float> seen;
        for (int b = 0; b < 4; ++b) {
            for (int c = 0; c < GetParam().channels; ++c) std::copy(l.begin() + b * 256, l.begin() + (b + 1) * 256, in.channel(c));
            const int slot = effect->meterWriteIndex;
            plugin->processReplacing(in.pointers(), out.pointers(), 256);
            seen.push_back(effect->overloadRing[slot]);
        }
        return seen;
    };
    // Input 0 leaves as the last sample of block 0, input 1 as the first of block 1.
    EXPECT_EQ(flags({0, 1}), (std::vector<float>{0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(flags({300, 301}), (std::vector<float>{0.0f, 0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(flags({300, 302}), (std::vector<float>{0.0f, 0.0f, 0.0f, 0.0f}));
}

TEST_P(BassPlugin, TwoInstancesAreIndependent) {
    auto a = loadPlugin(GetParam().file);
    auto b = loadPlugin(GetParam().file);
    a->setParameter(1, 0.9f);
    EXPECT_EQ(b->getParameter(1), 0.5f);
    EXPECT_NE(a->effect()->object, b->effect()->object);
}

}  // namespace
