// The bass editor through the host's calls and the scripted mouse: value
// flow both ways, the needle and the light, the buttons that follow the
// effect, the about screen, and hosts that call things in odd orders.
#include <cmath>

#include "bass_editor/needle_meter.h"
#include "bass_editor_fixture.h"
#include "gui/gui_frame.h"
#include "gui/led_indicator.h"
#include "common/editor/about_splash.h"

namespace {

using namespace bass_layout;

GuiPoint centreOf(const Box& b) { return GuiPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2); }

class BassEditorTest : public BassEditorFixture {};

TEST_P(BassEditorTest, HostChangesReachControlsAndFieldsInTheirUnits) {
    ERect* rect = nullptr;
    ASSERT_EQ(1, dispatch(effEditGetRect, 0, 0, &rect));
    EXPECT_EQ(343, rect->right - rect->left);
    EXPECT_EQ(160, rect->bottom - rect->top);
    EXPECT_TRUE(effect->getAeffect()->flags & effFlagsHasEditor);
    EXPECT_EQ(1, effect->editorOpen);

    // freq shows hertz, gain and bass decibels of the effective factor,
    // colour and mix percent of the normalised value.
    struct Case {
        int tag;
        float value;
        const char* text;
    } cases[] = {{3, 0.5f, "165Hz"}, {1, 0.5f, "0.0dB"}, {6, 0.5f, "0.0dB"}, {5, 0.3f, "30%"}, {2, 0.25f, "25%"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        effect->setParameter(c.tag, c.value);
        idle();  // views follow at the editor's next idle
        EXPECT_FLOAT_EQ(c.value, editor->control(c.tag)->getValue());
        EXPECT_EQ(c.text, fieldText(c.tag));
    }
    effect->setParameter(4, 0.75f);  // threshold -12 dB
    idle();
    EXPECT_EQ(0u, fieldText(4).find("-1")) << fieldText(4);

    // A program change moves every control at the next idle, which redraws
    // only what changed.
    dispatch(effSetProgram, 0, 3);
    int paints = window->paintCount();
    idle();
    for (int tag = 1; tag <= 7; ++tag) EXPECT_FLOAT_EQ(effect->getParameter(tag), editor->control(tag)->getValue());
    EXPECT_EQ(paints, window->paintCount()) << "only dirty views redraw, no full paint";
}

TEST_P(BassEditorTest, KnobDragAutomatesWithBeginAndEndAndRefreshesItsField) {
    const Knob& colour = kKnobs[2];
    ASSERT_EQ(5, colour.tag);
    effect->setParameter(5, 0.5f);
    idle();
    recordingHost().calls.clear();
    GuiPoint from = centreOf(colour.box);
    // Linear dragging: 40 pixels up adds 40 / 200.
    drag({{from, ButtonLeft}, {GuiPoint(from.h, from.v - 20), ButtonLeft}, {GuiPoint(from.h, from.v - 40), ButtonLeft}});
    EXPECT_NEAR(0.7f, effect->getParameter(5), 1e-5);
    std::vector<VstInt32> edits = recordingHost().editOpcodes();
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(audioMasterBeginEdit, edits.front());
    EXPECT_EQ(audioMasterEndEdit, edits.back());
    for (size_t i = 1; i + 1 < edits.size(); ++i) EXPECT_EQ(audioMasterAutomate, edits[i]);
    for (const HostCall& call : recordingHost().calls) {
        if (call.opcode == audioMasterAutomate) {
            EXPECT_EQ(5, call.index);
        }
    }
    // The field follows (0.7 in float arithmetic may truncate to 69 %).
    EXPECT_TRUE(fieldText(5) == "70%" || fieldText(5) == "69%") << fieldText(5);
}

TEST_P(BassEditorTest, NeedleClimbsATenthPerIdleFallsAtOnceAndStaysInItsDial) {
    NeedleMeter* needle = editor->needleMeter();
    ASSERT_NE(nullptr, needle);
    setMeters(1.0f, 0.0f);
    idle();  // the ring is read after the redraw, so the climb shows from the next idle
    for (int step = 1; step <= 10; ++step) {
        idle();
        EXPECT_NEAR(0.1f * step, needle->lastDrawnValue(), 1e-4) << "step " << step;
    }
    idle();
    EXPECT_FLOAT_EQ(1.0f, needle->lastDrawnValue());

    setMeters(0.0f, 0.0f);
    idle(2);
    EXPECT_FLOAT_EQ(NeedleMeter::kFloor, needle->lastDrawnValue());

    // Whatever the ring holds, the needle ends inside its dial.
    for (float wild : {5.0f, 1e30f, INFINITY, -3.0f, -INFINITY, NAN}) {
        SCOPED_TRACE(wild);
        setMeters(wild, 0.0f);
        idle(12);
        float shown = needle->lastDrawnValue();
        EXPECT_TRUE(shown >= NeedleMeter::kFloor && shown <= 1.0f) << shown;
        GuiPoint tip = needle->outerPoint(needle->getValue());
        // Truncated coordinates may sit up to a pixel further out on each axis.
        EXPECT_LE(std::hypot(tip.h - kNeedleX, tip.v - kNeedleY), kNeedleOuter + 1.5);
        EXPECT_TRUE(GuiRect(kNeedleBox.left, kNeedleBox.top, kNeedleBox.right - 1, kNeedleBox.bottom - 1).contains(tip));
    }
}

// Black pixels of the meter's area: the dial under the needle has none.
std::vector<GuiPoint> needlePixels(HeadlessWindow* window) {
    std::vector<GuiPoint> out;
    for (int y = kNeedleBox.top; y < kNeedleBox.bottom; ++y)
        for (int x = kNeedleBox.left; x < kNeedleBox.right; ++x)
            if (window->pixel(x, y).sameRgb(kBlackColor)) out.push_back(GuiPoint(x, y));
    return out;
}

TEST_P(BassEditorTest, NeedleRunsFromTheCentreToTheDialMarkOfItsValue) {
    // 0 dB at 216 degrees, +24 dB straight up, +48 dB at -36 degrees, radius 20.
    struct Case {
        float value;
        GuiPoint end;
    } cases[] = {{0.0f, {116, 62}}, {0.5f, {133, 31}}, {1.0f, {149, 62}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        setMeters(c.value, 0.0f);
        idle(12);
        std::vector<GuiPoint> pixels = needlePixels(window);
        ASSERT_GE(pixels.size(), 15u);
        bool hasCentre = false, reachesEnd = false;
        for (GuiPoint p : pixels) {
            hasCentre |= p == GuiPoint(kNeedleX, kNeedleY);
            reachesEnd |= std::abs(p.h - c.end.h) <= 1 && std::abs(p.v - c.end.v) <= 1;
            // Every needle pixel lies on the segment (within a pixel)...
            double dx = c.end.h - kNeedleX, dy = c.end.v - kNeedleY;
            double t = ((p.h - kNeedleX) * dx + (p.v - kNeedleY) * dy) / (dx * dx + dy * dy);
            double off = std::hypot(kNeedleX + t * dx - p.h, kNeedleY + t * dy - p.v);
            EXPECT_LE(off, 1.0) << p.h << "," << p.v;
        }
        // ...from the centre up to the pixel before the end point.
        EXPECT_TRUE(hasCentre);
        EXPECT_TRUE(reachesEnd) << "the needle stops short of its end point";
        EXPECT_FALSE(window->pixel(c.end.h, c.end.v).sameRgb(kBlackColor)) << "the end point itself is left out";
    }
}

TEST_P(BassEditorTest, OverloadLightFollowsTheRingAndResetDarkensEverything) {
    setMeters(0.8f, 1.0f);
    idle(3);
    EXPECT_GT(editor->overloadIndicator()->getValue(), 0.5f);
    EXPECT_GT(editor->needleMeter()->lastDrawnValue(), 0.1f);
    dispatch(effMainsChanged, 0, 0);  // suspend: the processing reset
    EXPECT_EQ(0.0f, editor->overloadIndicator()->getValue());
    EXPECT_LT(editor->needleMeter()->getValue(), 0.001f);
    idle(2);
    EXPECT_LT(editor->needleMeter()->lastDrawnValue(), 0.001f);
    EXPECT_LT(editor->overloadIndicator()->getValue(), 0.5f);
}

TEST_P(BassEditorTest, ButtonsShowTheEffectsStateAfterEveryIdle) {
    GuiControl* process = editor->control(kProcess.tag);
    GuiControl* stereo = editor->control(kStereoMono.tag);
    EXPECT_EQ(effect->getEffectiveValue(8), stereo->getValue()) << "stereo/mono shows the effective value";

    click(centreOf(kProcess.box()));
    EXPECT_EQ(0.0f, effect->getEffectiveValue(0)) << "the button switches processing off";
    process->setValue(1.0f);  // drawn state diverges from the effect
    idle();
    EXPECT_EQ(0.0f, process->getValue());

    // Stereo switches between stereo and mono; the mono build stays mono.
    const float afterTwoClicks = GetParam() == PluginBuild::Mono ? 0.0f : 1.0f;
    click(centreOf(kStereoMono.box()));
    idle();
    EXPECT_EQ(0.0f, stereo->getValue());
    click(centreOf(kStereoMono.box()));
    idle();
    EXPECT_EQ(afterTwoClicks, stereo->getValue());
    stereo->setValue(1.0f - afterTwoClicks);
    idle();
    EXPECT_EQ(afterTwoClicks, stereo->getValue());
}

TEST_P(BassEditorTest, AboutScreenCoversTheWidthIsModalAndAnyClickOnItClosesIt) {
    AboutSplash* about = editor->aboutScreen();
    ASSERT_NE(nullptr, about);
    GuiColor before = window->pixel(20, 110);
    click(centreOf(kAboutClick));
    GuiFrame* frame = editor->getFrame();
    EXPECT_EQ(about, frame->getModal());
    EXPECT_EQ(GuiRect(0, 19, 343, 141), about->bounds());
    EXPECT_FALSE(before.sameRgb(window->pixel(20, 110))) << "the picture covers the left section";

    float threshold = effect->getParameter(4);
    click(GuiPoint(300, 150));  // outside the picture: nothing at all
    EXPECT_EQ(about, frame->getModal());
    drag({{centreOf(kKnobs[1].box), ButtonLeft}, {GuiPoint(132, 60), ButtonLeft}});  // on the threshold knob
    EXPECT_EQ(threshold, effect->getParameter(4)) << "the knob under the picture did not react";
    EXPECT_EQ(nullptr, frame->getModal()) << "the click closed the picture";
    EXPECT_TRUE(before.sameRgb(window->pixel(20, 110)));
    EXPECT_EQ(0, recordingHost().count(audioMasterAutomate));
}

INSTANTIATE_TEST_SUITE_P(Builds, BassEditorTest, ::testing::Values(PluginBuild::Stereo, PluginBuild::Mono),
                         buildName);

// Hosts that open, close and idle in any order, with or without a window.
class BassEditorLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        headlessPlatform().reset();
        recordingHost() = RecordingHost();
    }
    void TearDown() override {
        delete effect;
        headlessPlatform().reset();
        EXPECT_TRUE(headlessPlatform().windows().empty());
    }
    VstIntPtr dispatch(VstInt32 opcode, VstIntPtr value = 0, void* ptr = nullptr) {
        AEffect* record = effect->getAeffect();
        return record->dispatcher(record, opcode, 0, value, ptr, 0.0f);
    }
    BassEffect* effect = nullptr;
};

TEST_F(BassEditorLifecycle, CallsInAnyOrderNeitherCrashNorLeaveWindows) {
    effect = makeBassWithEditor(PluginBuild::Stereo);
    dispatch(effEditIdle);
    dispatch(effEditClose);
    dispatch(effMainsChanged, 0);  // reset with the editor closed
    effect->setParameter(3, 0.2f);
    EXPECT_EQ(0, dispatch(effEditOpen, 0, nullptr)) << "no window, no editor";
    EXPECT_EQ(0, effect->editorOpen);
    EXPECT_TRUE(headlessPlatform().windows().empty());
    EXPECT_EQ(0, dispatch(effEditGetRect, 0, nullptr));

    EXPECT_EQ(1, dispatch(effEditOpen, 0, fakeParentWindow()));
    EXPECT_EQ(1, dispatch(effEditOpen, 0, fakeParentWindow()));
    EXPECT_EQ(1u, headlessPlatform().windows().size());
    auto* editor = bassEditorOf(effect);
    EXPECT_FLOAT_EQ(0.2f, editor->control(3)->getValue());
    dispatch(effEditIdle);
    dispatch(effEditClose);
    dispatch(effEditClose);
    EXPECT_EQ(0, effect->editorOpen);
    EXPECT_EQ(nullptr, editor->control(3));
    dispatch(effEditIdle);
    effect->setParameter(3, 0.4f);
    dispatch(effMainsChanged, 0);
    EXPECT_TRUE(headlessPlatform().windows().empty());

    // Reopened, it reads fresh values; deleting the effect takes the window.
    EXPECT_EQ(1, dispatch(effEditOpen, 0, fakeParentWindow()));
    EXPECT_FLOAT_EQ(0.4f, editor->control(3)->getValue());
}

TEST_F(BassEditorLifecycle, WithoutItsBackgroundTheEditorOpensNothing) {
    headlessPlatform().failBitmaps = true;
    effect = makeBassWithEditor(PluginBuild::Mono);
    ERect* rect = nullptr;
    ASSERT_EQ(1, dispatch(effEditGetRect, 0, &rect));
    EXPECT_EQ(0, rect->right - rect->left);
    EXPECT_EQ(0, rect->bottom - rect->top);
    EXPECT_EQ(0, dispatch(effEditOpen, 0, fakeParentWindow()));
    EXPECT_TRUE(headlessPlatform().windows().empty());
    EXPECT_EQ(0, effect->editorOpen);
    dispatch(effEditIdle);
    dispatch(effEditClose);
}

}  // namespace
