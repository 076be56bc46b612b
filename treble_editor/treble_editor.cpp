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

// The editor's own reference to a bitmap it handed to controls.
void drop(GuiBitmap* bitmap) {
    if (bitmap) bitmap->release();
}
}  // namespace

TrebleEditor::TrebleEditor(EditorHost& host)
    : PictureEditor(host, kNumMeters, L::kBackgroundBitmap, kNumParams,
                    [](int index) -> const FieldRule& { return treble_params::kParameters[index].field; }) {}

void TrebleEditor::forgetViews() {
    overEnhanced = peakOver = nullptr;
    about = nullptr;
}

void TrebleEditor::addLabel(const GuiRect& rect, int number) {
    addField(rect, static_cast<float>(number), formatLabel, AlignCenter);
}

void TrebleEditor::buildViews() {
    GuiBitmap* pointer = new (std::nothrow) GuiBitmap(L::kKnobPointerBitmap);
    GuiBitmap* handle = new (std::nothrow) GuiBitmap(L::kFaderHandleBitmap);
    GuiBitmap* mixBackground = new (std::nothrow) GuiBitmap(L::kMixBackgroundBitmap);
    GuiBitmap* mixHandle = new (std::nothrow) GuiBitmap(L::kMixHandleBitmap);
    GuiBitmap* aboutPicture = new (std::nothrow) GuiBitmap(L::kAboutBitmap);

    for (const L::FaderRow& row : L::kFaders) {
        addLabel(rectAt(row.label, L::kFieldWidth, L::kFieldHeight), row.labelNumber);
        addFader(row.tag,
                 new (std::nothrow) VerticalFader(GuiRect(row.x, L::kFaderTop, row.x + L::kFaderWidth, L::kFaderBottom),
                                                  this, row.tag, L::kFaderTop, L::kFaderBottom - L::kFaderHandleHeight,
                                                  handle, background, GuiPoint(row.x, L::kFaderTop), kFaderBottomToTop),
                 0.0f);
        addValueField(row.tag, rectAt(row.value, L::kFieldWidth, L::kFieldHeight), AlignCenter);
    }

    for (const L::IndicatorRow* row : {&L::kOverEnhanced, &L::kPeakOver}) {
        addLabel(rectAt(row->label, L::kIndicatorLabelWidth, L::kIndicatorLabelHeight), row->labelNumber);
        GuiBitmap* bitmap = new (std::nothrow) GuiBitmap(row->bitmap);
        LedIndicator* led = listed(new (std::nothrow) LedIndicator(rectAt(row->at, 0, 0), bitmap));
        drop(bitmap);
        const bool over = row == &L::kOverEnhanced;
        (over ? overEnhanced : peakOver) = led;
        setMeterView(over ? kOverEnhancedMeter : kPeakOverMeter, led);
    }

    for (const L::KnobRow& row : L::kKnobs) {
        addLabel(rectAt(row.label, L::kFieldWidth, L::kFieldHeight), row.labelNumber);
        addKnob(row.tag, rectAt(row.knob, L::kKnobSize, L::kKnobSize), pointer, 0.5f);
        addValueField(row.tag, rectAt(row.value, L::kFieldWidth, L::kFieldHeight), AlignCenter);
    }

    for (const L::ToggleRow& row : L::kToggles) addToggle(row.tag, GuiPoint(row.at.x, row.at.y), row.bitmap);

    addFader(L::kMixTag,
             new (std::nothrow) HorizontalFader(rectOf(L::kMixFader), this, L::kMixTag, L::kMixLeft, L::kMixRight,
                                                mixHandle, mixBackground, GuiPoint(0, 0), kFaderLeftIsZero),
             1.0f);
    addLabel(rectOf(L::kMixLabel), L::kMixLabelNumber);
    addValueField(L::kMixTag, rectOf(L::kMixValue), AlignLeft);

    // Added last, so the about area wins every overlap.
    about = listed(new (std::nothrow) AboutSplash(rectOf(L::kAboutClick), this, L::kAboutTag, aboutPicture,
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
