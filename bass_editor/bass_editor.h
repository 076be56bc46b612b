// The bass enhancer's editor: four panel sections over one background
// picture, five knobs, three buttons, the mix fader, the overload light, the
// gain needle and the about screen. Every control's tag is the effect's
// parameter index, so values flow both ways through one table.
#pragma once

#include "bass_editor/bass_layout.h"
#include "bass_dsp/bass_parameters.h"
#include "common/editor/picture_editor.h"

class AboutSplash;
class GuiBitmap;
class LedIndicator;
class NeedleMeter;

// The text of a label number (truncated); empty for numbers without a label.
void formatBassLabel(float value, char* text);

class BassEditor : public PictureEditor {
public:
    static constexpr int kNumParams = bass_params::kNumParams;
    static_assert(kNumParams <= kMaxParameters, "every parameter has its place in the editor base");
    // The meters, in the order the host's readMeters gives them.
    enum Meter : int { kGainMeter, kOverloadMeter, kNumMeters };

    explicit BassEditor(EditorHost& host);

    // The toolkit's idle first, then the meters and the buttons whose shown
    // state follows the processing rather than the user.
    void idle() override;

    // Views, for tests and screenshots; null while closed.
    NeedleMeter* needleMeter() const { return needle; }
    LedIndicator* overloadIndicator() const { return overload; }
    AboutSplash* aboutScreen() const { return about; }

private:
    void buildViews() override;
    void forgetViews() override;
    void addLabel(const bass_layout::Box& box, int number);
    void addKnob(const bass_layout::Knob& knob, GuiBitmap* pointer);
    void addToggle(const bass_layout::Toggle& toggle);

    NeedleMeter* needle = nullptr;
    LedIndicator* overload = nullptr;
    AboutSplash* about = nullptr;
};
