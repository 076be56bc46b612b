// The bass enhancer's editor: four panel sections over one background
// picture, five knobs, three buttons, the mix fader, the overload light, the
// gain needle and the about screen. Every control's tag is the effect's
// parameter index, so values flow both ways through one table.
#pragma once

#include "bass_editor/bass_layout.h"
#include "bass_dsp/bass_parameters.h"
#include "gui/gui_control.h"
#include "gui/gui_editor_base.h"

class AboutSplash;
class GuiBitmap;
class HorizontalFader;
class LedIndicator;
class NeedleMeter;
class RotaryKnob;
class ToggleButton;
class ValueDisplay;

// The text of a label number (truncated); empty for numbers without a label.
void formatBassLabel(float value, char* text);

class BassEditor : public GuiEditorBase, public ControlObserver {
public:
    static constexpr int kNumParams = bass_params::kNumParams;
    static_assert(kNumParams <= kMaxParameters, "every parameter has its place in the editor base");
    // The meters, in the order the host's readMeters gives them.
    enum Meter : int { kGainMeter, kOverloadMeter, kNumMeters };

    explicit BassEditor(EditorHost& host);
    ~BassEditor() override;

    // True once every view is built; false (and nothing built) without the
    // background picture or without a parent window.
    bool open(void* parentWindow) override;
    void close() override;
    // The toolkit's idle first, then the meters and the buttons whose shown
    // state follows the processing rather than the user.
    void idle() override;
    void controlChanged(Canvas* canvas, GuiControl* control) override;

    // Views, for tests and screenshots; null while closed.
    NeedleMeter* needleMeter() const { return needle; }
    LedIndicator* overloadIndicator() const { return overload; }
    AboutSplash* aboutScreen() const { return about; }

private:
    static bool validTag(int tag) { return tag >= 0 && tag < kNumParams; }
    void buildViews();
    void addKnob(const bass_layout::Knob& knob, GuiBitmap* pointer);
    void addToggle(const bass_layout::Toggle& toggle);
    ValueDisplay* addField(const bass_layout::Box& box, float value, void (*formatter)(float, char*), int align);
    // A parameter's value field, as the parameter table's field rule says.
    void addValueField(int tag, const bass_layout::Box& box, int align);
    void clearViewPointers();

    GuiBitmap* background;
    NeedleMeter* needle = nullptr;
    LedIndicator* overload = nullptr;
    AboutSplash* about = nullptr;
};
