// A bitmap resource of the module, shared by reference count between the
// controls that draw it. Drawn opaquely or with the colour key (pure white
// left out); the key mask is made on the first keyed draw and kept.
#pragma once

#include <memory>

#include "gui/gui_types.h"

class Canvas;
class PlatformImage;

class GuiBitmap {
public:
    // Loads resource `number`; a missing resource gives a 0 x 0 bitmap that draws nothing.
    explicit GuiBitmap(int number);

    GuiBitmap(const GuiBitmap&) = delete;
    GuiBitmap& operator=(const GuiBitmap&) = delete;

    void retain() { ++refCount; }
    void release();
    int referenceCount() const { return refCount; }

    int getWidth() const;
    int getHeight() const;
    int resourceNumber() const { return number; }
    bool hasMask() const { return mask != nullptr; }
    const PlatformImage* platformImage() const { return image.get(); }

    void drawOpaque(Canvas* canvas, const GuiRect& destination, GuiPoint source);
    void drawKeyed(Canvas* canvas, const GuiRect& destination, GuiPoint source);
    void draw(Canvas* canvas, const GuiRect& destination, GuiPoint source, bool keyed) {
        keyed ? drawKeyed(canvas, destination, source) : drawOpaque(canvas, destination, source);
    }

private:
    ~GuiBitmap();

    int number;
    int refCount = 1;
    std::unique_ptr<PlatformImage> image;
    std::unique_ptr<PlatformImage> mask;
};
