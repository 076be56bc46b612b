// Drawing primitives shared by the artwork of every product: panel, sections
// with engraved titles, knobs with their scales, fader slots and handles,
// button wells and two-frame buttons, indicators, the logo strip and the
// about picture. Each product picks a palette and places these from its
// layout table; both products thus share one look in two temperatures.
#pragma once

#include <cairo.h>

#include <string>

namespace art {

struct Rgb {
    double r, g, b;  // 0..255
};

Rgb mix(Rgb a, Rgb b, double t);  // t = 0 gives a, 1 gives b
void setSource(cairo_t* cr, Rgb c, double alpha = 1.0);

// The colours of one product.
struct Palette {
    Rgb panelTop, panelBottom;      // the editor background's vertical gradient
    Rgb sectionTop, sectionBottom;  // the slightly darker section panels
    Rgb edgeDark, edgeLight;        // recessed edges: shadow above, highlight below
    Rgb title, titleHighlight;      // engraved titles and the lighter line under them
    Rgb scale;                      // printed fader scales
    Rgb accent;                     // pointer, logo mark, lit buttons
    Rgb window, windowEdge;         // value-field windows
    Rgb strip, stripText, stripDim;  // the logo strip
};

// An RGB24 picture with its own drawing context.
class Picture {
public:
    Picture(int width, int height);
    ~Picture();
    Picture(Picture&& other) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    Picture& operator=(Picture&&) = delete;

    int width() const { return w; }
    int height() const { return h; }
    cairo_t* cr() const { return context; }
    cairo_surface_t* surface() const { return image; }

    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb c);
    // A copy of the area with top-left (x, y).
    Picture crop(int x, int y, int width, int height) const;
    // Copies `source` with its top-left at (x, y).
    void paste(const Picture& source, int x, int y);
    // Pure white is the colour key of the editors; visible pixels never use it.
    void avoidKeyColour();
    bool saveBmp(const std::string& path) const;

private:
    int w, h;
    cairo_surface_t* image;
    cairo_t* context;
};

// Fonts from fonts-dejavu-core, loaded from their files so that every machine
// draws the same glyphs; hinting is off for the same reason.
enum class Face { Sans, SansBold, CondensedBold };
enum class Align { Left, Centre, Right };
// Exits with a message when the font file is missing.
void useFont(cairo_t* cr, Face face, double pixelSize);
// Width of `text` with `spacing` extra pixels after every character but the last.
double textWidth(cairo_t* cr, const char* text, double spacing = 0.0);
void showText(cairo_t* cr, const char* text, double x, double baseline, Align align, double spacing = 0.0);
// `text` in letter-spaced capitals, dark with a 1-px lighter line under it, as if engraved.
void engravedText(cairo_t* cr, const char* text, double x, double baseline, Align align, double size,
                  const Palette& palette, double spacing = 1.0);

void roundedRect(cairo_t* cr, double x, double y, double width, double height, double radius);

// The whole background: a subtle vertical gradient.
void drawPanel(Picture& picture, const Palette& palette);
// A recessed section panel (rounded, radius 5) with its title engraved along its top.
void drawSection(cairo_t* cr, double left, double top, double right, double bottom, const char* title,
                 const Palette& palette);
// A calm light window for a value text, recessed by one pixel.
void drawValueWindow(cairo_t* cr, double left, double top, double right, double bottom, const Palette& palette);
// The recess a button sits in: `left`..`bottom` is the button itself.
void drawButtonWell(cairo_t* cr, double left, double top, double right, double bottom, const Palette& palette);

// A knob centred on (cx, cy): skirt with a tick scale over the sweep from
// startDegrees (value 0) clockwise to endDegrees (value 1), a longer tick at both
// ends and in the middle, and a dark cap lit from the upper left. Fits in a
// square of 2 * kKnobRadius.
constexpr double kKnobRadius = 18.0;
constexpr double kKnobCapRadius = 13.2;
void drawKnob(cairo_t* cr, double cx, double cy, double startDegrees, double endDegrees, int ticks,
              const Palette& palette);

// A vertical fader slot over (left, top)-(left + width, bottom), the handle's
// whole travel, with printed scales beside it (outside the rectangle) at the
// handle's centre for `marks` evenly spaced values. The groove stops
// `grooveInset` pixels short of both ends, to keep clear of texts there.
void drawVerticalSlot(cairo_t* cr, int left, int top, int width, int bottom, int handleLength, int marks,
                      int grooveInset, const Palette& palette);
// A horizontal slot over (left, top)-(right, top + height), the handle's whole travel.
void drawHorizontalSlot(cairo_t* cr, int left, int top, int right, int height, const Palette& palette);

// The knob pointer: a bright dot on the dark cap, keyed around it.
Picture makeKnobPointer(int size, const Palette& palette);
// A fader handle: a dark cap with a bright index line across its travel
// direction; keyed outside its rounded outline. `behind` is the colour its
// antialiased edge blends into.
Picture makeFaderHandle(int width, int height, bool vertical, Rgb behind, const Palette& palette);
// A two-frame button (upper off, lower on) drawn over `background`, the
// picture under the button's place, so the frames sit seamlessly in their well.
// Without a caption the button carries only its light, centred.
Picture makeToggle(const Picture& background, const char* caption, const Palette& palette);
// A two-frame indicator (upper dark, lower lit in `lit`) over `background`.
Picture makeIndicator(const Picture& background, Rgb lit);
// A round bezel for an indicator of `size` pixels at (x, y).
void drawIndicatorBezel(cairo_t* cr, double x, double y, double size, const Palette& palette);

// The logo strip: a dark band with the maker at the left, and the product
// name with its mark centred in `logo` (the about click area).
void drawLogoStrip(cairo_t* cr, double left, double top, double right, double bottom, const char* product,
                   double logoLeft, double logoRight, const Palette& palette);
// A light recessed plate in the strip (for the mix fader and its texts).
void drawStripPlate(cairo_t* cr, double left, double top, double right, double bottom, const Palette& palette);
// The about picture: a calm light panel without lettering, for text lines
// printed by the editor at `firstLine` and every 16 pixels, the last one at `lastLine`.
Picture makeAboutPicture(int width, int height, int firstLine, int lastLine, const Palette& palette);

}  // namespace art
