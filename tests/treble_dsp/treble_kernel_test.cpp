#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/treble_dsp/kernel_test_support.h"
#include "treble_dsp/treble_chain.h"

using namespace kernel_test;
using namespace treble_kernels;

namespace {

// The offset added to sample j of a block: -1e-8 first, then alternating.
float offsetAt(int j) { return (j % 2 == 0) ? -1e-8f : 1e-8f; }

TEST(FastSqrt, TablesAndValues) {
    auto s = constructedState();
    EXPECT_NEAR(s->sqrtMantTable[0], 0.70711f, 1e-5f);
    EXPECT_NEAR(s->sqrtMantTable[255], 0.99902f, 1e-5f);
    EXPECT_NEAR(s->sqrtExpTable[0] / 1.08e-19f, 1.0f, 0.01f);
    EXPECT_NEAR(s->sqrtExpTable[255] / 2.61e19f, 1.0f, 0.01f);

    EXPECT_NEAR(s->fastSqrt(1.5f), 1.224745f, 1e-6f);
    EXPECT_NEAR(s->fastSqrt(2.0f), 1.41421f, 1e-5f);
    EXPECT_FLOAT_EQ(s->fastSqrt(4.0f), 2.0f);
    EXPECT_NEAR(s->fastSqrt(0.0f) / 7.67e-20f, 1.0f, 0.01f);
    // Never above the true root and at most 0.2 % below it, over many decades.
    for (float f = 1e-30f; f < 1e30f; f *= 1.37f) {
        const double exact = std::sqrt(static_cast<double>(f));
        const double fast = s->fastSqrt(f);
        ASSERT_LE(fast, exact * (1 + 1e-6)) << f;
        ASSERT_GE(fast, exact * 0.998) << f;
    }
}

TEST(ChannelKernel, SilenceGivesTheAlternatingOffsetRestartingEveryBlock) {
    const TrebleCoefficients c = transparentCoefficients();
    auto state = constructedState();
    for (Kernel kernel : {runMono, runMonoReplacing}) {
        for (int block : {5, 4, 1}) {
            std::vector<float> in(static_cast<size_t>(block), 0.0f), out(static_cast<size_t>(block), 0.0f);
            float* ins[1] = {in.data()};
            float* outs[1] = {out.data()};
            float over = 0, sides = 0;
            kernel(c, *state, kRate, ins, outs, block, &over, &sides);
            for (int j = 0; j < block; ++j) EXPECT_EQ(out[static_cast<size_t>(j)], offsetAt(j)) << j;
        }
    }
}

// With the hiss reducer on and a dry-only mix the output is the input 255
// samples late; with it off, the current input.
TEST(ChannelKernel, LookAheadLatencyFollowsTheHissSwitch) {
    TrebleCoefficients c = defaultCoefficients();
    c.mixAmount = 0.0f;
    const int frames = 1200;
    std::vector<float> in(frames);
    for (int i = 0; i < frames; ++i) in[static_cast<size_t>(i)] = 0.001f * static_cast<float>(i + 1);

    for (Kernel kernel : {runMono, runMonoReplacing, runMonoToBothReplacing, runStereoReplacing}) {
        for (int hiss : {1, 0}) {
            c.hissOn = hiss;
            auto state = constructedState();
            std::vector<float> inL = in, inR = in, outL(frames, 0.0f), outR(frames, 0.0f);
            const int block = 400;  // even, so that offsets repeat per block position
            runInBlocks(kernel, c, *state, inL, inR, outL, outR, block);
            const int delay = hiss ? 255 : 0;
            for (int i = 0; i < frames; ++i) {
                const float expected =
                    i < delay ? 1e-8f * c.outputGain
                              : (in[static_cast<size_t>(i - delay)] + offsetAt((i - delay) % block)) * c.outputGain;
                ASSERT_EQ(outL[static_cast<size_t>(i)], expected) << "hiss " << hiss << " sample " << i;
            }
        }
    }
}

struct ClipCase {
    float in;
    float out;
    bool overload;
};

TEST(OutputSection, SoftClipperCurveAndOverloadLimits) {
    TrebleCoefficients c = transparentCoefficients();
    c.softClipOn = 1.0f;
    const ClipCase clipped[] = {{1.0f, 0.75f, false},   {1.41f, 0.912975f, false}, {1.5f, 0.9375f, true},
                                {2.0f, 1.0f, true},     {5.0f, 1.0f, true},        {-1.0f, -0.75f, false},
                                {-1.5f, -0.9375f, true}, {-3.0f, -1.0f, true},     {0.5f, 0.4375f, false}};
    auto state = constructedState();
    for (const ClipCase& k : clipped) {
        float in = k.in, out = 0.0f, over = 0.0f, sides = 0.0f;
        float* ins[1] = {&in};
        float* outs[1] = {&out};
        runMonoReplacing(c, *state, kRate, ins, outs, 1, &over, &sides);
        EXPECT_NEAR(out, k.out, 1e-6f) << k.in;
        EXPECT_EQ(over, k.overload ? 1.0f : 0.0f) << k.in;
    }

    c.softClipOn = 0.0f;
    const ClipCase plain[] = {{1.0f, 1.0f, false}, {1.0001f, 1.0001f, true}, {-1.0001f, -1.0001f, true}};
    for (const ClipCase& k : plain) {
        float in = k.in, out = 0.0f, over = 0.0f, sides = 0.0f;
        float* ins[1] = {&in};
        float* outs[1] = {&out};
        runMono(c, *state, kRate, ins, outs, 1, &over, &sides);
        EXPECT_FLOAT_EQ(out, k.out);
        EXPECT_EQ(over, k.overload ? 1.0f : 0.0f) << k.in;
    }

    // The kernel only ever sets the flag; the caller clears it.
    float in = 0.1f, out = 0.0f, over = 1.0f, sides = 0.0f;
    float* ins[1] = {&in};
    float* outs[1] = {&out};
    runMonoReplacing(c, *state, kRate, ins, outs, 1, &over, &sides);
    EXPECT_EQ(over, 1.0f);
}

TEST(StereoKernel, OverloadOfOneChannelSetsTheFlag) {
    const TrebleCoefficients c = transparentCoefficients();
    auto state = constructedState();
    float l = 0.2f, r = -1.2f, outL = 0, outR = 0, over = 0, sides = 0;
    float* ins[2] = {&l, &r};
    float* outs[2] = {&outL, &outR};
    runStereoReplacing(c, *state, kRate, ins, outs, 1, &over, &sides);
    EXPECT_EQ(over, 1.0f);
}

// The accumulating and the replacing variant of each kernel give the same
// samples from the same state, block after block.
TEST(Kernels, AccumulatingAndReplacingVariantsAgree) {
    TrebleCoefficients c = defaultCoefficients();
    c.softClipOn = 1.0f;
    c.wideMidGain = 0.3f;
    c.wideSideGain = 1.0f;
    const int frames = 3000;
    std::vector<float> inL = musicLike(frames, 1), inR = musicLike(frames, 2);
    const Kernel pairs[][2] = {{runMono, runMonoReplacing},
                               {runMonoToBoth, runMonoToBothReplacing},
                               {runStereo, runStereoReplacing}};
    for (const auto& pair : pairs) {
        auto a = constructedState();
        auto b = constructedState();
        std::vector<float> addL(frames, 0.0f), addR(frames, 0.0f), setL(frames, 7.0f), setR(frames, 7.0f);
        float overA, overB, sidesA, sidesB;
        runInBlocks(pair[0], c, *a, inL, inR, addL, addR, 333, &overA, &sidesA);
        runInBlocks(pair[1], c, *b, inL, inR, setL, setR, 333, &overB, &sidesB);
        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(addL[static_cast<size_t>(i)], setL[static_cast<size_t>(i)]) << i;
            if (pair[0] != runMono) {
                ASSERT_EQ(addR[static_cast<size_t>(i)], setR[static_cast<size_t>(i)]) << i;
            }
        }
        EXPECT_EQ(overA, overB);
        EXPECT_EQ(sidesA, sidesB);
        EXPECT_EQ(a->hissCoef, b->hissCoef);
    }
}

TEST(Kernels, AccumulatingVariantAddsToTheOutput) {
    const TrebleCoefficients c = defaultCoefficients();
    const int frames = 700;
    std::vector<float> in = musicLike(frames), inR = in;
    auto a = constructedState();
    auto b = constructedState();
    std::vector<float> fresh(frames, 0.0f), freshR(frames, 0.0f), added(frames, 0.25f), addedR(frames, 0.25f);
    runInBlocks(runMonoToBoth, c, *a, in, inR, fresh, freshR, 256);
    runInBlocks(runMonoToBoth, c, *b, in, inR, added, addedR, 256);
    for (int i = 0; i < frames; ++i) {
        ASSERT_EQ(added[static_cast<size_t>(i)], 0.25f + fresh[static_cast<size_t>(i)]);
        ASSERT_EQ(addedR[static_cast<size_t>(i)], 0.25f + fresh[static_cast<size_t>(i)]);
    }
}

// The mono-to-both kernel is the single-channel chain with its result on both
// outputs; it never reads the right input.
TEST(Kernels, MonoToBothWritesTheSingleChannelResultTwice) {
    const TrebleCoefficients c = defaultCoefficients();
    const int frames = 1000;
    std::vector<float> inL = musicLike(frames), silentR(frames, 0.0f), noisyR = musicLike(frames, 9);
    auto a = constructedState();
    auto b = constructedState();
    std::vector<float> monoL(frames), unusedR(frames, 3.0f), bothL(frames), bothR(frames);
    runInBlocks(runMonoReplacing, c, *a, inL, noisyR, monoL, unusedR, 500);
    runInBlocks(runMonoToBothReplacing, c, *b, inL, silentR, bothL, bothR, 500);
    for (int i = 0; i < frames; ++i) {
        ASSERT_EQ(bothL[static_cast<size_t>(i)], bothR[static_cast<size_t>(i)]);
        ASSERT_EQ(bothL[static_cast<size_t>(i)], monoL[static_cast<size_t>(i)]);
        ASSERT_EQ(unusedR[static_cast<size_t>(i)], 3.0f);
    }
}

TEST(StereoWidener, IdenticalChannelsAreScaledAndPureSideIsCounted) {
    TrebleCoefficients c = transparentCoefficients();
    c.wideOn = 1;
    treble_mapping::applyParameter(c, 4, 1.0f, kRate, 0.5f);   // EnhanceS 1: mid 0.23, side 1.2696
    treble_mapping::applyParameter(c, 14, 0.0f, kRate, 0.5f);  // EnhSlope 0
    const int frames = 500;
    std::vector<float> same = musicLike(frames), sameR = same, outL(frames), outR(frames);
    auto state = constructedState();
    float over, sides;
    runInBlocks(runStereoReplacing, c, *state, same, sameR, outL, outR, 250, &over, &sides);
    EXPECT_EQ(sides, 0.0f);
    for (int i = 0; i < frames; ++i) {
        const float x = same[static_cast<size_t>(i)] + offsetAt(i % 250);
        ASSERT_NEAR(outL[static_cast<size_t>(i)], 0.46f * x, 1e-6f) << i;
        ASSERT_EQ(outL[static_cast<size_t>(i)], outR[static_cast<size_t>(i)]);
    }

    // Right = -left, well above the offset: every sample is side-heavy.
    std::vector<float> left(frames), right(frames);
    for (int i = 0; i < frames; ++i) {
        left[static_cast<size_t>(i)] = 0.3f + 0.2f * std::sin(i * 0.1f);
        right[static_cast<size_t>(i)] = -left[static_cast<size_t>(i)];
    }
    runInBlocks(runStereo, c, *state, left, right, outL, outR, 100, &over, &sides);
    EXPECT_EQ(sides, static_cast<float>(frames));

    c.wideOn = 0;
    float untouched = 12.0f;
    for (int start = 0; start < frames; start += 100) {
        float* in[2] = {left.data() + start, right.data() + start};
        float* out[2] = {outL.data() + start, outR.data() + start};
        runStereo(c, *state, kRate, in, out, 100, &over, &untouched);
    }
    EXPECT_EQ(untouched, 12.0f);
}

TEST(HissReducer, CoefficientStaysWithinItsLimitsAndRestsWhenOff) {
    TrebleCoefficients c = defaultCoefficients();
    const int frames = 4096;
    std::vector<float> loud = musicLike(frames), loudR = musicLike(frames, 5), out(frames), outR(frames);
    std::vector<float> quiet(frames, 0.0f), quietR = quiet;
    auto state = constructedState();
    for (int round = 0; round < 3; ++round) {
        for (auto* signal : {&loud, &quiet}) {
            auto* signalR = signal == &loud ? &loudR : &quietR;
            for (int start = 0; start < frames; start += 64) {
                float* in[2] = {signal->data() + start, signalR->data() + start};
                float* o[2] = {out.data() + start, outR.data() + start};
                float over = 0, sides = 0;
                Kernel k = (start / 64) % 2 ? runStereoReplacing : runMonoReplacing;
                k(c, *state, kRate, in, o, 64, &over, &sides);
                ASSERT_GE(state->hissCoef, c.hissMinCoef);
                ASSERT_LE(state->hissCoef, 0.99f);
            }
        }
    }
    c.hissOn = 0;
    const float before = state->hissCoef;
    runInBlocks(runStereoReplacing, c, *state, loud, loudR, out, outR, 512);
    EXPECT_EQ(state->hissCoef, before);
}

TEST(Kernels, EmptyBlocksChangeNothing) {
    const TrebleCoefficients c = defaultCoefficients();
    auto state = constructedState();
    std::vector<float> in = musicLike(300), inR = musicLike(300, 3), out(300), outR(300);
    runInBlocks(runStereoReplacing, c, *state, in, inR, out, outR, 300);
    TrebleDspState before;
    std::memcpy(&before, state.get(), sizeof before);
    float sentinel[2] = {5.0f, 6.0f};
    float* ins[2] = {in.data(), inR.data()};
    float* outs[2] = {&sentinel[0], &sentinel[1]};
    for (Kernel k : {runMono, runMonoReplacing, runMonoToBoth, runMonoToBothReplacing, runStereo, runStereoReplacing}) {
        for (int frames : {0, -1, -512}) {
            float over = 0, sides = 0;
            k(c, *state, kRate, ins, outs, frames, &over, &sides);
            EXPECT_EQ(over, 0.0f);
            EXPECT_EQ(sides, 0.0f);
        }
    }
    EXPECT_EQ(std::memcmp(&before, state.get(), sizeof before), 0);
    EXPECT_EQ(sentinel[0], 5.0f);
    EXPECT_EQ(sentinel[1], 6.0f);
}

TEST(DspState, ResetValuesKeepTheAdaptedHissCoefficient) {
    auto state = constructedState();
    EXPECT_EQ(state->hissCoef, 0.5f);
    EXPECT_EQ(state->hissCoefComp, 0.5f);
    EXPECT_EQ(state->writeIndex, 255);
    EXPECT_EQ(state->readIndex, 0);
    const TrebleCoefficients c = defaultCoefficients();
    std::vector<float> in = musicLike(2000), inR = musicLike(2000, 4), out(2000), outR(2000);
    runInBlocks(runStereo, c, *state, in, inR, out, outR, 100);
    const float adapted = state->hissCoef;
    ASSERT_NE(adapted, 0.5f);
    state->reset();
    EXPECT_EQ(state->hissCoef, adapted);
    EXPECT_EQ(state->writeIndex, 255);
    EXPECT_EQ(state->readIndex, 0);
    EXPECT_EQ(state->hissEnvelope, 1e-7f);
    for (const TrebleChannelState& ch : state->channel) {
        EXPECT_EQ(ch.lp1, 1e-7f);
        EXPECT_EQ(ch.y2, 1e-7f);
        EXPECT_EQ(ch.bandPass.y1, 1e-7f);
        EXPECT_EQ(ch.shapedHighPass.x2, 1e-7f);
        EXPECT_EQ(ch.bandHighPass.y2, 1e-7f);
        EXPECT_EQ(ch.env, 0.0f);
        EXPECT_EQ(ch.damp, 0.0f);
        EXPECT_EQ(ch.widePrev, 0.0f);
    }
    for (const auto& ring : state->dryDelay)
        for (float v : ring) ASSERT_EQ(v, 1e-8f);
}

// A first sample that makes the detection signal exactly 0 right after a reset
// would divide 0 by 0 in the transient shaper.
TEST(TransientShaper, ZeroEnvelopeAddsNothingInsteadOfNaN) {
    TrebleCoefficients c = transparentCoefficients();
    c.transientOn = 1;
    c.tranSecondOrder = 0;
    c.tranSlopeMix = 0.0f;  // detection signal = the signal itself
    c.tranDamp = 0.0f;
    auto state = constructedState();
    float in = 1e-8f, out = 1.0f, over = 0, sides = 0;  // the offset cancels it to exactly 0
    float* ins[1] = {&in};
    float* outs[1] = {&out};
    runMonoReplacing(c, *state, kRate, ins, outs, 1, &over, &sides);
    EXPECT_EQ(out, 0.0f);
    EXPECT_TRUE(std::isfinite(state->channel[0].env));
}

bool allFinite(const std::vector<float>& v) {
    for (float x : v)
        if (!std::isfinite(x)) return false;
    return true;
}

// One block of NaN or infinite input may spoil that block, but never the next.
TEST(Robustness, NonFiniteInputSpoilsOnlyItsOwnBlock) {
    const float bad[] = {NAN, INFINITY, -INFINITY};
    for (Kernel k : {runMono, runMonoReplacing, runMonoToBoth, runMonoToBothReplacing, runStereo, runStereoReplacing}) {
        for (float value : bad) {
            for (int hissFirst : {1, 0}) {
                // With the hiss reducer off, the bad sample only reaches the
                // look-ahead delay, and would come out once the reducer is on.
                TrebleCoefficients c = defaultCoefficients();
                c.hissOn = hissFirst;
                auto state = constructedState();
                std::vector<float> in = musicLike(512), inR = musicLike(512, 2), out(512, 0.0f), outR(512, 0.0f);
                in[100] = value;
                inR[100] = value;
                runInBlocks(k, c, *state, in, inR, out, outR, 512);
                c.hissOn = 1;
                for (int block = 0; block < 4; ++block) {
                    std::vector<float> clean = musicLike(512, 7 + block), cleanR = clean;
                    std::fill(out.begin(), out.end(), 0.0f);
                    std::fill(outR.begin(), outR.end(), 0.0f);
                    runInBlocks(k, c, *state, clean, cleanR, out, outR, 512);
                    ASSERT_TRUE(allFinite(out)) << value << " block " << block;
                    ASSERT_TRUE(allFinite(outR)) << value << " block " << block;
                }
            }
        }
    }
}

// Two threads setting the exciter parameters at once can leave a filter with
// feedback values from two designs; the kernels then keep the last stable one.
TEST(Robustness, UnstableFilterRecordFallsBackToTheLastStableOne) {
    const TrebleCoefficients good = defaultCoefficients();
    TrebleCoefficients torn = good;
    torn.bandPassCoef[0].a2 = treble_mapping::designBandPass(8000.0, 0.25, kRate).a2;  // a1 of one, a2 of another
    torn.highPassCoef[kHighPassRightShaped].a1 = -2.5f;
    ASSERT_GT(std::fabs(torn.bandPassCoef[0].a1), 1.0f + torn.bandPassCoef[0].a2);  // really unstable

    for (Kernel k : {runMonoReplacing, runStereoReplacing}) {
        auto a = constructedState();
        auto b = constructedState();
        std::vector<float> in = musicLike(1024), inR = musicLike(1024, 3), outA(1024), outAR(1024), outB(1024),
                           outBR(1024);
        runInBlocks(k, good, *a, in, inR, outA, outAR, 512);
        runInBlocks(k, good, *b, in, inR, outB, outBR, 512);
        for (int round = 0; round < 20; ++round) {
            runInBlocks(k, torn, *a, in, inR, outA, outAR, 512);
            runInBlocks(k, good, *b, in, inR, outB, outBR, 512);
            ASSERT_TRUE(allFinite(outA) && allFinite(outAR)) << round;
            ASSERT_EQ(outA, outB) << round;
            ASSERT_EQ(outAR, outBR) << round;
        }
    }
}

bool noSubnormal(const TrebleDspState& s) {
    auto normalOrZero = [](float v) { return std::fpclassify(v) != FP_SUBNORMAL; };
    for (const TrebleChannelState& ch : s.channel) {
        const float values[] = {ch.lp1, ch.lp2, ch.y1, ch.y2, ch.prevIn, ch.prevD1, ch.damp, ch.env,
                                ch.bandPass.x1, ch.bandPass.x2, ch.bandPass.y1, ch.bandPass.y2,
                                ch.shapedHighPass.x1, ch.shapedHighPass.x2, ch.shapedHighPass.y1,
                                ch.shapedHighPass.y2, ch.bandHighPass.x1, ch.bandHighPass.x2,
                                ch.bandHighPass.y1, ch.bandHighPass.y2, ch.widePrev};
        for (float v : values)
            if (!normalOrZero(v)) return false;
    }
    return normalOrZero(s.hissEnvelope) && normalOrZero(s.hissCoef);
}

TEST(Robustness, HugeTinyAndSilentInputsStayFiniteAndOutOfTheDenormalRange) {
    TrebleCoefficients c = defaultCoefficients();
    c.wideOn = 1;
    treble_mapping::applyParameter(c, 4, 1.0f, kRate, 0.5f);
    const int frames = 2048;
    struct Input {
        const char* name;
        float level;
    };
    for (Input input : {Input{"huge", 1e30f}, Input{"denormal", 1e-42f}, Input{"silence", 0.0f}}) {
        for (Kernel k : {runMonoReplacing, runStereoReplacing}) {
            auto state = constructedState();
            std::vector<float> in(frames), inR(frames), out(frames), outR(frames);
            for (int i = 0; i < frames; ++i) {
                in[static_cast<size_t>(i)] = (i % 7 < 3 ? input.level : -input.level);
                inR[static_cast<size_t>(i)] = (i % 5 < 2 ? -input.level : input.level);
            }
            // About ten seconds of it.
            for (int round = 0; round < 215; ++round) {
                runInBlocks(k, c, *state, in, inR, out, outR, 512);
                ASSERT_TRUE(allFinite(out)) << input.name;
                ASSERT_TRUE(allFinite(outR)) << input.name;
            }
            if (input.level < 1.0f) {
                EXPECT_TRUE(noSubnormal(*state)) << input.name;
            }
        }
    }
}

TEST(BlockPrep, RatesFollowTheSampleRate) {
    const TrebleCoefficients c = defaultCoefficients();
    const treble_chain::BlockPrep at44 = treble_chain::prepareBlock(c, 44100.0f);
    EXPECT_FLOAT_EQ(at44.attack, 0.125f);
    EXPECT_FLOAT_EQ(at44.release, 0.0025f);
    EXPECT_FLOAT_EQ(at44.lowMark, c.hissThreshold * 0.7071f);
    EXPECT_FLOAT_EQ(at44.openBase, 1.0f - 0.03f * c.hissOpenRate);
    EXPECT_FLOAT_EQ(at44.shapeW, 1.0f / (1.0f - 0.85f * c.driveAmount));
    const treble_chain::BlockPrep at88 = treble_chain::prepareBlock(c, 88200.0f);
    EXPECT_FLOAT_EQ(at88.attack, 0.125f * 0.125f);
    // A rate of 0 from a host must not turn the envelope into a growth factor.
    const treble_chain::BlockPrep atZero = treble_chain::prepareBlock(c, 0.0f);
    EXPECT_FLOAT_EQ(atZero.attack, 0.125f);
}

}  // namespace
