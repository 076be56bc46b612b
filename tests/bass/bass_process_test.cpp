// The bass signal path: tables, reset, gain law, delay, clipper, overload
// rule, channel-mode settling, robustness, and agreement with a plain model.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "tests/bass/bass_reference.h"

using namespace bass_test;
using namespace bass_params;

namespace {

std::vector<float> noise(int frames, float amplitude, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-amplitude, amplitude);
    std::vector<float> v(static_cast<size_t>(frames));
    for (float& s : v) s = dist(rng);
    return v;
}

std::vector<float> sine(int frames, double hz, double amplitude, double fs = 44100.0) {
    std::vector<float> v(static_cast<size_t>(frames));
    for (int n = 0; n < frames; ++n) v[static_cast<size_t>(n)] = static_cast<float>(amplitude * std::sin(6.283185307179586 * hz * n / fs));
    return v;
}

// The dither sign of sample n after a reset: it flips before every sample.
float dithered(float x, int n) { return x + (n % 2 == 0 ? -1e-12f : 1e-12f); }

// Output value of the block just processed, read at the slot it was written to.
float lastMeter(const BassEffect& e, const std::atomic<float>* ring) { return ring[(e.meterWriteIndex + 255) & 255]; }

class BassBuilds : public ::testing::TestWithParam<PluginBuild> {};
INSTANTIATE_TEST_SUITE_P(Both, BassBuilds, ::testing::Values(PluginBuild::Stereo, PluginBuild::Mono),
                         [](const auto& info) { return info.param == PluginBuild::Stereo ? "Stereo" : "Mono"; });

TEST(BassLookupTables, ApproximateSquareRootAndReciprocal) {
    BassLookup t;
    t.fill();
    for (double x = 1e-9; x < 1e9; x *= 1.37) {
        const float f = static_cast<float>(x);
        EXPECT_NEAR(t.sqrtOf(f) / std::sqrt(x), 1.0, 0.005) << x;
        EXPECT_NEAR(t.recipOf(f) * x, 1.0, 0.005) << x;
        EXPECT_FLOAT_EQ(t.sqrtTimesRecip(f), t.sqrtOf(f) * t.recipOf(f));
    }
    // Exact at powers of two in the tables' own terms.
    EXPECT_NEAR(t.sqrtOf(1.5258789e-05f), 1.0f / 256.0f, 1e-8f);
    EXPECT_NEAR(t.recipOf(0.25f), 4.0f, 1e-6f);
}

TEST(BassLookupTables, FlagTestsOnBitPatterns) {
    EXPECT_TRUE(reachesOne(1.0f));
    EXPECT_TRUE(reachesOne(-1.0f));
    EXPECT_TRUE(reachesOne(3e38f));
    EXPECT_FALSE(reachesOne(0.99999994f));
    EXPECT_FALSE(reachesOne(0.0f));
    EXPECT_FALSE(reachesOne(-0.5f));
    EXPECT_FALSE(reachesOne(INFINITY));
    EXPECT_FALSE(reachesOne(-INFINITY));
    EXPECT_FALSE(reachesOne(std::nanf("")));
    EXPECT_TRUE(reachesTwo(2.0f));
    EXPECT_TRUE(reachesTwo(-2.0f));
    EXPECT_TRUE(reachesTwo(INFINITY));
    EXPECT_FALSE(reachesTwo(1.9999999f));
}

TEST(BassReset, MeterDelayRingsAndStates) {
    TestHost::reset();
    TestHost::latency = 2048;
    TestHost::blockSize = 512;
    Bass e(PluginBuild::Stereo);
    EXPECT_EQ(e.meterWriteIndex, 3);  // 2048 * 100 / 665.6 = 3.07
    EXPECT_EQ(e.meterReadIndex, 0);
    TestHost::latency = 0;
    e.suspend();
    EXPECT_EQ(e.meterWriteIndex, 1);
    TestHost::latency = 1000000;
    TestHost::blockSize = 2;
    e.suspend();
    EXPECT_EQ(e.meterWriteIndex, 255);
    TestHost::reset();

    EXPECT_EQ(e.ringWriteIndex, 255);
    EXPECT_EQ(e.ringReadIndex, 0);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(e.gainMeterRing[i], 1e-7f);
        EXPECT_EQ(e.overloadRing[i], 1e-7f);
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(e.work.dryRing[c][i], 1e-7f);
            EXPECT_EQ(e.work.highRing[c][i], 1e-7f);
            EXPECT_EQ(e.work.lowRing[c][i], 1e-7f);
        }
    }
    const double twoPi = 6.283185307179586;
    EXPECT_DOUBLE_EQ(e.dcCoef, 1.0 - std::exp(-twoPi * 15.0 / 44100.0));
    EXPECT_DOUBLE_EQ(e.dcFeedback, 1.0 - e.dcCoef);
}

TEST(BassReset, SampleRateReachesTheBandSplitButNotTheShaper) {
    Bass e(PluginBuild::Stereo);
    e.setParameter(kFreq, 0.5f);
    const double shaper = e.shaperCoef;
    const double twoPi = 6.283185307179586;
    e.setSampleRate(96000.0f);
    EXPECT_EQ(e.getSampleRateInt(), 44100);  // not before the reset
    e.suspend();
    EXPECT_EQ(e.getSampleRateInt(), 96000);
    EXPECT_DOUBLE_EQ(e.bandCoef, 1.0 - std::exp(-twoPi * (0.25 * 580.0 + 20.0) / 96000.0));
    EXPECT_EQ(e.shaperCoef, shaper);
    e.setSampleRate(8000.0f);
    e.suspend();
    EXPECT_EQ(e.getSampleRateInt(), 22050);
    e.setSampleRate(1e9f);
    e.suspend();
    EXPECT_EQ(e.getSampleRateInt(), 192000);
    e.setSampleRate(std::nanf(""));
    e.suspend();
    EXPECT_EQ(e.getSampleRateInt(), 22050);
}

TEST(BassReset, ReachesTheEditorAndClearsStates) {
    Bass e(PluginBuild::Stereo);
    run(e, {noise(1000, 0.8f, 1), noise(1000, 0.8f, 2)});
    auto* editor = new FakeEditor;
    e.setEditor(editor);
    e.suspend();
    EXPECT_EQ(editor->calls, std::vector<std::string>{"resetMeters"});
    EXPECT_EQ(e.envelope, 0.0f);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(e.splitState1[c], 0.0);
        EXPECT_EQ(e.peakHold[c], 0.0);
        EXPECT_EQ(e.dcState[c], 0.0);
    }
}

TEST_P(BassBuilds, MixZeroGivesTheDitheredInputDelayedTimesGain) {
    Bass e(GetParam());
    e.setProgram(12);  // processing on, heavy colour; none of it may show
    e.setParameter(kMix, 0.0f);
    e.setParameter(kSaturation, 0.0f);
    e.setParameter(kGain, 0.8f);
    const float g = e.getEffectiveValue(kGain);
    const std::vector<float> in = noise(2000, 1.5f, 7);
    const auto out = run(e, {in, in}, 300);
    for (int n = 0; n < 255; ++n) ASSERT_EQ(out[0][static_cast<size_t>(n)], 1e-7f * g) << n;
    for (int n = 255; n < 2000; ++n)
        ASSERT_EQ(out[0][static_cast<size_t>(n)], dithered(in[static_cast<size_t>(n - 255)], n - 255) * g) << n;
}

TEST_P(BassBuilds, ProcessingOffIsTheDelayedInputHighPassedAt15Hz) {
    Bass e(GetParam());
    e.setParameter(kProcess, 0.0f);
    e.setParameter(kBass, 0.5f);
    e.setParameter(kMix, 1.0f);
    e.setParameter(kSaturation, 0.0f);
    e.setParameter(kGain, 0.25f);
    e.setParameter(kFreq, 0.6f);
    const float g = e.getEffectiveValue(kGain);
    std::vector<float> in = sine(8000, 90.0, 0.6);
    const std::vector<float> hf = sine(8000, 3000.0, 0.2);
    for (size_t n = 0; n < in.size(); ++n) in[n] += hf[n];
    const auto out = run(e, {in, in});
    // The band split adds back up; the DC filter is a one-pole high-pass.
    double dc = 0.0;
    for (int n = 255; n < 8000; ++n) {
        const double y = in[static_cast<size_t>(n - 255)];
        dc = e.dcCoef * y + e.dcFeedback * dc;
        ASSERT_NEAR(out[0][static_cast<size_t>(n)], (y - dc) * g, 2e-5) << n;
    }
}

TEST(BassProcess, SoftClipperValues) {
    Bass e(PluginBuild::Mono);
    e.setParameter(kMix, 0.0f);
    e.setParameter(kGain, 0.5f);
    e.setParameter(kSaturation, 1.0f);
    std::vector<float> in(512, 0.0f);
    const float values[] = {3.0f, 2.0f, 1.0f, -0.5f, -3.0f, 0.0f};
    const float clipped[] = {1.0f, 1.0f, 0.75f, -0.4375f, -1.0f, 0.0f};
    for (int k = 0; k < 6; ++k) in[static_cast<size_t>(2 * k)] = values[k];
    const auto out = run(e, {in});
    for (int k = 0; k < 5; ++k) EXPECT_EQ(out[0][static_cast<size_t>(255 + 2 * k)], clipped[k]) << values[k];
    EXPECT_NEAR(out[0][265], 0.0f, 1e-11f);
}

// Overload flag of each block, for inputs that reach full scale at the given
// sample positions (the output follows 255 samples later).
std::vector<float> overloadFlags(const std::vector<int>& fullScaleAt, int blocks, int blockSize) {
    Bass e(PluginBuild::Mono);
    e.setParameter(kMix, 0.0f);
    e.setParameter(kGain, 0.5f);
    e.setParameter(kSaturation, 0.0f);
    std::vector<float> in(static_cast<size_t>(blocks * blockSize), 0.1f);
    for (int n : fullScaleAt) in[static_cast<size_t>(n)] = (n % 2) ? -1.0f : 1.0f;
    std::vector<float> flags;
    std::vector<float> out(in.size());
    for (int b = 0; b < blocks; ++b) {
        float* i = in.data() + b * blockSize;
        float* o = out.data() + b * blockSize;
        e.processReplacing(&i, &o, blockSize);
        flags.push_back(lastMeter(e, e.overloadRing));
    }
    return flags;
}

TEST(BassProcess, OverloadNeedsTwoConsecutiveFullScaleSamplesInOneBlock) {
    // Output block 1 holds input samples 1..256 of a 256-sample layout.
    EXPECT_EQ(overloadFlags({10, 11}, 3, 256), (std::vector<float>{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(overloadFlags({10, 12, 14}, 3, 256), (std::vector<float>{0.0f, 0.0f, 0.0f}));
    // Input 0 leaves as the last sample of block 0, input 1 as the first of block 1.
    EXPECT_EQ(overloadFlags({0, 1}, 3, 256), (std::vector<float>{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(overloadFlags({0, 1, 2}, 3, 256), (std::vector<float>{0.0f, 1.0f, 0.0f}));
}

TEST(BassProcess, SilenceRaisesTheGainToItsMaximum) {
    Bass e(PluginBuild::Stereo);
    e.setParameter(kThreshold, 0.5f);  // -24 dB
    e.setParameter(kStereoMono, 1.0f);
    const std::vector<float> silence(44100, 0.0f);
    const auto out = run(e, {silence, silence});
    // About 256 * sqrt(T): 64 for -24 dB.
    const float gain = std::pow(10.0f, lastMeter(e, e.gainMeterRing) * 12.0f / 5.0f);
    EXPECT_NEAR(gain, 64.0f, 64.0f * 0.01f);
    // The rings' reset value, raised, leaves first; then next to nothing.
    for (int c = 0; c < 2; ++c) {
        for (float s : out[static_cast<size_t>(c)]) ASSERT_LT(std::fabs(s), 1e-4f);
        for (size_t n = 22050; n < out[0].size(); ++n) ASSERT_LT(std::fabs(out[static_cast<size_t>(c)][n]), 1e-6f);
    }

    // Processing off still computes the gain for the meter.
    e.setParameter(kProcess, 0.0f);
    run(e, {silence, silence});
    EXPECT_NEAR(std::pow(10.0f, lastMeter(e, e.gainMeterRing) * 12.0f / 5.0f), 64.0f, 0.7f);
}

TEST(BassProcess, LoudLowBandGetsUnityGainQuietOneIsRaisedHalfwayInDecibels) {
    Bass e(PluginBuild::Mono);
    e.setParameter(kThreshold, 0.75f);  // -12 dB
    e.setParameter(kFreq, 0.5f);
    run(e, {sine(44100, 50.0, 0.9)});
    EXPECT_EQ(lastMeter(e, e.gainMeterRing), 0.0f);
    // A -36 dB bass tone, 24 dB below the threshold, is raised by about 12 dB.
    run(e, {sine(88200, 50.0, std::pow(10.0, -36.0 / 20.0))});
    const float db = lastMeter(e, e.gainMeterRing) * 48.0f;
    EXPECT_GT(db, 9.0f);
    EXPECT_LT(db, 16.0f);
}

TEST(BassProcess, ProcessAddsAndProcessReplacingOverwrites) {
    Bass a(PluginBuild::Stereo), b(PluginBuild::Stereo);
    const std::vector<float> l = noise(512, 0.7f, 3), r = noise(512, 0.7f, 4);
    std::vector<float> oa[2] = {std::vector<float>(512, 0.25f), std::vector<float>(512, -0.5f)};
    std::vector<float> ob[2] = {std::vector<float>(512, 9.0f), std::vector<float>(512, 9.0f)};
    float* in[2] = {const_cast<float*>(l.data()), const_cast<float*>(r.data())};
    float* outA[2] = {oa[0].data(), oa[1].data()};
    float* outB[2] = {ob[0].data(), ob[1].data()};
    for (int k = 0; k < 3; ++k) {
        std::fill(oa[0].begin(), oa[0].end(), 0.25f);
        std::fill(oa[1].begin(), oa[1].end(), -0.5f);
        a.process(in, outA, 512);
        b.processReplacing(in, outB, 512);
        for (size_t n = 0; n < 512; ++n) {
            ASSERT_EQ(oa[0][n], 0.25f + ob[0][n]);
            ASSERT_EQ(oa[1][n], -0.5f + ob[1][n]);
        }
    }
    EXPECT_NE(ob[0], ob[1]);
}

// Hosts often hand over the same buffers for input and output.
TEST_P(BassBuilds, InPlaceProcessingMatchesSeparateBuffers) {
    Bass separate(GetParam()), inPlace(GetParam());
    for (Bass* e : {&separate, &inPlace}) e->setParameter(kStereoMono, 1.0f);
    const std::vector<float> l = noise(1500, 0.8f, 40), r = noise(1500, 0.8f, 41);
    const auto expected = run(separate, {l, r}, 700);
    std::vector<float> bl = l, br = r;
    for (int start = 0; start < 1500; start += 700) {
        const int n = std::min(700, 1500 - start);
        float* io[2] = {bl.data() + start, br.data() + start};
        inPlace.processReplacing(io, io, n);
    }
    EXPECT_EQ(bl, expected[0]);
    if (GetParam() == PluginBuild::Stereo) {
        EXPECT_EQ(br, expected[1]);
    }
}

TEST(BassChannelMode, UnconnectedSecondInputSettlesToMonoAtTheFirstBlock) {
    TestHost::reset();
    TestHost::secondInputConnected = false;
    Bass stereo(PluginBuild::Stereo);
    Bass mono(PluginBuild::Mono);
    EXPECT_EQ(TestHost::pinRequests, 0);
    const std::vector<float> left = noise(3000, 0.5f, 11), right = noise(3000, 0.9f, 12);
    const auto out = run(stereo, {left, right});
    const auto expected = run(mono, {left});
    EXPECT_EQ(TestHost::pinRequests, 1);  // asked once, then decided
    EXPECT_EQ(stereo.getStereoMode(), 0);
    EXPECT_EQ(stereo.getParameter(kStereoMono), 0.0f);
    for (int p = 0; p < 32; ++p) EXPECT_EQ(stereo.programRecords()[p].values[kSlotStereoMono], 0.0f);
    EXPECT_EQ(out[0], expected[0]);
    EXPECT_EQ(out[1], expected[0]);

    TestHost::secondInputConnected = true;
    Bass connected(PluginBuild::Stereo);
    run(connected, {left, right});
    EXPECT_EQ(connected.getStereoMode(), 1);
    EXPECT_EQ(connected.getParameter(kStereoMono), 1.0f);
    EXPECT_EQ(connected.programRecords()[31].values[kSlotStereoMono], 1.0f);
    // A stored -1 brings the question back.
    const int before = TestHost::pinRequests;
    connected.setParameter(kStereoMono, -1.0f);
    run(connected, {left, right});
    EXPECT_EQ(TestHost::pinRequests, before + 1);
    TestHost::reset();
}

TEST(BassChannelMode, PartialStereoValueRunsMono) {
    Bass e(PluginBuild::Stereo);
    e.setParameter(kStereoMono, 0.7f);
    const std::vector<float> left = noise(1000, 0.5f, 5), right = noise(1000, 0.5f, 6);
    const auto out = run(e, {left, right});
    EXPECT_EQ(e.getStereoMode(), 0);
    EXPECT_EQ(out[0], out[1]);
    EXPECT_EQ(e.getParameter(kStereoMono), 0.7f);
}

TEST(BassProcess, ZeroFrameBlockOnlyAdvancesTheMeters) {
    Bass e(PluginBuild::Stereo);
    const int meter = e.meterWriteIndex, ring = e.ringWriteIndex;
    float* none[2] = {nullptr, nullptr};
    e.processReplacing(none, none, 0);
    e.process(none, none, -5);
    EXPECT_EQ(e.meterWriteIndex, (meter + 2) & 255);
    EXPECT_EQ(e.meterReadIndex, 2);
    EXPECT_EQ(e.ringWriteIndex, ring);
    EXPECT_EQ(e.overloadRing[meter], 0.0f);
}

// The optimised loop against the plain model, block by block, over programs,
// modes and block sizes.
TEST_P(BassBuilds, AgreesWithThePlainModel) {
    const bool stereoBuild = GetParam() == PluginBuild::Stereo;
    for (int program : {0, 5, 8, 12, 15, 19, 20}) {
        for (float mode : {1.0f, 0.0f}) {
            if (!stereoBuild && mode == 1.0f) continue;
            Bass e(GetParam());
            e.setProgram(program);
            e.setParameter(kStereoMono, mode);
            e.setParameter(kThreshold, 0.6f);
            ReferenceBass model(e);
            const int channels = stereoBuild && mode == 1.0f ? 2 : 1;
            std::vector<float> l = sine(6000, 45.0, 0.5), r = sine(6000, 70.0, 0.3);
            const std::vector<float> nl = noise(6000, 0.2f, 21), nr = noise(6000, 0.2f, 22);
            for (size_t n = 0; n < l.size(); ++n) {
                // Quiet passages let the gain rise.
                const float swell = n < 3000 ? 1.0f : 0.02f;
                l[n] = (l[n] + nl[n]) * swell;
                r[n] = (r[n] + nr[n]) * swell;
            }
            std::vector<float> el(l.size()), er(l.size()), ml(l.size()), mr(l.size());
            int start = 0, size = 1;
            while (start < static_cast<int>(l.size())) {
                const int n = std::min(size, static_cast<int>(l.size()) - start);
                float* in[2] = {l.data() + start, r.data() + start};
                float* out[2] = {el.data() + start, er.data() + start};
                e.processReplacing(in, out, n);
                model.block(l.data() + start, r.data() + start, ml.data() + start, mr.data() + start, n, channels);
                start += n;
                size = size * 3 + 1;
                if (size > 700) size = 5;
            }
            for (size_t n = 0; n < l.size(); ++n) {
                ASSERT_NEAR(el[n], ml[n], 5e-4f) << "program " << program << " mode " << mode << " sample " << n;
                if (stereoBuild) {
                    ASSERT_NEAR(er[n], mr[n], 5e-4f) << "program " << program << " sample " << n;
                }
            }
            EXPECT_NEAR(e.envelope, model.env, 1e-5f);
        }
    }
}

TEST_P(BassBuilds, RecoversByItselfAfterNonFiniteInput) {
    Bass e(GetParam());
    e.setProgram(19);
    e.setParameter(kSaturation, 0.0f);
    std::vector<float> bad = noise(512, 0.5f, 8);
    bad[100] = std::nanf("");
    bad[200] = INFINITY;
    run(e, {bad, bad});
    for (int block = 0; block < 4; ++block) {
        const auto out = run(e, {noise(512, 0.5f, 9 + block), noise(512, 0.5f, 19 + block)});
        for (float s : out[0]) ASSERT_TRUE(std::isfinite(s)) << block;
        if (GetParam() == PluginBuild::Stereo) {
            for (float s : out[1]) ASSERT_TRUE(std::isfinite(s)) << block;
        }
    }
    // An infinity in the very last sample poisons only its own block too.
    bad.assign(512, 0.1f);
    bad[511] = -INFINITY;
    run(e, {bad, bad});
    const auto out = run(e, {noise(512, 0.5f, 30), noise(512, 0.5f, 31)});
    for (float s : out[0]) ASSERT_TRUE(std::isfinite(s));
}

TEST_P(BassBuilds, ExtremeDenormalAndSilentInputsStayFinite) {
    for (int program : {12, 19, 20}) {
        for (float saturation : {0.0f, 1.0f}) {
            Bass e(GetParam());
            e.setProgram(program);
            e.setParameter(kSaturation, saturation);
            e.setParameter(kColour, 1.0f);
            std::vector<float> huge(4096);
            const std::vector<float>& hugeInput = huge;
            for (size_t n = 0; n < huge.size(); ++n) huge[n] = (n / 300) % 2 ? 1e30f : -1e30f;
            const std::vector<float> denormal(4096, 1e-40f);
            const std::vector<float> silence(44100 * 2, 0.0f);
            for (const std::vector<float>* input : {&hugeInput, &denormal, &silence, &hugeInput, &silence}) {
                const auto out = run(e, {*input, *input});
                for (float s : out[0]) ASSERT_TRUE(std::isfinite(s)) << program;
                if (saturation == 1.0f) {
                    for (float s : out[0]) ASSERT_LE(std::fabs(s), 1.0f);
                }
            }
            // Long silence ends near zero, with the filter states neither
            // NaN nor denormal.
            for (int c = 0; c < 2; ++c)
                for (double s : {e.splitState1[c], e.splitState2[c], e.peakHold[c], e.harmonicState[c], e.dcState[c]})
                    EXPECT_TRUE(s == 0.0 || std::fabs(s) > 1e-30) << s;
        }
    }
}

}  // namespace
