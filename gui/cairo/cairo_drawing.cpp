#include "gui/cairo/cairo_drawing.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gui/cairo/cairo_fonts.h"
#include "gui/cairo/embedded_bitmaps.h"

namespace {
void setColor(cairo_t* cr, GuiColor c) { cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0); }

uint32_t pixelOf(GuiColor c) { return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue; }

uint32_t readLe32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t readLe16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }
}  // namespace

CairoImage::CairoImage(cairo_surface_t* s) : image(s) {}

CairoImage::~CairoImage() {
    if (image) cairo_surface_destroy(image);
}

int CairoImage::width() const { return cairo_image_surface_get_width(image); }

int CairoImage::height() const { return cairo_image_surface_get_height(image); }

std::unique_ptr<CairoImage> CairoImage::create(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    return std::make_unique<CairoImage>(s);
}

CairoSurface::CairoSurface(cairo_surface_t* t) : target(t) {
    surfaceWidth = cairo_image_surface_get_width(target);
    surfaceHeight = cairo_image_surface_get_height(target);
    cr = cairo_create(target);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cr);
        cr = nullptr;
        return;
    }
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
}

CairoSurface::~CairoSurface() {
    if (cr) cairo_destroy(cr);
}

void CairoSurface::addDamage(int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, surfaceWidth);
    bottom = std::min(bottom, surfaceHeight);
    if (left >= right || top >= bottom) return;
    if (!damaged) {
        damageRect = GuiRect(left, top, right, bottom);
        damaged = true;
        return;
    }
    damageRect.left = std::min(damageRect.left, left);
    damageRect.top = std::min(damageRect.top, top);
    damageRect.right = std::max(damageRect.right, right);
    damageRect.bottom = std::max(damageRect.bottom, bottom);
}

GuiRect CairoSurface::damage() const { return damaged ? damageRect : GuiRect(); }

void CairoSurface::plot(int x, int y, uint32_t pixel) {
    if (x < 0 || y < 0 || x >= surfaceWidth || y >= surfaceHeight) return;
    unsigned char* row = cairo_image_surface_get_data(target) + y * cairo_image_surface_get_stride(target);
    reinterpret_cast<uint32_t*>(row)[x] = pixel;
}

void CairoSurface::drawLine(GuiPoint from, GuiPoint to, GuiColor color, int width, bool dotted) {
    if (!cr) return;
    if (width > 1) {
        cairo_save(cr);
        setColor(cr, color);
        cairo_set_line_width(cr, width);
        cairo_move_to(cr, from.h + 0.5, from.v + 0.5);
        cairo_line_to(cr, to.h + 0.5, to.v + 0.5);
        cairo_stroke(cr);
        cairo_restore(cr);
        addDamage(std::min(from.h, to.h) - width, std::min(from.v, to.v) - width, std::max(from.h, to.h) + width + 1,
                  std::max(from.v, to.v) + width + 1);
        return;
    }
    // Thin lines pixel by pixel (Bresenham), leaving out the end point as GDI does.
    cairo_surface_flush(target);
    uint32_t pixel = pixelOf(color);
    int x = from.h, y = from.v;
    int dx = std::abs(to.h - x), sx = x < to.h ? 1 : -1;
    int dy = -std::abs(to.v - y), sy = y < to.v ? 1 : -1;
    int error = dx + dy;
    int n = 0;
    while (x != to.h || y != to.v) {
        if (!dotted || (n & 1) == 0) plot(x, y, pixel);
        ++n;
        int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y += sy;
        }
    }
    int left = std::min(from.h, to.h), top = std::min(from.v, to.v);
    int right = std::max(from.h, to.h) + 1, bottom = std::max(from.v, to.v) + 1;
    cairo_surface_mark_dirty(target);
    addDamage(left, top, right, bottom);
}

void CairoSurface::fillPixels(const GuiRect& area, GuiColor color) {
    if (!cr || area.width() <= 0 || area.height() <= 0) return;
    cairo_save(cr);
    setColor(cr, color);
    cairo_rectangle(cr, area.left, area.top, area.width(), area.height());
    cairo_fill(cr);
    cairo_restore(cr);
    addDamage(area.left, area.top, area.right, area.bottom);
}

void CairoSurface::drawText(const char* text, const GuiRect& area, const GuiFont& font, GuiColor textColor, bool opaque,
                            GuiColor backColor, int align) {
    if (!cr || !text || !*text || area.width() <= 0 || area.height() <= 0) return;
    cairo_save(cr);
    cairo_rectangle(cr, area.left, area.top, area.width(), area.height());
    cairo_clip(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    setTextRendering(cr);
    if (cairo_font_face_t* face = mappedFontFace(font.face, font.weight))
        cairo_set_font_face(cr, face);
    else
        cairo_select_font_face(cr, font.face, CAIRO_FONT_SLANT_NORMAL,
                               font.weight >= 700 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.size);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    cairo_text_extents_t te;
    cairo_text_extents(cr, text, &te);
    double x = area.left;
    if (align == AlignCenter) x = area.left + (area.width() - te.x_advance) / 2.0;
    if (align == AlignRight) x = area.right - te.x_advance;
    double lineHeight = fe.ascent + fe.descent;
    double baseline = area.top + (area.height() - lineHeight) / 2.0 + fe.ascent;
    x = static_cast<int>(x + 0.5);
    baseline = static_cast<int>(baseline + 0.5);
    if (opaque) {
        setColor(cr, backColor);
        cairo_rectangle(cr, x, baseline - fe.ascent, te.x_advance, lineHeight);
        cairo_fill(cr);
    }
    setColor(cr, textColor);
    cairo_move_to(cr, x, baseline);
    cairo_show_text(cr, text);
    cairo_restore(cr);
    addDamage(area.left, area.top, area.right, area.bottom);
}

void CairoSurface::drawImage(const PlatformImage& image, const GuiRect& destination, GuiPoint source) {
    if (!cr || destination.width() <= 0 || destination.height() <= 0) return;
    const auto& picture = static_cast<const CairoImage&>(image);
    cairo_save(cr);
    cairo_set_source_surface(cr, picture.surface(), destination.left - source.h, destination.top - source.v);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, destination.left, destination.top, destination.width(), destination.height());
    cairo_fill(cr);
    cairo_restore(cr);
    addDamage(destination.left, destination.top, destination.right, destination.bottom);
}

void CairoSurface::drawImageMasked(const PlatformImage& image, const PlatformImage& mask, const GuiRect& destination,
                                   GuiPoint source) {
    if (!cr || destination.width() <= 0 || destination.height() <= 0) return;
    const auto& picture = static_cast<const CairoImage&>(image);
    const auto& keyMask = static_cast<const CairoImage&>(mask);
    double x = destination.left - source.h;
    double y = destination.top - source.v;
    cairo_save(cr);
    cairo_rectangle(cr, destination.left, destination.top, destination.width(), destination.height());
    cairo_clip(cr);
    cairo_set_source_surface(cr, picture.surface(), x, y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_mask_surface(cr, keyMask.surface(), x, y);
    cairo_restore(cr);
    addDamage(destination.left, destination.top, destination.right, destination.bottom);
}

CairoOffscreen::CairoOffscreen(std::unique_ptr<CairoImage> p) : picture(std::move(p)), drawing(picture->surface()) {}

std::unique_ptr<PlatformOffscreen> createCairoOffscreen(int width, int height) {
    auto picture = CairoImage::create(width, height);
    if (!picture) return nullptr;
    auto offscreen = std::make_unique<CairoOffscreen>(std::move(picture));
    if (!static_cast<CairoSurface&>(offscreen->surface()).isValid()) return nullptr;
    return offscreen;
}

std::unique_ptr<PlatformImage> createCairoMask(const PlatformImage& image, GuiColor key) {
    const auto& picture = static_cast<const CairoImage&>(image);
    int w = picture.width(), h = picture.height();
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(mask);
        return nullptr;
    }
    cairo_surface_flush(picture.surface());
    cairo_surface_flush(mask);
    const unsigned char* src = cairo_image_surface_get_data(picture.surface());
    int srcStride = cairo_image_surface_get_stride(picture.surface());
    unsigned char* dst = cairo_image_surface_get_data(mask);
    int dstStride = cairo_image_surface_get_stride(mask);
    uint32_t keyPixel = pixelOf(key);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(src + y * srcStride);
        for (int x = 0; x < w; ++x) dst[y * dstStride + x] = (row[x] & 0xffffff) == keyPixel ? 0 : 255;
    }
    cairo_surface_mark_dirty(mask);
    return std::make_unique<CairoImage>(mask);
}

std::unique_ptr<CairoImage> decodeBmp(const unsigned char* data, size_t size) {
    if (!data || size < 54 || data[0] != 'B' || data[1] != 'M') return nullptr;
    uint32_t pixelOffset = readLe32(data + 10);
    uint32_t headerSize = readLe32(data + 14);
    if (headerSize < 40 || 14 + headerSize > size) return nullptr;
    int32_t width = static_cast<int32_t>(readLe32(data + 18));
    int32_t height = static_cast<int32_t>(readLe32(data + 22));
    uint16_t bitCount = readLe16(data + 28);
    uint32_t compression = readLe32(data + 30);
    // Only uncompressed 24-bit (and plain 32-bit) pictures; anything else is treated as missing.
    if ((bitCount != 24 && bitCount != 32) || (compression != 0 && !(compression == 3 && bitCount == 32)))
        return nullptr;
    bool topDown = height < 0;
    int64_t rows = topDown ? -int64_t(height) : height;
    if (width <= 0 || rows <= 0 || width > 16384 || rows > 16384) return nullptr;
    size_t rowBytes = ((size_t(width) * bitCount + 31) / 32) * 4;
    if (pixelOffset > size || rowBytes * size_t(rows) > size - pixelOffset) return nullptr;
    auto picture = CairoImage::create(width, static_cast<int>(rows));
    if (!picture) return nullptr;
    cairo_surface_t* s = picture->surface();
    cairo_surface_flush(s);
    unsigned char* out = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    int bytesPerPixel = bitCount / 8;
    for (int64_t y = 0; y < rows; ++y) {
        const unsigned char* in = data + pixelOffset + rowBytes * size_t(topDown ? y : rows - 1 - y);
        uint32_t* row = reinterpret_cast<uint32_t*>(out + y * stride);
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = in + x * bytesPerPixel;
            row[x] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
    }
    cairo_surface_mark_dirty(s);
    return picture;
}

std::unique_ptr<PlatformImage> loadEmbeddedBitmap(int number) {
    for (int i = 0; i < vorsaEmbeddedBitmapCount; ++i) {
        const EmbeddedBitmap& entry = vorsaEmbeddedBitmaps[i];
        if (entry.number == number) return decodeBmp(entry.data, entry.size);
    }
    return nullptr;
}
