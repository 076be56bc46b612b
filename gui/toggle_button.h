// A two-state button: the bitmap's upper half shows off, the lower half on.
#pragma once

#include "gui/gui_control.h"

class ToggleButton : public GuiControl {
public:
    ToggleButton(const GuiRect& size, ControlObserver* listener, int tag, GuiBitmap* bitmap);

    void draw(Canvas* canvas) override;
    // A left press flips the value, draws at once and always tells the listener.
    void mouse(Canvas* canvas, GuiPoint where) override;
};
