// The treble processing through the built deliverables, loaded and driven as a
// host drives them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/plugin_paths.h"
#include "tests/treble_dsp/kernel_test_support.h"

using vst_host::AudioBuffers;

namespace {

enum Param { kProcess = 0, kMix = 7, kOutput = 8, kSaturation = 18, kExciter = 19, kEnh = 20, kTran = 21, kHiss = 22 };

test_support::LoadedPlugin start(const std::string& name, void (*configure)(vst_host::ScriptedHost&) = nullptr) {
    test_support::LoadedPlugin p = test_support::loadPlugin(name, configure);
    p->startUp(44100.0f, 512);
    return p;
}

void fillMusic(AudioBuffers& b, int offset = 0) {
    for (int c = 0; c < b.channels(); ++c) {
        std::vector<float> v = kernel_test::musicLike(b.frames() + offset, static_cast<uint32_t>(c + 1));
        std::copy(v.begin() + offset, v.end(), b.channel(c));
    }
}

class Deliverables : public ::testing::TestWithParam<const char*> {};

TEST_P(Deliverables, SilenceGivesTheAlternatingOffset) {
    auto p = start(GetParam());
    for (int index : {kExciter, kEnh, kTran, kHiss}) p->setParameter(index, 0.0f);
    p->setParameter(kMix, 1.0f);
    p->setParameter(kSaturation, 0.0f);
    p->setParameter(kOutput, static_cast<float>(std::pow(5.0 / 6.0, 4.0)));  // gain 1
    for (int block : {7, 6}) {
        AudioBuffers in(p->numInputs(), block), out(p->numOutputs(), block, 1.0f);
        p->processReplacing(in.pointers(), out.pointers(), block);
        for (int c = 0; c < p->numOutputs(); ++c)
            for (int i = 0; i < block; ++i) ASSERT_NEAR(out.channel(c)[i], i % 2 ? 1e-8f : -1e-8f, 1e-13f) << i;
    }
}

TEST_P(Deliverables, DryOutputIs255SamplesLateOnlyWhileTheHissReducerIsOn) {
    for (float hiss : {1.0f, 0.0f}) {
        auto p = start(GetParam());
        p->setParameter(kHiss, hiss);
        p->setParameter(kMix, 0.0f);
        p->setParameter(kSaturation, 0.0f);
        const int frames = 1024;
        AudioBuffers in(p->numInputs(), frames), out(p->numOutputs(), frames);
        for (int c = 0; c < p->numInputs(); ++c)
            for (int i = 0; i < frames; ++i) in.channel(c)[i] = 0.0005f * static_cast<float>(i + 1 + 3 * c);
        for (int start = 0; start < frames; start += 256) {
            std::vector<float*> ins, outs;
            for (int c = 0; c < p->numInputs(); ++c) ins.push_back(in.channel(c) + start);
            for (int c = 0; c < p->numOutputs(); ++c) outs.push_back(out.channel(c) + start);
            p->processReplacing(ins.data(), outs.data(), 256);
        }
        const int delay = hiss > 0.5f ? 255 : 0;
        const float gain = out.channel(0)[700] / in.channel(0)[700 - delay];
        for (int c = 0; c < p->numOutputs(); ++c)
            for (int i = delay; i < frames; ++i)
                ASSERT_NEAR(out.channel(c)[i], in.channel(c)[i - delay] * gain, 1e-6f) << "hiss " << hiss << " " << i;
    }
}

TEST_P(Deliverables, ProcessAndProcessReplacingGiveTheSameSamples) {
    auto adding = start(GetParam());
    auto replacing = start(GetParam());
    for (auto* p : {&adding, &replacing}) {
        (*p)->setProgram(5);
        (*p)->setParameter(kSaturation, 1.0f);
    }
    const int frames = 480;
    for (int block = 0; block < 20; ++block) {
        AudioBuffers in(adding->numInputs(), frames), sum(adding->numOutputs(), frames, 0.0f),
            set(adding->numOutputs(), frames, 5.0f);
        fillMusic(in, block * frames);
        adding->process(in.pointers(), sum.pointers(), frames);
        replacing->processReplacing(in.pointers(), set.pointers(), frames);
        for (int c = 0; c < adding->numOutputs(); ++c)
            for (int i = 0; i < frames; ++i) ASSERT_EQ(sum.channel(c)[i], set.channel(c)[i]) << block << ":" << i;
    }
}

TEST_P(Deliverables, BypassInPlaceLeavesTheSamples) {
    auto p = start(GetParam());
    p->setParameter(kProcess, 0.0f);
    AudioBuffers io(p->numInputs(), 300);
    fillMusic(io);
    AudioBuffers copy = io;
    p->processReplacing(io.pointers(), io.pointers(), 300);
    for (int c = 0; c < io.channels(); ++c)
        for (int i = 0; i < 300; ++i) ASSERT_EQ(io.channel(c)[i], copy.channel(c)[i]);
}

INSTANTIATE_TEST_SUITE_P(Glintor, Deliverables, ::testing::Values("Vorsa_Glintor", "Vorsa_Glintor_Mono"));

TEST(GlintorStereo, SettlesItsModeFromTheHostsPins) {
    auto connected = start("Vorsa_Glintor");
    auto single = start("Vorsa_Glintor", [](vst_host::ScriptedHost& h) { h.setInputConnected(1, false); });
    for (auto* p : {&connected, &single}) {
        AudioBuffers in(2, 128), out(2, 128);
        fillMusic(in);
        (*p)->processReplacing(in.pointers(), out.pointers(), 128);
    }
    EXPECT_EQ(connected->getParameter(23), 0.0f);
    EXPECT_EQ(single->getParameter(23), 1.0f);
    EXPECT_EQ(single->parameterDisplay(23).substr(0, 3), "1.0");
}

}  // namespace
