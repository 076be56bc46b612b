#include <gtest/gtest.h>

#include <cstring>

#include "tests/treble/treble_test_support.h"
#include "treble_dsp/treble_parameters.h"

using namespace treble_test;
using namespace treble_params;

namespace {

std::string indexedName(TrebleEffect& e, int index) {
    char text[64] = "untouched";
    if (!e.getProgramNameIndexed(0, index, text)) return "<false>";
    return text;
}

TEST(TrebleBank, ProgramZeroIsAppliedAtConstruction) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    EXPECT_EQ(e.getProgram(), 0);
    EXPECT_EQ(programName(e), "mix1");
    EXPECT_FLOAT_EQ(e.getParameter(kFreq), 0.8f);
    EXPECT_FLOAT_EQ(e.getParameter(kQ), 0.667f);
    EXPECT_EQ(e.getParameter(kExciterSwitch), 0.0f);
    EXPECT_EQ(e.getParameter(kMix), 1.0f);
    EXPECT_EQ(e.getParameter(kOutput), 0.5f);
}

TEST(TrebleBank, FactoryNamesAndFreshRecords) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    const char* names[38] = {"mix1", "mix2", "mix3", "mix4", "acc guitar1", "acc guitar2", "acc guitar3",
                             "acc guitar4", "vocal1", "vocal2", "vocal3", "vocal4", "drums1", "drums2", "piano1",
                             "piano2", "violino1", "violino2", "Universal1", "Universal2", "Universal3",
                             "Universal4", "hissRem1", "hissRem2", "hissRem3", "hissRem4", "transients1",
                             "transients2", "transients3", "transients4", "stereoEnh1", "stereoEnh2",
                             "stereoEnh3", "stereoEnh4", "harmonics1", "harmonics2", "harmonics3", "harmonics4"};
    for (int p = 0; p < 38; ++p) EXPECT_EQ(indexedName(e, p), names[p]) << p;
    for (int p = 38; p < 48; ++p) EXPECT_EQ(indexedName(e, p), "Init") << p;
    EXPECT_EQ(indexedName(e, 48), "<false>");
    EXPECT_EQ(indexedName(e, -1), "<false>");

    const TrebleProgram* bank = e.programRecords();
    // A fresh record holds every default.
    const float fresh[24] = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.75f, 0.5f, 0.5f, 0.0f, 0.5f,
                             0.5f, 0.5f, 0.5f, 0.0f, 0.5f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, -1.0f, 1.0f};
    for (int p = 38; p < 48; ++p)
        for (int s = 0; s < 24; ++s) EXPECT_EQ(bank[p].values[s], fresh[s]) << p << "/" << s;
    // Every factory program: Output 0.5, Process on, undecided mode, full mix.
    for (int p = 0; p < 38; ++p) {
        EXPECT_EQ(bank[p].values[16], 0.5f);
        EXPECT_EQ(bank[p].values[17], 1.0f);
        EXPECT_EQ(bank[p].values[22], -1.0f);
        EXPECT_EQ(bank[p].values[23], 1.0f);
    }
    // Spot checks across the table, slot by slot.
    EXPECT_EQ(bank[12].values[12], 1.16f);   // drums1 Drive above the nominal range
    EXPECT_EQ(bank[37].values[9], 0.1667f);  // harmonics4 TranDamp
    EXPECT_EQ(bank[25].values[14], 0.125f);  // hissRem4 MinFreq
    EXPECT_EQ(bank[29].values[4], 0.75f);    // transients4 Thresh
    const float stereoEnh3[20] = {0.62f, 0, 0.16f, 0.58f, 0.55f, 0.5f, 0.42f, 0.42f, 0.333f, 0.32f,
                                  0.33f, 0.667f, 0.16f, 0.22f, 0, 0, 0, 1, 0, 0};
    const int slots[20] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 18, 19, 20, 21};
    for (int i = 0; i < 20; ++i) EXPECT_EQ(bank[32].values[slots[i]], stereoEnh3[i]) << "slot " << slots[i];
}

TEST(TrebleBank, InitNamesAreNumberedOnlyWhenCurrent) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    e.setProgram(38);
    EXPECT_EQ(programName(e), "Init 39");
    EXPECT_EQ(indexedName(e, 38), "Init");
    e.setProgram(47);
    EXPECT_EQ(programName(e), "Init 48");
    char lower[] = "init";
    e.setProgramName(lower);
    EXPECT_EQ(programName(e), "init");
    char upper[] = "Init";
    e.setProgram(2);
    e.setProgramName(upper);
    EXPECT_EQ(programName(e), "Init 3");
}

TEST(TrebleBank, CopyProgramCopiesValuesAndName) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    e.setProgram(2);
    e.setParameter(kHarmonics, 0.9f);  // an edit of the current program travels with it
    EXPECT_TRUE(e.copyProgram(40));
    EXPECT_EQ(e.getProgram(), 2);
    EXPECT_EQ(indexedName(e, 40), "mix3");
    EXPECT_EQ(std::memcmp(&e.programRecords()[40], &e.programRecords()[2], sizeof(TrebleProgram)), 0);
    EXPECT_FALSE(e.copyProgram(48));
    EXPECT_FALSE(e.copyProgram(-1));
}

TEST(TrebleBank, NamesAreCutAndNeverOverrunTheRecord) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    char longName[100];
    std::memset(longName, 'a', sizeof(longName) - 1);
    longName[99] = 0;
    e.setProgramName(longName);
    EXPECT_EQ(std::strlen(e.programRecords()[0].name), 31u);
    // Out, names are held to the published program-name length.
    EXPECT_EQ(programName(e).size(), 24u);
    EXPECT_EQ(indexedName(e, 0).size(), 24u);
    EXPECT_EQ(e.programRecords()[1].name, std::string("mix2"));
}

TEST(TrebleBank, EditsStayWithTheirProgramAndReselectingChangesNothing) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    e.setParameter(kThresh, 0.123f);
    e.setParameter(kSaturation, 0.0f);
    float before[24];
    for (int i = 0; i < 24; ++i) before[i] = e.getParameter(i);
    TrebleCoefficients coefBefore = e.coefficients();
    e.setProgram(0);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(e.getParameter(i), before[i]) << i;
    EXPECT_EQ(std::memcmp(&coefBefore, &e.coefficients(), sizeof(TrebleCoefficients)), 0);
    e.setProgram(5);
    e.setProgram(0);
    EXPECT_FLOAT_EQ(e.getParameter(kThresh), 0.123f);
}

TEST(TrebleBank, ProgramResultDoesNotDependOnThePreviousProgram) {
    TrebleEffect a(nullptr, PluginBuild::Stereo);
    TrebleEffect b(nullptr, PluginBuild::Stereo);
    a.setProgram(25);  // very different filters
    a.setProgram(14);
    b.setProgram(33);
    b.setProgram(14);
    EXPECT_EQ(std::memcmp(&a.coefficients(), &b.coefficients(), sizeof(TrebleCoefficients)), 0);
}

TEST(TrebleBank, StereoMonoGoesIntoEveryRecord) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    e.setParameter(kStereoMono, 1.0f);
    for (int p = 0; p < 48; ++p) EXPECT_EQ(e.programRecords()[p].values[22], 1.0f);
    EXPECT_EQ(e.coefficients().stereoMonoEffective, 1.0f);
    e.setParameter(kStereoMono, -1.0f);
    for (int p = 0; p < 48; ++p) EXPECT_EQ(e.programRecords()[p].values[22], -1.0f);
    EXPECT_EQ(e.getParameter(kStereoMono), -1.0f);
    EXPECT_EQ(e.coefficients().stereoMonoEffective, 0.0f);
}

TEST(TrebleBank, WidenerSwitchIsRefusedInMonoMode) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    e.setParameter(kStereoMono, 1.0f);  // mono mode
    e.setParameter(kProcessEnh, 0.0f);
    EXPECT_EQ(e.getParameter(kProcessEnh), 1.0f);
    EXPECT_EQ(e.getEffectiveValue(kProcessEnh), 1.0f);
    EXPECT_EQ(e.coefficients().wideOn, 1);
    // A program selected in mono mode keeps its own ProcessEnh slot; the effect keeps its value.
    e.setProgram(22);  // hissRem1: ProcessEnh 0
    EXPECT_EQ(e.programRecords()[22].values[19], 0.0f);
    EXPECT_EQ(e.getParameter(kProcessEnh), 1.0f);
    // Setting the mode wrote it into every record, so the program keeps the effect in mono.
    EXPECT_EQ(e.getParameter(kStereoMono), 1.0f);
    e.setParameter(kStereoMono, 0.0f);  // stereo: the program's switch is taken
    e.setProgram(22);
    EXPECT_EQ(e.getParameter(kProcessEnh), 0.0f);
    EXPECT_EQ(e.coefficients().wideOn, 0);
}

TEST(TrebleBank, MonoBuildKeepsFactoryModeAndIgnoresStereoMono) {
    TrebleEffect e(nullptr, PluginBuild::Mono);
    EXPECT_EQ(e.getParameter(kStereoMono), 1.0f);
    for (int p = 0; p < 38; ++p) EXPECT_EQ(e.programRecords()[p].values[22], -1.0f) << p;
    for (int p = 38; p < 48; ++p) EXPECT_EQ(e.programRecords()[p].values[22], 1.0f) << p;
    e.setProgram(3);
    EXPECT_EQ(e.getParameter(kStereoMono), 1.0f);
    EXPECT_EQ(e.programRecords()[3].values[22], -1.0f);
    e.setParameter(kStereoMono, 0.0f);
    EXPECT_EQ(e.getParameter(kStereoMono), 1.0f);
    EXPECT_EQ(e.coefficients().stereoMonoEffective, 1.0f);
    // The widener switch never changes in the mono build.
    e.setParameter(kProcessEnh, 0.0f);
    EXPECT_EQ(e.getParameter(kProcessEnh), 1.0f);
}

TEST(TrebleBank, OutOfRangeProgramIndicesAreIgnored) {
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    e.setProgram(3);
    e.setProgram(48);
    e.setProgram(-1);
    e.setProgram(1 << 30);
    EXPECT_EQ(e.getProgram(), 3);
    EXPECT_EQ(programName(e), "mix4");
}

TEST(TrebleBank, WithoutABankTheEffectStillWorks) {
    trebleFailBankAllocation = true;
    TrebleEffect e(nullptr, PluginBuild::Stereo);
    trebleFailBankAllocation = false;
    EXPECT_EQ(e.programRecords(), nullptr);
    EXPECT_EQ(programName(e), "init");
    EXPECT_EQ(indexedName(e, 0), "<false>");
    EXPECT_FALSE(e.copyProgram(1));
    e.setProgram(7);
    EXPECT_EQ(e.getProgram(), 7);
    char name[] = "x";
    e.setProgramName(name);
    // The defaults computed every coefficient.
    EXPECT_EQ(display(e, kFreq), "2828.427");
    EXPECT_EQ(e.coefficients().processOn, 1);
    EXPECT_EQ(e.coefficients().hissOn, 1);
    EXPECT_FLOAT_EQ(e.coefficients().mixAmount, 1.0f);
    e.setParameter(kThresh, 0.25f);
    EXPECT_EQ(e.getParameter(kThresh), 0.25f);
}

}  // namespace
