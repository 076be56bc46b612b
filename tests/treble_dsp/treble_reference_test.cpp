// The kernels against a plain sample-by-sample run of the chain's stages: the
// kernels run the stages in chunks, and must give exactly the same samples.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/treble_dsp/kernel_test_support.h"
#include "treble_dsp/treble_chain.h"

using namespace kernel_test;
using namespace treble_chain;

namespace {

struct Limited {
    float y;
    bool over;
};

Limited limit(const TrebleCoefficients& c, float y) {
    if (c.softClipOn != 0.0f) return {softClip(y), std::fabs(y) > 1.41f};
    return {y, std::fabs(y) > 1.0f};
}

// Transient shaper and exciter on s, the hiss reducer's (or widener's) output.
float afterHiss(TrebleChannelState& ch, int channel, const TrebleCoefficients& c, const BlockPrep& p,
                const TrebleDspState& tables, float s, float ad) {
    float t = s;
    if (c.transientOn) {
        float u, env;
        trackTransient(ch, c, p, s, ad, u, env);
        t = finishTransient(c, s, u, env, powf(env, c.tranExponent));
    }
    if (!c.exciterOn) return t;
    const float bp = bandPass(ch.bandPass, c.bandPassCoef[channel], s, ad);
    const float h = shapeHarmonics(p.twoDriveGain, p.shapeW, p.shapeWNegative, bp, shaperRoot(tables, bp));
    const HighPassCopy shaped = channel == 0 ? kHighPassLeftShaped : kHighPassRightShaped;
    const HighPassCopy band = channel == 0 ? kHighPassLeftBand : kHighPassRightBand;
    return addHarmonics(t, highPassHarmonics(ch, c.highPassCoef[shaped], c.highPassCoef[band], c, h, bp, ad));
}

void referenceMono(const TrebleCoefficients& c, TrebleDspState& st, const float* in, float* out, int n, bool& over) {
    const BlockPrep p = prepareBlock(c, kRate);
    HissControl hiss = loadHiss(st);
    TrebleChannelState& ch = st.channel[0];
    float ad = kAntiDenormal;
    for (int i = 0; i < n; ++i) {
        ad = -ad;
        const float x = in[i] + ad;
        st.dryDelay[0][st.writeIndex] = x;
        float dry = x, s = x;
        if (c.hissOn) {
            adaptHiss(hiss, p, c, hissResidual(ch, hiss.kc, x, ad));
            dry = st.dryDelay[0][st.readIndex];
            s = reduceHiss(ch, hiss, c, dry);
        }
        st.writeIndex = (st.writeIndex + 1) & 255;
        st.readIndex = (st.readIndex + 1) & 255;
        const Limited y = limit(c, mixOutput(c, dry, afterHiss(ch, 0, c, p, st, s, ad)));
        out[i] = y.y;
        over = over || y.over;
    }
    storeHiss(st, hiss);
}

void referenceStereo(const TrebleCoefficients& c, TrebleDspState& st, const float* inL, const float* inR, float* outL,
                     float* outR, int n, bool& over, float& sides) {
    const BlockPrep p = prepareBlock(c, kRate);
    HissControl hiss = loadHiss(st);
    TrebleChannelState& l = st.channel[0];
    TrebleChannelState& r = st.channel[1];
    float ad = kAntiDenormal;
    for (int i = 0; i < n; ++i) {
        ad = -ad;
        const float xL = inL[i] + ad, xR = inR[i] + ad;
        st.dryDelay[0][st.writeIndex] = xL;
        st.dryDelay[1][st.writeIndex] = xR;
        float dryL = xL, dryR = xR, sL = xL, sR = xR;
        if (c.hissOn) {
            adaptHiss(hiss, p, c, hissResidual(l, hiss.kc, xL, ad) + hissResidual(r, hiss.kc, xR, ad));
            dryL = st.dryDelay[0][st.readIndex];
            dryR = st.dryDelay[1][st.readIndex];
            sL = reduceHiss(l, hiss, c, dryL);
            sR = reduceHiss(r, hiss, c, dryR);
        }
        st.writeIndex = (st.writeIndex + 1) & 255;
        st.readIndex = (st.readIndex + 1) & 255;
        if (c.wideOn) {
            const float diffL = sL - l.widePrev + ad, diffR = sR - r.widePrev + ad;
            l.widePrev = sL;
            r.widePrev = sR;
            const float tiltL = sL + (diffL - sL) * c.wideSlope, tiltR = sR + (diffR - sR) * c.wideSlope;
            const float mid = (tiltL + tiltR) * c.wideMidGain, side = (tiltL - tiltR) * c.wideSideGain;
            if (std::fabs(side) > std::fabs(mid)) sides += 1.0f;
            const float restL = sL - tiltL, restR = sR - tiltR;
            sL = mid + side + restL;
            sR = mid - side + restR;
        }
        const Limited yL = limit(c, mixOutput(c, dryL, afterHiss(l, 0, c, p, st, sL, ad)));
        const Limited yR = limit(c, mixOutput(c, dryR, afterHiss(r, 1, c, p, st, sR, ad)));
        outL[i] = yL.y;
        outR[i] = yR.y;
        over = over || yL.over || yR.over;
    }
    storeHiss(st, hiss);
}

TrebleCoefficients everyStageOn() {
    TrebleCoefficients c = defaultCoefficients();
    treble_mapping::applyParameter(c, 4, 0.8f, kRate, 0.5f);   // wider
    treble_mapping::applyParameter(c, 11, 0.3f, kRate, 0.5f);  // first-order detection
    treble_mapping::applyParameter(c, 8, 0.9f, kRate, 0.5f);   // enough gain to reach the clipper
    c.softClipOn = 1.0f;
    return c;
}

TEST(Reference, SingleChannelKernelMatchesASampleBySampleRun) {
    for (int variant = 0; variant < 3; ++variant) {
        TrebleCoefficients c = everyStageOn();
        if (variant == 1) c.hissOn = 0;
        if (variant == 2) {
            c.softClipOn = 0.0f;
            c.tranSecondOrder = 1;
        }
        auto kernelState = constructedState();
        auto referenceState = constructedState();
        const int frames = 4000;
        std::vector<float> in = musicLike(frames), unused(frames), out(frames), outR(frames), expected(frames);
        for (int start = 0, block = 1; start < frames; start += block, block = block * 3 + 1) {
            const int n = std::min(block, frames - start);  // 1, 4, 13, 40, 121, 364, 1093 ... frames
            float* ins[1] = {in.data() + start};
            float* outs[1] = {out.data() + start};
            float kernelOver = 0.0f, sides = 0.0f;
            bool referenceOver = false;
            treble_kernels::runMonoReplacing(c, *kernelState, kRate, ins, outs, n, &kernelOver, &sides);
            referenceMono(c, *referenceState, in.data() + start, expected.data() + start, n, referenceOver);
            ASSERT_EQ(kernelOver == 1.0f, referenceOver) << start;
        }
        for (int i = 0; i < frames; ++i) ASSERT_EQ(out[static_cast<size_t>(i)], expected[static_cast<size_t>(i)]) << i;
        EXPECT_EQ(kernelState->hissCoef, referenceState->hissCoef);
    }
}

TEST(Reference, StereoKernelMatchesASampleBySampleRun) {
    for (int variant = 0; variant < 2; ++variant) {
        TrebleCoefficients c = everyStageOn();
        if (variant == 1) c.exciterOn = 0;
        auto kernelState = constructedState();
        auto referenceState = constructedState();
        const int frames = 4000;
        std::vector<float> inL = musicLike(frames, 1), inR = musicLike(frames, 2);
        std::vector<float> outL(frames), outR(frames), expL(frames), expR(frames);
        float kernelSides = 0.0f, referenceSides = 0.0f;
        for (int start = 0, block = 1; start < frames; start += block, block = block * 3 + 1) {
            const int n = std::min(block, frames - start);
            float* ins[2] = {inL.data() + start, inR.data() + start};
            float* outs[2] = {outL.data() + start, outR.data() + start};
            float kernelOver = 0.0f;
            bool referenceOver = false;
            treble_kernels::runStereoReplacing(c, *kernelState, kRate, ins, outs, n, &kernelOver, &kernelSides);
            referenceStereo(c, *referenceState, inL.data() + start, inR.data() + start, expL.data() + start,
                            expR.data() + start, n, referenceOver, referenceSides);
            ASSERT_EQ(kernelOver == 1.0f, referenceOver) << start;
        }
        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(outL[static_cast<size_t>(i)], expL[static_cast<size_t>(i)]) << i;
            ASSERT_EQ(outR[static_cast<size_t>(i)], expR[static_cast<size_t>(i)]) << i;
        }
        EXPECT_EQ(kernelSides, referenceSides);
        EXPECT_GT(kernelSides, 0.0f);
    }
}

}  // namespace
