// The treble plug-in as a host sees it: the built libraries loaded through
// the host library, every answer read through the AEffect record.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>

#include "tests/support/plugin_paths.h"

using test_support::loadPlugin;

namespace {

struct Build {
    const char* file;
    int channels;
    const char* id;
};
const Build kBuilds[] = {{"Vorsa_Glintor", 2, "VrGL"}, {"Vorsa_Glintor_Mono", 1, "VrGl"}};

class TreblePlugin : public ::testing::TestWithParam<Build> {};

TEST_P(TreblePlugin, IdentityAndRecord) {
    auto plugin = loadPlugin(GetParam().file);
    const Build& b = GetParam();
    AEffect* r = plugin->effect();
    EXPECT_EQ(r->magic, kEffectMagic);
    EXPECT_EQ(plugin->numInputs(), b.channels);
    EXPECT_EQ(plugin->numOutputs(), b.channels);
    EXPECT_EQ(plugin->uniqueId(), fourCharCode(*reinterpret_cast<const char(*)[5]>(b.id)));
    EXPECT_EQ(plugin->numPrograms(), 48);
    EXPECT_EQ(plugin->numParams(), 24);
    EXPECT_EQ(plugin->flags(), effFlagsHasEditor | effFlagsCanMono | effFlagsCanReplacing);
    EXPECT_EQ(plugin->initialDelay(), 0);
    EXPECT_EQ(r->version, 1);
    EXPECT_EQ(r->ioRatio, 1.0f);
    EXPECT_EQ(r->processDoubleReplacing, nullptr);
    EXPECT_EQ(plugin->effectName(), "Vorsa Glintor");
    EXPECT_EQ(plugin->vendorString(), "Vorsa");
    EXPECT_EQ(plugin->productString(), "The Vorsa treble enhancer & transient processing plug-in");
    EXPECT_EQ(plugin->vendorVersion(), 1);
    // The entry point asked for the version with no record, then latency and block size.
    const auto& asked = plugin.host->requests();
    ASSERT_GE(asked.size(), 3u);
    EXPECT_EQ(asked[0].opcode, audioMasterVersion);
    EXPECT_FALSE(asked[0].withEffect);
    EXPECT_EQ(asked[1].opcode, audioMasterGetOutputLatency);
    EXPECT_EQ(asked[2].opcode, audioMasterGetBlockSize);
}

TEST_P(TreblePlugin, AnswersOfTheOpcodesThatTheProductShapes) {
    auto plugin = loadPlugin(GetParam().file);
    char text[256] = {};
    VstPinProperties pin{};
    EXPECT_EQ(plugin->dispatch(effGetVstVersion), 2100);
    EXPECT_EQ(plugin->dispatch(effKeysRequired), 1);
    EXPECT_EQ(plugin->dispatch(effIdentify), fourCharCode("NvEf"));
    EXPECT_EQ(plugin->dispatch(effGetPlugCategory), 0);
    EXPECT_EQ(plugin->dispatch(effGetVu), 0);
    EXPECT_EQ(plugin->dispatch(effGetChunk, 0, 0, text), 0);
    EXPECT_EQ(plugin->dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(plugin->dispatch(effGetInputProperties, 1, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "My 2 In");
    EXPECT_EQ(pin.flags, 3);
    EXPECT_EQ(plugin->dispatch(effGetInputProperties, 2, 0, &pin), 0);
    EXPECT_EQ(plugin->dispatch(effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "My 1 Out");
    EXPECT_EQ(plugin->dispatch(effEditOpen, 0, 0, nullptr), 0);  // no window to open in
    ERect* rect = nullptr;
    EXPECT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 622);
    EXPECT_EQ(rect->bottom - rect->top, 272);
    EXPECT_EQ(plugin->dispatch(effSetBlockSizeAndSampleRate, 0, 256, nullptr, 48000.0f), 1);
    for (const char* capability : {"sendVstEvents", "receiveVstMidiEvent", "offline", "plugAsChannelInsert", "bypass"})
        EXPECT_EQ(plugin->canDo(capability), 0) << capability;
    for (VstInt32 op = effEndSetProgram + 1; op < 80; ++op) EXPECT_EQ(plugin->dispatch(op, 0, 0, text), 0) << op;
    plugin->startUp(44100.0f, 512);
    plugin->suspend();
    EXPECT_EQ(plugin->close(), 1);
}

TEST_P(TreblePlugin, ParameterTextsThroughTheHost) {
    auto plugin = loadPlugin(GetParam().file);
    EXPECT_EQ(plugin->parameterName(19), "   ");
    EXPECT_EQ(plugin->parameterLabel(1), "    dB   ");
    EXPECT_EQ(plugin->parameterLabel(4), "        ");
    EXPECT_EQ(plugin->parameterName(22), "ProcessHiss");
    EXPECT_EQ(plugin->parameterDisplay(5), "8000.000");  // mix1's Freq
    plugin->setParameter(2, 0.0f);
    EXPECT_EQ(plugin->parameterDisplay(2), "  -oo   ");
    EXPECT_EQ(plugin->getParameter(2), 0.0f);
    plugin->setParameter(5, 0.5f);
    plugin->setParameter(15, 0.5f);
    EXPECT_EQ(plugin->parameterDisplay(5), "2828.427");
    EXPECT_EQ(plugin->parameterDisplay(15), "1.118034");
    EXPECT_EQ(plugin->getParameter(24), 0.0f);
    EXPECT_EQ(plugin->parameterDisplay(24), "0.000000");
    EXPECT_EQ(plugin->parameterDisplay(23), GetParam().channels == 2 ? "-1.00000" : "1.000000");
    // Texts a host asks for with no buffer, or for indices far out, leave everything intact.
    for (VstInt32 op : {effGetParamName, effGetParamLabel, effGetParamDisplay, effGetProgramName})
        EXPECT_EQ(plugin->dispatch(op, 3, 0, nullptr), 0);
    char sentinel[16] = "sentinel";
    plugin->dispatch(effGetProgramNameIndexed, 1000, 0, sentinel);
    plugin->dispatch(effGetProgramNameIndexed, -3, 0, sentinel);
    EXPECT_STREQ(sentinel, "sentinel");
}

TEST_P(TreblePlugin, ProgramsSelectNameAndCopy) {
    auto plugin = loadPlugin(GetParam().file);
    EXPECT_EQ(plugin->getProgram(), 0);
    EXPECT_EQ(plugin->programName(), "mix1");
    EXPECT_FLOAT_EQ(plugin->getParameter(5), 0.8f);
    plugin->setProgram(38);
    EXPECT_EQ(plugin->programName(), "Init 39");
    EXPECT_EQ(plugin->programNameIndexed(38).value_or("?"), "Init");
    plugin->setProgram(2);
    EXPECT_TRUE(plugin->copyProgram(40));
    EXPECT_EQ(plugin->programNameIndexed(40).value_or("?"), "mix3");
    EXPECT_FALSE(plugin->copyProgram(48));
    plugin->setProgramName("my own");
    EXPECT_EQ(plugin->programName(), "my own");
    EXPECT_EQ(plugin->programNameIndexed(2).value_or("?"), "my own");
    plugin->setProgram(48);  // ignored
    plugin->setProgram(-1);
    EXPECT_EQ(plugin->getProgram(), 2);
    EXPECT_EQ(plugin->programNameIndexed(48), std::nullopt);
    // Every program's values come back exactly through getParameter.
    plugin->setProgram(12);  // drums1: Drive above the nominal range
    EXPECT_FLOAT_EQ(plugin->getParameter(16), 1.16f);
    EXPECT_EQ(plugin->parameterDisplay(16), "1.159999");
}

TEST_P(TreblePlugin, TwoInstancesAreIndependent) {
    auto a = loadPlugin(GetParam().file);
    auto b = loadPlugin(GetParam().file);
    EXPECT_NE(a->effect(), b->effect());
    a->setParameter(6, 0.1f);
    a->setProgram(5);
    EXPECT_EQ(b->getProgram(), 0);
    EXPECT_FLOAT_EQ(b->getParameter(6), 0.4f);
}

INSTANTIATE_TEST_SUITE_P(Builds, TreblePlugin, ::testing::ValuesIn(kBuilds),
                         [](const ::testing::TestParamInfo<Build>& info) { return std::string(info.param.file); });

TEST(TreblePluginEntry, HostAnsweringZeroToTheVersionGetsNothing) {
    vst_host::ScriptedHost host;
    host.version = 0;
    std::string error;
    auto module = vst_host::PluginModule::load(test_support::pluginPath("Vorsa_Glintor"), &error);
    ASSERT_TRUE(module) << error;
    EXPECT_EQ(vst_host::PluginInstance::create(*module, host, &error), nullptr);
    EXPECT_NE(error.find("returned no effect"), std::string::npos);
    EXPECT_EQ(host.requests().size(), 1u);  // only the version question was asked
}

TEST(TreblePluginEntry, MainAndVSTPluginMainAreTheSameEntry) {
    void* handle = dlopen(test_support::pluginPath("Vorsa_Glintor_Mono").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    using Entry = AEffect* (*)(audioMasterCallback);
    auto viaMain = reinterpret_cast<Entry>(dlsym(handle, "main"));
    auto viaVst = reinterpret_cast<Entry>(dlsym(handle, "VSTPluginMain"));
    ASSERT_NE(viaMain, nullptr);
    ASSERT_NE(viaVst, nullptr);
    vst_host::ScriptedHost host;
    for (Entry entry : {viaMain, viaVst}) {
        AEffect* e;
        {
            vst_host::ScriptedHost::Constructing guard(host);
            e = entry(&vst_host::ScriptedHost::callback);
        }
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->uniqueID, fourCharCode("VrGl"));
        EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0), 1);
    }
    dlclose(handle);
}

}  // namespace
