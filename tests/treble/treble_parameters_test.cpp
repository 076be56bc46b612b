#include <gtest/gtest.h>

#include "tests/support/parameter_table_check.h"
#include "tests/treble/treble_test_support.h"
#include "treble_dsp/treble_parameters.h"

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

// Every slot of a program belongs to exactly one parameter, and a program
// applies every parameter exactly once.
TEST(TrebleParameters, TheTableCoversEverySlotAndTheApplyOrderEveryParameter) {
    test_support::expectCompleteTable(kParameters, kProgramApplyOrder);
    // The displays made from a processing value name one.
    for (const ParameterInfo& p : kParameters)
        EXPECT_EQ(p.display == Display::Number || p.display == Display::Decibels, p.shown != nullptr) << p.name;
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
    struct Case {
        int index;
        float value;
        const char* text;
    } cases[] = {
        {kNoiseAtten, 0.0f, "  -oo   "}, {kTrancients, 0.0f, "  -oo   "}, {kHarmonics, 0.0f, "  -oo   "},
        {kTrancients, 1.0f, "18.06180"}, {kHarmonics, 1.0f, "12.04119"}, {kThresh, 0.0f, "-96.3295"},
        {kOutput, 0.0f, "-30.1029"},     {kOutput, 1.0f, "6.020599"},    {kSlope, 1.0f, "12.00000"},
        {kEnhanceS, 1.0f, "2.539163"},   {kSpeed, 1.0f, "0.033333"},     {kEnhSlope, 1.0f, "6.000000"},
        {kSaturation, 0.49f, "0.000000"}, {kSaturation, 0.5f, "1.000000"},
        {kDrive, 1.16f, "1.000000"},  // held at the end of the range
    };
    for (const Case& c : cases) {
        e.setParameter(c.index, c.value);
        EXPECT_EQ(display(e, c.index), c.text) << name(e, c.index) << " at " << c.value;
    }
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
