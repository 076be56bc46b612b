// A click area that shows a picture as a modal overlay; while it is shown
// every click inside the picture goes to it and closes it again.
#pragma once

#include "gui/gui_control.h"

class OverlaySplash : public GuiControl {
public:
    OverlaySplash(const GuiRect& clickArea, ControlObserver* listener, int tag, GuiBitmap* bitmap,
                  const GuiRect& displayRect, GuiPoint displayOffset = GuiPoint());

    void draw(Canvas* canvas) override;
    void mouse(Canvas* canvas, GuiPoint where) override;

    const GuiRect& displayArea() const { return displayRect; }

protected:
    GuiRect displayRect;
    GuiPoint displayOffset;
    GuiRect savedRect;
};
