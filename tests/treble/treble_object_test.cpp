#include <gtest/gtest.h>

#include <cstring>

#include "host/vst_host.h"
#include "shell/plugin_entry.h"
#include "tests/treble/treble_test_support.h"
#include "treble_dsp/treble_parameters.h"

using namespace treble_params;

namespace {

// A host with a scripted output latency and block size, as the constructor asks them.
struct HostedEffect {
    vst_host::ScriptedHost host;
    std::unique_ptr<TrebleEffect> effect;
    HostedEffect(VstIntPtr latency, VstInt32 blockSize, PluginBuild build = PluginBuild::Stereo) {
        host.outputLatency = latency;
        host.blockSize = blockSize;
        vst_host::ScriptedHost::Constructing guard(host);
        effect = std::make_unique<TrebleEffect>(&vst_host::ScriptedHost::callback, build);
    }
    int meterDelay() const { return (effect->meterWriteIndex - effect->meterReadIndex + 256) % 256; }
};

TEST(TrebleObject, MeterDelayFollowsTheHostsLatencyInBlocks) {
    EXPECT_EQ(HostedEffect(4096, 512).meterDelay(), 6);  // trunc(8 * 100 / 130)
    EXPECT_EQ(HostedEffect(0, 512).meterDelay(), 1);
    EXPECT_EQ(HostedEffect(1, 512).meterDelay(), 1);
    EXPECT_EQ(HostedEffect(1000000, 2).meterDelay(), 255);
    EXPECT_EQ(HostedEffect(100, 512).meterDelay(), 1);  // under one block still shows one late
    HostedEffect e(4096, 512);
    EXPECT_EQ(e.effect->meterReadIndex, 0);
    EXPECT_EQ(e.effect->getBlockSize(), 512);  // the host answered by sending effSetBlockSize
}

TEST(TrebleObject, ConstructorAsksLatencyThenBlockSize) {
    HostedEffect e(2048, 256);
    std::vector<VstInt32> asked;
    for (const auto& r : e.host.requests()) asked.push_back(r.opcode);
    EXPECT_EQ(asked, (std::vector<VstInt32>{audioMasterGetOutputLatency, audioMasterGetBlockSize}));
}

TEST(TrebleObject, IdentityOfBothBuilds) {
    TrebleEffect stereo(nullptr, PluginBuild::Stereo);
    TrebleEffect mono(nullptr, PluginBuild::Mono);
    AEffect* s = stereo.getAeffect();
    AEffect* m = mono.getAeffect();
    EXPECT_EQ(s->numInputs, 2);
    EXPECT_EQ(s->numOutputs, 2);
    EXPECT_EQ(m->numInputs, 1);
    EXPECT_EQ(m->numOutputs, 1);
    EXPECT_EQ(s->uniqueID, fourCharCode("VrGL"));
    EXPECT_EQ(m->uniqueID, fourCharCode("VrGl"));
    for (AEffect* r : {s, m}) {
        EXPECT_EQ(r->numPrograms, 48);
        EXPECT_EQ(r->numParams, 24);
        EXPECT_EQ(r->version, 1);
        EXPECT_EQ(r->initialDelay, 0);
        // Made without an editor factory: only the two capability flags.
        EXPECT_EQ(r->flags, effFlagsCanMono | effFlagsCanReplacing);
    }
    EXPECT_EQ(stereo.getSecondInputConnected(), -1);
    EXPECT_EQ(mono.getSecondInputConnected(), 0);
    EXPECT_EQ(stereo.getEffectiveValue(kStereoMono), -1.0f);
    EXPECT_EQ(stereo.coefficients().stereoMonoEffective, 0.0f);
    EXPECT_EQ(mono.coefficients().stereoMonoEffective, 1.0f);
}

TEST(TrebleObject, SampleRateOutsideTheRangeIsReplacedAtConstructionOnly) {
    // A host that announces its rate before the effect exists cannot; a host
    // that answers the block-size request with an odd rate can.
    vst_host::ScriptedHost host;
    host.script = [](AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) -> std::optional<VstIntPtr> {
        if (opcode == audioMasterGetBlockSize && effect) effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 8000.0f);
        return std::nullopt;
    };
    vst_host::ScriptedHost::Constructing guard(host);
    TrebleEffect e(&vst_host::ScriptedHost::callback, PluginBuild::Stereo);
    EXPECT_EQ(e.getSampleRate(), 44100.0f);
    e.setSampleRate(8000.0f);
    EXPECT_EQ(e.getSampleRate(), 8000.0f);
}

TEST(TrebleObject, PinPropertiesDescribeAStereoPairInBothBuilds) {
    for (PluginBuild build : {PluginBuild::Stereo, PluginBuild::Mono}) {
        TrebleEffect e(nullptr, build);
        VstPinProperties pin;
        std::memset(&pin, 0x55, sizeof(pin));
        ASSERT_TRUE(e.getInputProperties(1, &pin));
        EXPECT_STREQ(pin.label, "My 2 In");
        EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
        EXPECT_EQ(static_cast<unsigned char>(pin.shortLabel[0]), 0x55);  // the rest is the host's
        ASSERT_TRUE(e.getOutputProperties(0, &pin));
        EXPECT_STREQ(pin.label, "My 1 Out");
        std::memset(&pin, 0x55, sizeof(pin));
        EXPECT_FALSE(e.getInputProperties(2, &pin));
        EXPECT_FALSE(e.getOutputProperties(-1, &pin));
        EXPECT_EQ(static_cast<unsigned char>(pin.label[0]), 0x55);
    }
}

TEST(TrebleObject, TextsAndVu) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    char text[128];
    EXPECT_TRUE(e.getEffectName(text));
    EXPECT_STREQ(text, "Vorsa Glintor");
    EXPECT_TRUE(e.getVendorString(text));
    EXPECT_STREQ(text, "Vorsa");
    EXPECT_TRUE(e.getProductString(text));
    EXPECT_STREQ(text, "The Vorsa treble enhancer & transient processing plug-in");
    EXPECT_EQ(e.getVendorVersion(), 1);
    EXPECT_EQ(e.getVu(), 0.0f);
    EXPECT_EQ(e.getAeffect()->dispatcher(e.getAeffect(), effGetVu, 0, 0, nullptr, 0), 0);
}

TEST(TrebleObject, SuspendClearsTheRingsAndKeepsTheirDistance) {
    HostedEffect e(4096, 512);
    TrebleEffect& t = *e.effect;
    t.peakOverRing[7] = 1.0f;
    t.overEnhanceRing[200] = 1.0f;
    t.editorPolled = 1;
    t.suspend();
    // Until the audio thread's next block start does the reset, the editor
    // reads the meters as cleared.
    float overEnhanced = 1.0f, peakOver = 1.0f;
    t.pollMeters(overEnhanced, peakOver);
    EXPECT_EQ(overEnhanced + peakOver, 0.0f);
    EXPECT_EQ(t.peakOverRing[7], 1.0f);
    t.takeHostChanges();
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(t.peakOverRing[i], 0.0f);
        EXPECT_EQ(t.overEnhanceRing[i], 0.0f);
    }
    EXPECT_EQ(t.editorPolled, 0);
    EXPECT_EQ(e.meterDelay(), 6);
}

// Records what an open editor is told.
class NotedEditor : public EffectEditor {
public:
    VstIntPtr getRect(ERect**) override { return 0; }
    VstIntPtr open(void*) override { return 1; }
    void close() override {}
    void idle() override {}
    VstInt32 setKnobDragMode(VstInt32) override { return 1; }
    void postUpdate() override { log += "U"; }
    void parameterChanged(VstInt32 index, float) override { log += "P" + std::to_string(index); }
    void resetMeters() override { log += "R"; }
    std::string log;
};

TEST(TrebleObject, OpenEditorHearsOfEveryChange) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    auto* editor = new NotedEditor;
    e.setEditor(editor);
    e.setParameter(3, 0.5f);
    EXPECT_EQ(editor->log, "");  // closed: nothing is said
    e.editorOpen = 1;
    e.setParameter(3, 0.5f);
    e.setParameter(99, 0.5f);  // out of range still reaches the editor
    EXPECT_EQ(editor->log, "P3UP99U");
    editor->log.clear();
    e.setProgram(1);
    EXPECT_EQ(editor->log.substr(editor->log.size() - 4), "P7UU");  // Mix last, then the refresh
    editor->log.clear();
    e.suspend();
    EXPECT_EQ(editor->log, "R");
}

bool failingEditor(TrebleEffect&) { return false; }
bool noEditor(TrebleEffect&) { return true; }
VstIntPtr versionHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}
// Composed as the entry points compose it, with an editor that cannot be made
// and then with one that needs nothing.
AudioEffect* constructWithFailingEditor(audioMasterCallback master) {
    return withEditor(new TrebleEffect(master, PluginBuild::Stereo), failingEditor);
}
AudioEffect* constructWithoutEditor(audioMasterCallback master) {
    return withEditor(new TrebleEffect(master, PluginBuild::Stereo), noEditor);
}

TEST(TrebleObject, FailedEditorCreationDiscardsTheInstance) {
    EXPECT_EQ(createEffectInstance(versionHost, constructWithFailingEditor), nullptr);
    AEffect* later = createEffectInstance(versionHost, constructWithoutEditor);
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(later->dispatcher(later, effClose, 0, 0, nullptr, 0), 1);
}

}  // namespace
