// The bass editor's artwork: warm sand panel with amber and deep orange
// accents, and the gain dial the needle turns on; every element placed from
// the editor's own layout table.
#include <cmath>
#include <string>

#include "bass_editor/bass_layout.h"
#include "tools/artwork/art_primitives.h"
#include "tools/artwork/art_products.h"

namespace art {
namespace {
namespace L = bass_layout;

constexpr double kPi = 3.14159265358979323846;

const Palette kRumblor = {
    {240, 231, 211}, {224, 210, 182},  // panel
    {232, 220, 195}, {218, 203, 172},  // sections
    {170, 148, 114}, {250, 244, 230},  // edges
    {88, 64, 40},    {247, 240, 224},  // titles
    {116, 90, 62},                     // scales
    {236, 112, 22},                    // accent: deep orange
    {250, 245, 234}, {176, 154, 118},  // value windows
    {54, 44, 36},    {246, 234, 214}, {176, 154, 124},  // logo strip
};

// Knob sweep as the knob control turns: value 0 at 225 degrees, 1 at -45.
constexpr double kKnobStart = 225.0, kKnobEnd = -45.0;

// The dial's pixel centre: the needle is drawn through pixel (133, 51).
constexpr double kDialX = L::kNeedleX + 0.5, kDialY = L::kNeedleY + 0.5;

double needleDegrees(double meterValue) {
    return (L::kNeedleStartAngle - meterValue * L::kNeedleSweep) * 180.0 / kPi;
}
double px(double r, double degrees) { return kDialX + r * std::cos(degrees * kPi / 180.0); }
double py(double r, double degrees) { return kDialY - r * std::sin(degrees * kPi / 180.0); }

// Blue at 0 dB, green at +24, red at +48.
Rgb dialColour(double t) {
    const Rgb blue{40, 110, 210}, green{60, 170, 70}, red{222, 48, 36};
    return t < 0.5 ? mix(blue, green, t * 2) : mix(green, red, t * 2 - 1);
}

void valueWindow(cairo_t* cr, int x, int y, int width = L::kFieldWidth, int height = L::kFieldHeight) {
    // Two rows short of the field's top, where a knob's square reaches in.
    drawValueWindow(cr, x + 3, y + 2, x + width - 3, y + height, kRumblor);
}

// The gain dial: a light face under the needle, a coloured arc over the
// needle's sweep, ticks every 6 dB and the three marks.
void drawGainDial(cairo_t* cr) {
    const double face = L::kNeedleOuter + 1.0, arcInner = face + 0.5, arcOuter = arcInner + 3.0;
    // Recessed bezel.
    cairo_arc(cr, kDialX, kDialY + 0.7, arcOuter + 1.5, 0, 2 * kPi);
    setSource(cr, kRumblor.edgeLight);
    cairo_fill(cr);
    cairo_arc(cr, kDialX, kDialY, arcOuter + 1.5, 0, 2 * kPi);
    setSource(cr, mix(kRumblor.edgeDark, kRumblor.title, 0.4));
    cairo_fill(cr);
    cairo_arc(cr, kDialX, kDialY, arcOuter + 0.5, 0, 2 * kPi);
    setSource(cr, {62, 52, 44});
    cairo_fill(cr);

    // The coloured arc, in small steps so the colour runs along the angle.
    const int steps = 84;
    const double a0 = needleDegrees(0.0), a1 = needleDegrees(1.0);
    for (int i = 0; i < steps; ++i) {
        const double t0 = double(i) / steps, t1 = double(i + 1) / steps;
        const double d0 = (a0 + (a1 - a0) * t0) * kPi / 180.0, d1 = (a0 + (a1 - a0) * t1) * kPi / 180.0;
        cairo_new_path(cr);
        // Cairo measures angles clockwise: the sweep runs towards larger ones.
        cairo_arc(cr, kDialX, kDialY, arcOuter, -d0, -d1 + 0.01);
        cairo_arc_negative(cr, kDialX, kDialY, arcInner, -d1 + 0.01, -d0);
        cairo_close_path(cr);
        setSource(cr, dialColour((t0 + t1) / 2));
        cairo_fill(cr);
    }

    // Face: light, calm, slightly domed, so the black needle reads clearly.
    cairo_arc(cr, kDialX, kDialY, face, 0, 2 * kPi);
    cairo_pattern_t* dome = cairo_pattern_create_radial(kDialX - 5, kDialY - 6, 2, kDialX, kDialY, face);
    cairo_pattern_add_color_stop_rgb(dome, 0, 250 / 255.0, 247 / 255.0, 238 / 255.0);
    cairo_pattern_add_color_stop_rgb(dome, 1, 232 / 255.0, 222 / 255.0, 200 / 255.0);
    cairo_set_source(cr, dome);
    cairo_fill(cr);
    cairo_pattern_destroy(dome);

    // Ticks every 6 dB on the face's rim, longer at 0, +24 and +48.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int db = 0; db <= 48; db += 6) {
        const double a = needleDegrees(db / L::kDialMaxDecibels);
        const bool major = db % 24 == 0;
        const double inner = major ? face - 4.5 : face - 2.5;
        cairo_set_line_width(cr, major ? 1.4 : 1.0);
        setSource(cr, major ? Rgb{70, 56, 44} : Rgb{128, 110, 90});
        cairo_move_to(cr, px(inner, a), py(inner, a));
        cairo_line_to(cr, px(face, a), py(face, a));
        cairo_stroke(cr);
    }
    // The pivot.
    cairo_arc(cr, kDialX, kDialY, 2.2, 0, 2 * kPi);
    setSource(cr, {86, 70, 54});
    cairo_fill(cr);

    // The marks outside the arc.
    useFont(cr, Face::SansBold, 6.5);
    const struct {
        double value;
        const char* text;
        double dx, dy;
    } marks[] = {{0.0, "0", -1.0, 4.0}, {0.5, "+24", 0.0, 1.0}, {1.0, "+48", 3.0, 4.0}};
    for (const auto& m : marks) {
        const double a = needleDegrees(m.value), r = arcOuter + 5.0;
        setSource(cr, kRumblor.titleHighlight);
        showText(cr, m.text, px(r, a) + m.dx, py(r, a) + m.dy + 3.0, Align::Centre);
        setSource(cr, kRumblor.title);
        showText(cr, m.text, px(r, a) + m.dx, py(r, a) + m.dy + 2.0, Align::Centre);
    }
}

// A small engraved caption beside a control that has no label field.
void caption(cairo_t* cr, const char* text, double x, double baseline, Align align) {
    engravedText(cr, text, x, baseline, align, 6.5, kRumblor, 0.8);
}

Picture drawBackground() {
    Picture bg(L::kWidth, L::kHeight);
    cairo_t* cr = bg.cr();
    drawPanel(bg, kRumblor);
    for (const L::Section& s : L::kSections)
        drawSection(cr, s.box.left, s.box.top, s.box.right, s.box.bottom, s.title, kRumblor);

    for (const L::Knob& k : L::kKnobs) valueWindow(cr, k.valueX, k.valueY);
    for (const L::Knob& k : L::kKnobs)
        drawKnob(cr, L::knobCentreX(k), L::knobCentreY(k), kKnobStart, kKnobEnd, 11, kRumblor);
    for (const L::Toggle* t : {&L::kSaturation, &L::kProcess, &L::kStereoMono}) {
        const L::Box b = t->box();
        drawButtonWell(cr, b.left, b.top, b.right, b.bottom, kRumblor);
    }
    caption(cr, "STEREO", L::kStereoMono.box().left - 6, L::kStereoMono.box().bottom - 5, Align::Right);
    drawIndicatorBezel(cr, L::kOverloadX, L::kOverloadY, L::kOverloadSize, kRumblor);
    caption(cr, "PEAK", L::kOverloadX + L::kOverloadSize + 3, L::kOverloadY + 18, Align::Left);
    drawGainDial(cr);

    drawLogoStrip(cr, L::kLogoStrip.left, L::kLogoStrip.top, L::kLogoStrip.right, L::kLogoStrip.bottom, "Rumblor",
                  L::kAboutClick.left, L::kAboutClick.right, kRumblor);
    drawStripPlate(cr, L::kMixLabel.left - 2, L::kLogoStrip.top + 1, L::kWidth - 1, L::kLogoStrip.bottom - 1,
                   kRumblor);
    drawHorizontalSlot(cr, L::kMixFader.left, L::kMixFader.top, L::kMixFader.right, L::kMixFader.height(), kRumblor);
    bg.avoidKeyColour();
    return bg;
}

std::string pathOf(const std::string& folder, int number) { return folder + "/" + std::to_string(number) + ".bmp"; }
}  // namespace

bool writeRumblorArtwork(const std::string& folder) {
    Picture bg = drawBackground();
    bool ok = bg.saveBmp(pathOf(folder, L::kBackgroundBitmap));
    ok = makeKnobPointer(L::kPointerSize, kRumblor).saveBmp(pathOf(folder, L::kPointerBitmap)) && ok;
    ok = bg.crop(L::kMixFader.left, L::kMixFader.top, L::kMixFader.width(), L::kMixFader.height())
             .saveBmp(pathOf(folder, L::kMixFaderBitmap)) && ok;
    ok = makeFaderHandle(L::kHandleWidth, L::kHandleHeight, false, kRumblor.window, kRumblor)
             .saveBmp(pathOf(folder, L::kMixHandleBitmap)) && ok;
    for (const L::Toggle* t : {&L::kSaturation, &L::kProcess, &L::kStereoMono}) {
        const L::Box b = t->box();
        Picture under = bg.crop(b.left, b.top, b.width(), b.height());
        ok = makeToggle(under, t == &L::kStereoMono ? "" : "ON", kRumblor).saveBmp(pathOf(folder, t->bitmap)) && ok;
    }
    Picture underLight = bg.crop(L::kOverloadX, L::kOverloadY, L::kOverloadSize, L::kOverloadSize);
    ok = makeIndicator(underLight, {240, 52, 36}).saveBmp(pathOf(folder, L::kOverloadBitmap)) && ok;
    const int firstLine = L::kAboutTextY;
    ok = makeAboutPicture(L::kAboutWidth, L::kAboutHeight, firstLine, firstLine + 3 * 16 + 24, kRumblor)
             .saveBmp(pathOf(folder, L::kAboutBitmap)) && ok;
    return ok;
}

}  // namespace art
