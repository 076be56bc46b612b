// Knob drags driven through the real tracking loop by the scripted mouse.
#include <cmath>

#include "gui/rotary_knob.h"
#include "gui_fixture.h"

namespace {

constexpr double kPi = 3.14159265358979;

class KnobTest : public GuiFixture {
protected:
    void SetUp() override {
        GuiFixture::SetUp();
        knob = add(new RotaryKnob(GuiRect(50, 40, 86, 76), editor, 3, editor->background, nullptr, GuiPoint(50, 40)));
        knob->setValue(0.2f);
        dispatch(effEditIdle);
        recordingHost().calls.clear();
    }

    // A point at `degrees` (counter-clockwise from the right) and 15 pixels from the knob's centre.
    GuiPoint atAngle(double degrees) const {
        double a = degrees * kPi / 180.0;
        return GuiPoint(68 + int(std::lround(15 * std::cos(a))), 58 - int(std::lround(15 * std::sin(a))));
    }

    RotaryKnob* knob = nullptr;
};

TEST_F(KnobTest, LinearDragUpAHundredPixelsAddsHalfTheRange) {
    EXPECT_EQ(1, dispatch(effSetEditKnobMode, 0, KnobLinear));
    drag({{GuiPoint(60, 70), ButtonLeft},
          {GuiPoint(60, 45), ButtonLeft},
          {GuiPoint(60, -30), ButtonLeft},
          {GuiPoint(60, -30), 0}});
    EXPECT_NEAR(0.7f, knob->getValue(), 1e-5);
    EXPECT_NEAR(0.7f, effect->values[3], 1e-5);
}

TEST_F(KnobTest, LinearDragCountsRightAndUpTogether) {
    GuiEditorBase::setKnobMode(KnobLinear);
    // 60 right and 20 down: +40 pixels at 1/200.
    drag({{GuiPoint(60, 60), ButtonLeft}, {GuiPoint(120, 80), ButtonLeft}, {GuiPoint(120, 80), 0}});
    EXPECT_NEAR(0.4f, knob->getValue(), 1e-5);
}

TEST_F(KnobTest, ShiftHeldFromThePressGivesAThirdPerHundredPixels) {
    GuiEditorBase::setKnobMode(KnobLinear);
    drag({{GuiPoint(60, 70), ButtonLeft | KeyShift},
          {GuiPoint(60, -30), ButtonLeft | KeyShift},
          {GuiPoint(60, -30), 0}});
    EXPECT_NEAR(0.2f + 1.0f / 3.0f, knob->getValue(), 1e-5);
}

TEST_F(KnobTest, ReleasingShiftMidDragSwitchesToAHundredthPerPixelWithoutAJump) {
    GuiEditorBase::setKnobMode(KnobLinear);
    drag({{GuiPoint(60, 70), ButtonLeft | KeyShift},
          {GuiPoint(60, 40), ButtonLeft | KeyShift},  // 30 up at 1/300
          {GuiPoint(60, 40), ButtonLeft},             // Shift released, no movement
          {GuiPoint(60, 30), ButtonLeft},             // 10 more up at 1/100
          {GuiPoint(60, 30), 0}});
    const std::vector<float>& seen = editor->reported;
    ASSERT_EQ(2u, seen.size());
    EXPECT_NEAR(0.3f, seen[0], 1e-5);
    EXPECT_NEAR(0.4f, seen[1], 1e-5);  // only the 10 pixels after the switch count at the new speed
}

TEST_F(KnobTest, AltInvertsTheModuleWideMode) {
    GuiEditorBase::setKnobMode(KnobCircular);
    drag({{GuiPoint(60, 70), ButtonLeft | KeyAlt}, {GuiPoint(60, -30), ButtonLeft | KeyAlt}, {GuiPoint(60, -30), 0}});
    EXPECT_NEAR(0.7f, knob->getValue(), 1e-5);  // linear although circular is set

    GuiEditorBase::setKnobMode(KnobLinear);
    knob->setValue(0.2f);
    drag({{atAngle(90), ButtonLeft | KeyAlt}, {atAngle(90), 0}});
    EXPECT_NEAR(0.5f, knob->getValue(), 0.01);  // circular: straight up is the middle
}

TEST_F(KnobTest, CircularDragFollowsThePointerAngleClockwiseFromLowerLeft) {
    drag({{atAngle(90), ButtonLeft},
          {atAngle(0), ButtonLeft},
          {atAngle(-45), ButtonLeft},
          {atAngle(45), ButtonLeft},
          {atAngle(135), ButtonLeft},
          {atAngle(135), 0}});
    const std::vector<float>& seen = editor->reported;
    ASSERT_EQ(5u, seen.size());
    EXPECT_NEAR(0.5f, seen[0], 0.01);
    EXPECT_NEAR(225.0 / 270.0, seen[1], 0.01);
    EXPECT_NEAR(1.0f, seen[2], 0.01);
    EXPECT_NEAR(180.0 / 270.0, seen[3], 0.01);
    EXPECT_NEAR(90.0 / 270.0, seen[4], 0.01);
}

TEST_F(KnobTest, CircularDragThroughTheBottomDeadZoneStaysPinnedAtTheEndItCameFrom) {
    knob->setValue(0.9f);
    drag({{atAngle(-30), ButtonLeft},   // near the maximum
          {atAngle(-80), ButtonLeft},   // dead zone, maximum side
          {atAngle(-100), ButtonLeft},  // dead zone, minimum side
          {atAngle(200), ButtonLeft},   // inside the range again, near the minimum
          {atAngle(200), 0}});
    EXPECT_FLOAT_EQ(1.0f, knob->getValue());

    // And from the minimum the other way round.
    knob->setValue(0.1f);
    drag({{atAngle(210), ButtonLeft}, {atAngle(260), ButtonLeft}, {atAngle(-60), ButtonLeft}, {atAngle(-60), 0}});
    EXPECT_FLOAT_EQ(0.0f, knob->getValue());
}

TEST_F(KnobTest, DeadZoneSplitsAtItsMiddle) {
    EXPECT_FLOAT_EQ(1.0f, knob->valueAtPoint(GuiPoint(20, 35)));  // just right of straight down
    EXPECT_FLOAT_EQ(0.0f, knob->valueAtPoint(GuiPoint(16, 35)));  // just left of it
    EXPECT_NEAR(0.5f, knob->valueAtPoint(GuiPoint(18, 2)), 1e-5);
}

TEST_F(KnobTest, PointerSitsLowerLeftAtMinimumUpAtHalfAndLowerRightAtMaximum) {
    knob->setValue(0.0f);
    EXPECT_EQ(GuiPoint(7, 29), knob->pointForValue());
    knob->setValue(0.5f);
    EXPECT_EQ(GuiPoint(18, 3), knob->pointForValue());
    knob->setValue(1.0f);
    EXPECT_EQ(GuiPoint(29, 29), knob->pointForValue());
}

TEST_F(KnobTest, AnEmptyRangeLeavesThePointerAtTheStartInsteadOfDividingByZero) {
    knob->setMaximum(0.0f);
    knob->setValue(0.0f);
    EXPECT_EQ(GuiPoint(7, 29), knob->pointForValue());
    knob->setMaximum(1.0f);
    knob->setSweep(0.0f);
    knob->setValue(0.7f);
    EXPECT_EQ(GuiPoint(7, 29), knob->pointForValue());
    EXPECT_FLOAT_EQ(0.0f, knob->valueAtPoint(GuiPoint(18, 2)));
}

TEST_F(KnobTest, LinePointerIsDrawnInWhiteOverItsGreyShadow) {
    knob->setValue(0.5f);
    dispatch(effEditIdle);
    // Shadow from (67,58) up to (67,43); the white line one right and one up.
    EXPECT_TRUE(sameColor(kWhiteColor, window->pixel(68, 45)));
    EXPECT_TRUE(sameColor(kGreyColor, window->pixel(67, 50)));
    EXPECT_TRUE(sameColor(backgroundAt(75, 50), window->pixel(75, 50)));
}

TEST_F(KnobTest, PointerBitmapIsKeyedAndCentredOnTheTip) {
    GuiBitmap* pointer = new GuiBitmap(129);
    knob->setPointerBitmap(pointer);
    pointer->release();
    EXPECT_EQ(5, knob->getPointerInset());
    knob->setValue(0.5f);
    dispatch(effEditIdle);
    // Tip at (18, 5) relative: the plus is centred there, its white corners keyed out.
    EXPECT_TRUE(sameColor(rgb(200, 0, 0), window->pixel(68, 45)));
    EXPECT_TRUE(sameColor(rgb(200, 0, 0), window->pixel(66, 45)));
    EXPECT_TRUE(sameColor(backgroundAt(67, 44), window->pixel(67, 44)));
}

TEST_F(KnobTest, ControlClickSetsTheDefaultWithoutAGesture) {
    knob->setDefault(0.25f);
    drag({{GuiPoint(60, 60), ButtonLeft | KeyControl}, {GuiPoint(60, 0), ButtonLeft | KeyControl}});
    EXPECT_FLOAT_EQ(0.25f, knob->getValue());
    EXPECT_EQ(1, editor->changes);
    EXPECT_EQ(0, recordingHost().count(audioMasterBeginEdit));
    // With a further modifier it is an ordinary drag.
    GuiEditorBase::setKnobMode(KnobLinear);
    drag({{GuiPoint(60, 60), ButtonLeft | KeyControl | KeyShift},
          {GuiPoint(60, 30), ButtonLeft},
          {GuiPoint(60, 30), 0}});
    EXPECT_EQ(1, recordingHost().count(audioMasterBeginEdit));
}

TEST_F(KnobTest, DragIsBracketedByBeginAndEndEditAndTellsTheListenerOnlyAboutChanges) {
    GuiEditorBase::setKnobMode(KnobLinear);
    drag({{GuiPoint(60, 60), ButtonLeft},
          {GuiPoint(60, 60), ButtonLeft},
          {GuiPoint(60, 50), ButtonLeft},
          {GuiPoint(60, 50), ButtonLeft},
          {GuiPoint(60, 50), ButtonLeft},
          {GuiPoint(60, 50), 0}});
    EXPECT_EQ(1, editor->changes);
    std::vector<VstInt32> expected{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit};
    EXPECT_EQ(expected, recordingHost().editOpcodes());
    EXPECT_EQ(3, recordingHost().calls.front().index);
}

TEST_F(KnobTest, NothingHappensWithoutTheLeftButtonOrWhenNotClickable) {
    drag({{atAngle(90), ButtonRight}, {atAngle(0), ButtonRight}});
    knob->setClickable(false);
    drag({{atAngle(90), ButtonLeft}, {atAngle(0), ButtonLeft}, {atAngle(0), 0}});
    EXPECT_FLOAT_EQ(0.2f, knob->getValue());
    EXPECT_EQ(0, editor->changes);
    EXPECT_TRUE(recordingHost().editOpcodes().empty());
}

TEST_F(KnobTest, WheelStepsByTheIncrementAndATenthWithShift) {
    knob->setValue(0.5f);
    headlessPlatform().scriptMouse({{GuiPoint(60, 60), 0}});
    EXPECT_TRUE(editor->wheel(1.0f));
    EXPECT_NEAR(0.6f, knob->getValue(), 1e-6);
    headlessPlatform().scriptMouse({{GuiPoint(60, 60), KeyShift}});
    EXPECT_TRUE(editor->wheel(-2.0f));
    EXPECT_NEAR(0.58f, knob->getValue(), 1e-6);
    headlessPlatform().scriptMouse({{GuiPoint(60, 60), 0}});
    editor->wheel(10.0f);
    EXPECT_FLOAT_EQ(1.0f, knob->getValue());
    EXPECT_EQ(3, editor->changes);
    EXPECT_FLOAT_EQ(1.0f, effect->values[3]);
}

TEST_F(KnobTest, ChangedSweepMapsTheSameAnglesToOtherValues) {
    knob->setSweepStart(static_cast<float>(kPi));  // from the left
    knob->setSweep(static_cast<float>(-kPi));      // half a turn clockwise over the top
    EXPECT_TRUE(knob->isDirty());
    EXPECT_NEAR(0.5f, knob->valueAtPoint(GuiPoint(18, 2)), 1e-5);
    EXPECT_NEAR(1.0f, knob->valueAtPoint(GuiPoint(34, 18)), 1e-5);
    knob->setMaximum(2.0f);
    EXPECT_NEAR(1.0f, knob->valueAtPoint(GuiPoint(18, 2)), 1e-5);
}

}  // namespace
