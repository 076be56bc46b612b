// The host's editor opcodes in any order, registration with the effect, the
// module handle, and a screenshot of a small frame.
#include "gui/gui_fader.h"
#include "gui/module_handle.h"
#include "gui/rotary_knob.h"
#include "gui/toggle_button.h"
#include "gui/value_display.h"
#include "gui_fixture.h"

namespace {

class EditorLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        headlessPlatform().reset();
        recordingHost() = RecordingHost();
        effect = new TestEffect();
    }
    void TearDown() override {
        if (effect) dispatch(effClose);
        EXPECT_TRUE(headlessPlatform().windows().empty()) << "a window outlived its effect";
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        AEffect* record = effect->getAeffect();
        VstIntPtr answer = record->dispatcher(record, opcode, index, value, ptr, opt);
        if (opcode == effClose) effect = nullptr;
        return answer;
    }
    TestEffect* effect = nullptr;
};

TEST_F(EditorLifecycle, EditorRegistersWithTheEffectAndUnregistersWhenDeletedElsewhere) {
    EXPECT_EQ(0, effect->getAeffect()->flags & effFlagsHasEditor);
    EXPECT_EQ(0, dispatch(effEditOpen, 0, 0, fakeParentWindow()));  // no editor yet
    auto* editor = attachTestEditor(effect);
    EXPECT_EQ(editor, testEditorOf(effect));
    EXPECT_NE(0, effect->getAeffect()->flags & effFlagsHasEditor);
    delete effect->getEditor();  // the glue that holds the editor
    EXPECT_EQ(nullptr, effect->getEditor());
    EXPECT_EQ(0, effect->getAeffect()->flags & effFlagsHasEditor);
}

TEST_F(EditorLifecycle, OpcodesInAnyOrderNeitherCrashNorLeaveWindowsBehind) {
    auto* editor = attachTestEditor(effect);
    ERect* rect = nullptr;
    EXPECT_EQ(1, dispatch(effEditGetRect, 0, 0, &rect));  // before open
    ASSERT_NE(nullptr, rect);
    EXPECT_EQ(TestEditor::kWidth, rect->right - rect->left);
    EXPECT_EQ(TestEditor::kHeight, rect->bottom - rect->top);
    EXPECT_EQ(0, dispatch(effEditGetRect, 0, 0, nullptr));

    dispatch(effEditIdle);                               // idle before open
    dispatch(effEditClose);                              // close before open
    EXPECT_EQ(0, dispatch(effEditOpen, 0, 0, nullptr));  // no parent window
    EXPECT_EQ(nullptr, editor->getFrame());
    EXPECT_TRUE(headlessPlatform().windows().empty());

    EXPECT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
    EXPECT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));  // open twice
    EXPECT_EQ(1u, headlessPlatform().windows().size());
    EXPECT_EQ(fakeParentWindow(), headlessPlatform().lastWindow()->parent());
    dispatch(effEditIdle);
    EXPECT_EQ(1, headlessPlatform().lastWindow()->paintCount());

    dispatch(effEditClose);
    dispatch(effEditClose);  // close twice
    EXPECT_TRUE(headlessPlatform().windows().empty());
    EXPECT_EQ(nullptr, editor->getFrame());
    dispatch(effEditIdle);  // idle after close

    // Reopening after close works, and effClose takes the open window with it.
    EXPECT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
    EXPECT_EQ(1u, headlessPlatform().windows().size());
}

TEST_F(EditorLifecycle, AWindowThatCannotBeMadeFailsTheOpen) {
    attachTestEditor(effect);
    headlessPlatform().failWindows = true;
    EXPECT_EQ(0, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
    headlessPlatform().failWindows = false;
    EXPECT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
}

TEST_F(EditorLifecycle, KnobModeIsOneValueForTheWholeModule) {
    auto* first = attachTestEditor(effect);
    TestEffect other;
    attachTestEditor(&other);
    EXPECT_EQ(1, dispatch(effSetEditKnobMode, 0, KnobLinear));
    EXPECT_EQ(KnobLinear, first->knobMode());
    EXPECT_EQ(KnobLinear, testEditorOf(&other)->knobMode());
    EXPECT_EQ(1, dispatch(effSetEditKnobMode, 0, KnobCircular));
    EXPECT_EQ(KnobCircular, GuiEditorBase::knobMode());
}

TEST_F(EditorLifecycle, KeysAreNotHandledAndParameterChangesRequestAnUpdate) {
    auto* editor = attachTestEditor(effect);
    EXPECT_EQ(-1, dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f));
    EXPECT_EQ(-1, dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f));
    ASSERT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
    dispatch(effEditIdle);
    EXPECT_FALSE(editor->updateIsRequested());
    effect->setParameter(1, 0.5f);
    EXPECT_TRUE(editor->updateIsRequested());
    dispatch(effEditIdle);
    EXPECT_FALSE(editor->updateIsRequested());
}

TEST_F(EditorLifecycle, ClicksAndIdlesWithoutADrawingSurfaceAreSkipped) {
    auto* editor = attachTestEditor(effect);
    ASSERT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
    auto* knob = new RotaryKnob(GuiRect(10, 10, 46, 46), editor, 0, nullptr);
    editor->getFrame()->addView(knob);
    dispatch(effEditIdle);
    headlessPlatform().failDrawing = true;
    knob->setValue(0.3f);
    dispatch(effEditIdle);
    EXPECT_TRUE(knob->isDirty());  // waits for a surface
    headlessPlatform().scriptMouse({{GuiPoint(20, 20), ButtonLeft}, {GuiPoint(20, 0), ButtonLeft}});
    headlessPlatform().lastWindow()->press();
    EXPECT_FLOAT_EQ(0.3f, knob->getValue());
    EXPECT_EQ(0, editor->changes);
    headlessPlatform().failDrawing = false;
    dispatch(effEditIdle);
    EXPECT_FALSE(knob->isDirty());
    EXPECT_EQ(0, headlessPlatform().lastWindow()->drawingsInUse());
}

TEST_F(EditorLifecycle, AWindowDestroyedByTheSystemStopsDrawingAndClosesCleanly) {
    auto* editor = attachTestEditor(effect);
    ASSERT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
    dispatch(effEditIdle);
    headlessPlatform().lastWindow()->destroyBySystem();
    EXPECT_FALSE(editor->getFrame()->isOpen());
    editor->getFrame()->setDirty(true);
    dispatch(effEditIdle);
    EXPECT_EQ(1, headlessPlatform().lastWindow()->paintCount());
    dispatch(effEditClose);
}

TEST_F(EditorLifecycle, BitmapsLiveAsLongAsTheControlsThatShareThem) {
    auto* editor = attachTestEditor(effect);
    ASSERT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
    GuiBitmap* shared = new GuiBitmap(131);
    shared->retain();  // the test's own look at it
    editor->getFrame()->addView(new ToggleButton(GuiRect(0, 0, 12, 8), editor, 0, shared));
    editor->getFrame()->addView(new ToggleButton(GuiRect(20, 0, 32, 8), editor, 1, shared));
    shared->release();  // the editor gives up its reference after handing it out
    EXPECT_EQ(3, shared->referenceCount());
    dispatch(effEditClose);
    EXPECT_EQ(1, shared->referenceCount());
    shared->release();
}

TEST_F(EditorLifecycle, ScreenshotOfASmallFrame) {
    auto* editor = attachTestEditor(effect);
    ASSERT_EQ(1, dispatch(effEditOpen, 0, 0, fakeParentWindow()));
    GuiFrame* frame = editor->getFrame();
    GuiBitmap* pointer = new GuiBitmap(129);
    GuiBitmap* handle = new GuiBitmap(130);
    GuiBitmap* ramp = new GuiBitmap(135);
    GuiBitmap* toggleBitmap = new GuiBitmap(131);
    auto* knob = new RotaryKnob(GuiRect(20, 20, 56, 56), editor, 0, editor->background, pointer, GuiPoint(20, 20));
    knob->setValue(0.75f);
    frame->addView(knob);
    auto* lineKnob = new RotaryKnob(GuiRect(70, 20, 106, 56), editor, 1, editor->background, nullptr, GuiPoint(70, 20));
    lineKnob->setValue(0.25f);
    frame->addView(lineKnob);
    auto* fader = new VerticalFader(GuiRect(120, 10, 130, 80), editor, 2, 10, 74, handle, ramp);
    fader->setValue(0.3f);
    frame->addView(fader);
    auto* toggle = new ToggleButton(GuiRect(150, 20, 162, 28), editor, 3, toggleBitmap);
    toggle->setValue(1.0f);
    frame->addView(toggle);
    auto* display = new ValueDisplay(GuiRect(20, 70, 100, 86), nullptr, kShadowText | k3DIn);
    display->setValue(0.5f);
    display->setFillColor(GuiColor{20, 20, 40, 0});
    display->setEdgeColor(kWhiteColor);
    display->setTextColor(kYellowColor);
    frame->addView(display);
    for (GuiBitmap* b : {pointer, handle, ramp, toggleBitmap}) b->release();
    dispatch(effEditIdle);
    dispatch(effEditIdle);
    HeadlessWindow* window = headlessPlatform().lastWindow();
    std::string path = std::string(VORSA_GUI_TEST_OUTPUT) + "/gui_test_frame.png";
    ASSERT_TRUE(window->writePng(path));
    EXPECT_TRUE(sameColor(rgb(0, 160, 0), window->pixel(125, 56)));    // handle at 10 + 64 * 0.7
    EXPECT_TRUE(sameColor(rgb(220, 220, 0), window->pixel(155, 25)));  // toggle on
    EXPECT_TRUE(sameColor(kWhiteColor, window->pixel(99, 80)));        // inset 3-D edge: lit bottom right
    EXPECT_TRUE(sameColor(rgb(20, 20, 40), window->pixel(50, 70)));    // and dark top left
}

TEST(ModuleHandle, IsKnownOnceLoaded) { EXPECT_NE(moduleInstanceHandle(), nullptr); }

}  // namespace
