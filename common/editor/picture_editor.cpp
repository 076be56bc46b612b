#include "common/editor/picture_editor.h"

#include <new>

#include "common/editor/value_field.h"
#include "common/editor/value_formatters.h"
#include "gui/gui_bitmap.h"
#include "gui/gui_fader.h"
#include "gui/rotary_knob.h"
#include "gui/toggle_button.h"

PictureEditor::PictureEditor(EditorHost& host, int meterCount, int backgroundBitmap, int params, FieldRuleOf rule)
    : GuiEditorBase(host, meterCount),
      numParams(params),
      fieldRule(rule),
      background(new (std::nothrow) GuiBitmap(backgroundBitmap)) {
    if (background && background->getWidth() > 0)
        setSize(background->getWidth(), background->getHeight());
    else
        setSize(0, 0);
}

PictureEditor::~PictureEditor() {
    // The frame holds views that refer to this editor and its picture; it goes first.
    delete frame;
    frame = nullptr;
    if (background) background->release();
}

bool PictureEditor::open(void* parentWindow) {
    GuiEditorBase::open(parentWindow);
    if (!background || background->getWidth() <= 0 || !parentWindow) return false;
    if (!createFrame(parentWindow, background)) return false;
    setKnobMode(KnobLinear);
    forgetViews();
    buildViews();
    return true;
}

void PictureEditor::close() {
    GuiEditorBase::close();
    forgetViews();
}

void PictureEditor::controlChanged(Canvas* canvas, GuiControl* control) {
    if (!control) return;
    if (control->tag() >= 0 && control->tag() < numParams) editorHost.setParameter(control->tag(), control->getValue());
    control->redrawIfDirty(canvas);
}

ValueDisplay* PictureEditor::addField(const GuiRect& rect, float value, ValueFormatter formatter, int align) {
    return listed(newValueField(rect, background, value, formatter, align));
}

void PictureEditor::addValueField(int tag, const GuiRect& rect, int align) {
    if (tag < 0 || tag >= numParams) return;
    const FieldRule& rule = fieldRule(tag);
    placeValueField(tag, addField(rect, 0.0f, formatterFor(rule.format), align), rule.source == FieldSource::Normalised,
                    rule.scale);
}

RotaryKnob* PictureEditor::addKnob(int tag, const GuiRect& rect, GuiBitmap* pointer, float defaultValue) {
    RotaryKnob* knob = listed(new (std::nothrow) RotaryKnob(rect, this, tag, background, pointer,
                                                            GuiPoint(rect.left, rect.top)));
    if (knob) knob->setDefault(defaultValue);
    placeControl(tag, knob);
    return knob;
}

ToggleButton* PictureEditor::addToggle(int tag, GuiPoint at, int bitmapNumber) {
    GuiBitmap* bitmap = new (std::nothrow) GuiBitmap(bitmapNumber);
    const int width = bitmap ? bitmap->getWidth() : 0;
    const int height = bitmap ? bitmap->getHeight() / 2 : 0;
    ToggleButton* toggle =
        listed(new (std::nothrow) ToggleButton(GuiRect(at.h, at.v, at.h + width, at.v + height), this, tag, bitmap));
    if (bitmap) bitmap->release();
    placeControl(tag, toggle);
    return toggle;
}

GuiFader* PictureEditor::addFader(int tag, GuiFader* fader, float defaultValue) {
    fader = listed(fader);
    if (fader) {
        fader->setJumpToClick(false);
        fader->setDefault(defaultValue);
    }
    placeControl(tag, fader);
    return fader;
}
