// Names, labels, display texts and the value mapping of the nine parameters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/bass/bass_test_support.h"
#include "tests/support/parameter_table_check.h"

using namespace bass_test;
using namespace bass_params;

namespace {

TEST(BassParameters, NamesAndLabelsAreExact) {
    Bass e(PluginBuild::Stereo);
    const char* names[] = {"process", "gain", "mix", "freq", "threshold", "colour", "bass", "saturation", "stereo/mono"};
    const char* labels[] = {"    ", "   dB   ", "        ", "   Hz   ", "    dB   ", "    %   ", "    dB    ", "   ", "   "};
    for (int i = 0; i < kNumParams; ++i) {
        EXPECT_EQ(name(e, i), names[i]) << i;
        EXPECT_EQ(label(e, i), labels[i]) << i;
    }
    // Outside 0..8 the caller's text stays as it was.
    for (int i : {-1, 9, 1000}) {
        char t[16] = "keep";
        e.getParameterName(i, t);
        e.getParameterLabel(i, t);
        e.getParameterDisplay(i, t);
        EXPECT_STREQ(t, "keep");
        EXPECT_EQ(e.getParameter(i), 0.0f);
        EXPECT_EQ(e.getEffectiveValue(i), 0.0f);
    }
}

TEST(BassParameters, TheTableCoversEverySlotAndTheApplyOrderEveryParameter) {
    test_support::expectCompleteTable(bass_params::kParameters, bass_params::kProgramApplyOrder);
}

TEST(BassParameters, DisplayTexts) {
    Bass e(PluginBuild::Stereo);
    // Program 0 ("psychoacoustic") sets freq 0.
    EXPECT_EQ(display(e, kFreq), "20.00000");
    EXPECT_EQ(display(e, kProcess), "on");
    EXPECT_EQ(display(e, kSaturation), "off");

    e.setParameter(kGain, 0.5f);
    EXPECT_EQ(display(e, kGain), "0.000000");
    e.setParameter(kGain, 1.0f);
    EXPECT_EQ(display(e, kGain), "12.00000");
    e.setParameter(kBass, 0.0f);
    EXPECT_EQ(display(e, kBass), "-12.0000");
    e.setParameter(kThreshold, 0.0f);
    EXPECT_EQ(display(e, kThreshold), "-48.0000");
    e.setParameter(kThreshold, 1.0f);
    EXPECT_EQ(display(e, kThreshold), "0.000000");
    e.setParameter(kColour, 0.5f);
    EXPECT_EQ(display(e, kColour), "50.00000");
    e.setParameter(kMix, 0.25f);
    EXPECT_EQ(display(e, kMix), "0.250000");
    e.setParameter(kFreq, 1.0f);
    EXPECT_EQ(display(e, kFreq), "600.0000");
    e.setParameter(kProcess, 0.49f);
    EXPECT_EQ(display(e, kProcess), "off");
    e.setParameter(kSaturation, 0.5f);
    EXPECT_EQ(display(e, kSaturation), "on");

    // Shown as stereo from 0.5 up, though processing needs a full 1.0.
    e.setParameter(kStereoMono, 0.7f);
    EXPECT_EQ(display(e, kStereoMono), "stereo");
    e.setParameter(kStereoMono, 0.3f);
    EXPECT_EQ(display(e, kStereoMono), "mono");
}

TEST(BassParameters, LevelFactors) {
    Bass e(PluginBuild::Stereo);
    for (int index : {kGain, kBass}) {
        e.setParameter(index, 0.5f);
        EXPECT_EQ(e.getEffectiveValue(index), 1.0f);
        e.setParameter(index, 1.0f);
        EXPECT_NEAR(e.getEffectiveValue(index), std::pow(10.0, 0.6), 1e-5);
        e.setParameter(index, 0.0f);
        EXPECT_NEAR(e.getEffectiveValue(index), std::pow(10.0, -0.6), 1e-6);
    }
    e.setParameter(kThreshold, 1.0f);
    EXPECT_EQ(e.getEffectiveValue(kThreshold), 1.0f);
    e.setParameter(kThreshold, 0.0f);
    EXPECT_NEAR(e.getEffectiveValue(kThreshold), std::pow(10.0, -2.4), 1e-8);
    e.setParameter(kThreshold, 0.5f);
    EXPECT_NEAR(20.0 * std::log10(e.getEffectiveValue(kThreshold)), -24.0, 1e-4);
    e.setParameter(kMix, 0.5f);
    EXPECT_EQ(e.getEffectiveValue(kMix), 0.25f);
}

TEST(BassParameters, FrequencyCornersAndCoefficients) {
    Bass e(PluginBuild::Stereo);
    const double twoPi = 6.283185307179586;
    const double fs = e.getSampleRateInt();
    EXPECT_EQ(fs, 44100);
    e.setParameter(kFreq, 0.0f);
    EXPECT_EQ(e.getEffectiveValue(kFreq), 20.0f);
    EXPECT_DOUBLE_EQ(e.bandCoef, 1.0 - std::exp(-twoPi * 20.0 / fs));
    EXPECT_DOUBLE_EQ(e.shaperCoef, 1.0 - std::exp(-twoPi * 20.0 / fs));
    e.setParameter(kFreq, 1.0f);
    EXPECT_EQ(e.getEffectiveValue(kFreq), 600.0f);
    EXPECT_DOUBLE_EQ(e.bandCoef, 1.0 - std::exp(-twoPi * 600.0 / fs));
    EXPECT_DOUBLE_EQ(e.shaperCoef, 1.0 - std::exp(-twoPi * 100.0 / fs));
    // 0.33 and 0.333 are different programs' values, 83.2 and 84.3 Hz.
    e.setParameter(kFreq, 0.33f);
    EXPECT_NEAR(e.getEffectiveValue(kFreq), 83.16, 0.01);
    e.setParameter(kFreq, 0.333f);
    EXPECT_NEAR(e.getEffectiveValue(kFreq), 84.32, 0.01);
}

TEST(BassParameters, ColourShaperIsNormalised) {
    Bass e(PluginBuild::Stereo);
    e.setParameter(kColour, 0.0f);
    EXPECT_EQ(e.getEffectiveValue(kColour), 1.0f);
    EXPECT_EQ(e.colourNorm, 1.0f);
    e.setParameter(kColour, 1.0f);
    EXPECT_EQ(e.getEffectiveValue(kColour), 64.0f);
    EXPECT_NEAR(e.colourNorm, 1.0 / std::sqrt(8.0), 1e-7);
    e.setParameter(kColour, 0.5f);
    EXPECT_NEAR(e.colourNorm, std::pow(0.25 * 63 + 1, -0.25), 1e-7);
}

TEST(BassParameters, SwitchesTurnOnAtOneHalf) {
    Bass e(PluginBuild::Stereo);
    for (int index : {kProcess, kSaturation}) {
        e.setParameter(index, 0.5f);
        EXPECT_EQ(e.getEffectiveValue(index), 1.0f);
        e.setParameter(index, 0.49f);
        EXPECT_EQ(e.getEffectiveValue(index), 0.0f);
        EXPECT_EQ(e.getParameter(index), 0.49f);
    }
}

TEST(BassParameters, ValuesAreStoredInProgramSlotOrder) {
    Bass e(PluginBuild::Stereo);
    e.setProgram(3);
    const float values[] = {0.11f, 0.22f, 0.33f, 0.44f, 0.55f, 0.66f, 0.77f, 0.88f, 0.99f};
    for (int i = 0; i < kNumParams; ++i) e.setParameter(i, values[i]);
    const BassProgram& p = e.programRecords()[3];
    // gain, mix, freq, threshold, colour, bass, saturation, stereo/mono, process
    const float expected[] = {0.22f, 0.33f, 0.44f, 0.55f, 0.66f, 0.77f, 0.88f, 0.99f, 0.11f};
    for (int slot = 0; slot < kNumParams; ++slot) EXPECT_EQ(p.values[slot], expected[slot]) << slot;
    for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(e.getParameter(i), values[i]) << i;
    // The other programs keep their own values, stereo/mono aside.
    EXPECT_EQ(e.programRecords()[2].values[kSlotGain], 0.5f);
    EXPECT_EQ(e.programRecords()[2].values[kSlotStereoMono], 0.99f);
}

TEST(BassParameters, StereoMonoInBothBuilds) {
    Bass stereo(PluginBuild::Stereo);
    stereo.setParameter(kStereoMono, -1.0f);
    EXPECT_EQ(stereo.getEffectiveValue(kStereoMono), 1.0f);
    EXPECT_EQ(stereo.getParameter(kStereoMono), -1.0f);
    for (int p = 0; p < BassEffect::kNumPrograms; ++p) EXPECT_EQ(stereo.programRecords()[p].values[kSlotStereoMono], -1.0f);
    stereo.setParameter(kStereoMono, 0.7f);
    EXPECT_EQ(stereo.getEffectiveValue(kStereoMono), 0.7f);

    Bass mono(PluginBuild::Mono);
    for (float v : {1.0f, -1.0f, 0.6f}) {
        mono.setParameter(kStereoMono, v);
        EXPECT_EQ(mono.getParameter(kStereoMono), 0.0f);
        EXPECT_EQ(mono.getEffectiveValue(kStereoMono), 0.0f);
        EXPECT_EQ(display(mono, kStereoMono), "mono");
    }
    for (int p = 0; p < BassEffect::kNumPrograms; ++p) EXPECT_EQ(mono.programRecords()[p].values[kSlotStereoMono], 0.0f);
}

TEST(BassParameters, FreqAndProcessClearTheirStates) {
    Bass e(PluginBuild::Stereo);
    auto fill = [&] {
        for (int c = 0; c < 2; ++c) {
            e.splitState1[c] = e.splitState2[c] = e.shaperState[c] = 0.5;
            e.peakHold[c] = e.harmonicState[c] = e.dcState[c] = 0.5;
        }
    };
    fill();
    e.setParameter(kFreq, 0.4f);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(e.splitState1[c], 0.0);
        EXPECT_EQ(e.shaperState[c], 0.0);
        EXPECT_EQ(e.harmonicState[c], 0.0);
        EXPECT_EQ(e.splitState2[c], 0.5);
        EXPECT_EQ(e.peakHold[c], 0.5);
        EXPECT_EQ(e.dcState[c], 0.5);
    }
    fill();
    e.setParameter(kProcess, 1.0f);
    EXPECT_EQ(e.splitState1[0], 0.0);
    // The left channel keeps everything else.
    EXPECT_EQ(e.splitState2[0], 0.5);
    EXPECT_EQ(e.shaperState[0], 0.5);
    EXPECT_EQ(e.peakHold[0], 0.5);
    EXPECT_EQ(e.harmonicState[0], 0.5);
    EXPECT_EQ(e.dcState[0], 0.5);
    for (double s : {e.splitState1[1], e.splitState2[1], e.shaperState[1], e.peakHold[1], e.harmonicState[1],
                     e.dcState[1]})
        EXPECT_EQ(s, 0.0);
}

TEST(BassParameters, BadValuesLeaveEveryCoefficientFinite) {
    Bass e(PluginBuild::Stereo);
    e.setParameter(kGain, 0.75f);
    const float before = e.getEffectiveValue(kGain);
    // A NaN changes nothing at all.
    e.setParameter(kGain, std::nanf(""));
    EXPECT_EQ(e.getParameter(kGain), 0.75f);
    EXPECT_EQ(e.getEffectiveValue(kGain), before);

    for (float v : {1e30f, -1e30f, INFINITY, -INFINITY, 3.0f, -2.0f}) {
        for (int i = 0; i < kNumParams; ++i) {
            e.setParameter(i, v);
            EXPECT_TRUE(std::isfinite(e.getParameter(i))) << i << " " << v;
            EXPECT_TRUE(std::isfinite(e.getEffectiveValue(i))) << i << " " << v;
        }
        EXPECT_TRUE(std::isfinite(e.bandCoef) && std::isfinite(e.shaperCoef));
        EXPECT_GT(e.bandCoef, 0.0);
        EXPECT_LE(e.bandCoef, 1.0);
        EXPECT_TRUE(std::isfinite(e.colourNorm));
        EXPECT_NE(display(e, kGain), "  NaN   ");
    }
    // Values past the range are held at its end.
    e.setParameter(kGain, 1.5f);
    EXPECT_EQ(e.getParameter(kGain), 1.0f);
    EXPECT_NEAR(e.getEffectiveValue(kGain), std::pow(10.0, 0.6), 1e-5);
    e.setParameter(kStereoMono, -0.5f);
    EXPECT_EQ(e.getEffectiveValue(kStereoMono), 1.0f);
}

TEST(BassParameters, OpenEditorHearsEveryCallClosedEditorNone) {
    Bass e(PluginBuild::Stereo);
    auto* editor = new FakeEditor;
    e.setEditor(editor);  // the effect owns it from here
    e.setParameter(kGain, 0.25f);
    EXPECT_TRUE(editor->calls.empty());

    e.editorOpen = 1;
    e.setParameter(kGain, 0.5f);
    e.setParameter(9, 0.125f);  // out of range, still passed on
    const std::vector<std::string> expected = {"postUpdate", "parameterChanged 1 0.500000", "postUpdate",
                                               "parameterChanged 9 0.125000"};
    EXPECT_EQ(editor->calls, expected);
    EXPECT_EQ(e.getParameter(kGain), 0.5f);
}

}  // namespace
