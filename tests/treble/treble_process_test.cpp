#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/treble/effect_test_support.h"
#include "tests/treble_dsp/kernel_test_support.h"
#include "treble_dsp/treble_parameters.h"

using effect_test::EffectRig;
using effect_test::makeEffect;
using vst_host::AudioBuffers;
using namespace treble_params;

namespace {

constexpr int kStereoMonoSlot = 22;

size_t pinRequests(const EffectRig& rig) { return rig.host->countRequests(audioMasterPinConnected); }

void fillMusic(AudioBuffers& b) {
    for (int c = 0; c < b.channels(); ++c) {
        std::vector<float> v = kernel_test::musicLike(b.frames(), static_cast<uint32_t>(c + 1));
        std::copy(v.begin(), v.end(), b.channel(c));
    }
}

bool sameSamples(const float* a, const float* b, int n) {
    for (int i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

TEST(ModeSettling, ConnectedSecondInputSettlesStereoEverywhere) {
    EffectRig rig = makeEffect(PluginBuild::Stereo);
    EXPECT_EQ(rig->getParameter(kStereoMono), -1.0f);
    AudioBuffers in(2, 256), out(2, 256);
    fillMusic(in);
    rig.host->clearRequests();
    rig->processReplacing(in.pointers(), out.pointers(), 256);
    EXPECT_EQ(pinRequests(rig), 1u);  // the second input, once
    EXPECT_EQ(rig->getParameter(kStereoMono), 0.0f);
    EXPECT_EQ(rig->getSecondInputConnected(), 1);
    for (int p = 0; p < TrebleEffect::kNumPrograms; ++p)
        ASSERT_EQ(rig->programRecords()[p].values[kStereoMonoSlot], 0.0f) << p;
    // Both channels processed on their own.
    EXPECT_FALSE(sameSamples(out.channel(0), out.channel(1), 256));

    rig.host->clearRequests();
    rig->processReplacing(in.pointers(), out.pointers(), 256);
    rig->process(in.pointers(), out.pointers(), 256);
    EXPECT_EQ(pinRequests(rig), 0u);
}

TEST(ModeSettling, UnconnectedSecondInputSettlesMonoAndFollowsTheSecondOutput) {
    EffectRig rig = makeEffect(PluginBuild::Stereo, [](vst_host::ScriptedHost& h) { h.setInputConnected(1, false); });
    AudioBuffers in(2, 300), out(2, 300);
    fillMusic(in);
    rig->processReplacing(in.pointers(), out.pointers(), 300);
    EXPECT_EQ(rig->getParameter(kStereoMono), 1.0f);
    EXPECT_EQ(rig->getSecondInputConnected(), 0);
    for (int p = 0; p < TrebleEffect::kNumPrograms; ++p)
        ASSERT_EQ(rig->programRecords()[p].values[kStereoMonoSlot], 1.0f) << p;
    EXPECT_TRUE(sameSamples(out.channel(0), out.channel(1), 300));  // one result on both outputs

    // Second output gone: the single-output kernel leaves it alone, and the
    // question is asked on every block.
    rig.host->setOutputConnected(1, false);
    rig.host->clearRequests();
    out.fill(9.0f);
    rig->processReplacing(in.pointers(), out.pointers(), 300);
    rig->process(in.pointers(), out.pointers(), 300);
    EXPECT_EQ(pinRequests(rig), 2u);
    for (int i = 0; i < 300; ++i) ASSERT_EQ(out.channel(1)[i], 9.0f);
}

TEST(ModeSettling, MinusOneFromHostOrProgramSettlesAgain) {
    EffectRig rig = makeEffect(PluginBuild::Stereo);
    AudioBuffers in(2, 64), out(2, 64);
    rig->processReplacing(in.pointers(), out.pointers(), 64);
    ASSERT_EQ(rig->getParameter(kStereoMono), 0.0f);

    rig.host->setInputConnected(1, false);
    rig->setParameter(kStereoMono, -1.0f);
    rig->processReplacing(in.pointers(), out.pointers(), 64);
    EXPECT_EQ(rig->getParameter(kStereoMono), 1.0f);
    EXPECT_EQ(rig->programRecords()[17].values[kStereoMonoSlot], 1.0f);

    // Every program now carries the settled mode: selecting one decides nothing.
    rig->setProgram(3);
    rig.host->clearRequests();
    rig.host->setOutputConnected(1, false);
    rig->processReplacing(in.pointers(), out.pointers(), 64);
    EXPECT_EQ(rig->getParameter(kStereoMono), 1.0f);
    EXPECT_EQ(pinRequests(rig), 1u);  // only the second output

    // A program that holds -1 leaves the mode undecided again.
    rig->setParameter(kStereoMono, -1.0f);
    rig->setProgram(5);
    EXPECT_EQ(rig->getParameter(kStereoMono), -1.0f);
    rig.host->setInputConnected(1, true);
    rig->process(in.pointers(), out.pointers(), 64);
    EXPECT_EQ(rig->getParameter(kStereoMono), 0.0f);
    EXPECT_EQ(rig->getSecondInputConnected(), 1);
}

TEST(ModeSettling, MonoBuildAsksNothingAndWritesNoProgram) {
    EffectRig rig = makeEffect(PluginBuild::Mono);
    const float storedMode = rig->programRecords()[0].values[kStereoMonoSlot];
    AudioBuffers in(1, 128), out(1, 128);
    fillMusic(in);
    rig.host->clearRequests();
    for (int block = 0; block < 5; ++block) {
        rig->processReplacing(in.pointers(), out.pointers(), 128);
        rig->process(in.pointers(), out.pointers(), 128);
    }
    EXPECT_EQ(pinRequests(rig), 0u);
    EXPECT_EQ(rig->getParameter(kStereoMono), 1.0f);
    EXPECT_EQ(rig->getSecondInputConnected(), 0);
    EXPECT_EQ(rig->programRecords()[0].values[kStereoMonoSlot], storedMode);
}

TEST(Bypass, ReplacingInPlaceLeavesTheSamplesAndCopiesOtherwise) {
    EffectRig rig = makeEffect(PluginBuild::Stereo);
    rig->setParameter(kProcess, 0.0f);
    AudioBuffers io(2, 200);
    fillMusic(io);
    const std::vector<float> left(io.channel(0), io.channel(0) + 200), right(io.channel(1), io.channel(1) + 200);
    rig->processReplacing(io.pointers(), io.pointers(), 200);
    EXPECT_TRUE(sameSamples(io.channel(0), left.data(), 200));
    EXPECT_TRUE(sameSamples(io.channel(1), right.data(), 200));

    AudioBuffers out(2, 200, 4.0f);
    rig->processReplacing(io.pointers(), out.pointers(), 200);
    EXPECT_TRUE(sameSamples(out.channel(0), left.data(), 200));
    EXPECT_TRUE(sameSamples(out.channel(1), right.data(), 200));

    // Accumulating: the input is added, except into its own buffer on channel 2.
    out.fill(1.0f);
    float* mixed[2] = {out.channel(0), io.channel(1)};
    rig->process(io.pointers(), mixed, 200);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(out.channel(0)[i], 1.0f + left[static_cast<size_t>(i)]);
        ASSERT_EQ(io.channel(1)[i], right[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(rig->peakOverRing[(rig->meterWriteIndex - 1) & 255], 0.0f);
}

TEST(Bypass, MonoModeFeedsTheFirstInputToTheSecondOutput) {
    EffectRig rig = makeEffect(PluginBuild::Stereo, [](vst_host::ScriptedHost& h) { h.setInputConnected(1, false); });
    rig->setParameter(kProcess, 0.0f);
    AudioBuffers in(2, 100), out(2, 100, 0.5f);
    fillMusic(in);
    rig->process(in.pointers(), out.pointers(), 100);
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(out.channel(0)[i], 0.5f + in.channel(0)[i]);
        ASSERT_EQ(out.channel(1)[i], 0.5f + in.channel(0)[i]);
    }
    rig->processReplacing(in.pointers(), out.pointers(), 100);
    EXPECT_TRUE(sameSamples(out.channel(1), in.channel(0), 100));
}

TEST(Bypass, MonoBuildHandlesOnlyTheFirstChannel) {
    EffectRig rig = makeEffect(PluginBuild::Mono);
    rig->setParameter(kProcess, 0.0f);
    AudioBuffers in(2, 64), out(2, 64, 2.0f);
    fillMusic(in);
    rig->process(in.pointers(), out.pointers(), 64);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(out.channel(0)[i], 2.0f + in.channel(0)[i]);
        ASSERT_EQ(out.channel(1)[i], 2.0f);
    }
    const std::vector<float> before(in.channel(0), in.channel(0) + 64);
    rig->processReplacing(in.pointers(), in.pointers(), 64);
    EXPECT_TRUE(sameSamples(in.channel(0), before.data(), 64));
}

// Stereo widener at its neutral width, flat tilt and without the hiss reducer.
void setUpSideCounting(EffectRig& rig) {
    rig->setParameter(kProcessEnh, 1.0f);
    rig->setParameter(kProcessHiss, 0.0f);
    rig->setParameter(kEnhanceS, 0.0f);
    rig->setParameter(kEnhSlope, 0.0f);
}

TEST(Meters, OverEnhancedWhenMoreThan65PercentOfTheBlockIsSide) {
    EffectRig rig = makeEffect(PluginBuild::Stereo);
    setUpSideCounting(rig);
    for (int sideSamples : {66, 65}) {
        AudioBuffers in(2, 100), out(2, 100);
        for (int i = 0; i < 100; ++i) {
            in.channel(0)[i] = 0.5f;
            in.channel(1)[i] = i < sideSamples ? -0.5f : 0.5f;
        }
        const int slot = rig->meterWriteIndex;
        rig->editorPolled = 1;  // no hold from the block before
        rig->processReplacing(in.pointers(), out.pointers(), 100);
        EXPECT_EQ(rig->overEnhanceRing[slot], sideSamples == 66 ? 1.0f : 0.0f) << sideSamples;
    }
}

EffectRig makeMeteredEffect() {
    EffectRig rig = makeEffect(PluginBuild::Stereo, [](vst_host::ScriptedHost& h) {
        h.outputLatency = 4096;
        h.blockSize = 512;
    });
    rig->setParameter(kProcessHiss, 0.0f);
    rig->setParameter(kSaturation, 0.0f);
    rig->setParameter(kMix, 0.0f);
    rig->setParameter(kOutput, 1.0f);  // gain 2
    return rig;
}

void runBlock(EffectRig& rig, float level) {
    AudioBuffers in(2, 32, level), out(2, 32);
    rig->processReplacing(in.pointers(), out.pointers(), 32);
}

TEST(Meters, DelayFromHostLatencyAndBlockSize) {
    struct Case {
        VstIntPtr latency;
        VstInt32 block;
        int delay;
    };
    for (Case k : {Case{4096, 512, 6}, Case{0, 512, 1}, Case{1, 512, 1}, Case{1000000, 2, 255}}) {
        EffectRig rig = makeEffect(PluginBuild::Stereo, [k](vst_host::ScriptedHost& h) {
            h.outputLatency = k.latency;
            h.blockSize = k.block;
        });
        EXPECT_EQ(rig->meterWriteIndex, k.delay);
        EXPECT_EQ(rig->meterReadIndex, 0);
    }
}

TEST(Meters, OverloadReachesTheReadSlotLaterAndIsHeldUntilRead) {
    EffectRig rig = makeMeteredEffect();
    ASSERT_EQ(rig->meterWriteIndex, 6);
    runBlock(rig, 0.9f);  // overload
    for (int block = 1; block < 6; ++block) {
        EXPECT_EQ(rig->peakOverRing[rig->meterReadIndex], 0.0f) << block;
        runBlock(rig, 0.01f);
    }
    EXPECT_EQ(rig->peakOverRing[rig->meterReadIndex], 1.0f);  // six blocks later
    // Not polled: the reading slot keeps it.
    runBlock(rig, 0.01f);
    runBlock(rig, 0.01f);
    EXPECT_EQ(rig->peakOverRing[rig->meterReadIndex], 1.0f);
    // Polled: the next slot shows its own quiet block.
    rig->editorPolled = 1;
    runBlock(rig, 0.01f);
    EXPECT_EQ(rig->editorPolled, 0);
    EXPECT_EQ(rig->peakOverRing[rig->meterReadIndex], 0.0f);
    EXPECT_EQ((rig->meterWriteIndex - rig->meterReadIndex) & 255, 6);
}

TEST(Meters, EmptyBlockWritesASlotAndTouchesNoSample) {
    EffectRig rig = makeMeteredEffect();
    runBlock(rig, 0.2f);
    const int slot = rig->meterWriteIndex;
    rig->overEnhanceRing[slot] = 1.0f;
    rig->peakOverRing[slot] = 1.0f;
    float sentinel[2] = {3.0f, 4.0f};
    float* outs[2] = {&sentinel[0], &sentinel[1]};
    AudioBuffers in(2, 1);
    rig->processReplacing(in.pointers(), outs, 0);
    rig->process(in.pointers(), outs, -5);
    EXPECT_EQ(rig->overEnhanceRing[slot], 0.0f);
    EXPECT_EQ(rig->peakOverRing[slot], 0.0f);
    EXPECT_EQ(rig->meterWriteIndex, (slot + 2) & 255);
    EXPECT_EQ(sentinel[0], 3.0f);
    EXPECT_EQ(sentinel[1], 4.0f);
}

TEST(Suspend, ClearsMetersAndKernelStateButKeepsTheHissCoefficient) {
    EffectRig rig = makeMeteredEffect();
    rig->setParameter(kProcessHiss, 1.0f);
    for (int block = 0; block < 20; ++block) runBlock(rig, 0.9f);
    const float adapted = rig->processingState().hissCoef;
    ASSERT_NE(adapted, 0.5f);
    rig->suspend();
    rig->takeHostChanges();  // the next block start
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(rig->overEnhanceRing[i], 0.0f);
        ASSERT_EQ(rig->peakOverRing[i], 0.0f);
    }
    EXPECT_EQ((rig->meterWriteIndex - rig->meterReadIndex) & 255, 6);
    const TrebleDspState& s = rig->processingState();
    EXPECT_EQ(s.hissCoef, adapted);
    EXPECT_EQ(s.channel[0].lp1, 1e-7f);
    EXPECT_EQ(s.channel[1].env, 0.0f);
    EXPECT_EQ(s.dryDelay[1][17], 1e-8f);
    EXPECT_EQ(s.writeIndex, 255);
}

}  // namespace
