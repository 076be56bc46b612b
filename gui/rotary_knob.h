// A knob drawn as a background picture with a pointer (a small keyed bitmap,
// or a two-tone line without one). Dragged circularly (the value follows the
// pointer's angle) or linearly (right and up increase), by the module-wide
// mode; Alt at the press takes the other mode.
#pragma once

#include "gui/gui_control.h"

class RotaryKnob : public GuiControl {
public:
    RotaryKnob(const GuiRect& size, ControlObserver* listener, int tag, GuiBitmap* background,
               GuiBitmap* pointer = nullptr, GuiPoint backgroundOffset = GuiPoint());
    ~RotaryKnob() override;

    void draw(Canvas* canvas) override;
    void mouse(Canvas* canvas, GuiPoint where) override;
    bool wheel(Canvas* canvas, GuiPoint where, float distance) override;
    void setMinimum(float v) override;
    void setMaximum(float v) override;

    virtual void paintPointer(Canvas* canvas);
    virtual void setSweepStart(float radians);
    virtual float sweepStart() const { return startAngle; }
    virtual void setSweep(float radians);
    virtual float sweep() const { return rangeAngle; }
    // The pointer's tip for the current value, relative to the knob's top-left.
    virtual GuiPoint pointForValue() const;
    // The value whose pointer points at (x, y), relative to the knob's top-left.
    virtual float valueAtPoint(GuiPoint p) const;
    virtual void setPointerInset(int inset) { pointerInset = inset; }
    virtual void setPointerColor(GuiColor c) { pointerColor = c; }
    virtual void setPointerShadowColor(GuiColor c) { pointerShadowColor = c; }
    // Releases the old pointer; a new one also resets the inset to suit its size.
    virtual void setPointerBitmap(GuiBitmap* bitmap);

    int getPointerInset() const { return pointerInset; }
    GuiPoint backgroundOffset() const { return bgOffset; }

private:
    void computeCoefficients();
    void trackLinear(Canvas* canvas, GuiPoint where, int state);
    void trackCircular(Canvas* canvas, GuiPoint where);

    GuiBitmap* pointer = nullptr;
    GuiPoint bgOffset;
    int pointerInset = 3;
    GuiColor pointerColor = kWhiteColor;
    GuiColor pointerShadowColor = kGreyColor;
    float radius;
    float startAngle = 3.9269908f;
    float rangeAngle = -4.712389f;
    float valuePerRadian = 0.0f;
    float valueOffset = 0.0f;
    float halfDeadZone = 0.0f;
};
