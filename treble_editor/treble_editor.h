// The treble plug-in's editor: a 622 x 272 picture with knobs, faders,
// buttons, value texts, two overload indicators and the about screen. Every
// control's tag is the parameter it edits, so values flow both ways by index.
#pragma once

#include "gui/gui_control.h"
#include "gui/gui_editor_base.h"
#include "treble_dsp/treble_parameters.h"

class GuiBitmap;
class LedIndicator;
class ValueDisplay;

class TrebleEditor : public GuiEditorBase, public ControlObserver {
public:
    static constexpr int kNumParams = treble_params::kNumParams;
    static_assert(kNumParams <= kMaxParameters, "every parameter has its place in the editor base");
    // The meters, in the order the host's readMeters gives them.
    enum Meter : int { kOverEnhancedMeter, kPeakOverMeter, kNumMeters };

    explicit TrebleEditor(EditorHost& host);
    ~TrebleEditor() override;

    // True with the frame and every view built; false without a parent window or background.
    bool open(void* parentWindow) override;
    void close() override;
    // Indicators and the buttons that follow the effect, then the redraw of what changed.
    void idle() override;
    void controlChanged(Canvas* canvas, GuiControl* control) override;

    // For tests and screenshots.
    LedIndicator* overEnhancedIndicator() const { return overEnhanced; }
    LedIndicator* peakOverIndicator() const { return peakOver; }
    GuiControl* aboutScreen() const { return about; }

private:
    static bool inRange(int index) { return index >= 0 && index < kNumParams; }
    void buildViews();
    void clearPointers();
    ValueDisplay* addField(const GuiRect& rect, float value, void (*formatter)(float, char*), int align);
    void addLabel(const GuiRect& rect, int number);
    // A parameter's value field, as the parameter table's field rule says.
    void addValueField(int tag, const GuiRect& rect, int align);

    GuiBitmap* background;
    LedIndicator* overEnhanced = nullptr;
    LedIndicator* peakOver = nullptr;
    GuiControl* about = nullptr;
};
