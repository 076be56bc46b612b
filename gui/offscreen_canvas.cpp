#include "gui/offscreen_canvas.h"

#include "gui/gui_bitmap.h"
#include "gui/gui_frame.h"
#include "gui/platform.h"

OffscreenCanvas::OffscreenCanvas(GuiFrame* frame, int width, int height, GuiColor background)
    : Canvas(frame, nullptr), backColor(background) {
    if (width <= 0 || height <= 0) return;
    picture = guiPlatform().createOffscreen(frame ? frame->platformWindow() : nullptr, width, height);
    if (!picture) return;
    setSurface(&picture->surface());
    setBrushColor(background);
    setPenColor(background);
    fillRect(GuiRect(0, 0, width, height));  // spares the top and left line, which the outline covers
    drawRect(GuiRect(0, 0, width, height));
}

OffscreenCanvas::~OffscreenCanvas() {
    if (bitmap) bitmap->release();
}

void OffscreenCanvas::copyTo(Canvas* destination, const GuiRect& destinationRect, GuiPoint source) {
    if (!picture || !destination || !destination->drawSurface()) return;
    destination->drawSurface()->drawImage(
        picture->image(), destinationRect.offsetBy(destination->offset.h, destination->offset.v), source);
}

void OffscreenCanvas::setBitmap(GuiBitmap* b) {
    if (b) b->retain();
    if (bitmap) bitmap->release();
    bitmap = b;
}
