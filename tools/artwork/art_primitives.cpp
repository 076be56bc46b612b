#include "tools/artwork/art_primitives.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/artwork/bmp_writer.h"

namespace art {
namespace {
constexpr double kPi = 3.14159265358979323846;

double radians(double degrees) { return degrees * kPi / 180.0; }

// Screen position of a point at `degrees` (counter-clockwise from east, y up) and radius r.
double px(double cx, double r, double degrees) { return cx + r * std::cos(radians(degrees)); }
double py(double cy, double r, double degrees) { return cy - r * std::sin(radians(degrees)); }

uint32_t packed(Rgb c) {
    auto channel = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
    return channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

void linearGradient(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb from, Rgb to) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, from.r / 255, from.g / 255, from.b / 255);
    cairo_pattern_add_color_stop_rgb(p, 1, to.r / 255, to.g / 255, to.b / 255);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

const char* fontFile(Face face) {
    switch (face) {
        case Face::Sans:
            return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
        case Face::SansBold:
            return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
        case Face::CondensedBold:
            break;
    }
    return "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
}

cairo_font_face_t* loadFace(Face face) {
    static FT_Library library = nullptr;
    static cairo_font_face_t* faces[3] = {};
    const int index = static_cast<int>(face);
    if (faces[index]) return faces[index];
    if (!library && FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "vorsa-artwork: FreeType cannot start\n");
        std::exit(1);
    }
    FT_Face ftFace = nullptr;
    if (FT_New_Face(library, fontFile(face), 0, &ftFace) != 0) {
        std::fprintf(stderr, "vorsa-artwork: font %s missing (Debian package fonts-dejavu-core)\n", fontFile(face));
        std::exit(1);
    }
    faces[index] = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    return faces[index];
}
}  // namespace

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

void setSource(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r / 255, c.g / 255, c.b / 255, alpha); }

// --- Picture ---------------------------------------------------------------

Picture::Picture(int width, int height) : w(width), h(height) {
    image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    context = cairo_create(image);
    cairo_set_source_rgb(context, 0, 0, 0);
    cairo_paint(context);
}

Picture::Picture(Picture&& o) noexcept : w(o.w), h(o.h), image(o.image), context(o.context) {
    o.image = nullptr;
    o.context = nullptr;
}

Picture::~Picture() {
    if (context) cairo_destroy(context);
    if (image) cairo_surface_destroy(image);
}

Rgb Picture::pixel(int x, int y) const {
    cairo_surface_flush(image);
    const uint32_t v = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(image) +
                                                         size_t(y) * cairo_image_surface_get_stride(image))[x];
    return {double(v >> 16 & 0xff), double(v >> 8 & 0xff), double(v & 0xff)};
}

void Picture::setPixel(int x, int y, Rgb c) {
    cairo_surface_flush(image);
    reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image) +
                                size_t(y) * cairo_image_surface_get_stride(image))[x] = packed(c);
    cairo_surface_mark_dirty(image);
}

Picture Picture::crop(int x, int y, int width, int height) const {
    Picture out(width, height);
    cairo_set_source_surface(out.cr(), image, -x, -y);
    cairo_paint(out.cr());
    return out;
}

void Picture::paste(const Picture& source, int x, int y) {
    cairo_save(context);
    cairo_set_source_surface(context, source.surface(), x, y);
    cairo_paint(context);
    cairo_restore(context);
}

void Picture::avoidKeyColour() {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb c = pixel(x, y);
            if (c.r == 255 && c.g == 255 && c.b == 255) setPixel(x, y, {250, 250, 248});
        }
}

bool Picture::saveBmp(const std::string& path) const { return writeBmp24(image, path); }

// --- Text ------------------------------------------------------------------

void useFont(cairo_t* cr, Face face, double pixelSize) {
    cairo_set_font_face(cr, loadFace(face));
    cairo_set_font_size(cr, pixelSize);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double textWidth(cairo_t* cr, const char* text, double spacing) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    const size_t n = std::strlen(text);
    return e.x_advance + (n > 1 ? spacing * double(n - 1) : 0.0);
}

void showText(cairo_t* cr, const char* text, double x, double baseline, Align align, double spacing) {
    const double width = textWidth(cr, text, spacing);
    if (align == Align::Centre) x -= width / 2;
    if (align == Align::Right) x -= width;
    if (spacing == 0.0) {
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, text);
        return;
    }
    char one[2] = {0, 0};
    for (const char* c = text; *c; ++c) {
        one[0] = *c;
        cairo_move_to(cr, x, baseline);
        cairo_show_text(cr, one);
        cairo_text_extents_t e;
        cairo_text_extents(cr, one, &e);
        x += e.x_advance + spacing;
    }
}

void engravedText(cairo_t* cr, const char* text, double x, double baseline, Align align, double size,
                  const Palette& palette, double spacing) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    useFont(cr, Face::SansBold, size);
    setSource(cr, palette.titleHighlight);
    showText(cr, upper.c_str(), x, baseline + 1, align, spacing);
    setSource(cr, palette.title);
    showText(cr, upper.c_str(), x, baseline, align, spacing);
}

// --- Panels ----------------------------------------------------------------

void roundedRect(cairo_t* cr, double x, double y, double width, double height, double radius) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, kPi / 2);
    cairo_arc(cr, x + radius, y + height - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, x + radius, y + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void drawPanel(Picture& picture, const Palette& palette) {
    cairo_t* cr = picture.cr();
    linearGradient(cr, 0, 0, 0, picture.height(), palette.panelTop, palette.panelBottom);
    cairo_paint(cr);
}

void drawSection(cairo_t* cr, double left, double top, double right, double bottom, const char* title,
                 const Palette& palette) {
    const double w = right - left, h = bottom - top;
    // Lighter rim below and right, darker above and left: the panel sits a little lower.
    roundedRect(cr, left + 0.5, top + 1.5, w - 1, h - 1.5, 5);
    setSource(cr, palette.edgeLight);
    cairo_fill(cr);
    roundedRect(cr, left + 0.5, top + 0.5, w - 1, h - 1.5, 5);
    setSource(cr, palette.edgeDark);
    cairo_fill(cr);
    roundedRect(cr, left + 1, top + 1.5, w - 2, h - 3, 4.5);
    linearGradient(cr, 0, top, 0, bottom, palette.sectionTop, palette.sectionBottom);
    cairo_fill(cr);

    // The title, with engraved rules either side of it.
    const double cx = std::floor((left + right) / 2);
    const double baseline = top + 13;
    engravedText(cr, title, cx, baseline, Align::Centre, 8.5, palette, 1.2);
    std::string upper(title);
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const double half = textWidth(cr, upper.c_str(), 1.2) / 2;
    const double ruleY = baseline - 3.5;
    const double gap = 5, margin = 6;
    for (int side = 0; side < 2; ++side) {
        const double from = side ? cx + half + gap : left + margin;
        const double to = side ? right - margin : cx - half - gap;
        if (to - from < 4) continue;
        cairo_set_line_width(cr, 1);
        setSource(cr, palette.edgeDark);
        cairo_move_to(cr, std::round(from), ruleY);
        cairo_line_to(cr, std::round(to), ruleY);
        cairo_stroke(cr);
        setSource(cr, palette.edgeLight);
        cairo_move_to(cr, std::round(from), ruleY + 1);
        cairo_line_to(cr, std::round(to), ruleY + 1);
        cairo_stroke(cr);
    }
}

void drawValueWindow(cairo_t* cr, double left, double top, double right, double bottom, const Palette& palette) {
    roundedRect(cr, left, top, right - left, bottom - top, 2.5);
    setSource(cr, palette.edgeLight);
    cairo_fill(cr);
    roundedRect(cr, left, top, right - left, bottom - top - 1, 2.5);
    setSource(cr, palette.windowEdge);
    cairo_fill(cr);
    roundedRect(cr, left + 1, top + 1, right - left - 2, bottom - top - 2, 2);
    setSource(cr, palette.window);
    cairo_fill(cr);
}

void drawButtonWell(cairo_t* cr, double left, double top, double right, double bottom, const Palette& palette) {
    const double m = 3;
    roundedRect(cr, left - m, top - m + 1, right - left + 2 * m, bottom - top + 2 * m, 4);
    setSource(cr, palette.edgeLight);
    cairo_fill(cr);
    roundedRect(cr, left - m, top - m, right - left + 2 * m, bottom - top + 2 * m, 4);
    setSource(cr, mix(palette.edgeDark, palette.title, 0.3));
    cairo_fill(cr);
    roundedRect(cr, left - m + 1, top - m + 1, right - left + 2 * m - 2, bottom - top + 2 * m - 2, 3);
    linearGradient(cr, 0, top - m, 0, bottom + m, mix(palette.edgeDark, palette.title, 0.55),
                   mix(palette.edgeDark, palette.sectionBottom, 0.3));
    cairo_fill(cr);
}

// --- Knobs -----------------------------------------------------------------

void drawKnob(cairo_t* cr, double cx, double cy, double startDegrees, double endDegrees, int ticks,
              const Palette& palette) {
    const Rgb skirtLight{74, 80, 88}, skirtDark{30, 33, 38};
    const Rgb capLight{84, 90, 98}, capDark{22, 24, 28};

    // Soft shadow to the lower right, inside the knob's square.
    cairo_pattern_t* shadow = cairo_pattern_create_radial(cx + 0.8, cy + 1.2, 14, cx + 0.8, cy + 1.2, 18);
    cairo_pattern_add_color_stop_rgba(shadow, 0, 0, 0, 0, 0.35);
    cairo_pattern_add_color_stop_rgba(shadow, 1, 0, 0, 0, 0);
    cairo_set_source(cr, shadow);
    cairo_arc(cr, cx, cy, kKnobRadius, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);

    // Skirt: a dark ring carrying the scale.
    const double skirt = kKnobRadius - 0.4;
    cairo_arc(cr, cx, cy, skirt, 0, 2 * kPi);
    linearGradient(cr, cx - skirt, cy - skirt, cx + skirt, cy + skirt, skirtLight, skirtDark);
    cairo_fill(cr);

    // Tick scale over the sweep, printed light on the skirt.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int i = 0; i < ticks; ++i) {
        const double t = double(i) / (ticks - 1);
        const double a = startDegrees + (endDegrees - startDegrees) * t;
        const bool major = i == 0 || i == ticks - 1 || 2 * i == ticks - 1;
        const double inner = major ? kKnobCapRadius - 0.2 : kKnobCapRadius + 0.9;
        const double outer = skirt - 1.3;  // a dark rim stays round the scale
        cairo_set_line_width(cr, major ? 1.6 : 1.1);
        setSource(cr, major ? Rgb{244, 247, 250} : Rgb{196, 203, 211});
        cairo_move_to(cr, px(cx, inner, a), py(cy, inner, a));
        cairo_line_to(cr, px(cx, outer, a), py(cy, outer, a));
        cairo_stroke(cr);
    }

    // Cap: dark, lit from the upper left, with a bright rim above and a dark one below.
    cairo_arc(cr, cx, cy, kKnobCapRadius + 0.6, 0, 2 * kPi);
    setSource(cr, {10, 11, 13}, 0.7);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, kKnobCapRadius, 0, 2 * kPi);
    linearGradient(cr, cx - 10, cy - 12, cx + 10, cy + 12, capLight, capDark);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    cairo_arc(cr, cx, cy, kKnobCapRadius - 0.5, radians(100), radians(250));
    cairo_pattern_t* rim = cairo_pattern_create_linear(cx - 10, cy - 10, cx + 4, cy + 4);
    cairo_pattern_add_color_stop_rgba(rim, 0, 0.78, 0.81, 0.85, 0.85);
    cairo_pattern_add_color_stop_rgba(rim, 1, 0.78, 0.81, 0.85, 0.0);
    cairo_set_source(cr, rim);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
    // A gently domed top face.
    cairo_pattern_t* dome =
        cairo_pattern_create_radial(cx - 4, cy - 5, 1, cx, cy, kKnobCapRadius - 2.5);
    cairo_pattern_add_color_stop_rgba(dome, 0, 1, 1, 1, 0.16);
    cairo_pattern_add_color_stop_rgba(dome, 1, 1, 1, 1, 0.0);
    cairo_set_source(cr, dome);
    cairo_arc(cr, cx, cy, kKnobCapRadius - 2.5, 0, 2 * kPi);
    cairo_fill(cr);
    // Both products share one knob; the palette only tints what surrounds it.
    (void)palette;
}

Picture makeKnobPointer(int size, const Palette& palette) {
    // The dot is anti-aliased against the cap's colour; pixels it hardly covers become the key.
    const Rgb cap{52, 56, 62};
    Picture colour(size, size);
    setSource(colour.cr(), cap);
    cairo_paint(colour.cr());
    const double c = size / 2.0;
    cairo_pattern_t* dot = cairo_pattern_create_radial(c - 0.3, c - 0.3, 0, c, c, 1.7);
    cairo_pattern_add_color_stop_rgb(dot, 0, 250 / 255.0, 250 / 255.0, 248 / 255.0);
    cairo_pattern_add_color_stop_rgb(dot, 1, palette.accent.r / 255, palette.accent.g / 255, palette.accent.b / 255);
    cairo_set_source(colour.cr(), dot);
    cairo_arc(colour.cr(), c, c, 1.8, 0, 2 * kPi);
    cairo_fill(colour.cr());
    cairo_pattern_destroy(dot);
    colour.avoidKeyColour();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x + 0.5 - c, y + 0.5 - c);
            if (d > 2.0) colour.setPixel(x, y, {255, 255, 255});
        }
    return colour;
}

// --- Faders ----------------------------------------------------------------

void drawVerticalSlot(cairo_t* cr, int left, int top, int width, int bottom, int handleLength, int marks,
                      int grooveInset, const Palette& palette) {
    const double cx = left + width / 2.0;
    const double slotWidth = 5;
    // The groove spans the handle's travel; the handle's cap overhangs its ends.
    const double grooveTop = top + grooveInset, grooveBottom = bottom - grooveInset;
    roundedRect(cr, cx - slotWidth / 2, grooveTop + 0.5, slotWidth, grooveBottom - grooveTop, slotWidth / 2);
    setSource(cr, palette.edgeLight);
    cairo_fill(cr);
    roundedRect(cr, cx - slotWidth / 2, grooveTop, slotWidth, grooveBottom - grooveTop, slotWidth / 2);
    setSource(cr, {30, 33, 38});
    cairo_fill(cr);
    roundedRect(cr, cx - slotWidth / 2 + 1, grooveTop + 1.5, slotWidth - 2, grooveBottom - grooveTop - 3, 1.5);
    linearGradient(cr, cx - 2, 0, cx + 2, 0, {20, 22, 26}, {62, 67, 74});
    cairo_fill(cr);

    // Scales either side, outside the fader's rectangle, at the handle's centre.
    const int travel = bottom - top - handleLength;
    cairo_set_line_width(cr, 1);
    for (int i = 0; i < marks; ++i) {
        const double y = top + std::floor(travel * double(i) / (marks - 1)) + handleLength / 2 + 0.5;
        const bool major = i == 0 || i == marks - 1 || 2 * i == marks - 1;
        const double length = major ? 6 : 3.5;
        setSource(cr, palette.scale, major ? 1.0 : 0.75);
        cairo_move_to(cr, left - 1.5, y);
        cairo_line_to(cr, left - 1.5 - length, y);
        cairo_move_to(cr, left + width + 1.5, y);
        cairo_line_to(cr, left + width + 1.5 + length, y);
        cairo_stroke(cr);
    }
}

void drawHorizontalSlot(cairo_t* cr, int left, int top, int right, int height, const Palette& palette) {
    const double cy = top + height / 2.0;
    const double slotHeight = 4;
    roundedRect(cr, left + 0.5, cy - slotHeight / 2 + 1, right - left - 1, slotHeight, slotHeight / 2);
    setSource(cr, palette.edgeLight);
    cairo_fill(cr);
    roundedRect(cr, left + 0.5, cy - slotHeight / 2, right - left - 1, slotHeight, slotHeight / 2);
    linearGradient(cr, 0, cy - 2, 0, cy + 2, {20, 22, 26}, {62, 67, 74});
    cairo_fill(cr);
}

Picture makeFaderHandle(int width, int height, bool vertical, Rgb behind, const Palette& palette) {
    Picture colour(width, height);
    cairo_t* cr = colour.cr();
    setSource(cr, behind);
    cairo_paint(cr);
    // Body: dark, lighter along the top edge, with a soft shadow.
    roundedRect(cr, 0.5, 0.5, width - 1, height - 1, 2.5);
    linearGradient(cr, 0, 0, 0, height, {88, 94, 102}, {28, 31, 36});
    cairo_fill(cr);
    roundedRect(cr, 1.5, 1.5, width - 3, height - 3, 1.5);
    cairo_set_line_width(cr, 1);
    linearGradient(cr, 0, 0, 0, height, {150, 157, 166}, {50, 54, 60});
    cairo_stroke(cr);
    // Grip grooves and the bright index line across the travel.
    cairo_set_line_width(cr, 1);
    if (vertical) {
        const double mid = height / 2.0;
        for (double dy : {-4.0, 4.0}) {
            setSource(cr, {20, 22, 26}, 0.8);
            cairo_move_to(cr, 3, std::floor(mid + dy) + 0.5);
            cairo_line_to(cr, width - 3, std::floor(mid + dy) + 0.5);
            cairo_stroke(cr);
        }
        setSource(cr, palette.accent);
        cairo_rectangle(cr, 2, std::floor(mid) - 0.5, width - 4, 2);
        cairo_fill(cr);
    } else {
        const double mid = width / 2.0;
        for (double dx : {-4.0, 4.0}) {
            setSource(cr, {20, 22, 26}, 0.8);
            cairo_move_to(cr, std::floor(mid + dx) + 0.5, 3);
            cairo_line_to(cr, std::floor(mid + dx) + 0.5, height - 3);
            cairo_stroke(cr);
        }
        setSource(cr, palette.accent);
        cairo_rectangle(cr, std::floor(mid) - 0.5, 2, 2, height - 4);
        cairo_fill(cr);
    }
    colour.avoidKeyColour();
    // Key what lies outside the rounded outline (its corners).
    Picture shape(width, height);
    cairo_set_source_rgb(shape.cr(), 0, 0, 0);
    cairo_paint(shape.cr());
    roundedRect(shape.cr(), 0.5, 0.5, width - 1, height - 1, 2.5);
    cairo_set_source_rgb(shape.cr(), 1, 1, 1);
    cairo_fill(shape.cr());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (shape.pixel(x, y).r < 110) colour.setPixel(x, y, {255, 255, 255});
    return colour;
}

// --- Buttons and indicators -----------------------------------------------

Picture makeToggle(const Picture& background, const char* caption, const Palette& palette) {
    const int w = background.width(), h = background.height();
    Picture out(w, 2 * h);
    for (int state = 0; state < 2; ++state) {
        const double top = state * h;
        out.paste(background, 0, state * h);
        cairo_t* cr = out.cr();
        // Cap.
        roundedRect(cr, 0.5, top + 0.5, w - 1, h - 1, 3);
        linearGradient(cr, 0, top, 0, top + h, state ? Rgb{78, 84, 92} : Rgb{70, 75, 82},
                       state ? Rgb{34, 37, 42} : Rgb{30, 33, 37});
        cairo_fill(cr);
        roundedRect(cr, 1.5, top + 1.5, w - 3, h - 3, 2);
        cairo_set_line_width(cr, 1);
        linearGradient(cr, 0, top, 0, top + h, {140, 147, 156}, {44, 48, 54});
        cairo_stroke(cr);
        // LED bar: dark when off, lit with a glow when on.
        const bool captioned = caption && *caption;
        const double barW = std::min(16.0, w - 10.0), barH = 3;
        const double bx = (w - barW) / 2, by = captioned ? top + 4 : top + (h - barH) / 2;
        if (state) {
            cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2.0, by + 1.5, 1, w / 2.0, by + 1.5, barW * 0.75);
            cairo_pattern_add_color_stop_rgba(glow, 0, palette.accent.r / 255, palette.accent.g / 255,
                                              palette.accent.b / 255, 0.55);
            cairo_pattern_add_color_stop_rgba(glow, 1, palette.accent.r / 255, palette.accent.g / 255,
                                              palette.accent.b / 255, 0);
            cairo_set_source(cr, glow);
            roundedRect(cr, 2, top + 2, w - 4, h - 4, 2);
            cairo_fill(cr);
            cairo_pattern_destroy(glow);
        }
        roundedRect(cr, bx, by, barW, barH, 1.5);
        setSource(cr, state ? mix(palette.accent, {250, 250, 248}, 0.35) : Rgb{24, 40, 48});
        cairo_fill(cr);
        // Caption.
        if (captioned) {
            useFont(cr, Face::CondensedBold, 8);
            setSource(cr, state ? Rgb{236, 240, 244} : Rgb{150, 157, 166});
            showText(cr, caption, w / 2.0, top + h - 5, Align::Centre);
        }
    }
    out.avoidKeyColour();
    return out;
}

void drawIndicatorBezel(cairo_t* cr, double x, double y, double size, const Palette& palette) {
    const double c = size / 2.0;
    cairo_arc(cr, x + c, y + c + 0.5, c - 0.5, 0, 2 * kPi);
    setSource(cr, palette.edgeLight);
    cairo_fill(cr);
    cairo_arc(cr, x + c, y + c, c - 0.5, 0, 2 * kPi);
    linearGradient(cr, x, y, x, y + size, {40, 44, 50}, {110, 116, 124});
    cairo_fill(cr);
}

Picture makeIndicator(const Picture& background, Rgb lit) {
    const int w = background.width(), h = background.height();
    Picture out(w, 2 * h);
    for (int state = 0; state < 2; ++state) {
        out.paste(background, 0, state * h);
        cairo_t* cr = out.cr();
        const double cx = w / 2.0, cy = state * h + h / 2.0, r = w / 2.0 - 2.5;
        cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
        Rgb dark = mix(lit, {20, 20, 22}, 0.78);
        cairo_pattern_t* lens = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, 0.5, cx, cy, r);
        const Rgb centre = state ? mix(lit, {250, 250, 248}, 0.55) : mix(dark, {120, 120, 120}, 0.3);
        const Rgb edge = state ? lit : dark;
        cairo_pattern_add_color_stop_rgb(lens, 0, centre.r / 255, centre.g / 255, centre.b / 255);
        cairo_pattern_add_color_stop_rgb(lens, 1, edge.r / 255, edge.g / 255, edge.b / 255);
        cairo_set_source(cr, lens);
        cairo_fill(cr);
        cairo_pattern_destroy(lens);
        if (state) {
            // Glow spilling over the bezel.
            cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, r * 0.6, cx, cy, w / 2.0);
            cairo_pattern_add_color_stop_rgba(glow, 0, lit.r / 255, lit.g / 255, lit.b / 255, 0.5);
            cairo_pattern_add_color_stop_rgba(glow, 1, lit.r / 255, lit.g / 255, lit.b / 255, 0);
            cairo_set_source(cr, glow);
            cairo_arc(cr, cx, cy, w / 2.0, 0, 2 * kPi);
            cairo_fill(cr);
        }
    }
    out.avoidKeyColour();
    return out;
}

// --- Logo strip and about picture -------------------------------------------

void drawLogoStrip(cairo_t* cr, double left, double top, double right, double bottom, const char* product,
                   double logoLeft, double logoRight, const Palette& palette) {
    linearGradient(cr, 0, top, 0, bottom, mix(palette.strip, {255, 255, 255}, 0.12), palette.strip);
    cairo_rectangle(cr, left, top, right - left, bottom - top);
    cairo_fill(cr);
    setSource(cr, mix(palette.strip, {0, 0, 0}, 0.35));
    cairo_rectangle(cr, left, top, right - left, 1);
    cairo_fill(cr);

    const double baseline = bottom - 4;
    useFont(cr, Face::SansBold, 8);
    setSource(cr, palette.stripDim);
    showText(cr, "VORSA AUDIO", left + 10, baseline, Align::Left, 1.5);

    // The product name with its mark: a four-pointed glint in the accent colour.
    std::string upper(product);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    useFont(cr, Face::SansBold, 11);
    const double nameWidth = textWidth(cr, upper.c_str(), 2.0);
    const double markSize = 5;
    const double total = nameWidth + 2 * markSize + 6;
    const double startX = std::round((logoLeft + logoRight) / 2 - total / 2);
    const double mx = startX + markSize, my = (top + bottom) / 2.0 + 0.5;
    setSource(cr, palette.accent);
    cairo_move_to(cr, mx, my - markSize);
    cairo_curve_to(cr, mx + 0.8, my - 0.8, mx + 0.8, my - 0.8, mx + markSize, my);
    cairo_curve_to(cr, mx + 0.8, my + 0.8, mx + 0.8, my + 0.8, mx, my + markSize);
    cairo_curve_to(cr, mx - 0.8, my + 0.8, mx - 0.8, my + 0.8, mx - markSize, my);
    cairo_curve_to(cr, mx - 0.8, my - 0.8, mx - 0.8, my - 0.8, mx, my - markSize);
    cairo_fill(cr);
    setSource(cr, palette.stripText);
    useFont(cr, Face::SansBold, 11);
    showText(cr, upper.c_str(), startX + 2 * markSize + 6, baseline + 0.5, Align::Left, 2.0);
}

void drawStripPlate(cairo_t* cr, double left, double top, double right, double bottom, const Palette& palette) {
    roundedRect(cr, left, top, right - left, bottom - top, 3);
    setSource(cr, mix(palette.strip, {0, 0, 0}, 0.4));
    cairo_fill(cr);
    roundedRect(cr, left + 1, top + 1, right - left - 2, bottom - top - 2, 2.5);
    linearGradient(cr, 0, top, 0, bottom, palette.window, mix(palette.window, palette.sectionBottom, 0.5));
    cairo_fill(cr);
}

Picture makeAboutPicture(int width, int height, int firstLine, int lastLine, const Palette& palette) {
    Picture out(width, height);
    cairo_t* cr = out.cr();
    linearGradient(cr, 0, 0, 0, height, mix(palette.window, {250, 250, 248}, 0.4), palette.sectionTop);
    cairo_paint(cr);
    // Accent band along the top and a fine frame.
    setSource(cr, palette.accent);
    cairo_rectangle(cr, 0, 0, width, 4);
    cairo_fill(cr);
    setSource(cr, mix(palette.accent, palette.title, 0.4));
    cairo_rectangle(cr, 0, 4, width, 1);
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    setSource(cr, palette.edgeDark);
    cairo_rectangle(cr, 0.5, 0.5, width - 1, height - 1);
    cairo_stroke(cr);
    // A fine rule between the three product lines and the last one.
    const double ruleY = std::floor((firstLine + 3 * 16 + lastLine) / 2.0) + 0.5;
    cairo_pattern_t* rule = cairo_pattern_create_linear(width * 0.2, 0, width * 0.8, 0);
    const Rgb e = palette.edgeDark;
    cairo_pattern_add_color_stop_rgba(rule, 0, e.r / 255, e.g / 255, e.b / 255, 0);
    cairo_pattern_add_color_stop_rgba(rule, 0.5, e.r / 255, e.g / 255, e.b / 255, 1);
    cairo_pattern_add_color_stop_rgba(rule, 1, e.r / 255, e.g / 255, e.b / 255, 0);
    cairo_set_source(cr, rule);
    cairo_move_to(cr, width * 0.2, ruleY);
    cairo_line_to(cr, width * 0.8, ruleY);
    cairo_stroke(cr);
    cairo_pattern_destroy(rule);
    out.avoidKeyColour();
    return out;
}

}  // namespace art
