// The treble plug-in's editor: a 622 x 272 picture with knobs, faders,
// buttons, value texts, two overload indicators and the about screen. Every
// control's tag is the parameter it edits, so values flow both ways by index.
#pragma once

#include "common/editor/picture_editor.h"
#include "treble_dsp/treble_parameters.h"

class GuiBitmap;
class LedIndicator;
class ValueDisplay;

class TrebleEditor : public PictureEditor {
public:
    static constexpr int kNumParams = treble_params::kNumParams;
    static_assert(kNumParams <= kMaxParameters, "every parameter has its place in the editor base");
    // The meters, in the order the host's readMeters gives them.
    enum Meter : int { kOverEnhancedMeter, kPeakOverMeter, kNumMeters };

    explicit TrebleEditor(EditorHost& host);

    // Indicators and the buttons that follow the effect, then the redraw of what changed.
    void idle() override;

    // For tests and screenshots.
    LedIndicator* overEnhancedIndicator() const { return overEnhanced; }
    LedIndicator* peakOverIndicator() const { return peakOver; }
    GuiControl* aboutScreen() const { return about; }

private:
    void buildViews() override;
    void forgetViews() override;
    void addLabel(const GuiRect& rect, int number);

    LedIndicator* overEnhanced = nullptr;
    LedIndicator* peakOver = nullptr;
    GuiControl* about = nullptr;
};
