// GDI implementations of the platform's pictures and drawing surface: device
// dependent bitmaps, a mask made once per picture, memory device contexts for
// off-screen composition.
#pragma once

#include <windows.h>

#include <memory>

#include "gui/platform.h"

// A GDI bitmap. `selectedIn` is set when the bitmap lives selected into a
// device context of its own (an off-screen picture), which is then the one
// to copy from: a bitmap can be selected into only one context at a time.
class GdiImage : public PlatformImage {
public:
    GdiImage(HBITMAP bitmap, bool owned, HDC selectedIn = nullptr);
    ~GdiImage() override;
    GdiImage(const GdiImage&) = delete;
    GdiImage& operator=(const GdiImage&) = delete;

    int width() const override { return size.cx; }
    int height() const override { return size.cy; }
    HBITMAP handle() const { return bitmap; }
    HDC ownContext() const { return selectedIn; }

private:
    HBITMAP bitmap;
    bool owned;
    HDC selectedIn;
    SIZE size{0, 0};
};

// The mask of a picture for colour-keyed drawing, made once: a 1-bit bitmap
// that is 1 where the picture has the key colour, and a copy of the picture
// with those pixels black. Drawing is then AND with the mask and OR with the
// copy, straight onto the destination.
class GdiMask : public PlatformImage {
public:
    GdiMask(HBITMAP mask, HBITMAP cutOut, int width, int height);
    ~GdiMask() override;
    GdiMask(const GdiMask&) = delete;
    GdiMask& operator=(const GdiMask&) = delete;

    int width() const override { return w; }
    int height() const override { return h; }
    HBITMAP maskHandle() const { return mask; }
    HBITMAP cutOutHandle() const { return cutOut; }

private:
    HBITMAP mask;
    HBITMAP cutOut;
    int w;
    int h;
};

// Draws on a device context it does not own. The pen, brush and font it makes
// are kept while their colour and size stay the same; the objects it found
// selected are put back when it is destroyed.
class GdiSurface : public DrawSurface {
public:
    explicit GdiSurface(HDC dc);
    ~GdiSurface() override;
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    HDC context() const { return dc; }

    void drawLine(GuiPoint from, GuiPoint to, GuiColor color, int width, bool dotted) override;
    void fillPixels(const GuiRect& area, GuiColor color) override;
    void drawText(const char* text, const GuiRect& area, const GuiFont& font, GuiColor textColor, bool opaque,
                  GuiColor backColor, int align) override;
    void drawImage(const PlatformImage& image, const GuiRect& destination, GuiPoint source) override;
    void drawImageMasked(const PlatformImage& image, const PlatformImage& mask, const GuiRect& destination,
                         GuiPoint source) override;

private:
    void usePen(GuiColor color, int width, bool dotted);
    void useFont(const GuiFont& font);

    HDC dc;
    HGDIOBJ originalPen;
    HGDIOBJ originalFont;
    HPEN pen = nullptr;
    GuiColor penColor;
    int penWidth = 0;
    bool penDotted = false;
    HBRUSH brush = nullptr;
    GuiColor brushColor;
    HFONT font = nullptr;
    GuiFont fontKey{nullptr, 0, 0};
};

class GdiOffscreen : public PlatformOffscreen {
public:
    // A picture compatible with `reference` (a window's context, or the screen's).
    static std::unique_ptr<GdiOffscreen> create(HDC reference, int width, int height);
    ~GdiOffscreen() override;

    DrawSurface& surface() override { return *drawing; }
    const PlatformImage& image() const override { return *picture; }

private:
    GdiOffscreen(HDC memory, HBITMAP bitmap);
    HDC memory;
    HGDIOBJ previous;
    std::unique_ptr<GdiImage> picture;
    std::unique_ptr<GdiSurface> drawing;
};

// A loaded resource bitmap of `module`, or null.
std::unique_ptr<PlatformImage> loadResourceBitmap(HINSTANCE module, int number);
// The mask of `image` for the colour `key`, or null when GDI cannot make it.
std::unique_ptr<PlatformImage> createGdiMask(const PlatformImage& image, GuiColor key);
