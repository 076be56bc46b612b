// Cairo implementations of the platform's pictures and drawing surface,
// shared by the Linux backends (headless and x11). Drawing is pixel-exact
// where GDI is (fills, 1-pixel lines, blits); text is anti-aliased.
#pragma once

#include <cairo.h>

#include <memory>

#include "gui/platform.h"

// An RGB24 picture or an A8 mask, owning its Cairo image surface.
class CairoImage : public PlatformImage {
public:
    explicit CairoImage(cairo_surface_t* surface);
    ~CairoImage() override;
    CairoImage(const CairoImage&) = delete;
    CairoImage& operator=(const CairoImage&) = delete;

    int width() const override;
    int height() const override;
    cairo_surface_t* surface() const { return image; }

    // A new RGB24 picture, or null when Cairo cannot make one.
    static std::unique_ptr<CairoImage> create(int width, int height);

private:
    cairo_surface_t* image;
};

// Draws into an RGB24 image surface and remembers the area it touched.
class CairoSurface : public DrawSurface {
public:
    explicit CairoSurface(cairo_surface_t* target);
    ~CairoSurface() override;
    CairoSurface(const CairoSurface&) = delete;
    CairoSurface& operator=(const CairoSurface&) = delete;

    bool isValid() const { return cr != nullptr; }

    void drawLine(GuiPoint from, GuiPoint to, GuiColor color, int width, bool dotted) override;
    void fillPixels(const GuiRect& area, GuiColor color) override;
    void drawText(const char* text, const GuiRect& area, const GuiFont& font, GuiColor textColor, bool opaque,
                  GuiColor backColor, int align) override;
    void drawImage(const PlatformImage& image, const GuiRect& destination, GuiPoint source) override;
    void drawImageMasked(const PlatformImage& image, const PlatformImage& mask, const GuiRect& destination,
                         GuiPoint source) override;

    // The bounding box of everything drawn since the last reset, clipped to the surface.
    GuiRect damage() const;
    bool hasDamage() const { return damaged; }
    void resetDamage() { damaged = false; }

private:
    void addDamage(int left, int top, int right, int bottom);
    void plot(int x, int y, uint32_t pixel);

    cairo_surface_t* target;
    cairo_t* cr = nullptr;
    int surfaceWidth;
    int surfaceHeight;
    bool damaged = false;
    GuiRect damageRect;
};

class CairoOffscreen : public PlatformOffscreen {
public:
    explicit CairoOffscreen(std::unique_ptr<CairoImage> picture);
    DrawSurface& surface() override { return drawing; }
    const PlatformImage& image() const override { return *picture; }

private:
    std::unique_ptr<CairoImage> picture;
    CairoSurface drawing;
};

// The mask of `image`: 0 where the pixel has exactly the key colour, 255 elsewhere.
std::unique_ptr<PlatformImage> createCairoMask(const PlatformImage& image, GuiColor key);
// An off-screen picture, or null when it cannot be made.
std::unique_ptr<PlatformOffscreen> createCairoOffscreen(int width, int height);
// Decodes an uncompressed 24- or 32-bit BMP file held in memory; null when invalid.
std::unique_ptr<CairoImage> decodeBmp(const unsigned char* data, size_t size);
// The module's embedded bitmap resource `number`, decoded; null when missing.
std::unique_ptr<PlatformImage> loadEmbeddedBitmap(int number);
