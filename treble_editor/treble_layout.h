// Where everything on the treble editor sits. The editor places its controls
// from these tables and the artwork generator paints the picture under them
// from the same tables, so a control can never drift off its picture.
// Plain aggregates only: the generator includes this without the toolkit.
#pragma once

namespace treble_layout {

struct Pos {
    int x;
    int y;
};

struct Box {
    int left;
    int top;
    int right;
    int bottom;
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
};

constexpr int kWidth = 622;
constexpr int kHeight = 272;

// Bitmap resource numbers.
enum Bitmap {
    kBackgroundBitmap = 128,
    kKnobPointerBitmap = 129,
    kFaderHandleBitmap = 130,
    kMixBackgroundBitmap = 131,
    kMixHandleBitmap = 132,
    kProcessBitmap = 133,
    kProcessHissBitmap = 134,
    kProcessTranBitmap = 135,
    kProcessEnhBitmap = 136,
    kExciterBitmap = 137,
    kSaturationBitmap = 138,
    kOverEnhancedBitmap = 139,
    kPeakOverBitmap = 140,
    kStereoMonoBitmap = 141,
    kAboutBitmap = 199,
};

constexpr int kFieldWidth = 50;
constexpr int kFieldHeight = 14;

constexpr int kKnobSize = 36;
constexpr int kPointerSize = 5;
// The knob sweep: value 0 at 225 degrees, value 1 at -45 degrees, clockwise over the top.
constexpr double kKnobStartDegrees = 225.0;
constexpr double kKnobEndDegrees = -45.0;

struct KnobRow {
    int tag;
    Pos knob;  // top-left of the 36 x 36 square
    Pos label;
    int labelNumber;
    Pos value;  // the value field; what it shows is the parameter table's field rule
};

constexpr KnobRow kKnobs[] = {
    {2, {72, 42}, {66, 28}, 1, {66, 76}},
    {10, {72, 108}, {66, 94}, 2, {66, 142}},
    {9, {72, 173}, {66, 159}, 3, {66, 207}},
    {13, {168, 42}, {162, 28}, 4, {162, 76}},
    {11, {168, 108}, {162, 94}, 5, {162, 142}},
    {12, {168, 173}, {162, 159}, 6, {162, 207}},
    {14, {292, 42}, {286, 28}, 8, {286, 76}},
    {4, {292, 173}, {286, 159}, 9, {286, 207}},
    {15, {417, 42}, {411, 28}, 11, {411, 76}},
    {16, {417, 108}, {411, 94}, 12, {411, 142}},
    {17, {417, 173}, {411, 159}, 13, {411, 207}},
    {8, {542, 173}, {536, 159}, 15, {536, 207}},
};

// Vertical faders: rectangle (x, kFaderTop)-(x + kFaderWidth, kFaderBottom);
// the handle travels from kFaderTop to kFaderBottom - kFaderHandleHeight.
constexpr int kFaderTop = 40;
constexpr int kFaderBottom = 211;
constexpr int kFaderWidth = 25;
constexpr int kFaderHandleHeight = 15;

struct FaderRow {
    int tag;
    int x;
    Pos label;
    int labelNumber;
    Pos value;
};

constexpr FaderRow kFaders[] = {
    {1, 30, {16, 28}, 0, {16, 210}},
    {3, 222, {208, 28}, 7, {208, 210}},
    {5, 376, {362, 28}, 10, {362, 210}},
    {6, 472, {458, 28}, 14, {458, 210}},
};

struct ToggleRow {
    int tag;
    int bitmap;
    Pos at;
    int width;   // of the bitmap; each of its two frames is half its height
    int height;
};

// In the order the editor adds them.
constexpr ToggleRow kToggles[] = {
    {18, kSaturationBitmap, {541, 53}, 48, 44},  {23, kStereoMonoBitmap, {550, 86}, 22, 32},
    {0, kProcessBitmap, {541, 230}, 48, 44},     {19, kExciterBitmap, {416, 230}, 48, 44},
    {20, kProcessEnhBitmap, {291, 230}, 48, 44}, {21, kProcessTranBitmap, {166, 230}, 48, 44},
    {22, kProcessHissBitmap, {70, 230}, 48, 44},
};

struct IndicatorRow {
    int bitmap;
    Pos at;
    Pos label;
    int labelNumber;
};

constexpr int kIndicatorSize = 16;  // each frame; the bitmap is 16 x 32
constexpr int kIndicatorLabelWidth = 70;
constexpr int kIndicatorLabelHeight = 16;
constexpr IndicatorRow kOverEnhanced = {kOverEnhancedBitmap, {302, 118}, {275, 104}, 16};
constexpr IndicatorRow kPeakOver = {kPeakOverBitmap, {553, 118}, {526, 104}, 17};

// The Mix fader in the logo strip.
constexpr int kMixTag = 7;
constexpr Box kMixFader = {512, 256, 590, 272};
constexpr int kMixHandleWidth = 15;
constexpr int kMixLeft = 512;
constexpr int kMixRight = kMixFader.right - kMixHandleWidth;
constexpr Box kMixLabel = {492, 257, 512, 271};
constexpr int kMixLabelNumber = 18;
constexpr Box kMixValue = {590, 257, 620, 271};

// The about screen.
constexpr int kAboutTag = 25;
constexpr Box kAboutClick = {242, 257, 378, 268};
constexpr Box kAboutPicture = {155, 81, 467, 191};
constexpr Pos kAboutTextOrigin = {0, 16};

// Panel sections of the picture, left to right; the controls above sit inside them.
struct Section {
    const char* title;
    Box area;
};

constexpr int kSectionTop = 3;
constexpr int kSectionBottom = 255;
constexpr Section kSections[] = {
    {"Hiss Remover", {4, kSectionTop, 122, kSectionBottom}},
    {"Transients", {126, kSectionTop, 264, kSectionBottom}},
    {"Enhancer", {268, kSectionTop, 352, kSectionBottom}},
    {"Harmonics", {356, kSectionTop, 514, kSectionBottom}},
    {"Output", {518, kSectionTop, 618, kSectionBottom}},
};

// The strip along the bottom edge that holds the logo, the Mix fader and the about area.
constexpr Box kLogoStrip = {0, 256, kWidth, kHeight};

}  // namespace treble_layout
