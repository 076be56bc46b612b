// The treble editor driven like a host and a user would: open, idle, drag,
// click, automate, reset and close, on the headless backend.
#include <cmath>

#include "gui/gui_fader.h"
#include "gui/led_indicator.h"
#include "treble_dsp/treble_parameters.h"
#include "common/editor/value_formatters.h"
#include "treble_editor_fixture.h"

using namespace treble_params;

namespace {
const GuiPoint kSlopeKnobCentre(186, 126);
const GuiPoint kAboutArea(310, 262);
const GuiRect kAboutPicture(155, 81, 467, 191);

float setFromHost(TrebleEffect* effect, int index, float value) {
    AEffect* record = effect->getAeffect();
    record->setParameter(record, index, value);
    return value;
}
}  // namespace

TEST_F(TrebleEditorTest, OpeningShowsEveryControlAtTheEffectsValuesWithEveryFieldFormatted) {
    dispatch(effSetProgram, 0, 3);
    setFromHost(effect, kSlope, 0.25f);
    setFromHost(effect, kMix, 0.5f);
    open();
    GuiFrame* frame = editor->getFrame();
    ASSERT_NE(frame, nullptr);
    // 36 texts, 12 knobs, 5 faders, 7 buttons, 2 indicators and the about area, which comes last.
    EXPECT_EQ(frame->viewAt(62), editor->aboutScreen());
    EXPECT_EQ(frame->viewAt(63), nullptr);
    EXPECT_EQ(effect->editorOpen, 1);

    for (int index = 0; index < kNumParams; ++index) {
        ASSERT_NE(editor->control(index), nullptr) << index;
        if (index != kProcessEnh && index != kStereoMono) {  // these two follow the effect's state
            EXPECT_EQ(editor->control(index)->getValue(), effect->getParameter(index)) << index;
        }
    }
    // Every value field shows its source through its format.
    struct Expected {
        int index;
        void (*format)(float, char*);
        float value;
    };
    const Expected expected[] = {
        {kThresh, formatDecibels, effect->getEffectiveValue(kThresh)},
        {kTrancients, formatDecibels, effect->getEffectiveValue(kTrancients)},
        {kFreq, formatHertz, effect->getEffectiveValue(kFreq)},
        {kHarmonics, formatDecibels, effect->getEffectiveValue(kHarmonics)},
        {kNoiseAtten, formatDecibels, effect->getEffectiveValue(kNoiseAtten)},
        {kSpeed, formatPercent, effect->getParameter(kSpeed)},
        {kMinFreq, formatHertz, effect->getEffectiveValue(kMinFreq)},
        {kBoost, formatDigits, effect->getEffectiveValue(kBoost)},
        {kSlope, formatSlope, effect->getParameter(kSlope) * 12},
        {kTranDamp, formatPercent, effect->getParameter(kTranDamp)},
        {kEnhSlope, formatSlope, effect->getParameter(kEnhSlope) * 6},
        {kEnhanceS, formatPercent, effect->getParameter(kEnhanceS)},
        {kQ, formatDigits, effect->getEffectiveValue(kQ)},
        {kDrive, formatPercent, effect->getEffectiveValue(kDrive)},
        {kFirstOut, formatPercent, effect->getEffectiveValue(kFirstOut)},
        {kOutput, formatDecibels, effect->getEffectiveValue(kOutput)},
        {kMix, formatPercent, effect->getParameter(kMix)},
    };
    for (const Expected& e : expected) {
        char text[256] = {};
        e.format(e.value, text);
        EXPECT_EQ(textOf(editor->valueField(e.index)), text) << e.index;
    }
    EXPECT_EQ(textOf(editor->valueField(kSlope)), "3.00dB/oct");
    EXPECT_EQ(textOf(editor->valueField(kMix)), "50%");
    EXPECT_EQ(editor->valueField(kProcess), nullptr);

    // The first idle painted the picture with the texts on it: the "threshold"
    // label's area holds dark text pixels over the light panel.
    int dark = 0;
    for (uint32_t p : pixels(GuiRect(16, 28, 66, 42)))
        if (((p & 0xff) + (p >> 8 & 0xff) + (p >> 16 & 0xff)) < 200) ++dark;
    EXPECT_GT(dark, 10);
}

TEST_F(TrebleEditorTest, KnobDragAutomatesWithinAGestureAndRefreshesItsField) {
    setFromHost(effect, kSlope, 0.3f);
    open();
    const std::vector<uint32_t> fieldBefore = pixels(GuiRect(162, 142, 212, 156));
    recordingHost() = RecordingHost();
    // Linear knob mode: 40 pixels up adds 0.2.
    const GuiPoint c = kSlopeKnobCentre;
    drag({{c, ButtonLeft}, {GuiPoint(c.h, c.v - 20), ButtonLeft}, {GuiPoint(c.h, c.v - 40), ButtonLeft}});
    EXPECT_NEAR(effect->getParameter(kSlope), 0.5f, 1e-5f);
    EXPECT_EQ(textOf(editor->valueField(kSlope)), "6.00dB/oct");

    const std::vector<HostCall> edits = editRequests();
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front().opcode, audioMasterBeginEdit);
    EXPECT_EQ(edits.back().opcode, audioMasterEndEdit);
    for (const HostCall& r : edits) EXPECT_EQ(r.index, kSlope);
    EXPECT_EQ(edits[edits.size() - 2].opcode, audioMasterAutomate);
    EXPECT_NEAR(edits[edits.size() - 2].opt, 0.5f, 1e-5f);

    idle();
    EXPECT_NE(pixels(GuiRect(162, 142, 212, 156)), fieldBefore) << "the field was not redrawn";
}

TEST_F(TrebleEditorTest, HostAutomationMovesTheMixFaderAndItsFieldAtTheNextIdle) {
    open();
    auto* mix = dynamic_cast<GuiFader*>(editor->control(kMix));
    ASSERT_NE(mix, nullptr);
    const int paintsBefore = window->paintCount();
    const std::vector<uint32_t> before = pixels(GuiRect(512, 256, 620, 272));
    setFromHost(effect, kMix, 0.25f);
    // Nothing changes until the idle: hosts may automate from any thread.
    EXPECT_NE(mix->getValue(), 0.25f);
    EXPECT_EQ(pixels(GuiRect(512, 256, 620, 272)), before);
    idle();
    EXPECT_EQ(mix->getValue(), 0.25f);
    EXPECT_EQ(textOf(editor->valueField(kMix)), "25%");
    EXPECT_EQ(mix->lastHandlePosition(), 512 + int(63 * 0.25f));
    EXPECT_NE(pixels(GuiRect(512, 256, 620, 272)), before);
    EXPECT_EQ(window->paintCount(), paintsBefore);  // a redraw of what changed, not a full paint
}

TEST_F(TrebleEditorTest, AboutScreenIsModalAndClosesOnAClickInsideIt) {
    open();
    const std::vector<uint32_t> underPicture = pixels(kAboutPicture);
    GuiControl* about = editor->aboutScreen();
    ASSERT_NE(about, nullptr);
    click(kAboutArea.h, kAboutArea.v);
    EXPECT_EQ(about->getValue(), 1.0f);
    EXPECT_EQ(editor->getFrame()->getModal(), about);
    // The first text line (blue on the light picture), centred on the picture.
    int blue = 0, left = 10000, right = -1;
    for (int y = 97; y < 112; ++y)
        for (int x = kAboutPicture.left; x < kAboutPicture.right; ++x) {
            const GuiColor p = window->pixel(x, y);
            if (p.blue > p.red + 40) ++blue, left = std::min(left, x), right = std::max(right, x);
        }
    EXPECT_GT(blue, 20);
    EXPECT_LE(std::abs((left + right) / 2 - (kAboutPicture.left + kAboutPicture.right) / 2), 3);

    // A click outside the picture does nothing at all.
    click(30, 30);
    EXPECT_EQ(about->getValue(), 1.0f);
    // A drag that starts on a knob under the picture only closes the picture.
    const float slope = effect->getParameter(kSlope);
    drag({{kSlopeKnobCentre, ButtonLeft}, {GuiPoint(kSlopeKnobCentre.h, 60), ButtonLeft}});
    EXPECT_EQ(effect->getParameter(kSlope), slope);
    EXPECT_TRUE(editRequests().empty());
    EXPECT_EQ(about->getValue(), 0.0f);
    EXPECT_EQ(editor->getFrame()->getModal(), nullptr);
    idle();
    EXPECT_EQ(pixels(kAboutPicture), underPicture) << "the editor under the picture was not redrawn";
}

TEST_F(TrebleEditorTest, IndicatorsFollowTheRingsButStayDarkInMonoAndAfterAReset) {
    open();
    LedIndicator* over = editor->overEnhancedIndicator();
    LedIndicator* peak = editor->peakOverIndicator();
    ASSERT_TRUE(over && peak);
    const int slot = effect->meterReadIndex;
    effect->overEnhanceRing[slot] = 1.0f;
    effect->peakOverRing[slot] = 1.0f;
    effect->editorPolled = 0;
    idle();
    EXPECT_EQ(effect->editorPolled, 1);
    EXPECT_EQ(over->getValue(), 1.0f);
    EXPECT_EQ(peak->getValue(), 1.0f);
    const GuiColor lit = window->pixel(553 + 8, 118 + 8);
    EXPECT_GT(lit.red, 180);

    // A reset darkens both at once, before any idle.
    dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(over->getValue(), 0.0f);
    EXPECT_EQ(peak->getValue(), 0.0f);
    idle();
    EXPECT_LT(window->pixel(553 + 8, 118 + 8).red, lit.red - 60);
    effect->takeHostChanges();  // the audio thread's next block start clears the rings

    // Mono processing: the widener's button shows off and its indicator stays dark.
    setFromHost(effect, kProcessEnh, 1.0f);
    setFromHost(effect, kStereoMono, 1.0f);
    effect->overEnhanceRing[effect->meterReadIndex] = 1.0f;
    idle();
    EXPECT_EQ(over->getValue(), 0.0f);
    EXPECT_EQ(editor->control(kProcessEnh)->getValue(), 0.0f);
    EXPECT_NE(editor->control(kStereoMono)->getValue(), 0.0f);
    setFromHost(effect, kStereoMono, 0.0f);
    idle();
    EXPECT_EQ(over->getValue(), 1.0f);
    EXPECT_EQ(editor->control(kStereoMono)->getValue(), 0.0f);

    // The mono build is always mono.
    make(PluginBuild::Mono);
    open();
    effect->overEnhanceRing[effect->meterReadIndex] = 1.0f;
    idle();
    EXPECT_EQ(editor->overEnhancedIndicator()->getValue(), 0.0f);
    EXPECT_EQ(editor->control(kProcessEnh)->getValue(), 0.0f);
    EXPECT_EQ(editor->control(kStereoMono)->getValue(), 1.0f);
}

TEST_F(TrebleEditorTest, EditorCallsInAnyOrderNeitherCrashNorLeak) {
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 622);
    EXPECT_EQ(rect->bottom - rect->top, 272);
    EXPECT_NE(effect->getAeffect()->flags & effFlagsHasEditor, 0);

    idle();                  // before open
    dispatch(effEditClose);  // close before open
    setFromHost(effect, kMix, 0.75f);
    dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(effect->editorPolled, 0) << "an idle without an editor read the meters";
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_TRUE(headlessPlatform().windows().empty());
    EXPECT_EQ(effect->editorOpen, 0);

    open();
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, parentWindow()), 1);  // open twice: still one window
    EXPECT_EQ(headlessPlatform().windows().size(), 1u);
    EXPECT_EQ(editor->control(kMix)->getValue(), 0.75f);
    dispatch(effEditClose);
    dispatch(effEditClose);
    EXPECT_TRUE(headlessPlatform().windows().empty());
    EXPECT_EQ(effect->editorOpen, 0);
    EXPECT_EQ(editor->control(kMix), nullptr);
    idle();
    setFromHost(effect, kMix, 0.5f);  // while closed: stored, nothing to tell

    // Reopening reads fresh values; closing the effect takes the open window with it.
    open();
    EXPECT_EQ(editor->control(kMix)->getValue(), 0.5f);
    EXPECT_EQ(textOf(editor->valueField(kMix)), "50%");
}

TEST_F(TrebleEditorTest, WithoutItsBackgroundTheEditorHasNoSizeAndDoesNotOpen) {
    headlessPlatform().failBitmaps = true;
    make();
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 0);
    EXPECT_EQ(rect->bottom, 0);
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, parentWindow()), 0);
    EXPECT_TRUE(headlessPlatform().windows().empty());
    idle();
    headlessPlatform().failBitmaps = false;
}

TEST(ValueFormatters, DescribedTexts) {
    struct Case {
        void (*format)(float, char*);
        float value;
        const char* text;
    };
    const Case cases[] = {
        {formatDecibels, 1.0f, "0.0dB"},        {formatDecibels, 0.5f, "-6.0dB"},
        {formatDecibels, 0.9f, "-0.9dB"},       {formatDecibels, 0.0f, "-oo dB"},
        {formatDecibels, 1.3137f, "2.3dB"},     {formatDecibels, 0.68707f, "-3.2dB"},
        {formatHertz, 999.6f, "1000Hz"},        {formatHertz, 20.2f, "20Hz"},
        {formatPercent, 1.0f, "100%"},          {formatPercent, 0.999f, "99%"},
        {formatPercent, NAN, "0%"},             {formatDigits, 2.5f, "2.500000"},
        {formatDigits, 12.0f, "12.00000"},      {formatDigits, -1.5f, "-1.50000"},
        {formatDigits, 123456789.0f, " Huge!  "},
        // Digits that do not fit the eight characters would lose the leading ones.
        {formatDigits, 12345678.0f, " Huge!  "}, {formatDigits, -1234567.0f, " Huge!  "},
        {formatDigits, 1234567.0f, "1234567."}, {formatSlope, 6.0f, "6.00dB/oct"},
        {formatSlope, 12.0f, "12.0dB/oct"},     {formatLabel, 0.0f, "threshold"},
        {formatLabel, 16.7f, "over enhanced"},  {formatLabel, 18.0f, "mix"},
        {formatLabel, 19.0f, ""},               {formatLabel, -1.0f, ""},
    };
    for (const Case& c : cases) {
        char text[256] = "stale";
        text[0] = 0;
        c.format(c.value, text);
        EXPECT_STREQ(text, c.text) << c.value;
    }
}
