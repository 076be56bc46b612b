#include "treble_editor/treble_editor.h"

#include <initializer_list>
#include <new>

#include "gui/gui_bitmap.h"
#include "gui/gui_fader.h"
#include "gui/gui_frame.h"
#include "gui/led_indicator.h"
#include "gui/rotary_knob.h"
#include "gui/toggle_button.h"
#include "gui/value_display.h"
#include "treble_dsp/treble_parameters.h"
#include "common/editor/about_splash.h"
#include "treble_editor/treble_layout.h"
#include "common/editor/value_field.h"
#include "common/editor/value_formatters.h"

namespace L = treble_layout;

namespace {
const char* const kVersionLine = "Vorsa Glintor version 1.0";

GuiRect rectAt(L::Pos p, int width, int height) { return GuiRect(p.x, p.y, p.x + width, p.y + height); }
GuiRect rectOf(const L::Box& b) { return GuiRect(b.left, b.top, b.right, b.bottom); }

// Adds a view to the frame, which takes over its reference; a view the frame
// cannot list is released at once. Null when there is no view to use.
template <class View>
View* listed(GuiFrame* frame, View* view) {
    if (!view) return nullptr;
    if (!frame->addView(view)) {
        view->release();
        return nullptr;
    }
    return view;
}

// The editor's own reference to a bitmap it handed to controls.
void drop(GuiBitmap* bitmap) {
    if (bitmap) bitmap->release();
}
}  // namespace

TrebleEditor::TrebleEditor(EditorHost& host)
    : GuiEditorBase(host, kNumMeters), background(new (std::nothrow) GuiBitmap(L::kBackgroundBitmap)) {
    if (background) setSize(background->getWidth(), background->getHeight());
}

TrebleEditor::~TrebleEditor() {
    // The frame holds views that refer to this editor; it goes first.
    delete frame;
    frame = nullptr;
    drop(background);
}

bool TrebleEditor::open(void* parentWindow) {
    GuiEditorBase::open(parentWindow);
    if (!background || background->getWidth() == 0 || !parentWindow) return false;
    if (!createFrame(parentWindow, background)) return false;
    setKnobMode(KnobLinear);
    buildViews();
    return true;
}

void TrebleEditor::close() {
    GuiEditorBase::close();
    clearPointers();
}

void TrebleEditor::clearPointers() {
    overEnhanced = peakOver = nullptr;
    about = nullptr;
}

ValueDisplay* TrebleEditor::addField(const GuiRect& rect, float value, ValueFormatter formatter, int align) {
    return listed(frame, newValueField(rect, background, value, formatter, align));
}

void TrebleEditor::addLabel(const GuiRect& rect, int number) {
    addField(rect, static_cast<float>(number), formatLabel, AlignCenter);
}

void TrebleEditor::addValueField(int tag, const GuiRect& rect, int align) {
    const FieldRule& rule = treble_params::kParameters[tag].field;
    placeValueField(tag, addField(rect, 0.0f, formatterFor(rule.format), align), rule.source == FieldSource::Normalised,
                    rule.scale);
}

void TrebleEditor::buildViews() {
    clearPointers();
    GuiBitmap* pointer = new (std::nothrow) GuiBitmap(L::kKnobPointerBitmap);
    GuiBitmap* handle = new (std::nothrow) GuiBitmap(L::kFaderHandleBitmap);
    GuiBitmap* mixBackground = new (std::nothrow) GuiBitmap(L::kMixBackgroundBitmap);
    GuiBitmap* mixHandle = new (std::nothrow) GuiBitmap(L::kMixHandleBitmap);
    GuiBitmap* aboutPicture = new (std::nothrow) GuiBitmap(L::kAboutBitmap);

    for (const L::FaderRow& row : L::kFaders) {
        addLabel(rectAt(row.label, L::kFieldWidth, L::kFieldHeight), row.labelNumber);
        GuiFader* fader = listed(
            frame, new (std::nothrow) VerticalFader(GuiRect(row.x, L::kFaderTop, row.x + L::kFaderWidth, L::kFaderBottom),
                                                    this, row.tag, L::kFaderTop, L::kFaderBottom - L::kFaderHandleHeight,
                                                    handle, background, GuiPoint(row.x, L::kFaderTop),
                                                    kFaderBottomToTop));
        if (fader) {
            fader->setJumpToClick(false);
            fader->setDefault(0.0f);
        }
        placeControl(row.tag, fader);
        addValueField(row.tag, rectAt(row.value, L::kFieldWidth, L::kFieldHeight), AlignCenter);
    }

    for (const L::IndicatorRow* row : {&L::kOverEnhanced, &L::kPeakOver}) {
        addLabel(rectAt(row->label, L::kIndicatorLabelWidth, L::kIndicatorLabelHeight), row->labelNumber);
        GuiBitmap* bitmap = new (std::nothrow) GuiBitmap(row->bitmap);
        LedIndicator* led = listed(frame, new (std::nothrow) LedIndicator(rectAt(row->at, 0, 0), bitmap));
        drop(bitmap);
        const bool over = row == &L::kOverEnhanced;
        (over ? overEnhanced : peakOver) = led;
        setMeterView(over ? kOverEnhancedMeter : kPeakOverMeter, led);
    }

    for (const L::KnobRow& row : L::kKnobs) {
        addLabel(rectAt(row.label, L::kFieldWidth, L::kFieldHeight), row.labelNumber);
        RotaryKnob* knob = listed(frame, new (std::nothrow) RotaryKnob(rectAt(row.knob, L::kKnobSize, L::kKnobSize), this,
                                                                       row.tag, background, pointer,
                                                                       GuiPoint(row.knob.x, row.knob.y)));
        if (knob) knob->setDefault(0.5f);
        placeControl(row.tag, knob);
        addValueField(row.tag, rectAt(row.value, L::kFieldWidth, L::kFieldHeight), AlignCenter);
    }

    for (const L::ToggleRow& row : L::kToggles) {
        GuiBitmap* bitmap = new (std::nothrow) GuiBitmap(row.bitmap);
        const int width = bitmap ? bitmap->getWidth() : 0;
        const int height = bitmap ? bitmap->getHeight() / 2 : 0;
        placeControl(row.tag, listed(frame, new (std::nothrow) ToggleButton(rectAt(row.at, width, height), this, row.tag,
                                                                          bitmap)));
        drop(bitmap);
    }

    GuiFader* mix = listed(frame, new (std::nothrow) HorizontalFader(rectOf(L::kMixFader), this, L::kMixTag, L::kMixLeft,
                                                                     L::kMixRight, mixHandle, mixBackground,
                                                                     GuiPoint(0, 0), kFaderLeftIsZero));
    if (mix) {
        mix->setJumpToClick(false);
        mix->setDefault(1.0f);
    }
    placeControl(L::kMixTag, mix);
    addLabel(rectOf(L::kMixLabel), L::kMixLabelNumber);
    addValueField(L::kMixTag, rectOf(L::kMixValue), AlignLeft);

    // Added last, so the about area wins every overlap.
    about = listed(frame, new (std::nothrow) AboutSplash(rectOf(L::kAboutClick), this, L::kAboutTag, aboutPicture,
                                                         rectOf(L::kAboutPicture), GuiPoint(0, 0),
                                                         GuiPoint(L::kAboutTextOrigin.x, L::kAboutTextOrigin.y),
                                                         kVersionLine));

    for (GuiBitmap* bitmap : {pointer, handle, mixBackground, mixHandle, aboutPicture}) drop(bitmap);
}

void TrebleEditor::idle() {
    // Parameter values first: the mode rules below have the last word.
    catchUp();
    if (frame) {
        // Reading tells the processing the slot was seen, so it stops
        // holding overloads for us.
        showMeters();
        const float mono = editorHost.stereoMonoValue();
        GuiControl* enhancer = controls[treble_params::kProcessEnh];
        if (mono != 0.0f) {
            // The widener has nothing to widen in mono.
            if (enhancer) enhancer->setValue(0.0f);
            if (overEnhanced) overEnhanced->setValue(0.0f);
        } else if (enhancer) {
            enhancer->setValue(editorHost.effectiveValue(treble_params::kProcessEnh));
        }
        if (GuiControl* stereoMono = controls[treble_params::kStereoMono]) stereoMono->setValue(mono);
    }
    GuiEditorBase::idle();
}

void TrebleEditor::controlChanged(Canvas* canvas, GuiControl* c) {
    if (!c) return;
    if (inRange(c->tag())) editorHost.setParameter(c->tag(), c->getValue());
    c->redrawIfDirty(canvas);
}
