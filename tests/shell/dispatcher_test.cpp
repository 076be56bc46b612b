#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/audio_effect.h"

namespace {

struct Call {
    VstInt32 opcode, index;
    VstIntPtr value;
    float opt;
};
std::vector<Call> hostCalls;
VstIntPtr hostAnswer = 0;

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*, float opt) {
    hostCalls.push_back({opcode, index, value, opt});
    return hostAnswer;
}

// The base with nothing overridden: every answer is the shell's default.
class BareEffect : public AudioEffectX {
public:
    explicit BareEffect(audioMasterCallback master = nullptr) : AudioEffectX(master, 4, 3) {}
    VstIntPtr call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0) {
        return cEffect.dispatcher(&cEffect, opcode, index, value, ptr, opt);
    }
    int suspends = 0, resumes = 0;
    std::vector<VstInt32> programsSet;
    void suspend() override { ++suspends; }
    void resume() override { ++resumes; }
    void setProgram(VstInt32 p) override {
        programsSet.push_back(p);
        AudioEffectX::setProgram(p);
    }
};

TEST(EffectRecord, BaseConstructionFillsTheRecord) {
    BareEffect e;
    AEffect* r = e.getAeffect();
    EXPECT_EQ(r->magic, fourCharCode("VstP"));
    EXPECT_EQ(r->magic, 0x56737450);
    EXPECT_EQ(r->numPrograms, 4);
    EXPECT_EQ(r->numParams, 3);
    EXPECT_EQ(r->numInputs, 1);
    EXPECT_EQ(r->numOutputs, 2);
    EXPECT_EQ(r->flags, 0);
    EXPECT_EQ(r->ioRatio, 1.0f);
    EXPECT_EQ(r->object, &e);
    EXPECT_EQ(r->user, nullptr);
    EXPECT_EQ(r->uniqueID, fourCharCode("NoEf"));
    EXPECT_EQ(r->version, 1);
    EXPECT_EQ(r->processDoubleReplacing, nullptr);
    EXPECT_NE(r->processReplacing, nullptr);
    EXPECT_EQ(e.getSampleRate(), 44100.0f);
    EXPECT_EQ(e.getBlockSize(), 1024);
}

TEST(EffectRecord, FlagSettersSetAndClearOneBitEach) {
    BareEffect e;
    e.hasVu(true);
    e.canMono(true);
    e.canProcessReplacing(true);
    e.isSynth(true);
    EXPECT_EQ(e.getAeffect()->flags, effFlagsHasVu | effFlagsCanMono | effFlagsCanReplacing | effFlagsIsSynth);
    e.canMono(false);
    e.isSynth(false);
    EXPECT_EQ(e.getAeffect()->flags, effFlagsHasVu | effFlagsCanReplacing);
}

// Every opcode of the 2.1 interface, with the base's answer when nothing is overridden.
TEST(Dispatcher, DefaultAnswerOfEveryOpcode) {
    BareEffect e;
    char text[256];
    VstPinProperties pin{};
    struct Expect {
        VstInt32 opcode;
        VstIntPtr answer;
    };
    const Expect table[] = {
        {effOpen, 0}, {effSetProgram, 0}, {effGetProgram, 0}, {effSetProgramName, 0}, {effGetProgramName, 0},
        {effGetParamLabel, 0}, {effGetParamDisplay, 0}, {effGetParamName, 0}, {effGetVu, 0},
        {effSetSampleRate, 0}, {effSetBlockSize, 0}, {effMainsChanged, 0}, {effEditGetRect, 0},
        {effEditOpen, 0}, {effEditClose, 0}, {effEditDraw, 0}, {effEditMouse, 0}, {effEditKey, 0},
        {effEditIdle, 0}, {effEditTop, 0}, {effEditSleep, 0}, {effIdentify, fourCharCode("NvEf")},
        {effGetChunk, 0}, {effSetChunk, 0}, {effProcessEvents, 0}, {effCanBeAutomated, 1},
        {effString2Parameter, 0}, {effGetNumProgramCategories, 1}, {effGetProgramNameIndexed, 0},
        {effCopyProgram, 0}, {effConnectInput, 1}, {effConnectOutput, 1}, {effGetInputProperties, 0},
        {effGetOutputProperties, 0}, {effGetPlugCategory, kPlugCategUnknown}, {effGetCurrentPosition, 0},
        {effGetDestinationBuffer, 0}, {effOfflineNotify, 0}, {effOfflinePrepare, 0}, {effOfflineRun, 0},
        {effProcessVarIo, 0}, {effSetSpeakerArrangement, 0}, {effSetBlockSizeAndSampleRate, 1},
        {effSetBypass, 0}, {effGetEffectName, 0}, {effGetErrorText, 0}, {effGetVendorString, 0},
        {effGetProductString, 0}, {effGetVendorVersion, 0}, {effVendorSpecific, 0}, {effCanDo, 0},
        {effGetTailSize, 0}, {effIdle, 0}, {effGetIcon, 0}, {effSetViewPosition, 0},
        {effGetParameterProperties, 0}, {effKeysRequired, 1}, {effGetVstVersion, 2100}, {effEditKeyDown, 0},
        {effEditKeyUp, 0}, {effSetEditKnobMode, 0}, {effGetMidiProgramName, 0}, {effGetCurrentMidiProgram, -1},
        {effGetMidiProgramCategory, 0}, {effHasMidiProgramsChanged, 0}, {effGetMidiKeyName, 0},
        {effBeginSetProgram, 0}, {effEndSetProgram, 0},
    };
    std::vector<bool> seen(69, false);
    for (const Expect& x : table) {
        std::memset(text, 0, sizeof(text));
        void* ptr = (x.opcode == effGetInputProperties || x.opcode == effGetOutputProperties)
                        ? static_cast<void*>(&pin)
                        : static_cast<void*>(text);
        // effSetBlockSizeAndSampleRate needs sensible values; the rest ignore them.
        VstIntPtr value = x.opcode == effSetBlockSizeAndSampleRate ? 256 : 0;
        EXPECT_EQ(e.call(x.opcode, 0, value, ptr, 48000.0f), x.answer) << "opcode " << x.opcode;
        seen[static_cast<size_t>(x.opcode)] = true;
    }
    for (int op = 0; op <= 68; ++op)
        if (op != effClose) {
            EXPECT_TRUE(seen[static_cast<size_t>(op)]) << "opcode " << op << " not covered";
        }
    // Everything past the 2.1 interface is unknown: 0, whatever the arguments.
    for (VstInt32 op : {69, 70, 71, 72, 77, 100, 1000, 0x7fffffff, -1})
        EXPECT_EQ(e.call(op, 5, 5, text, 1.0f), 0) << "opcode " << op;
}

TEST(Dispatcher, CanDoIsNeitherYesNorNo) {
    BareEffect e;
    for (const char* capability : {"sendVstEvents", "receiveVstMidiEvent", "offline", "plugAsChannelInsert", ""}) {
        std::string copy = capability;
        EXPECT_EQ(e.call(effCanDo, 0, 0, copy.data()), 0) << capability;
    }
}

TEST(Dispatcher, RateAndBlockSizeOpcodes) {
    BareEffect e;
    EXPECT_EQ(e.call(effSetSampleRate, 0, 0, nullptr, 96000.0f), 0);
    EXPECT_EQ(e.getSampleRate(), 96000.0f);
    EXPECT_EQ(e.call(effSetBlockSize, 0, 128), 0);
    EXPECT_EQ(e.getBlockSize(), 128);
    EXPECT_EQ(e.call(effSetBlockSizeAndSampleRate, 0, 64, nullptr, 22050.0f), 1);
    EXPECT_EQ(e.getBlockSize(), 64);
    EXPECT_EQ(e.getSampleRate(), 22050.0f);
}

TEST(Dispatcher, MainsChangedSuspendsOnZeroAndResumesOtherwise) {
    BareEffect e;
    e.call(effMainsChanged, 0, 0);
    e.call(effMainsChanged, 0, 1);
    e.call(effMainsChanged, 0, -7);
    EXPECT_EQ(e.suspends, 1);
    EXPECT_EQ(e.resumes, 2);
}

TEST(Dispatcher, SetProgramOnlyWithinTheBank) {
    BareEffect e;
    for (VstIntPtr p : {VstIntPtr(-1), VstIntPtr(4), VstIntPtr(1) << 40, VstIntPtr(3), VstIntPtr(0)}) e.call(effSetProgram, 0, p);
    EXPECT_EQ(e.programsSet, (std::vector<VstInt32>{3, 0}));
    EXPECT_EQ(e.call(effGetProgram), 0);
}

TEST(Dispatcher, NullTextBuffersAreLeftAlone) {
    BareEffect e;
    for (VstInt32 op : {effGetProgramName, effSetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
                        effGetEffectName, effGetVendorString, effGetProductString, effGetErrorText, effCanDo,
                        effGetProgramNameIndexed, effGetInputProperties, effGetOutputProperties, effEditGetRect,
                        effGetChunk, effString2Parameter})
        EXPECT_EQ(e.call(op, 0, 0, nullptr), 0) << "opcode " << op;
}

TEST(HostRequests, AnswersWithAndWithoutCallback) {
    BareEffect alone;  // no callback: every request has its fixed answer
    EXPECT_TRUE(alone.isInputConnected(1));
    EXPECT_TRUE(alone.isOutputConnected(1));
    EXPECT_EQ(alone.getOutputLatency(), 0);
    EXPECT_EQ(alone.updateBlockSize(), 1024);
    EXPECT_FALSE(alone.beginEdit(3));
    EXPECT_FALSE(alone.endEdit(3));
    EXPECT_EQ(alone.getMasterVersion(), 1);
    alone.masterIdle();
    alone.setParameterAutomated(0, 0.5f);

    hostCalls.clear();
    hostAnswer = 1;  // "not connected" for pins, true for edits
    BareEffect hosted(recordingHost);
    EXPECT_FALSE(hosted.isInputConnected(1));
    EXPECT_FALSE(hosted.isOutputConnected(0));
    EXPECT_TRUE(hosted.beginEdit(7));
    EXPECT_TRUE(hosted.endEdit(7));
    hosted.setParameterAutomated(2, 0.25f);
    hosted.masterIdle();
    ASSERT_EQ(hostCalls.size(), 6u);
    EXPECT_EQ(hostCalls[0].opcode, audioMasterPinConnected);
    EXPECT_EQ(hostCalls[0].index, 1);
    EXPECT_EQ(hostCalls[0].value, 0);  // input
    EXPECT_EQ(hostCalls[1].value, 1);  // output
    EXPECT_EQ(hostCalls[2].opcode, audioMasterBeginEdit);
    EXPECT_EQ(hostCalls[2].index, 7);
    EXPECT_EQ(hostCalls[3].opcode, audioMasterEndEdit);
    EXPECT_EQ(hostCalls[4].opcode, audioMasterAutomate);
    EXPECT_EQ(hostCalls[4].index, 2);
    EXPECT_EQ(hostCalls[4].opt, 0.25f);
    EXPECT_EQ(hostCalls[5].opcode, audioMasterIdle);

    hostAnswer = 0;
    EXPECT_EQ(hosted.getMasterVersion(), 1);  // a host answering 0 counts as version 1
    hostAnswer = 2400;
    EXPECT_EQ(hosted.getMasterVersion(), 2400);
    EXPECT_EQ(hosted.getOutputLatency(), 2400);
    // The block-size request returns the stored size; a host updates it by sending effSetBlockSize.
    EXPECT_EQ(hosted.updateBlockSize(), 1024);
}

// An editor that records what reaches it.
class RecordingEditor : public EffectEditor {
public:
    explicit RecordingEditor(int* destroyed) : destroyedCount(destroyed) {}
    ~RecordingEditor() override { ++*destroyedCount; }
    VstIntPtr getRect(ERect** rect) override {
        *rect = &r;
        return 1;
    }
    VstIntPtr open(void* parent) override {
        openedWith = parent;
        return 1;
    }
    void close() override { ++closes; }
    void idle() override { ++idles; }
    VstInt32 keyDown(VstKeyCode& key) override {
        lastKey = key;
        return 1;
    }
    VstInt32 keyUp(VstKeyCode& key) override {
        lastKey = key;
        return 1;
    }
    VstInt32 setKnobDragMode(VstInt32 mode) override {
        knobMode = mode;
        return 1;
    }
    void postUpdate() override {}
    void parameterChanged(VstInt32, float) override {}

    ERect r{0, 0, 272, 622};
    void* openedWith = nullptr;
    int closes = 0, idles = 0, knobMode = -1;
    VstKeyCode lastKey{};
    int* destroyedCount;
};

TEST(Dispatcher, EditorOpcodesReachTheRegisteredEditor) {
    int destroyed = 0;
    {
        BareEffect e;
        auto* editor = new RecordingEditor(&destroyed);
        e.setEditor(editor);
        EXPECT_EQ(e.getAeffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
        ERect* rect = nullptr;
        EXPECT_EQ(e.call(effEditGetRect, 0, 0, &rect), 1);
        EXPECT_EQ(rect, &editor->r);
        int window = 0;
        EXPECT_EQ(e.call(effEditOpen, 0, 0, &window), 1);
        EXPECT_EQ(editor->openedWith, &window);
        e.call(effEditIdle);
        e.call(effEditClose);
        EXPECT_EQ(editor->idles, 1);
        EXPECT_EQ(editor->closes, 1);
        EXPECT_EQ(e.call(effEditKeyDown, 'a', 3, nullptr, 4.9f), 1);
        EXPECT_EQ(editor->lastKey.character, 'a');
        EXPECT_EQ(editor->lastKey.virt, 3);
        EXPECT_EQ(editor->lastKey.modifier, 4);  // opt truncated to an integer
        EXPECT_EQ(e.call(effSetEditKnobMode, 0, 2), 1);
        EXPECT_EQ(editor->knobMode, 2);
        // Registering no editor clears the flag (and leaves ownership with the caller).
        e.setEditor(nullptr);
        EXPECT_EQ(e.getAeffect()->flags & effFlagsHasEditor, 0);
        e.setEditor(editor);
    }
    EXPECT_EQ(destroyed, 1);  // the effect destroys its editor with itself
}

TEST(Dispatcher, CloseDestroysTheEffectAndAnswersOne) {
    int destroyed = 0;
    auto* e = new BareEffect();
    e->setEditor(new RecordingEditor(&destroyed));
    AEffect* record = e->getAeffect();
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0), 1);
    EXPECT_EQ(destroyed, 1);
}

}  // namespace
