// What both products' editors are: a background picture with controls,
// labels and value fields placed on it from the product's layout table, every
// control tagged with the parameter it edits. A product editor says where
// things sit (buildViews) and what only it shows; this class makes the views,
// lists them in the frame and wires them to the editor host.
#pragma once

#include "common/value_field_rule.h"
#include "gui/gui_control.h"
#include "gui/gui_editor_base.h"
#include "gui/gui_frame.h"
#include "gui/value_display.h"

class GuiBitmap;
class GuiFader;
class RotaryKnob;
class ToggleButton;

class PictureEditor : public GuiEditorBase, public ControlObserver {
public:
    // The field rule of parameter `index`, from the product's parameter table.
    using FieldRuleOf = const FieldRule& (*)(int index);

    PictureEditor(EditorHost& host, int meterCount, int backgroundBitmap, int numParams, FieldRuleOf fieldRule);
    ~PictureEditor() override;

    // True with the frame and every view built; false without a parent
    // window or without the background picture.
    bool open(void* parentWindow) override;
    void close() override;
    // A control moved by the user reaches the host as an automated change.
    void controlChanged(Canvas* canvas, GuiControl* control) override;

protected:
    // Builds every view on the freshly made frame.
    virtual void buildViews() = 0;
    // Forgets the product's own view pointers when the frame goes.
    virtual void forgetViews() {}

    // Lists a view in the frame, which takes over its reference; a view the
    // frame cannot list is released at once. Null when there is no view.
    template <class View>
    View* listed(View* view) {
        if (!view) return nullptr;
        if (!frame->addView(view)) {
            view->release();
            return nullptr;
        }
        return view;
    }

    ValueDisplay* addField(const GuiRect& rect, float value, ValueFormatter formatter, int align);
    // A parameter's value field, as its field rule says.
    void addValueField(int tag, const GuiRect& rect, int align);
    // A knob over the background, its pointer drawn with `pointer`.
    RotaryKnob* addKnob(int tag, const GuiRect& rect, GuiBitmap* pointer, float defaultValue);
    // A two-state button whose bitmap holds both states, one above the other.
    ToggleButton* addToggle(int tag, GuiPoint at, int bitmap);
    // A fader, already made by the product; it moves only when dragged.
    GuiFader* addFader(int tag, GuiFader* fader, float defaultValue);

    const int numParams;
    const FieldRuleOf fieldRule;
    GuiBitmap* background;
};
