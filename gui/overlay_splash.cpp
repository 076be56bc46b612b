#include "gui/overlay_splash.h"

#include "gui/canvas.h"
#include "gui/gui_bitmap.h"
#include "gui/gui_frame.h"

OverlaySplash::OverlaySplash(const GuiRect& clickArea, ControlObserver* l, int t, GuiBitmap* bitmap,
                             const GuiRect& display, GuiPoint offset)
    : GuiControl(clickArea, l, t, bitmap), displayRect(display), displayOffset(offset), savedRect(clickArea) {}

void OverlaySplash::draw(Canvas* canvas) {
    if (value != 0.0f && background) background->draw(canvas, displayRect, displayOffset, colorKeyed);
    setDirty(false);
}

void OverlaySplash::mouse(Canvas* canvas, GuiPoint /*where*/) {
    if (!clickable || !(canvas->buttonState() & ButtonLeft) || !frame) return;
    if (value == 0.0f) {
        // Shown only when the frame takes it as its modal view.
        if (!frame->setModal(this)) return;
        value = 1.0f;
        savedRect = size;
        size = displayRect;
        draw(canvas);
        if (listener) listener->controlChanged(canvas, this);
        setDirty(true);
    } else {
        value = 0.0f;
        size = savedRect;
        frame->setModal(nullptr);
        frame->draw(canvas);
        if (listener) listener->controlChanged(canvas, this);
        setDirty(true);
    }
}
