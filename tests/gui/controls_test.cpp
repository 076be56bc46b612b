// Buttons, text fields, indicators and the modal splash.
#include <cstdio>
#include <cstring>

#include "gui/led_indicator.h"
#include "gui/overlay_splash.h"
#include "gui/rotary_knob.h"
#include "gui/toggle_button.h"
#include "gui/value_display.h"
#include "gui_fixture.h"

namespace {

class ControlsTest : public GuiFixture {};

TEST_F(ControlsTest, ToggleFlipsOnTruncatedValueAndAlwaysTellsTheListener) {
    GuiBitmap* bitmap = new GuiBitmap(131);
    ToggleButton* toggle = add(new ToggleButton(GuiRect(150, 10, 162, 18), editor, 2, bitmap));
    bitmap->release();
    toggle->setValue(0.3f);
    drag({{GuiPoint(155, 15), ButtonLeft}});
    EXPECT_FLOAT_EQ(1.0f, toggle->getValue());
    EXPECT_TRUE(sameColor(rgb(220, 220, 0), window->pixel(150, 10)));  // drawn at once, on picture
    drag({{GuiPoint(155, 15), ButtonLeft | KeyControl}});              // no default on a toggle
    EXPECT_FLOAT_EQ(0.0f, toggle->getValue());
    EXPECT_TRUE(sameColor(rgb(0, 0, 200), window->pixel(161, 17)));
    toggle->setValue(1.7f);
    drag({{GuiPoint(155, 15), ButtonLeft}});
    EXPECT_FLOAT_EQ(0.0f, toggle->getValue());
    EXPECT_EQ(3, editor->changes);
    EXPECT_FLOAT_EQ(0.0f, effect->values[2]);
    EXPECT_TRUE(recordingHost().editOpcodes().size() == 3);  // automation only, no gesture
}

TEST_F(ControlsTest, DisplayFormatsWithTheDataFormatterFirstThenThePlainOneThenTwoDecimals) {
    ValueDisplay* display = add(new ValueDisplay(GuiRect(10, 10, 60, 24)));
    char text[ValueDisplay::kTextSize];
    display->setValue(0.5f);
    display->formatText(text);
    EXPECT_STREQ("0.50", text);
    display->setFormatter([](float v, char* out) { std::snprintf(out, 256, "%d%%", int(v * 100)); });
    display->formatText(text);
    EXPECT_STREQ("50%", text);
    static int data = 7;
    display->setFormatter(
        [](float, char* out, void* user) { std::snprintf(out, 256, "u%d", *static_cast<int*>(user)); }, &data);
    display->formatText(text);
    EXPECT_STREQ("u7", text);
}

TEST_F(ControlsTest, DisplayWithoutBackgroundFillsAndOutlinesAndDrawsItsText) {
    ValueDisplay* display = add(new ValueDisplay(GuiRect(10, 10, 80, 30)));
    display->setFillColor(kBlueColor);
    display->setEdgeColor(kRedColor);
    display->setTextColor(kWhiteColor);
    display->setValue(0.5f);
    dispatch(effEditIdle);
    EXPECT_TRUE(sameColor(kRedColor, window->pixel(10, 10)));   // outline
    EXPECT_TRUE(sameColor(kBlueColor, window->pixel(12, 12)));  // fill
    // Anti-aliased strokes of small text rarely cover a whole pixel, so count
    // the pixels that are mostly text colour.
    int text = 0;
    for (int y = 11; y < 30; ++y)
        for (int x = 11; x < 80; ++x) text += window->pixel(x, y).red >= 128;
    EXPECT_GT(text, 10);  // the text "0.50"

    display->setStyleBits(kNoDrawStyle);
    EXPECT_TRUE(display->isDirty());
    display->setFillColor(kGreenColor);
    frame->setDirty(true);  // repaint everything: the display now draws nothing
    dispatch(effEditIdle);
    EXPECT_TRUE(sameColor(backgroundAt(12, 12), window->pixel(12, 12)));
}

TEST_F(ControlsTest, DisplayColourSettersMarkDirtyOnlyWhenTheColourChanges) {
    ValueDisplay* display = add(new ValueDisplay(GuiRect(10, 10, 60, 24)));
    dispatch(effEditIdle);
    ASSERT_FALSE(display->isDirty());
    display->setTextColor(GuiColor{255, 255, 255, 9});  // only the unused byte differs
    display->setShadowColor(kRedColor);
    display->setAlignment(AlignCenter);
    EXPECT_FALSE(display->isDirty());
    display->setShadowColor(kGreenColor);
    EXPECT_TRUE(display->isDirty());
}

TEST_F(ControlsTest, ShadowedTextDrawsTheShadowColourToo) {
    ValueDisplay* display = add(new ValueDisplay(GuiRect(10, 10, 80, 30), nullptr, kShadowText));
    display->setShadowColor(kRedColor);
    display->setTextColor(kYellowColor);
    display->setFontId(FontHuge);
    dispatch(effEditIdle);
    int red = 0, yellow = 0;
    for (int y = 11; y < 31; ++y)
        for (int x = 11; x < 81; ++x) {
            red += sameColor(kRedColor, window->pixel(x, y));
            yellow += sameColor(kYellowColor, window->pixel(x, y));
        }
    EXPECT_GT(red, 0);
    EXPECT_GT(yellow, 0);
}

TEST_F(ControlsTest, DisplayBackgroundBitmapRepaintsThePictureUnderIt) {
    ValueDisplay* display = add(new ValueDisplay(GuiRect(30, 30, 80, 44), editor->background));
    display->setBackgroundOrigin(GuiPoint(30, 30));
    display->setStyleBits(kNoTextStyle);
    Canvas canvas(frame);
    canvas.setBrushColor(kRedColor);
    canvas.fillRect(GuiRect(29, 29, 80, 44));
    display->setDirty(true);
    dispatch(effEditIdle);
    EXPECT_TRUE(sameColor(backgroundAt(30, 30), window->pixel(30, 30)));
    EXPECT_TRUE(sameColor(backgroundAt(79, 43), window->pixel(79, 43)));
}

TEST_F(ControlsTest, IndicatorShowsItsLitHalfAboveAHalfAndIgnoresTheMouse) {
    GuiBitmap* bitmap = new GuiBitmap(132);
    LedIndicator* led = add(new LedIndicator(GuiRect(170, 10, 0, 0), bitmap));
    bitmap->release();
    EXPECT_EQ(GuiRect(170, 10, 178, 18), led->bounds());
    led->setValue(0.6f);
    dispatch(effEditIdle);
    EXPECT_TRUE(sameColor(rgb(255, 40, 40), window->pixel(170, 10)));
    led->setValue(0.5f);
    dispatch(effEditIdle);
    EXPECT_TRUE(sameColor(rgb(60, 0, 0), window->pixel(177, 17)));
    drag({{GuiPoint(172, 12), ButtonLeft}});
    EXPECT_FLOAT_EQ(0.5f, led->getValue());
}

TEST_F(ControlsTest, SplashOpensAsModalOverlayAndAnyClickOnItClosesIt) {
    RotaryKnob* knob =
        add(new RotaryKnob(GuiRect(20, 20, 56, 56), editor, 1, editor->background, nullptr, GuiPoint(20, 20)));
    GuiBitmap* picture = new GuiBitmap(133);
    OverlaySplash* splash =
        add(new OverlaySplash(GuiRect(150, 100, 190, 110), editor, 25, picture, GuiRect(20, 20, 60, 40)));
    picture->release();
    splash->setColorKeyed(true);
    dispatch(effEditIdle);
    float knobValue = knob->getValue();

    drag({{GuiPoint(170, 105), ButtonLeft}});
    EXPECT_FLOAT_EQ(1.0f, splash->getValue());
    EXPECT_EQ(splash, frame->getModal());
    EXPECT_EQ(GuiRect(20, 20, 60, 40), splash->bounds());
    EXPECT_TRUE(sameColor(rgb(180, 0, 180), window->pixel(30, 30)));
    EXPECT_FALSE(sameColor(kWhiteColor, window->pixel(20, 20)));  // keyed border

    // A click outside the picture, even on the click area, is ignored; the knob underneath gets nothing.
    drag({{GuiPoint(170, 105), ButtonLeft}});
    EXPECT_FLOAT_EQ(1.0f, splash->getValue());
    dispatch(effEditIdle);
    drag({{GuiPoint(30, 30), ButtonLeft}, {GuiPoint(30, 10), ButtonLeft}, {GuiPoint(30, 10), 0}});
    EXPECT_FLOAT_EQ(0.0f, splash->getValue());
    EXPECT_EQ(nullptr, frame->getModal());
    EXPECT_EQ(GuiRect(150, 100, 190, 110), splash->bounds());
    EXPECT_FLOAT_EQ(knobValue, knob->getValue());
    EXPECT_FALSE(sameColor(rgb(180, 0, 180), window->pixel(30, 30)));  // whole frame redrawn
    EXPECT_EQ(2, editor->changes);
}

TEST_F(ControlsTest, SplashDoesNotOpenWhileAnotherViewIsModal) {
    GuiBitmap* picture = new GuiBitmap(133);
    OverlaySplash* splash =
        add(new OverlaySplash(GuiRect(150, 100, 190, 110), editor, 25, picture, GuiRect(20, 20, 60, 40)));
    OverlaySplash* other =
        add(new OverlaySplash(GuiRect(0, 0, 10, 10), editor, 26, picture, GuiRect(140, 90, 199, 119)));
    picture->release();
    ASSERT_TRUE(frame->setModal(other));
    drag({{GuiPoint(170, 105), ButtonLeft}});
    EXPECT_FLOAT_EQ(0.0f, splash->getValue());
}

TEST_F(ControlsTest, NewControlsStartDirtyAndDirtyFollowsTheDrawnValue) {
    ToggleButton* toggle = add(new ToggleButton(GuiRect(0, 0, 10, 10), nullptr, 0, nullptr));
    EXPECT_TRUE(toggle->isDirty());
    toggle->setDirty(false);
    EXPECT_FALSE(toggle->isDirty());
    toggle->setValue(-1.0f);
    EXPECT_TRUE(toggle->isDirty());
    toggle->setDirty(false);
    toggle->setDirty(true);
    EXPECT_TRUE(toggle->isDirty());
    EXPECT_FLOAT_EQ(0.0f, toggle->drawnValue());
}

}  // namespace
