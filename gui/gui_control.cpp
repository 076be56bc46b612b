#include "gui/gui_control.h"

#include "gui/canvas.h"

GuiControl::GuiControl(const GuiRect& r, ControlObserver* l, int t, GuiBitmap* bitmap)
    : GuiView(r), listener(l), tag_(t) {
    setBackgroundBitmap(bitmap);
}

bool GuiControl::isDirty() const { return value != drawnValue_ || dirty; }

void GuiControl::setDirty(bool state) {
    if (state) {
        drawnValue_ = value == -1.0f ? 0.0f : -1.0f;
    } else {
        drawnValue_ = value;
        dirty = false;
    }
}

void GuiControl::clampValue() {
    if (value < vmin) value = vmin;
    if (value > vmax) value = vmax;
}

void GuiControl::notifyIfDirty(Canvas* canvas) {
    if (listener && isDirty()) listener->controlChanged(canvas, this);
}

bool GuiControl::handleDefaultClick(Canvas* canvas, int state) {
    if (state != (ButtonLeft | KeyControl)) return false;
    value = defaultValue_;
    notifyIfDirty(canvas);
    return true;
}

bool GuiControl::wheelStep(Canvas* canvas, float distance) {
    if (!clickable) return false;
    float step = distance * wheelIncrement_;
    if (canvas && (canvas->buttonState() & KeyShift)) step *= 0.1f;
    value += step;
    clampValue();
    notifyIfDirty(canvas);
    return true;
}
