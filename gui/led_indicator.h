// An on/off light: the upper half of its bitmap unlit, the lower half lit.
#pragma once

#include "gui/gui_control.h"

class LedIndicator : public GuiControl {
public:
    // Only the rectangle's top-left is used; the size comes from the bitmap.
    LedIndicator(const GuiRect& size, GuiBitmap* bitmap);

    void draw(Canvas* canvas) override;
    void mouse(Canvas* /*canvas*/, GuiPoint /*where*/) override {}

private:
    GuiPoint litOffset;
    GuiPoint unlitOffset;
};
