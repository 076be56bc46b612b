// The bass editor's gain meter: a black needle turning about a centre over
// the dial painted in the background. Value 0 points at 216 degrees, 1 at
// -36 degrees, clockwise over the top. The needle climbs at most 0.1 per
// redraw, so a sudden rise reads as a sweep, and falls at once.
#pragma once

#include "gui/gui_control.h"

class NeedleMeter : public GuiControl {
public:
    static constexpr float kRiseLimit = 0.1f;
    static constexpr float kFloor = 0.000001f;

    // `drawArea` is what the meter repaints from `background` (taken from the
    // picture at the area's own top-left); the needle runs from the inner to
    // the outer radius around `centre`.
    NeedleMeter(const GuiRect& drawArea, GuiBitmap* background, GuiPoint centre, int innerRadius, int outerRadius);

    void draw(Canvas* canvas) override;
    void mouse(Canvas* /*canvas*/, GuiPoint /*where*/) override {}
    // A value that is not a number reads as the floor.
    void setValue(float v) override;

    // The needle's end points for a value, clamped into the dial.
    GuiPoint innerPoint(float v) const { return pointAt(v, innerRadius); }
    GuiPoint outerPoint(float v) const { return pointAt(v, outerRadius); }
    float lastDrawnValue() const { return lastDrawn; }

private:
    GuiPoint pointAt(float v, int radius) const;

    GuiPoint centre;
    int innerRadius;
    int outerRadius;
    float lastDrawn = kFloor;
};
