// The host library itself: loading, refusing what is not a plug-in, the
// scripted answers and the request log.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/plugin_paths.h"

namespace {

TEST(HostLibrary, RefusesWhatIsNotAPlugin) {
    std::string error;
    EXPECT_EQ(vst_host::PluginModule::load("/nonexistent/plugin.so", &error), nullptr);
    EXPECT_NE(error.find("cannot load /nonexistent/plugin.so"), std::string::npos) << error;

    const std::string text = ::testing::TempDir() + "/not_a_library.so";
    std::ofstream(text) << "just text\n";
    EXPECT_EQ(vst_host::PluginModule::load(text, &error), nullptr);
    EXPECT_NE(error.find("cannot load"), std::string::npos) << error;

    // A real shared library without a VST entry point.
    EXPECT_EQ(vst_host::PluginModule::load("libz.so.1", &error), nullptr);
    EXPECT_NE(error.find("not a VST 2 plug-in"), std::string::npos) << error;
}

TEST(HostLibrary, ScriptedAnswersReachThePlugin) {
    vst_host::ScriptedHost host;
    host.setInputConnected(1, false);
    EXPECT_FALSE(host.isInputConnected(1));
    EXPECT_TRUE(host.isInputConnected(0));
    EXPECT_EQ(vst_host::ScriptedHost::callback(nullptr, audioMasterVersion, 0, 0, nullptr, 0), 0)
        << "a callback for an unknown effect outside construction has no host";
    {
        vst_host::ScriptedHost::Constructing guard(host);
        EXPECT_EQ(vst_host::ScriptedHost::callback(nullptr, audioMasterVersion, 0, 0, nullptr, 0), 2400);
        EXPECT_EQ(vst_host::ScriptedHost::callback(nullptr, audioMasterPinConnected, 1, 0, nullptr, 0), 1);
        EXPECT_EQ(vst_host::ScriptedHost::callback(nullptr, audioMasterPinConnected, 1, 1, nullptr, 0), 0);
    }
    EXPECT_EQ(host.countRequests(audioMasterPinConnected), 2u);
    host.script = [](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> std::optional<VstIntPtr> {
        if (opcode == audioMasterGetOutputLatency) return 777;
        return std::nullopt;
    };
    vst_host::ScriptedHost::Constructing guard(host);
    EXPECT_EQ(vst_host::ScriptedHost::callback(nullptr, audioMasterGetOutputLatency, 0, 0, nullptr, 0), 777);
    EXPECT_EQ(vst_host::ScriptedHost::callback(nullptr, audioMasterBeginEdit, 0, 0, nullptr, 0), 1);
}

TEST(HostLibrary, InstancesCloseWhenReleased) {
    auto plugin = test_support::loadPlugin("Vorsa_Glintor");
    plugin->startUp(48000.0f, 256);
    vst_host::AudioBuffers in(2, 256, 0.25f), out(2, 256, 9.0f);
    plugin->processReplacing(in.pointers(), out.pointers(), 256);
    plugin->process(in.pointers(), out.pointers(), 0);
    EXPECT_EQ(plugin->close(), 1);
    EXPECT_EQ(plugin->close(), 0);  // a second close is not sent

    // Replacing a held plug-in by another closes the old instance while its
    // module is still loaded.
    plugin = test_support::loadPlugin("Vorsa_RUMBLOR");
    plugin = test_support::loadPlugin("Vorsa_Glintor_Mono");
    ASSERT_TRUE(plugin);
    EXPECT_EQ(plugin->effect()->numInputs, 1);
}

}  // namespace
