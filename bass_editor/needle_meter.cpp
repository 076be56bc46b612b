#include "bass_editor/needle_meter.h"

#include <cmath>

#include "gui/canvas.h"
#include "gui/gui_bitmap.h"

namespace {
constexpr double kStartAngle = 3.7699111843077517;  // 1.2 pi: value 0
constexpr double kSweep = 4.39822971502571;         // 1.4 pi: value 0 to 1

// Keeps the needle inside its dial whatever the meter ring held.
float clampToDial(float v) {
    if (!(v >= NeedleMeter::kFloor)) return NeedleMeter::kFloor;
    return v > 1.0f ? 1.0f : v;
}
}  // namespace

NeedleMeter::NeedleMeter(const GuiRect& area, GuiBitmap* bg, GuiPoint c, int inner, int outer)
    : GuiControl(area, nullptr, 0, bg), centre(c), innerRadius(inner), outerRadius(outer) {
    value = kFloor;
}

void NeedleMeter::setValue(float v) { value = std::isnan(v) ? kFloor : v; }

GuiPoint NeedleMeter::pointAt(float v, int radius) const {
    const double angle = kStartAngle - clampToDial(v) * kSweep;
    return GuiPoint(static_cast<int>(centre.h + radius * std::cos(angle)),
                    static_cast<int>(centre.v - radius * std::sin(angle)));
}

void NeedleMeter::draw(Canvas* canvas) {
    if (value - lastDrawn > kRiseLimit) value = lastDrawn + kRiseLimit;
    const float shown = clampToDial(value);
    if (background) background->drawOpaque(canvas, size, GuiPoint(size.left, size.top));
    canvas->setPenStyle(LineSolid);
    canvas->setLineWidth(1);
    canvas->setPenColor(kBlackColor);
    canvas->moveTo(pointAt(shown, innerRadius));
    canvas->lineTo(pointAt(shown, outerRadius));
    lastDrawn = shown;
    setDirty(false);
}
