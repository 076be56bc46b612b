#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "tests/treble/treble_test_support.h"
#include "treble_dsp/treble_parameters.h"
#include "treble_dsp/treble_mapping.h"

using namespace treble_params;

namespace {

// Magnitude response of a biquad at frequency hz.
double gainAt(const BiquadCoefficients& c, double hz, double fs) {
    const std::complex<double> z1 = std::polar(1.0, -2.0 * M_PI * hz / fs);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((double(c.b0) + double(c.b1) * z1 + double(c.b2) * z2) /
                    (1.0 + double(c.a1) * z1 + double(c.a2) * z2));
}

TEST(TrebleFilterDesign, BandPassPeaksAtZeroDecibelsOnItsCentre) {
    for (double fs : {44100.0, 96000.0}) {
        for (double q : {0.25, 1.0, 5.0}) {
            BiquadCoefficients bp = treble_mapping::designBandPass(3000.0, q, fs);
            EXPECT_NEAR(gainAt(bp, 3000.0, fs), 1.0, 1e-5);
            EXPECT_LT(gainAt(bp, 300.0, fs), 0.5 + 0.5 / q);
            EXPECT_EQ(bp.b1, 0.0f);
            EXPECT_EQ(bp.b2, -bp.b0);
        }
    }
    // Higher Q, narrower band.
    double fs = 44100;
    EXPECT_LT(gainAt(treble_mapping::designBandPass(3000, 5, fs), 4000, fs),
              gainAt(treble_mapping::designBandPass(3000, 1, fs), 4000, fs));
}

TEST(TrebleFilterDesign, HighPassPassesTheTopAndStopsTheBottom) {
    const double fs = 44100;
    BiquadCoefficients hp = treble_mapping::designHighPass(3000.0, fs);
    EXPECT_NEAR(gainAt(hp, 3000.0, fs), 1.0, 1e-5);  // Q 1: 0 dB at the corner
    EXPECT_NEAR(gainAt(hp, fs / 2 - 1, fs), 1.0, 1e-3);
    EXPECT_LT(gainAt(hp, 300.0, fs), 0.011);  // 12 dB per octave below the corner
    EXPECT_EQ(hp.b2, hp.b0);
    EXPECT_EQ(hp.b1, -2.0f * hp.b0);
}

TEST(TrebleMapping, FrequenciesAndTheirLimit) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    e.setParameter(kFreq, 1.0f);
    EXPECT_NEAR(e.coefficients().bandHz, 16000.0f, 0.01f);  // fs/2.75 = 16036.4 does not cut
    e.setSampleRate(32000.0f);
    e.resume();
    e.setParameter(kFreq, 1.0f);
    EXPECT_NEAR(e.coefficients().bandHz, 11636.36f, 0.01f);
    e.setSampleRate(44100.0f);
    e.resume();
    e.setParameter(kFreq, 0.8f);  // 500 * 32^0.8 = 8000 Hz
    EXPECT_NEAR(e.coefficients().bandHz, 8000.0f, 0.01f);
    e.setParameter(kFirstOut, 1.0f);  // 8000 * 2.5 = 20000, limited
    EXPECT_NEAR(e.coefficients().firstOutHz, 16036.36f, 0.01f);
    e.setParameter(kFirstOut, 0.0f);
    EXPECT_NEAR(e.coefficients().firstOutHz, 4000.0f, 0.01f);
    // Q redesigns both filters but keeps the high-pass frequency.
    e.setParameter(kQ, 0.9f);
    EXPECT_NEAR(e.coefficients().firstOutHz, 4000.0f, 0.01f);
    EXPECT_NEAR(gainAt(e.coefficients().highPassCoef[kHighPassRightBand], 4000, 44100), 1.0, 1e-4);
    // Freq derives the high-pass again from the stored FirstOut.
    e.setParameter(kFreq, 0.6f);
    EXPECT_NEAR(e.coefficients().firstOutHz, e.coefficients().bandHz * 0.5f, 0.01f);
    for (int copy = 0; copy < 4; ++copy)
        EXPECT_EQ(e.coefficients().highPassCoef[copy].a1, e.coefficients().highPassCoef[0].a1);
    EXPECT_EQ(e.coefficients().bandPassCoef[0].a2, e.coefficients().bandPassCoef[1].a2);
}

TEST(TrebleMapping, FreqLeavesTheHighPassAloneWhileFirstOutIsOutOfRange) {
    TrebleCoefficients c = {};
    treble_mapping::applyParameter(c, kFreq, 0.5f, 44100.0, 0.5f);
    treble_mapping::applyParameter(c, kFirstOut, 1.5f, 44100.0, 0.0f);
    const float before = c.firstOutHz;
    treble_mapping::applyParameter(c, kFreq, 0.2f, 44100.0, 1.5f);
    EXPECT_EQ(c.firstOutHz, before);
}

TEST(TrebleMapping, HissReducerValues) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    e.setParameter(kMinFreq, 0.0f);
    EXPECT_NEAR(e.coefficients().hissMinCoef, 0.06876f, 1e-5f);
    e.setParameter(kMinFreq, 1.0f);
    EXPECT_NEAR(e.coefficients().hissMinCoef, 0.88201f, 1e-5f);
    e.setParameter(kThresh, 1.0f);
    EXPECT_EQ(e.coefficients().hissThreshold, 1.0f);
    e.setParameter(kSpeed, 1.0f);
    EXPECT_NEAR(e.coefficients().hissCloseRate, 1.0f / 300.0f, 1e-7f);
}

TEST(TrebleMapping, SlopeSweepsThroughBothDifferenceOrders) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    struct Case {
        float v, mix;
        int secondOrder;
    } cases[] = {{0.25f, 0.5f, 0}, {0.75f, 0.5f, 1}, {1.0f, 1.0f, 1}, {0.5f, 0.0f, 1}, {0.0f, 0.0f, 0}};
    for (const Case& c : cases) {
        e.setParameter(kSlope, c.v);
        EXPECT_FLOAT_EQ(e.coefficients().tranSlopeMix, c.mix) << c.v;
        EXPECT_EQ(e.coefficients().tranSecondOrder, c.secondOrder) << c.v;
    }
    // The release follows the sample rate the host resumed with.
    e.setParameter(kSlope, 0.0f);
    EXPECT_FLOAT_EQ(e.coefficients().tranReleaseScale, 1.0f / 128.0f);
    e.setSampleRate(88200.0f);
    e.resume();
    EXPECT_FLOAT_EQ(e.coefficients().tranReleaseScale, 0.5f / 128.0f);
}

TEST(TrebleMapping, SwitchesOnlyAtOneAndAbove) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    const int switches[] = {kProcess, kExciterSwitch, kProcessEnh, kProcessTran, kProcessHiss};
    for (int index : switches) e.setParameter(index, 0.99f);
    // What the next block runs with.
    auto c = [&e] { return e.coefficients(); };
    EXPECT_EQ(c().processOn, 0);
    EXPECT_EQ(c().exciterOn, 0);
    EXPECT_EQ(c().wideOn, 0);
    EXPECT_EQ(c().transientOn, 0);
    EXPECT_EQ(c().hissOn, 0);
    for (int index : switches) e.setParameter(index, 1.0f);
    EXPECT_EQ(c().processOn + c().exciterOn + c().wideOn + c().transientOn + c().hissOn, 5);
    e.setParameter(kSaturation, 0.49f);
    EXPECT_EQ(c().softClipOn, 0.0f);
    e.setParameter(kSaturation, 0.5f);
    EXPECT_EQ(c().softClipOn, 1.0f);
}

TEST(TrebleMapping, GainsAndShaperDrive) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    // What the next block runs with.
    auto c = [&e] { return e.coefficients(); };
    e.setParameter(kEnhanceS, 0.0f);
    EXPECT_EQ(c().wideMidGain, 0.5f);
    EXPECT_EQ(c().wideSideGain, 0.5f);
    e.setParameter(kEnhanceS, 1.0f);
    EXPECT_NEAR(c().wideSideGain, 1.2696f, 1e-4f);
    e.setParameter(kDrive, 0.0f);
    EXPECT_NEAR(c().driveGain, 0.66f, 1e-6f);
    e.setParameter(kDrive, 1.0f);
    EXPECT_NEAR(c().driveGain, 1.56667f, 1e-5f);
    e.setParameter(kDrive, 1.16f);  // a host value past the range is held at 1
    EXPECT_NEAR(c().driveGain, 1.56667f, 1e-5f);
    e.setProgram(12);  // the factory programs that use 1.16 keep it
    EXPECT_NEAR(c().driveAmount, std::pow(1.16, 0.25), 1e-6);
    e.setParameter(kOutput, 0.0f);
    EXPECT_FLOAT_EQ(c().outputGain, 1.0f / 32.0f);
    e.setParameter(kOutput, 1.0f);
    EXPECT_FLOAT_EQ(c().outputGain, 2.0f);
    e.setParameter(kBoost, 1.0f);
    EXPECT_FLOAT_EQ(c().tranExponent, 2.0f);
}

std::vector<float> floatValues(const TrebleCoefficients& c) {
    std::vector<float> v = {c.bandHz, c.bandQ, c.firstOutHz, c.hissThreshold, c.hissOpenRate, c.hissCloseRate,
                            c.hissMinHz, c.hissMinCoef, c.hissKeep, c.tranSlopeMix, c.tranReleaseScale, c.tranGain,
                            c.tranDamp, c.tranExponent, c.wideMidGain, c.wideSideGain, c.wideSlope, c.driveAmount,
                            c.driveGain, c.harmonicsGain, c.mixAmount, c.outputGain, c.softClipOn,
                            c.stereoMonoEffective};
    for (const BiquadCoefficients& b : c.bandPassCoef) v.insert(v.end(), {b.b0, b.b1, b.b2, b.a1, b.a2});
    for (const BiquadCoefficients& b : c.highPassCoef) v.insert(v.end(), {b.b0, b.b1, b.b2, b.a1, b.a2});
    return v;
}

// Host values far outside 0..1 pass through the formulas but never leave a
// coefficient infinite or NaN.
TEST(TrebleMapping, OutOfRangeValuesKeepEveryCoefficientFinite) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    const float extremes[] = {-1e30f, -100.0f, -1.0f, 1.92f, 2.0f, 5.0f, 100.0f, 1e30f};
    for (float v : extremes) {
        for (int index = 0; index < 24; ++index) {
            e.setParameter(index, v);
            std::vector<float> values = floatValues(e.coefficients());
            for (size_t k = 0; k < values.size(); ++k)
                ASSERT_TRUE(std::isfinite(values[k])) << "value " << v << " index " << index << " field " << k;
        }
        // Restore a sane state so that the next value meets ordinary dependencies.
        for (int index = 0; index < 24; ++index) e.setParameter(index, 0.5f);
    }
}

TEST(TrebleMapping, SampleRateZeroFromAHostDoesNotPoisonTheFilters) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    e.setSampleRate(0.0f);
    e.setParameter(kFreq, 0.5f);
    e.setParameter(kMinFreq, 0.5f);
    e.setParameter(kSlope, 0.5f);
    EXPECT_TRUE(std::isfinite(e.coefficients().bandPassCoef[0].a1));
    EXPECT_TRUE(std::isfinite(e.coefficients().hissMinCoef));
    EXPECT_TRUE(std::isfinite(e.coefficients().tranReleaseScale));
}

}  // namespace
