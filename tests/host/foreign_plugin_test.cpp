// The host library loads a VST 2 plug-in we did not write, as any host would.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "host/vst_host.h"

namespace {

const char* kForeignPlugin = "/usr/lib/vst/lsp-plugins/comp-delay-mono.so";

TEST(ForeignPlugin, LoadsNamesAndProcessesABlock) {
    if (!std::filesystem::exists(kForeignPlugin))
        GTEST_SKIP() << "Debian package lsp-plugins-vst is not installed (scripts/setup.sh installs it)";
    std::string error;
    auto module = vst_host::PluginModule::load(kForeignPlugin, &error);
    ASSERT_TRUE(module) << error;
    EXPECT_EQ(module->entryName(), "VSTPluginMain");
    vst_host::ScriptedHost host;
    auto plugin = vst_host::PluginInstance::create(*module, host, &error);
    ASSERT_TRUE(plugin) << error;
    EXPECT_FALSE(plugin->effectName().empty());
    EXPECT_GT(plugin->numParams(), 0);
    EXPECT_GE(plugin->numInputs(), 1);
    for (int i = 0; i < plugin->numParams(); ++i) EXPECT_FALSE(plugin->parameterName(i).empty()) << i;

    plugin->startUp(48000.0f, 512);
    vst_host::AudioBuffers in(plugin->numInputs(), 512), out(plugin->numOutputs(), 512, 123.0f);
    for (int c = 0; c < in.channels(); ++c)
        for (int i = 0; i < 512; ++i) in.channel(c)[i] = 0.5f * std::sin(0.05f * i);
    for (int block = 0; block < 8; ++block) plugin->processReplacing(in.pointers(), out.pointers(), 512);
    for (int c = 0; c < out.channels(); ++c)
        for (int i = 0; i < 512; ++i) {
            ASSERT_TRUE(std::isfinite(out.channel(c)[i]));
            ASSERT_NE(out.channel(c)[i], 123.0f) << "the plug-in wrote nothing";
        }
    plugin->suspend();
    EXPECT_NE(plugin->close(), 0);
}

}  // namespace
