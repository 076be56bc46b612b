#include "gui/led_indicator.h"

#include "gui/gui_bitmap.h"

namespace {
GuiRect ledRect(const GuiRect& r, const GuiBitmap* bitmap) {
    int w = bitmap ? bitmap->getWidth() : 0;
    int h = bitmap ? bitmap->getHeight() / 2 : 0;
    return GuiRect(r.left, r.top, r.left + w, r.top + h);
}
}  // namespace

LedIndicator::LedIndicator(const GuiRect& r, GuiBitmap* bitmap)
    : GuiControl(ledRect(r, bitmap), nullptr, 0, bitmap), litOffset(0, bitmap ? bitmap->getHeight() / 2 : 0) {}

void LedIndicator::draw(Canvas* canvas) {
    if (background) background->drawOpaque(canvas, size, value > 0.5f ? litOffset : unlitOffset);
    setDirty(false);
}
