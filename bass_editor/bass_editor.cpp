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
    : GuiEditorBase(host, kNumMeters), background(new (std::nothrow) GuiBitmap(kBackgroundBitmap)) {
    if (background && background->getWidth() > 0)
        setSize(background->getWidth(), background->getHeight());
    else
        setSize(0, 0);
}

// The effect may be half destroyed by now (it deletes its editor last), so
// nothing here asks the host; the base deletes the frame, which holds its own
// picture references.
BassEditor::~BassEditor() {
    if (background) background->release();
}

bool BassEditor::open(void* parentWindow) {
    GuiEditorBase::open(parentWindow);
    if (!background || background->getWidth() <= 0 || !parentWindow) return false;
    if (!createFrame(parentWindow, background)) return false;
    setKnobMode(KnobLinear);
    buildViews();
    return true;
}

void BassEditor::close() {
    GuiEditorBase::close();
    clearViewPointers();
}

void BassEditor::clearViewPointers() {
    needle = nullptr;
    overload = nullptr;
    about = nullptr;
}

ValueDisplay* BassEditor::addField(const Box& box, float value, ValueFormatter formatter, int align) {
    ValueDisplay* field = newValueField(rectOf(box), background, value, formatter, align);
    if (field) frame->addView(field);
    return field;
}

void BassEditor::addValueField(int tag, const Box& box, int align) {
    const FieldRule& rule = bass_params::kParameters[tag].field;
    placeValueField(tag, addField(box, 0.0f, formatterFor(rule.format), align), rule.source == FieldSource::Normalised,
                    rule.scale);
}

void BassEditor::addKnob(const Knob& k, GuiBitmap* pointer) {
    addField(fieldAt(k.labelX, k.labelY), static_cast<float>(k.label), formatBassLabel, AlignCenter);
    auto* knob = new RotaryKnob(rectOf(k.box), this, k.tag, background, pointer, GuiPoint(k.box.left, k.box.top));
    knob->setDefault(0.5f);
    frame->addView(knob);
    placeControl(k.tag, knob);
    addValueField(k.tag, fieldAt(k.valueX, k.valueY), AlignCenter);
}

void BassEditor::addToggle(const Toggle& t) {
    if (t.labelNumber >= 0) addField(t.label, static_cast<float>(t.labelNumber), formatBassLabel, AlignCenter);
    auto* bitmap = new GuiBitmap(t.bitmap);
    auto* toggle = new ToggleButton(rectOf(t.box()), this, t.tag, bitmap);
    bitmap->release();
    frame->addView(toggle);
    placeControl(t.tag, toggle);
}

void BassEditor::buildViews() {
    needle = new NeedleMeter(rectOf(kNeedleBox), background, GuiPoint(kNeedleX, kNeedleY), kNeedleInner,
                             kNeedleOuter);
    needle->setValue(0.0f);
    frame->addView(needle);
    setMeterView(kGainMeter, needle);

    auto* pointer = new GuiBitmap(kPointerBitmap);
    for (const Knob& k : kKnobs) addKnob(k, pointer);
    pointer->release();

    addToggle(kSaturation);
    addToggle(kProcess);
    addToggle(kStereoMono);

    auto* aboutPicture = new GuiBitmap(kAboutBitmap);
    about = new AboutSplash(rectOf(kAboutClick), this, kAboutTag, aboutPicture, rectOf(kAboutPicture), GuiPoint(0, 0),
                            GuiPoint(kAboutTextX, kAboutTextY), kVersionLine);
    aboutPicture->release();
    frame->addView(about);

    auto* ledBitmap = new GuiBitmap(kOverloadBitmap);
    overload = new LedIndicator(GuiRect(kOverloadX, kOverloadY, kOverloadX + kOverloadSize, kOverloadY + kOverloadSize),
                                ledBitmap);
    ledBitmap->release();
    overload->setValue(0.0f);
    frame->addView(overload);
    setMeterView(kOverloadMeter, overload);

    auto* slot = new GuiBitmap(kMixFaderBitmap);
    auto* handle = new GuiBitmap(kMixHandleBitmap);
    auto* mix = new HorizontalFader(rectOf(kMixFader), this, kMixTag, kMixLeft, kMixRight, handle, slot, GuiPoint(0, 0),
                                    kFaderLeftIsZero);
    slot->release();
    handle->release();
    mix->setJumpToClick(false);
    mix->setDefault(1.0f);
    frame->addView(mix);
    placeControl(kMixTag, mix);
    addField(kMixLabel, static_cast<float>(kLabelMix), formatBassLabel, AlignCenter);
    addValueField(kMixTag, kMixValue, AlignLeft);
}

void BassEditor::idle() {
    GuiEditorBase::idle();
    if (!frame) return;
    // The audio thread moves the meters on; read them once per idle, together.
    showMeters();
    if (controls[kStereoMono.tag]) controls[kStereoMono.tag]->setValue(editorHost.stereoMonoValue());
    if (controls[kProcess.tag]) controls[kProcess.tag]->setValue(editorHost.effectiveValue(kProcess.tag));
}

void BassEditor::controlChanged(Canvas* canvas, GuiControl* control) {
    if (!control) return;
    const int tag = control->tag();
    if (validTag(tag)) editorHost.setParameter(tag, control->getValue());
    control->redrawIfDirty(canvas);
}
