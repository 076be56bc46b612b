#include "bass_editor/bass_editor.h"

#include <cstring>
#include <new>

#include "bass_editor/needle_meter.h"
#include "gui/gui_bitmap.h"
#include "gui/gui_fader.h"
#include "gui/gui_frame.h"
#include "gui/led_indicator.h"
#include "gui/rotary_knob.h"
#include "gui/toggle_button.h"
#include "gui/value_display.h"
#include "common/editor/about_splash.h"
#include "common/editor/value_field.h"
#include "common/editor/value_formatters.h"

using namespace bass_layout;

namespace {

const char* const kLabels[] = {
    "gain",          "tune",  "threshold", "       1st", "       2nd<->3rd", "colour", "       2nd+3rd",
    "      steepness", "bass", "saturation", "process",   "stereo",           "",       "",
    "mix",
};
constexpr int kNumLabels = sizeof(kLabels) / sizeof(kLabels[0]);

const char* const kVersionLine = "Vorsa Rumblor version 1.0";

GuiRect rectOf(const Box& b) { return GuiRect(b.left, b.top, b.right, b.bottom); }

Box fieldAt(int x, int y) { return {x, y, x + kFieldWidth, y + kFieldHeight}; }

}  // namespace

void formatBassLabel(float value, char* text) {
    text[0] = 0;
    // Compare before converting: a NaN or huge label number has no text.
    if (!(value >= 0.0f && value < kNumLabels)) return;
    std::strcpy(text, kLabels[static_cast<int>(value)]);
}

BassEditor::BassEditor(EditorHost& host)
    : PictureEditor(host, kNumMeters, kBackgroundBitmap, kNumParams,
                    [](int index) -> const FieldRule& { return bass_params::kParameters[index].field; }) {}

void BassEditor::forgetViews() {
    needle = nullptr;
    overload = nullptr;
    about = nullptr;
}

void BassEditor::addLabel(const Box& box, int number) {
    addField(rectOf(box), static_cast<float>(number), formatBassLabel, AlignCenter);
}

void BassEditor::addKnob(const Knob& k, GuiBitmap* pointer) {
    addLabel(fieldAt(k.labelX, k.labelY), k.label);
    PictureEditor::addKnob(k.tag, rectOf(k.box), pointer, 0.5f);
    addValueField(k.tag, rectOf(fieldAt(k.valueX, k.valueY)), AlignCenter);
}

void BassEditor::addToggle(const Toggle& t) {
    if (t.labelNumber >= 0) addLabel(t.label, t.labelNumber);
    PictureEditor::addToggle(t.tag, GuiPoint(t.x, t.y), t.bitmap);
}

void BassEditor::buildViews() {
    needle = listed(new (std::nothrow) NeedleMeter(rectOf(kNeedleBox), background, GuiPoint(kNeedleX, kNeedleY),
                                                   kNeedleInner, kNeedleOuter));
    if (needle) needle->setValue(0.0f);
    setMeterView(kGainMeter, needle);

    GuiBitmap* pointer = new (std::nothrow) GuiBitmap(kPointerBitmap);
    for (const Knob& k : kKnobs) addKnob(k, pointer);
    if (pointer) pointer->release();

    addToggle(kSaturation);
    addToggle(kProcess);
    addToggle(kStereoMono);

    GuiBitmap* aboutPicture = new (std::nothrow) GuiBitmap(kAboutBitmap);
    about = listed(new (std::nothrow) AboutSplash(rectOf(kAboutClick), this, kAboutTag, aboutPicture,
                                                  rectOf(kAboutPicture), GuiPoint(0, 0),
                                                  GuiPoint(kAboutTextX, kAboutTextY), kVersionLine));
    if (aboutPicture) aboutPicture->release();

    GuiBitmap* ledBitmap = new (std::nothrow) GuiBitmap(kOverloadBitmap);
    overload = listed(new (std::nothrow) LedIndicator(
        GuiRect(kOverloadX, kOverloadY, kOverloadX + kOverloadSize, kOverloadY + kOverloadSize), ledBitmap));
    if (ledBitmap) ledBitmap->release();
    if (overload) overload->setValue(0.0f);
    setMeterView(kOverloadMeter, overload);

    GuiBitmap* slot = new (std::nothrow) GuiBitmap(kMixFaderBitmap);
    GuiBitmap* handle = new (std::nothrow) GuiBitmap(kMixHandleBitmap);
    addFader(kMixTag,
             new (std::nothrow) HorizontalFader(rectOf(kMixFader), this, kMixTag, kMixLeft, kMixRight, handle, slot,
                                                GuiPoint(0, 0), kFaderLeftIsZero),
             1.0f);
    if (slot) slot->release();
    if (handle) handle->release();
    addLabel(kMixLabel, kLabelMix);
    addValueField(kMixTag, rectOf(kMixValue), AlignLeft);
}

void BassEditor::idle() {
    GuiEditorBase::idle();
    if (!frame) return;
    // The audio thread moves the meters on; read them once per idle, together.
    showMeters();
    if (controls[kStereoMono.tag]) controls[kStereoMono.tag]->setValue(editorHost.stereoMonoValue());
    if (controls[kProcess.tag]) controls[kProcess.tag]->setValue(editorHost.effectiveValue(kProcess.tag));
}
