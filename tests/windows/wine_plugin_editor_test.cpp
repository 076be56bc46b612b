// The product editors inside the DLLs under Wine, opened by the host library
// in a host window of the test's own: the artwork as the headless backend
// draws it, a knob turned with real mouse input, window classes kept apart
// per module and gone with the last editor, and hosts that misbehave.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "host/hosted_plugin.h"
#include "tests/windows/win32_test_support.h"
#include "tests/windows/wine_test_support.h"
#include "bass_editor/bass_layout.h"
#include "treble_editor/treble_layout.h"

namespace {

using wine_test::HostWindow;
using wine_test::WindowPixels;

struct EditorCase {
    const char* name;
    const char* sibling;  // the product's other build: another module
    int knobTag;
    int knobX, knobY;     // the knob's centre in the editor
};

void PrintTo(const EditorCase& c, std::ostream* out) { *out << c.name; }

constexpr auto kTrebleKnob = treble_layout::kKnobs[0];
constexpr int kTrebleKnobCentre = treble_layout::kKnobSize / 2;
constexpr auto kBassKnob = bass_layout::kKnobs[0];

vst_host::HostedPlugin load(const std::string& name) {
    std::string error;
    vst_host::HostedPlugin plugin = vst_host::loadHostedPlugin(wine_test::pluginPath(name), &error);
    if (plugin) plugin->startUp(44100.0f, 512);
    return plugin;
}

bool hasEditor(const vst_host::HostedPlugin& plugin) { return plugin && (plugin->flags() & effFlagsHasEditor); }

std::string classOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

// Whether a window class of that name is still registered in the process.
bool classExists(const std::string& name) {
    WNDCLASSA info;
    return !name.empty() && GetClassInfoA(GetModuleHandleA(nullptr), name.c_str(), &info);
}

class WineEditor : public ::testing::TestWithParam<EditorCase> {
protected:
    void SetUp() override {
        plugin = load(GetParam().name);
        ASSERT_TRUE(plugin) << GetParam().name;
        if (!hasEditor(plugin)) GTEST_SKIP() << GetParam().name << " has no editor in this build";
        ERect* rect = nullptr;
        ASSERT_EQ(1, plugin->dispatch(effEditGetRect, 0, 0, &rect));
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    }
    bool openIn(HostWindow& host) { return plugin->dispatch(effEditOpen, 0, 0, host.handle()) == 1; }

    vst_host::HostedPlugin plugin;
    int width = 0, height = 0;
};

TEST_P(WineEditor, ShowsTheArtworkAsTheHeadlessBackendDraws) {
    WindowPixels reference = WindowPixels::fromBmp(wine_test::referencePath(GetParam().name, ".bmp"));
    ASSERT_EQ(width, reference.width()) << "no headless picture of " << GetParam().name;
    HostWindow host(width, height);
    ASSERT_TRUE(openIn(host));
    plugin->dispatch(effEditIdle);
    wine_test::pumpMessages(200);
    WindowPixels shown(host.child());
    shown.writeBmp(wine_test::outputPath(std::string(GetParam().name) + "_wine.bmp"));
    // Texts differ with the fonts; everything else is the same bitmaps and fills.
    double share = wine_test::matchingTiles(shown, reference, 8, 12);
    std::printf("%s: %.1f %% of 8 x 8 tiles match the headless picture\n", GetParam().name, 100.0 * share);
    EXPECT_GE(share, 0.9);
    plugin->dispatch(effEditClose);
}

TEST_P(WineEditor, KnobTurnedWithTheMouseIsOneAutomatedGesture) {
    HostWindow host(width, height);
    ASSERT_TRUE(openIn(host));
    plugin->dispatch(effSetEditKnobMode, 0, KnobLinear);
    wine_test::pumpMessages(300);
    const int tag = GetParam().knobTag;
    const float before = plugin->getParameter(tag);
    const int direction = before > 0.5f ? 1 : -1;  // down lowers, up raises
    HWND child = host.child();
    // Hover first, press on the knob's centre, move while the knob tracks, let go.
    std::vector<wine_test::InputStep> steps{{wine_test::screenPoint(child, 5, 5), false},
                                            {wine_test::screenPoint(child, GetParam().knobX, GetParam().knobY), false},
                                            {wine_test::screenPoint(child, GetParam().knobX, GetParam().knobY), true}};
    for (int i = 1; i <= 10; ++i)
        steps.push_back({wine_test::screenPoint(child, GetParam().knobX, GetParam().knobY + direction * 5 * i), true});
    steps.push_back({steps.back().where, false});
    plugin.host->clearRequests();
    wine_test::MouseScript mouse(steps);
    plugin.host->script = [&mouse](AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*,
                                   float) -> std::optional<VstIntPtr> {
        if (opcode == audioMasterIdle) mouse.next();
        return std::nullopt;
    };
    mouse.run();
    plugin.host->script = nullptr;
    plugin->dispatch(effSetEditKnobMode, 0, KnobCircular);

    EXPECT_NE(before, plugin->getParameter(tag));
    std::vector<vst_host::HostRequest> edits;
    for (const vst_host::HostRequest& r : plugin.host->requests())
        if (r.opcode == audioMasterBeginEdit || r.opcode == audioMasterEndEdit || r.opcode == audioMasterAutomate)
            edits.push_back(r);
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(audioMasterBeginEdit, edits.front().opcode);
    EXPECT_EQ(audioMasterEndEdit, edits.back().opcode);
    for (const vst_host::HostRequest& r : edits) EXPECT_EQ(tag, r.index);
    EXPECT_EQ(audioMasterAutomate, edits[edits.size() - 2].opcode);
    EXPECT_EQ(plugin->getParameter(tag), edits[edits.size() - 2].opt);
    plugin->dispatch(effEditClose);
}

TEST_P(WineEditor, ModulesKeepTheirOwnClassesUntilTheirLastEditorCloses) {
    vst_host::HostedPlugin sibling = load(GetParam().sibling);
    ASSERT_TRUE(hasEditor(sibling));
    HostWindow host(width, height), siblingHost(width, height);
    ASSERT_TRUE(openIn(host));
    ASSERT_EQ(1, sibling->dispatch(effEditOpen, 0, 0, siblingHost.handle()));
    const std::string mine = classOf(host.child()), theirs = classOf(siblingHost.child());
    EXPECT_EQ(0u, mine.rfind("Plugin", 0));
    EXPECT_NE(mine, theirs);
    plugin->dispatch(effEditClose);
    EXPECT_FALSE(classExists(mine));
    EXPECT_TRUE(classExists(theirs));

    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(openIn(host)) << "cycle " << i;
        plugin->dispatch(effEditIdle);
        plugin->dispatch(effEditClose);
    }
    EXPECT_FALSE(classExists(mine));
    sibling->dispatch(effEditClose);
    EXPECT_FALSE(classExists(theirs));

    // Parents that are no windows, and closes without an open editor.
    EXPECT_EQ(0, plugin->dispatch(effEditOpen, 0, 0, nullptr));
    HWND gone = siblingHost.handle();
    siblingHost.destroy();
    EXPECT_EQ(0, plugin->dispatch(effEditOpen, 0, 0, gone));
    plugin->dispatch(effEditClose);
    plugin->dispatch(effEditClose);
    EXPECT_FALSE(classExists(mine));
}

TEST_P(WineEditor, HostUnloadingTheModuleWithTheEditorOpenLeavesNothingBehind) {
    // This module must go for good below: no instance of it may stay.
    plugin.instance.reset();
    plugin.module.reset();
    vst_host::HostedPlugin doomed = load(GetParam().name);
    ASSERT_TRUE(hasEditor(doomed));
    HostWindow host(width, height);
    ASSERT_EQ(1, doomed->dispatch(effEditOpen, 0, 0, host.handle()));
    wine_test::pumpMessages(50);
    HWND child = host.child();
    const std::string name = classOf(child);

    // The host forgets the instance without closing it and frees the library.
    doomed.instance.release();
    doomed.module.reset();
    // Paint and mouse messages for where the editor was must reach no freed code.
    InvalidateRect(host.handle(), nullptr, TRUE);
    HWND hostWindow = host.handle();
    wine_test::MouseScript({{wine_test::screenPoint(hostWindow, 10, 10), false},
                            {wine_test::screenPoint(hostWindow, 20, 20), false}})
        .run();
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(classExists(name));
}

INSTANTIATE_TEST_SUITE_P(
    Deliverables, WineEditor,
    ::testing::Values(EditorCase{"Vorsa_Glintor", "Vorsa_Glintor_Mono", kTrebleKnob.tag,
                                 kTrebleKnob.knob.x + kTrebleKnobCentre, kTrebleKnob.knob.y + kTrebleKnobCentre},
                      EditorCase{"Vorsa_Glintor_Mono", "Vorsa_Glintor", kTrebleKnob.tag,
                                 kTrebleKnob.knob.x + kTrebleKnobCentre, kTrebleKnob.knob.y + kTrebleKnobCentre},
                      EditorCase{"Vorsa_RUMBLOR", "Vorsa_RUMBLOR_Mono", kBassKnob.tag,
                                 kBassKnob.box.left + kBassKnob.box.width() / 2,
                                 kBassKnob.box.top + kBassKnob.box.height() / 2},
                      EditorCase{"Vorsa_RUMBLOR_Mono", "Vorsa_RUMBLOR", kBassKnob.tag,
                                 kBassKnob.box.left + kBassKnob.box.width() / 2,
                                 kBassKnob.box.top + kBassKnob.box.height() / 2}),
    [](const ::testing::TestParamInfo<EditorCase>& info) { return std::string(info.param.name); });

}  // namespace
