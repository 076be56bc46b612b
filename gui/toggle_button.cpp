#include "gui/toggle_button.h"

#include "gui/canvas.h"
#include "gui/gui_bitmap.h"

ToggleButton::ToggleButton(const GuiRect& r, ControlObserver* l, int t, GuiBitmap* bitmap)
    : GuiControl(r, l, t, bitmap) {}

void ToggleButton::draw(Canvas* canvas) {
    if (background) {
        GuiPoint source(0, value != 0.0f ? background->getHeight() / 2 : 0);
        background->draw(canvas, size, source, colorKeyed);
    }
    setDirty(false);
}

void ToggleButton::mouse(Canvas* canvas, GuiPoint /*where*/) {
    if (!clickable || !(canvas->buttonState() & ButtonLeft)) return;
    value = static_cast<int>(value) == 0 ? 1.0f : 0.0f;
    draw(canvas);
    if (listener) listener->controlChanged(canvas, this);
}
