#include "gui/gui_bitmap.h"

#include "gui/canvas.h"
#include "gui/platform.h"

GuiBitmap::GuiBitmap(int n) : number(n), image(guiPlatform().loadBitmap(n)) {}

GuiBitmap::~GuiBitmap() = default;

void GuiBitmap::release() {
    if (--refCount <= 0) delete this;
}

int GuiBitmap::getWidth() const { return image ? image->width() : 0; }

int GuiBitmap::getHeight() const { return image ? image->height() : 0; }

void GuiBitmap::drawOpaque(Canvas* canvas, const GuiRect& destination, GuiPoint source) {
    if (!image || !canvas || !canvas->drawSurface()) return;
    canvas->drawSurface()->drawImage(*image, destination.offsetBy(canvas->offset.h, canvas->offset.v), source);
}

void GuiBitmap::drawKeyed(Canvas* canvas, const GuiRect& destination, GuiPoint source) {
    if (!image || !canvas || !canvas->drawSurface()) return;
    if (!mask) mask = guiPlatform().createMask(*image, kTransparentColor);
    if (!mask) return;
    canvas->drawSurface()->drawImageMasked(*image, *mask, destination.offsetBy(canvas->offset.h, canvas->offset.v),
                                           source);
}
