// Geometry, colour, font and mouse-state types shared by every part of the
// editor toolkit.
#pragma once

#include <cstdint>

struct GuiPoint {
    int32_t h = 0;
    int32_t v = 0;

    GuiPoint() = default;
    GuiPoint(int32_t h_, int32_t v_) : h(h_), v(v_) {}
    bool operator==(const GuiPoint& o) const { return h == o.h && v == o.v; }
    bool operator!=(const GuiPoint& o) const { return !(*this == o); }
};

struct GuiRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    GuiRect() = default;
    GuiRect(int32_t l, int32_t t, int32_t r, int32_t b) : left(l), top(t), right(r), bottom(b) {}

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    GuiRect& offset(int32_t dx, int32_t dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    GuiRect offsetBy(int32_t dx, int32_t dy) const { return GuiRect(*this).offset(dx, dy); }
    // Both edges count: a point on the right or bottom line is inside.
    bool contains(const GuiPoint& p) const { return p.h >= left && p.h <= right && p.v >= top && p.v <= bottom; }
    bool operator==(const GuiRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const GuiRect& o) const { return !(*this == o); }
};

struct GuiColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t unused = 0;

    // The GDI colour value: red | green << 8 | blue << 16.
    uint32_t rgb() const { return uint32_t(red) | uint32_t(green) << 8 | uint32_t(blue) << 16; }
    bool sameRgb(const GuiColor& o) const { return red == o.red && green == o.green && blue == o.blue; }
    bool operator==(const GuiColor& o) const { return sameRgb(o) && unused == o.unused; }
    bool operator!=(const GuiColor& o) const { return !(*this == o); }
};

constexpr GuiColor kWhiteColor{255, 255, 255, 0};
constexpr GuiColor kBlackColor{0, 0, 0, 0};
constexpr GuiColor kGreyColor{127, 127, 127, 0};
constexpr GuiColor kRedColor{255, 0, 0, 0};
constexpr GuiColor kGreenColor{0, 255, 0, 0};
constexpr GuiColor kBlueColor{0, 0, 255, 0};
constexpr GuiColor kYellowColor{255, 255, 0, 0};
constexpr GuiColor kMagentaColor{255, 0, 255, 0};
constexpr GuiColor kCyanColor{0, 255, 255, 0};
// Pixels of exactly this colour are left out by colour-keyed bitmap drawing.
constexpr GuiColor kTransparentColor{255, 255, 255, 0};

enum GuiFontId {
    FontSystem = 0,
    FontHuge,
    FontLarge,
    FontNormal,
    FontSmall,
    FontSmaller,
    FontTiny,
    FontSymbol,
    kNumFonts
};

struct GuiFont {
    const char* face;
    int size;    // pixels
    int weight;  // 400 normal, 700 bold
};

// The font of an id; ids outside the table give FontSystem.
const GuiFont& guiFont(int id);

// Mouse and modifier bits, read at the moment of asking.
enum GuiButtonState { ButtonLeft = 1, ButtonMiddle = 2, ButtonRight = 4, KeyShift = 8, KeyControl = 16, KeyAlt = 32 };

enum GuiKnobMode { KnobCircular = 0, KnobLinear = 2 };

enum GuiTextAlign { AlignLeft = 0, AlignCenter = 1, AlignRight = 2 };
