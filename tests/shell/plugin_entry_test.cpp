#include <gtest/gtest.h>

#include "shell/plugin_entry.h"

namespace {

int liveEffects = 0;
bool failEditorOnce = false;

class CountedEffect : public AudioEffectX {
public:
    explicit CountedEffect(audioMasterCallback master) : AudioEffectX(master, 1, 1) { ++liveEffects; }
    ~CountedEffect() override { --liveEffects; }
};

bool attachEditorUnlessFailing(CountedEffect&) {
    const bool fail = failEditorOnce;
    failEditorOnce = false;
    return !fail;
}

// Composed as the entry points compose it: the effect, then its editor.
AudioEffect* construct(audioMasterCallback master) {
    return withEditor(new CountedEffect(master), attachEditorUnlessFailing);
}
AudioEffect* outOfMemory(audioMasterCallback) { return nullptr; }

int versionRequests = 0;
VstIntPtr silentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) ++versionRequests;
    return 0;
}
VstIntPtr versionHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

TEST(PluginEntry, HostAnsweringZeroGetsNothingCreated) {
    versionRequests = 0;
    EXPECT_EQ(createEffectInstance(silentHost, construct), nullptr);
    EXPECT_EQ(versionRequests, 1);
    EXPECT_EQ(liveEffects, 0);
    EXPECT_EQ(createEffectInstance(nullptr, construct), nullptr);
    EXPECT_EQ(liveEffects, 0);
}

TEST(PluginEntry, FailedEditorDestroysTheEffectWithoutBlockingLaterInstances) {
    failEditorOnce = true;
    EXPECT_EQ(createEffectInstance(versionHost, construct), nullptr);
    EXPECT_EQ(liveEffects, 0);
    AEffect* later = createEffectInstance(versionHost, construct);
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(liveEffects, 1);
    EXPECT_EQ(later->dispatcher(later, effClose, 0, 0, nullptr, 0), 1);
    EXPECT_EQ(liveEffects, 0);
}

TEST(PluginEntry, NoMemoryGivesNull) { EXPECT_EQ(createEffectInstance(versionHost, outOfMemory), nullptr); }

TEST(PluginEntry, TwoCallsGiveTwoIndependentInstances) {
    AEffect* a = createEffectInstance(versionHost, construct);
    AEffect* b = createEffectInstance(versionHost, construct);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_NE(a->object, b->object);
    a->dispatcher(a, effSetBlockSize, 0, 99, nullptr, 0);
    EXPECT_EQ(static_cast<AudioEffect*>(a->object)->getBlockSize(), 99);
    EXPECT_EQ(static_cast<AudioEffect*>(b->object)->getBlockSize(), 1024);
    a->dispatcher(a, effClose, 0, 0, nullptr, 0);
    b->dispatcher(b, effClose, 0, 0, nullptr, 0);
    EXPECT_EQ(liveEffects, 0);
}

}  // namespace
