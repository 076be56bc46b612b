// The generated bitmaps against the layout table the editor places its
// controls from: sizes, knob bodies centred in their squares, fader slots
// over the handle's travel, light calm fields, distinct button and indicator frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "gui/cairo/cairo_drawing.h"
#include "treble_editor/treble_layout.h"

namespace L = treble_layout;

namespace {
class Picture {
public:
    explicit Picture(int number) {
        auto loaded = loadEmbeddedBitmap(number);
        image.reset(static_cast<CairoImage*>(loaded.release()));
    }
    bool loaded() const { return image != nullptr; }
    int width() const { return image->width(); }
    int height() const { return image->height(); }
    uint32_t rgb(int x, int y) const {
        cairo_surface_t* s = image->surface();
        cairo_surface_flush(s);
        return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) +
                                                 y * cairo_image_surface_get_stride(s))[x] & 0xffffff;
    }
    // Rec. 709 luma, 0..255.
    double luma(int x, int y) const {
        const uint32_t p = rgb(x, y);
        return 0.2126 * (p >> 16 & 0xff) + 0.7152 * (p >> 8 & 0xff) + 0.0722 * (p & 0xff);
    }

private:
    std::unique_ptr<CairoImage> image;
};

const Picture& background() {
    static Picture picture(L::kBackgroundBitmap);
    return picture;
}

// Contrast against black of a luma value, as relative luminance (sRGB decoded).
double contrastWithBlack(double luma) {
    const double c = luma / 255.0;
    const double linear = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    return (linear + 0.05) / 0.05;
}
}  // namespace

TEST(TrebleArtwork, EveryBitmapHasItsSize) {
    struct Size {
        int number, width, height;
    };
    const Size sizes[] = {{128, 622, 272}, {129, 5, 5},   {130, 25, 15},  {131, 78, 16},  {132, 15, 16},
                          {133, 48, 44},   {134, 48, 44}, {135, 48, 44},  {136, 48, 44},  {137, 48, 44},
                          {138, 48, 44},   {139, 16, 32}, {140, 16, 32},  {141, 22, 32},  {199, 312, 110}};
    for (const Size& s : sizes) {
        Picture p(s.number);
        ASSERT_TRUE(p.loaded()) << s.number;
        EXPECT_EQ(p.width(), s.width) << s.number;
        EXPECT_EQ(p.height(), s.height) << s.number;
    }
}

TEST(TrebleArtwork, EachKnobSquareHoldsARoundBodyCentredInIt) {
    const Picture& bg = background();
    for (const L::KnobRow& k : L::kKnobs) {
        const int x0 = k.knob.x, y0 = k.knob.y, size = L::kKnobSize;
        const double panel = bg.luma(x0 + 1, y0 + 1);  // a corner of the square lies outside any round body
        auto body = [&](int x, int y) { return std::fabs(bg.luma(x, y) - panel) > 35; };
        // Row by row and column by column, the body's outline is symmetric about the square's centre.
        int widest = 0;
        for (int i = 4; i < size - 4; ++i) {
            int rowFirst = -1, rowLast = -1, colFirst = -1, colLast = -1;
            for (int j = 0; j < size; ++j) {
                if (body(x0 + j, y0 + i)) rowLast = j, rowFirst = rowFirst < 0 ? j : rowFirst;
                if (body(x0 + i, y0 + j)) colLast = j, colFirst = colFirst < 0 ? j : colFirst;
            }
            ASSERT_GE(rowFirst, 0) << "knob " << k.tag << " row " << i;
            ASSERT_GE(colFirst, 0) << "knob " << k.tag << " column " << i;
            EXPECT_NEAR((rowFirst + rowLast + 1) / 2.0, size / 2.0, 1.0) << "knob " << k.tag << " row " << i;
            EXPECT_NEAR((colFirst + colLast + 1) / 2.0, size / 2.0, 1.0) << "knob " << k.tag << " column " << i;
            widest = std::max(widest, rowLast - rowFirst + 1);
        }
        EXPECT_GE(widest, size - 3) << "knob " << k.tag << " does not fill its square";
        EXPECT_LE(widest, size) << "knob " << k.tag;
    }
}

TEST(TrebleArtwork, FaderSlotsSpanTheHandleTravel) {
    const Picture& bg = background();
    for (const L::FaderRow& f : L::kFaders) {
        const int x = f.x + L::kFaderWidth / 2;
        int top = -1, bottom = -1;
        for (int y = L::kFaderTop - 4; y < L::kFaderBottom + 4; ++y)
            if (bg.luma(x, y) < 90) {
                if (top < 0) top = y;
                bottom = y;
            }
        EXPECT_LE(top, L::kFaderTop + 3) << "fader " << f.tag;
        EXPECT_GE(top, L::kFaderTop) << "fader " << f.tag;
        EXPECT_GE(bottom, L::kFaderBottom - 4) << "fader " << f.tag;
        EXPECT_LT(bottom, L::kFaderBottom) << "fader " << f.tag;
        for (int y = top; y <= bottom; ++y) ASSERT_LT(bg.luma(x, y), 90) << "fader " << f.tag << " gap at " << y;
    }
    // The Mix fader's own picture has its slot across the handle's travel.
    Picture mix(L::kMixBackgroundBitmap);
    const int mid = mix.height() / 2;
    for (int x = 2; x < mix.width() - 2; ++x) ASSERT_LT(mix.luma(x, mid), 90) << "mix slot gap at " << x;
}

TEST(TrebleArtwork, TextFieldsAreLightAndCalm) {
    struct Field {
        int x, y, width, height;
    };
    std::vector<Field> fields;
    for (const L::KnobRow& k : L::kKnobs) {
        fields.push_back({k.label.x, k.label.y, L::kFieldWidth, L::kFieldHeight});
        fields.push_back({k.value.x, k.value.y, L::kFieldWidth, L::kFieldHeight});
    }
    for (const L::FaderRow& f : L::kFaders) {
        fields.push_back({f.label.x, f.label.y, L::kFieldWidth, L::kFieldHeight});
        fields.push_back({f.value.x, f.value.y, L::kFieldWidth, L::kFieldHeight});
    }
    for (const L::IndicatorRow* i : {&L::kOverEnhanced, &L::kPeakOver})
        fields.push_back({i->label.x, i->label.y, L::kIndicatorLabelWidth, L::kIndicatorLabelHeight});
    for (const L::Box& b : {L::kMixLabel, L::kMixValue}) fields.push_back({b.left, b.top, b.width(), b.height()});

    const Picture& bg = background();
    for (const Field& f : fields) {
        // Where the glyphs of a centred 9-pixel text land.
        const int inset = f.width > 25 ? 5 : 2;
        double lightest = 0, darkest = 255;
        for (int y = f.y + 3; y < f.y + f.height - 2; ++y)
            for (int x = f.x + inset; x < f.x + f.width - inset; ++x) {
                lightest = std::max(lightest, bg.luma(x, y));
                darkest = std::min(darkest, bg.luma(x, y));
            }
        EXPECT_GE(contrastWithBlack(darkest), 7.0) << "field at " << f.x << "," << f.y;
        EXPECT_LE(lightest - darkest, 24.0) << "field at " << f.x << "," << f.y << " is not calm";
    }
}

TEST(TrebleArtwork, FramesDifferAtAGlanceAndOnlyKeyedPicturesUseWhite) {
    auto frameDifference = [](const Picture& p) {
        double sum = 0;
        const int h = p.height() / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < p.width(); ++x) sum += std::fabs(p.luma(x, y) - p.luma(x, y + h));
        return sum / (h * p.width());
    };
    auto whitePixels = [](const Picture& p) {
        int n = 0;
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) n += p.rgb(x, y) == 0xffffff;
        return n;
    };
    for (int number : {133, 134, 135, 136, 137, 138, 139, 140, 141}) {
        Picture p(number);
        EXPECT_GT(frameDifference(p), 4.0) << number;
        EXPECT_EQ(whitePixels(p), 0) << number;  // drawn opaquely: white would show as white
    }
    for (int number : {128, 131, 199}) EXPECT_EQ(whitePixels(Picture(number)), 0) << number;
    // Pointer and handles are drawn keyed: white around them, their bodies never white.
    for (int number : {129, 130, 132}) {
        Picture p(number);
        EXPECT_EQ(p.rgb(0, 0), 0xffffffu) << number;
        EXPECT_EQ(p.rgb(p.width() / 2, p.height() / 2) == 0xffffff, false) << number;
    }
}
