// A canvas on a picture of its own, for composing a view (a fader's background
// and handle) before one copy to the window, so nothing flickers.
#pragma once

#include <memory>

#include "gui/canvas.h"

class GuiBitmap;
class PlatformOffscreen;

class OffscreenCanvas : public Canvas {
public:
    // The whole picture starts in `background`. Invalid (draws nothing) when
    // the picture cannot be made.
    OffscreenCanvas(GuiFrame* frame, int width, int height, GuiColor background);
    ~OffscreenCanvas() override;

    // Copies the picture from `source` to the destination rectangle of `destination`.
    void copyTo(Canvas* destination, const GuiRect& destinationRect, GuiPoint source = GuiPoint());
    // Keeps a reference to a bitmap for as long as the canvas lives.
    void setBitmap(GuiBitmap* bitmap);

private:
    std::unique_ptr<PlatformOffscreen> picture;
    GuiColor backColor;
    GuiBitmap* bitmap = nullptr;
};
