#include <gtest/gtest.h>

#include "tests/treble/treble_test_support.h"
#include "treble/treble_parameters.h"

using namespace treble_test;
using namespace treble_params;

namespace {

TEST(TrebleParameters, NamesAndLabelsExactlyWithTheirBlanks) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    const char* names[24] = {"Process", "Thresh", "NoiseAtten", "Trancients", "EnhanceS", "Freq", "Harmonics",
                             "Mix", "Output", "MinFreq", "Speed", "Slope", "TranDamp", "Boost", "EnhSlope", "Q",
                             "Drive", "FirstOut", "Saturation", "   ", "ProcessEnh", "ProcessTran", "ProcessHiss",
                             "StereoMono"};
    const char* labels[24] = {" Off/On ", "    dB   ", "   dB   ", "   dB   ", "        ", "    Hz   ",
                              "   dB   ", "         ", "   dB  ", "   Hz   ", "         ", " dB/oct ",
                              "        ", "   1:x  ", " dB/oct ", "    Q    ", "        ", "        ",
                              " Off/On ", " Off/On ", " Off/On ", " Off/On ", " Off/On ", "         "};
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(name(e, i), names[i]) << i;
        EXPECT_EQ(label(e, i), labels[i]) << i;
    }
    EXPECT_EQ(name(e, 24), "   ");
    EXPECT_EQ(name(e, -1), "   ");
    EXPECT_EQ(label(e, 1000), "   ");
}

TEST(TrebleParameters, DisplaysAtTheDefaults) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    // Program 0 is applied at construction; put every parameter at its default.
    for (int i = 0; i < 23; ++i) e.setParameter(i, kParameters[i].defaultValue);
    e.setParameter(kFirstOut, 0.5f);
    e.setParameter(kFreq, 0.5f);
    EXPECT_EQ(display(e, kFreq), "2828.427");
    EXPECT_EQ(display(e, kThresh), "-48.1647");
    EXPECT_EQ(display(e, kQ), "1.118034");
    EXPECT_EQ(display(e, kSlope), "6.000000");
    EXPECT_EQ(display(e, kNoiseAtten), "-6.02059");
    EXPECT_EQ(display(e, kProcess), "1.000000");
    EXPECT_EQ(display(e, kEnhanceS), "1.000000");
    EXPECT_EQ(display(e, kMix), "1.000000");
    EXPECT_EQ(display(e, kBoost), "1.414213");
    EXPECT_EQ(display(e, kMinFreq), "2738.612");
    EXPECT_EQ(display(e, kSaturation), "0.000000");
    EXPECT_EQ(display(e, kStereoMono), "-1.00000");
    EXPECT_EQ(e.getParameter(kStereoMono), -1.0f);
}

TEST(TrebleParameters, DisplayRangesAtBothEnds) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    for (int i : {kNoiseAtten, kTrancients, kHarmonics}) {
        e.setParameter(i, 0.0f);
        EXPECT_EQ(display(e, i), "  -oo   ") << i;
    }
    e.setParameter(kTrancients, 1.0f);
    EXPECT_EQ(display(e, kTrancients), "18.06180");
    e.setParameter(kHarmonics, 1.0f);
    EXPECT_EQ(display(e, kHarmonics), "12.04119");
    e.setParameter(kThresh, 0.0f);
    EXPECT_EQ(display(e, kThresh), "-96.3295");
    e.setParameter(kOutput, 0.0f);
    EXPECT_EQ(display(e, kOutput), "-30.1029");
    e.setParameter(kOutput, 1.0f);
    EXPECT_EQ(display(e, kOutput), "6.020599");
    e.setParameter(kSlope, 1.0f);
    EXPECT_EQ(display(e, kSlope), "12.00000");  // not 6: first plus second order
    e.setParameter(kEnhanceS, 1.0f);
    EXPECT_EQ(display(e, kEnhanceS).substr(0, 4), "2.53");
    e.setParameter(kSpeed, 1.0f);
    EXPECT_EQ(display(e, kSpeed), "0.033333");
    e.setParameter(kEnhSlope, 1.0f);
    EXPECT_EQ(display(e, kEnhSlope), "6.000000");
    e.setParameter(kSaturation, 0.49f);
    EXPECT_EQ(display(e, kSaturation), "0.000000");
    e.setParameter(kSaturation, 0.5f);
    EXPECT_EQ(display(e, kSaturation), "1.000000");
    // Drive shows the raw value, even past the nominal range.
    e.setParameter(kDrive, 1.16f);
    EXPECT_EQ(display(e, kDrive), "1.159999");
}

TEST(TrebleParameters, OutOfRangeIndicesAnswerZeroAndDefaultText) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    EXPECT_EQ(e.getParameter(24), 0.0f);
    EXPECT_EQ(e.getParameter(-1), 0.0f);
    EXPECT_EQ(display(e, 24), "0.000000");
    EXPECT_EQ(display(e, -5), "0.000000");
    EXPECT_EQ(e.getEffectiveValue(24), 0.0f);
    EXPECT_EQ(e.getEffectiveValue(-1), 0.0f);
    float before[24];
    for (int i = 0; i < 24; ++i) before[i] = e.getParameter(i);
    e.setParameter(24, 0.3f);
    e.setParameter(-1, 0.3f);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(e.getParameter(i), before[i]) << i;
}

TEST(TrebleParameters, EffectiveValuesFollowTheirParameters) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    e.setParameter(kMix, 0.5f);
    EXPECT_FLOAT_EQ(e.getEffectiveValue(kMix), 0.25f);
    EXPECT_EQ(display(e, kMix), "0.500000");  // raw, not the squared value
    e.setParameter(kEnhanceS, 1.0f);
    EXPECT_FLOAT_EQ(e.getEffectiveValue(kEnhanceS), 0.23f);  // the mid gain
    e.setParameter(kFirstOut, 0.25f);
    EXPECT_EQ(e.getEffectiveValue(kFirstOut), 0.25f);
    e.setParameter(kStereoMono, 0.0f);
    EXPECT_EQ(e.getEffectiveValue(kStereoMono), 0.0f);
    e.setParameter(kProcessHiss, 0.0f);
    EXPECT_EQ(e.getEffectiveValue(kProcessHiss), 0.0f);
    EXPECT_EQ(display(e, kProcessHiss), "0.000000");
}

TEST(TrebleParameters, NaNFromAHostChangesNothing) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int i = 0; i < 24; ++i) {
        float before = e.getParameter(i);
        e.setParameter(i, nan);
        EXPECT_EQ(e.getParameter(i), before) << i;
    }
}

}  // namespace
