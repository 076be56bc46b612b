// The treble editor's artwork: cool light aluminium with a cyan-blue accent,
// every element placed from the editor's own layout table.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/artwork/art_primitives.h"
#include "tools/artwork/art_products.h"
#include "treble_editor/treble_layout.h"

namespace art {
namespace {
namespace L = treble_layout;

const Palette kGlintor = {
    {214, 220, 226}, {190, 197, 205},  // panel
    {204, 210, 217}, {189, 196, 204},  // sections
    {146, 154, 164}, {234, 238, 242},  // edges
    {60, 68, 80},    {226, 231, 236},  // titles
    {88, 96, 108},                     // scales
    {32, 168, 232},                    // accent
    {238, 241, 244}, {142, 150, 161},  // value windows
    {44, 49, 56},    {232, 236, 240}, {150, 158, 168},  // logo strip
};

// Every value field of the editor, for keeping their windows apart.
std::vector<L::Pos> valueFields() {
    std::vector<L::Pos> fields;
    for (const L::FaderRow& f : L::kFaders) fields.push_back(f.value);
    for (const L::KnobRow& k : L::kKnobs) fields.push_back(k.value);
    return fields;
}

// The light window under a value field: two rows short of the field's top, where
// a knob's square reaches in, and narrowed where a neighbouring field overlaps.
void valueWindow(cairo_t* cr, L::Pos field) {
    double left = field.x + 1, right = field.x + L::kFieldWidth - 1;
    for (const L::Pos& other : valueFields()) {
        const bool overlaps = other.x != field.x && std::abs(other.x - field.x) < L::kFieldWidth &&
                              std::abs(other.y - field.y) < L::kFieldHeight;
        if (!overlaps) continue;
        const double middle = other.x > field.x ? (field.x + L::kFieldWidth + other.x) / 2.0
                                                : (other.x + L::kFieldWidth + field.x) / 2.0;
        if (other.x > field.x)
            right = std::min(right, std::floor(middle) - 1);
        else
            left = std::max(left, std::ceil(middle) + 1);
    }
    drawValueWindow(cr, left, field.y + 2, right, field.y + L::kFieldHeight, kGlintor);
}

Picture drawBackground() {
    Picture bg(L::kWidth, L::kHeight);
    cairo_t* cr = bg.cr();
    drawPanel(bg, kGlintor);
    for (const L::Section& s : L::kSections)
        drawSection(cr, s.area.left, s.area.top, s.area.right, s.area.bottom, s.title, kGlintor);

    for (const L::FaderRow& f : L::kFaders) {
        drawVerticalSlot(cr, f.x, L::kFaderTop, L::kFaderWidth, L::kFaderBottom, L::kFaderHandleHeight, 11, 2,
                         kGlintor);
        valueWindow(cr, f.value);
    }
    for (const L::KnobRow& k : L::kKnobs) valueWindow(cr, k.value);
    for (const L::KnobRow& k : L::kKnobs)
        drawKnob(cr, k.knob.x + L::kKnobSize / 2.0, k.knob.y + L::kKnobSize / 2.0, L::kKnobStartDegrees,
                 L::kKnobEndDegrees, 11, kGlintor);
    for (const L::ToggleRow& t : L::kToggles)
        drawButtonWell(cr, t.at.x, t.at.y, t.at.x + t.width, t.at.y + t.height / 2, kGlintor);
    for (const L::IndicatorRow* i : {&L::kOverEnhanced, &L::kPeakOver})
        drawIndicatorBezel(cr, i->at.x, i->at.y, L::kIndicatorSize, kGlintor);
    // The stereo/mono button is too small for a caption of its own.
    for (const L::ToggleRow& t : L::kToggles)
        if (t.bitmap == L::kStereoMonoBitmap)
            engravedText(cr, "mono", t.at.x + t.width + 6, t.at.y + t.height / 4 + 3.5, Align::Left, 7.5, kGlintor, 0.8);

    drawLogoStrip(cr, L::kLogoStrip.left, L::kLogoStrip.top, L::kLogoStrip.right, L::kLogoStrip.bottom, "Glintor",
                  L::kAboutClick.left, L::kAboutClick.right, kGlintor);
    useFont(cr, Face::SansBold, 7);
    setSource(cr, kGlintor.stripDim);
    showText(cr, "TREBLE ENHANCER", L::kAboutClick.right + 12, L::kLogoStrip.bottom - 4.5, Align::Left, 1.2);
    drawStripPlate(cr, L::kMixLabel.left - 4, L::kLogoStrip.top + 1, L::kMixValue.right + 1, L::kLogoStrip.bottom - 1,
                   kGlintor);
    drawHorizontalSlot(cr, L::kMixFader.left, L::kMixFader.top, L::kMixFader.right, L::kMixFader.height(), kGlintor);
    bg.avoidKeyColour();
    return bg;
}

const char* captionOf(int bitmap) {
    switch (bitmap) {
        case L::kProcessBitmap:
            return "PROCESS";
        case L::kSaturationBitmap:
            return "SATURATE";
        case L::kStereoMonoBitmap:
            return "";
        default:
            return "ACTIVE";
    }
}

std::string pathOf(const std::string& folder, int number) { return folder + "/" + std::to_string(number) + ".bmp"; }
}  // namespace

bool writeGlintorArtwork(const std::string& folder) {
    Picture bg = drawBackground();
    bool ok = bg.saveBmp(pathOf(folder, L::kBackgroundBitmap));
    ok = makeKnobPointer(L::kPointerSize, kGlintor).saveBmp(pathOf(folder, L::kKnobPointerBitmap)) && ok;
    const Rgb behindHandle = mix(kGlintor.sectionTop, kGlintor.sectionBottom, 0.5);
    ok = makeFaderHandle(L::kFaderWidth, L::kFaderHandleHeight, true, behindHandle, kGlintor)
             .saveBmp(pathOf(folder, L::kFaderHandleBitmap)) && ok;
    ok = bg.crop(L::kMixFader.left, L::kMixFader.top, L::kMixFader.width(), L::kMixFader.height())
             .saveBmp(pathOf(folder, L::kMixBackgroundBitmap)) && ok;
    ok = makeFaderHandle(L::kMixHandleWidth, L::kMixFader.height(), false, kGlintor.window, kGlintor)
             .saveBmp(pathOf(folder, L::kMixHandleBitmap)) && ok;
    for (const L::ToggleRow& t : L::kToggles) {
        Picture under = bg.crop(t.at.x, t.at.y, t.width, t.height / 2);
        ok = makeToggle(under, captionOf(t.bitmap), kGlintor).saveBmp(pathOf(folder, t.bitmap)) && ok;
    }
    const Rgb amber{255, 176, 40}, red{240, 52, 44};
    for (const L::IndicatorRow* i : {&L::kOverEnhanced, &L::kPeakOver}) {
        Picture under = bg.crop(i->at.x, i->at.y, L::kIndicatorSize, L::kIndicatorSize);
        ok = makeIndicator(under, i == &L::kOverEnhanced ? amber : red).saveBmp(pathOf(folder, i->bitmap)) && ok;
    }
    const int firstLine = L::kAboutTextOrigin.y;
    ok = makeAboutPicture(L::kAboutPicture.width(), L::kAboutPicture.height(), firstLine, firstLine + 3 * 16 + 24,
                          kGlintor)
             .saveBmp(pathOf(folder, L::kAboutBitmap)) && ok;
    return ok;
}

}  // namespace art
