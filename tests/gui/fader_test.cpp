// Fader drawing and drags through the real tracking loop.
#include "gui/gui_fader.h"
#include "gui_fixture.h"

namespace {

class FaderTest : public GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        handle = new GuiBitmap(130);
        ramp = new GuiBitmap(135);
        // Travel 64 pixels: handle tops from 10 to 74, a 10 x 6 handle.
        fader = add(new VerticalFader(GuiRect(100, 10, 110, 80), editor, 5, 10, 74, handle, ramp, GuiPoint(),
                                      kFaderBottomToTop));
        fader->setValue(0.5f);
        horizontal = add(new HorizontalFader(GuiRect(20, 100, 100, 106), editor, 6, 20, 90, handle, editor->background,
                                             GuiPoint(20, 100), kFaderLeftIsZero));
        dispatch(effEditIdle);
        recordingHost().calls.clear();
    }

    void TearDown() override {
        handle->release();
        ramp->release();
        GuiFixture::TearDown();
    }

    GuiBitmap* handle = nullptr;
    GuiBitmap* ramp = nullptr;
    VerticalFader* fader = nullptr;
    HorizontalFader* horizontal = nullptr;
};

TEST_F(FaderTest, HandleIsComposedOverTheBackgroundWithItsCornersKeyed) {
    EXPECT_EQ(42, fader->lastHandlePosition());  // 10 + 64 * (1 - 0.5)
    EXPECT_TRUE(sameColor(rgb(0, 160, 0), window->pixel(101, 42)));
    EXPECT_TRUE(sameColor(rgb(0, 160, 0), window->pixel(105, 47)));
    EXPECT_TRUE(sameColor(rgb(96, 96, 96), window->pixel(100, 42)));  // keyed corner shows the ramp
    EXPECT_TRUE(sameColor(rgb(60, 60, 60), window->pixel(105, 30)));
    // Value 1 puts the handle at the top of its travel.
    fader->setValue(1.0f);
    dispatch(effEditIdle);
    EXPECT_EQ(10, fader->lastHandlePosition());
    EXPECT_TRUE(sameColor(rgb(0, 160, 0), window->pixel(105, 12)));
    EXPECT_TRUE(sameColor(rgb(96, 96, 96), window->pixel(105, 42)));
    // The horizontal one starts at the left for 0.
    EXPECT_EQ(20, horizontal->lastHandlePosition());
    EXPECT_TRUE(sameColor(rgb(0, 160, 0), window->pixel(25, 102)));
    EXPECT_TRUE(sameColor(backgroundAt(50, 102), window->pixel(50, 102)));
}

TEST_F(FaderTest, JumpToClickCentresTheHandleOnThePointer) {
    drag({{GuiPoint(105, 28), ButtonLeft}, {GuiPoint(105, 28), 0}});
    EXPECT_FLOAT_EQ(0.75f, fader->getValue());  // (28 - 12) / 64 from the top, inverted
    drag({{GuiPoint(55, 103), ButtonLeft}, {GuiPoint(66, 103), ButtonLeft}, {GuiPoint(66, 103), 0}});
    EXPECT_NEAR(42.0f / 70.0f, horizontal->getValue(), 1e-6);
    EXPECT_NEAR(42.0f / 70.0f, effect->values[6], 1e-6);
}

TEST_F(FaderTest, WithoutJumpToClickAPressBesideTheHandleDoesNothing) {
    fader->setJumpToClick(false);
    drag({{GuiPoint(105, 20), ButtonLeft}, {GuiPoint(105, 60), ButtonLeft}, {GuiPoint(105, 60), 0}});
    drag({{GuiPoint(111, 45), ButtonLeft}, {GuiPoint(105, 60), ButtonLeft}, {GuiPoint(105, 60), 0}});
    EXPECT_FLOAT_EQ(0.5f, fader->getValue());
    EXPECT_TRUE(recordingHost().editOpcodes().empty());
}

TEST_F(FaderTest, GrabbingTheHandleMovesItWithThePointerWithoutAJump) {
    fader->setJumpToClick(false);
    drag({{GuiPoint(105, 45), ButtonLeft},
          {GuiPoint(105, 45), ButtonLeft},
          {GuiPoint(105, 29), ButtonLeft},
          {GuiPoint(105, 29), 0}});
    ASSERT_EQ(1u, editor->reported.size());  // no change at the press itself
    EXPECT_FLOAT_EQ(0.75f, fader->getValue());
    std::vector<VstInt32> expected{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit};
    EXPECT_EQ(expected, recordingHost().editOpcodes());
}

TEST_F(FaderTest, ShiftMovesATenthAsFarAndPressingItMidDragDoesNotJump) {
    fader->setJumpToClick(false);
    drag({{GuiPoint(105, 45), ButtonLeft | KeyShift},
          {GuiPoint(105, 13), ButtonLeft | KeyShift},
          {GuiPoint(105, 13), 0}});
    EXPECT_NEAR(0.55f, fader->getValue(), 1e-6);

    fader->setValue(0.5f);
    dispatch(effEditIdle);
    drag({{GuiPoint(105, 45), ButtonLeft},
          {GuiPoint(105, 37), ButtonLeft},             // 0.625
          {GuiPoint(105, 37), ButtonLeft | KeyShift},  // Shift down: stays
          {GuiPoint(105, 29), ButtonLeft | KeyShift},  // 8 pixels at a tenth
          {GuiPoint(105, 29), 0}});
    const std::vector<float>& seen = editor->reported;
    ASSERT_EQ(3u, seen.size());
    EXPECT_NEAR(0.625f, seen[1], 1e-6);
    EXPECT_NEAR(0.6375f, seen[2], 1e-6);
}

TEST_F(FaderTest, ControlClickSetsTheDefaultAndOtherPressStatesDoNothing) {
    fader->setDefault(0.0f);
    drag({{GuiPoint(105, 20), ButtonLeft | KeyAlt}, {GuiPoint(105, 60), ButtonLeft | KeyAlt}});
    EXPECT_FLOAT_EQ(0.5f, fader->getValue());
    drag({{GuiPoint(105, 20), ButtonLeft | KeyControl}});
    EXPECT_FLOAT_EQ(0.0f, fader->getValue());
    EXPECT_EQ(0, recordingHost().count(audioMasterBeginEdit));
}

TEST_F(FaderTest, ControlPressedDuringADragEndsIt) {
    drag({{GuiPoint(105, 44), ButtonLeft},
          {GuiPoint(105, 44), ButtonLeft | KeyControl},
          {GuiPoint(105, 12), ButtonLeft},
          {GuiPoint(105, 12), 0}});
    EXPECT_FLOAT_EQ(0.5f, fader->getValue());
    EXPECT_EQ(1, recordingHost().count(audioMasterEndEdit));
}

TEST_F(FaderTest, ValuesBeyondTheTravelAreClamped) {
    drag({{GuiPoint(105, 44), ButtonLeft}, {GuiPoint(105, -50), ButtonLeft}, {GuiPoint(105, -50), 0}});
    EXPECT_FLOAT_EQ(1.0f, fader->getValue());
    drag({{GuiPoint(105, 44), ButtonLeft}, {GuiPoint(105, 500), ButtonLeft}, {GuiPoint(105, 500), 0}});
    EXPECT_FLOAT_EQ(0.0f, fader->getValue());
}

TEST_F(FaderTest, MissingHandleBitmapGivesAOnePixelHandleAndMissingOffscreenSkipsTheDraw) {
    fader->setHandleBitmap(nullptr);
    EXPECT_EQ(GuiPoint(1, 1), fader->handleSize());
    dispatch(effEditIdle);
    EXPECT_TRUE(sameColor(rgb(96, 96, 96), window->pixel(105, 42)));
    headlessPlatform().failOffscreen = true;
    fader->setValue(0.0f);
    dispatch(effEditIdle);
    EXPECT_FALSE(fader->isDirty());
    EXPECT_EQ(42, fader->lastHandlePosition());
}

}  // namespace
