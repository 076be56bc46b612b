// Construction, identity and the program store.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/plugin_entry.h"
#include "tests/bass/bass_test_support.h"

using namespace bass_test;
using namespace bass_params;

namespace {

TEST(BassObject, IdentityInBothBuilds) {
    for (PluginBuild build : {PluginBuild::Stereo, PluginBuild::Mono}) {
        Bass e(build);
        AEffect* r = e.getAeffect();
        const bool stereo = build == PluginBuild::Stereo;
        EXPECT_EQ(r->numInputs, stereo ? 2 : 1);
        EXPECT_EQ(r->numOutputs, stereo ? 2 : 1);
        EXPECT_EQ(r->uniqueID, stereo ? fourCharCode("VrRU") : fourCharCode("VrRu"));
        EXPECT_EQ(r->numPrograms, 32);
        EXPECT_EQ(r->numParams, 9);
        EXPECT_EQ(r->initialDelay, 256);
        EXPECT_EQ(r->flags, effFlagsCanReplacing | effFlagsCanMono | effFlagsHasVu);
        EXPECT_EQ(e.getStereoMode(), stereo ? -1 : 0);
        // Undecided after construction in both builds.
        EXPECT_EQ(e.getParameter(kStereoMono), -1.0f);
        EXPECT_EQ(e.getEffectiveValue(kStereoMono), 1.0f);
        EXPECT_EQ(e.getVu(), 0.0f);
        EXPECT_EQ(e.getVendorVersion(), 1);

        VstPinProperties pin;
        for (int i = 0; i < 2; ++i) {
            std::memset(&pin, 0, sizeof(pin));
            ASSERT_TRUE(e.getInputProperties(i, &pin));
            EXPECT_EQ(std::string(pin.label), "My " + std::to_string(i + 1) + " In");
            EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
            ASSERT_TRUE(e.getOutputProperties(i, &pin));
            EXPECT_EQ(std::string(pin.label), "My " + std::to_string(i + 1) + " Out");
            EXPECT_EQ(pin.flags, 3);
        }
        EXPECT_FALSE(e.getInputProperties(2, &pin));
        EXPECT_FALSE(e.getOutputProperties(-1, &pin));
    }
}

TEST(BassObject, ProgramZeroIsLoadedAtConstruction) {
    Bass e(PluginBuild::Stereo);
    EXPECT_EQ(e.getProgram(), 0);
    EXPECT_EQ(programName(e), "psychoacoustic");
    EXPECT_EQ(e.getParameter(kFreq), 0.0f);
    EXPECT_EQ(e.getParameter(kSaturation), 0.0f);
    EXPECT_EQ(e.getEffectiveValue(kSaturation), 0.0f);
    EXPECT_EQ(e.getEffectiveValue(kThreshold), 1.0f);
    EXPECT_EQ(e.getEffectiveValue(kColour), 1.0f);
}

TEST(BassPrograms, FactoryBankAndDefaults) {
    for (PluginBuild build : {PluginBuild::Stereo, PluginBuild::Mono}) {
        Bass e(build);
        const float undecided = build == PluginBuild::Stereo ? -1.0f : 0.0f;
        const BassProgram* store = e.programRecords();
        const char* names[] = {"psychoacoustic", "mastering1",  "mastering2",     "mastering3",       "mastering4",
                               "warm1",          "warm2",       "drum-loop1",     "drum-loop2",       "bass1",
                               "bass2",          "synth-bass1", "synth-bass2",    "guitar1",          "guitar2",
                               "dark el-guit1",  "dark el-guit2", "disco max-woofer", "disco sub-woofer", "extreme1",
                               "extreme2"};
        for (int p = 0; p < 21; ++p) EXPECT_STREQ(store[p].name, names[p]);
        const float extreme2[] = {0.75f, 1.0f, 1.0f, 1.0f, 0.5f, 0.5f, 1.0f, undecided, 1.0f};
        const float darkGuitar2[] = {1.0f, 1.0f, 0.75f, 1.0f, 0.65f, 0.66f, 1.0f, undecided, 1.0f};
        const float defaults[] = {0.5f, 1.0f, 0.33f, 0.5f, 0.5f, 0.5f, 1.0f, undecided, 1.0f};
        for (int s = 0; s < 9; ++s) {
            EXPECT_EQ(store[20].values[s], extreme2[s]) << s;
            EXPECT_EQ(store[16].values[s], darkGuitar2[s]) << s;
            for (int p = 21; p < 32; ++p) EXPECT_EQ(store[p].values[s], defaults[s]) << p << " " << s;
        }
        for (int p = 21; p < 32; ++p) EXPECT_STREQ(store[p].name, "init");
        EXPECT_EQ(store[2].values[kSlotColour], 0.333f);
        EXPECT_EQ(store[8].values[kSlotFreq], 0.33f);
    }
}

TEST(BassPrograms, Program20ShowsItsSettings) {
    Bass e(PluginBuild::Stereo);
    e.setProgram(20);
    EXPECT_EQ(display(e, kGain), "6.000000");
    EXPECT_EQ(display(e, kFreq), "600.0000");
    EXPECT_EQ(display(e, kThreshold), "0.000000");
    EXPECT_EQ(display(e, kColour), "50.00000");
    EXPECT_EQ(display(e, kSaturation), "on");
    e.setProgram(21);
    EXPECT_EQ(programName(e), "init");
    EXPECT_EQ(e.getParameter(kFreq), 0.33f);
}

TEST(BassPrograms, OnlyTheCapitalisedDefaultNameIsNumbered) {
    Bass e(PluginBuild::Stereo);
    e.setProgram(25);
    EXPECT_EQ(programName(e), "init");
    char name[] = "Init";
    e.setProgramName(name);
    EXPECT_EQ(programName(e), "Init 26");
    char text[64];
    ASSERT_TRUE(e.getProgramNameIndexed(0, 25, text));
    EXPECT_STREQ(text, "Init");
    char other[] = "INIT";
    e.setProgramName(other);
    EXPECT_EQ(programName(e), "INIT");
}

TEST(BassPrograms, EditsStayWithTheirProgram) {
    Bass e(PluginBuild::Stereo);
    e.setProgram(4);
    e.setParameter(kGain, 0.9f);
    e.setProgram(5);
    EXPECT_EQ(e.getParameter(kGain), 0.5f);
    e.setProgram(4);
    EXPECT_EQ(e.getParameter(kGain), 0.9f);

    // Stereo/mono is one setting for every program.
    e.setParameter(kStereoMono, 0.0f);
    e.setProgram(12);
    EXPECT_EQ(e.getParameter(kStereoMono), 0.0f);
    EXPECT_EQ(display(e, kStereoMono), "mono");
}

TEST(BassPrograms, CopyAndIndexedNames) {
    Bass e(PluginBuild::Stereo);
    e.setProgram(7);
    e.setParameter(kColour, 0.2f);
    ASSERT_TRUE(e.copyProgram(30));
    EXPECT_STREQ(e.programRecords()[30].name, "drum-loop1");
    EXPECT_EQ(e.programRecords()[30].values[kSlotColour], 0.2f);

    char text[64] = "keep";
    EXPECT_TRUE(e.getProgramNameIndexed(5, 31, text));
    EXPECT_STREQ(text, "init");
    std::strcpy(text, "keep");
    EXPECT_FALSE(e.getProgramNameIndexed(0, 32, text));
    EXPECT_FALSE(e.getProgramNameIndexed(0, -1, text));
    EXPECT_STREQ(text, "keep");
}

TEST(BassPrograms, BadIndicesAndLongNamesStayInsideTheStore) {
    Bass e(PluginBuild::Stereo);
    BassProgram snapshot[32];
    std::memcpy(snapshot, e.programRecords(), sizeof(snapshot));

    EXPECT_FALSE(e.copyProgram(-1));
    EXPECT_FALSE(e.copyProgram(32));
    EXPECT_FALSE(e.copyProgram(-2147483647 - 1));
    e.setProgram(-1);
    e.setProgram(32);
    e.setProgram(1 << 30);
    EXPECT_EQ(e.getProgram(), 0);
    EXPECT_EQ(std::memcmp(snapshot, e.programRecords(), sizeof(snapshot)), 0);

    std::string longName(300, 'x');
    e.setProgram(1);
    e.setProgramName(longName.data());
    EXPECT_EQ(std::string(e.programRecords()[1].name), std::string(23, 'x'));
    EXPECT_STREQ(e.programRecords()[2].name, "mastering2");
    EXPECT_EQ(e.programRecords()[2].values[kSlotGain], 0.5f);
    EXPECT_EQ(programName(e), std::string(23, 'x'));
}

TEST(BassPrograms, SetProgramOrderReachesTheEditor) {
    Bass e(PluginBuild::Stereo);
    auto* editor = new FakeEditor;
    e.setEditor(editor);
    e.setProgram(2);
    // Closed editor: only the final update.
    ASSERT_EQ(editor->calls.size(), 1u);
    EXPECT_EQ(editor->calls[0], "postUpdate");

    editor->calls.clear();
    e.editorOpen = 1;
    e.setProgram(1);
    ASSERT_EQ(editor->calls.size(), 19u);
    const int order[] = {1, 2, 3, 4, 5, 6, 7, 8, 0};
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(editor->calls[2 * k], "postUpdate");
        EXPECT_EQ(editor->calls[2 * k + 1].rfind("parameterChanged " + std::to_string(order[k]) + " ", 0), 0u)
            << editor->calls[2 * k + 1];
    }
    EXPECT_EQ(editor->calls[18], "postUpdate");
}

// The entry's composition: an editor that cannot be made leaves nothing; one
// that is attached hears of the effect's resets.
bool failingEditor(BassEffect&) { return false; }
bool fakeEditor(BassEffect& effect) {
    effect.setEditor(new FakeEditor);
    return true;
}
AudioEffect* constructWithFailingEditor(audioMasterCallback master) {
    return withEditor(new BassEffect(master, PluginBuild::Stereo), failingEditor);
}
AudioEffect* constructWithFakeEditor(audioMasterCallback master) {
    return withEditor(new BassEffect(master, PluginBuild::Stereo), fakeEditor);
}
AudioEffect* constructWithoutEditor(audioMasterCallback master) { return new BassEffect(master, PluginBuild::Stereo); }

TEST(BassObject, EditorFailureGivesNoEffect) {
    EXPECT_EQ(createEffectInstance(TestHost::callback, constructWithFailingEditor), nullptr);
    AEffect* record = createEffectInstance(TestHost::callback, constructWithFakeEditor);
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->flags & effFlagsHasEditor);
    auto* effect = static_cast<BassEffect*>(record->object);
    auto* editor = static_cast<FakeEditor*>(effect->getEditor());
    // A reset clears the editor's meters, also while the editor is closed.
    record->dispatcher(record, effMainsChanged, 0, 0, nullptr, 0.0f);
    ASSERT_FALSE(editor->calls.empty());
    EXPECT_EQ(editor->calls.back(), "resetMeters");
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    record = createEffectInstance(TestHost::callback, constructWithoutEditor);
    ASSERT_NE(record, nullptr);
    EXPECT_FALSE(record->flags & effFlagsHasEditor);
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace
