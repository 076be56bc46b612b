// The generated pictures against the layout table the editor places its
// controls from: sizes and frames, knob bodies under their pointers, the
// dial under the needle, calm light areas under every text, key colours.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "bass_editor/bass_layout.h"
#include "gui/cairo/cairo_drawing.h"
#include "gui/headless/headless_platform.h"

namespace {

using namespace bass_layout;

struct Rgb {
    int r, g, b;
    // Relative luminance, as used for text contrast.
    double luminance() const {
        auto lin = [](int c) {
            double s = c / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
    }
    bool isKey() const { return r == 255 && g == 255 && b == 255; }
};

class Picture {
public:
    explicit Picture(int number) : image(headlessPlatform().loadBitmap(number)) {}
    bool loaded() const { return image != nullptr; }
    int width() const { return image->width(); }
    int height() const { return image->height(); }
    Rgb at(int x, int y) const {
        cairo_surface_t* s = static_cast<const CairoImage&>(*image).surface();
        cairo_surface_flush(s);
        const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
        uint32_t p = reinterpret_cast<const uint32_t*>(row)[x];
        return {int(p >> 16 & 255), int(p >> 8 & 255), int(p & 255)};
    }
    double darkness(int x, int y) const { return 1.0 - at(x, y).luminance(); }

private:
    std::unique_ptr<PlatformImage> image;
};

class BassArtwork : public ::testing::Test {
protected:
    void SetUp() override {
        headlessPlatform().reset();
        ASSERT_TRUE(background.loaded());
    }
    Picture background{kBackgroundBitmap};
};

TEST_F(BassArtwork, EveryPictureHasItsSizeAndOnlyPointerAndHandleUseTheKey) {
    struct Case {
        int number, width, height;
        bool keyed;
    } cases[] = {{kBackgroundBitmap, kWidth, kHeight, false},
                 {kOverloadBitmap, kOverloadSize, 2 * kOverloadSize, false},
                 {kProcessBitmap, kToggleWidth, kToggleHeight, false},
                 {kSaturationBitmap, kToggleWidth, kToggleHeight, false},
                 {kStereoMonoBitmap, kStereoMonoWidth, kStereoMonoHeight, false},
                 {kPointerBitmap, kPointerSize, kPointerSize, true},
                 {kMixFaderBitmap, kMixFader.width(), kMixFader.height(), false},
                 {kMixHandleBitmap, kHandleWidth, kHandleHeight, true},
                 {kAboutBitmap, kAboutWidth, kAboutHeight, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        Picture p(c.number);
        ASSERT_TRUE(p.loaded());
        ASSERT_EQ(c.width, p.width());
        ASSERT_EQ(c.height, p.height());
        int keys = 0;
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x) keys += p.at(x, y).isKey();
        if (c.keyed) {
            EXPECT_GT(keys, 0) << "corners left out";
            EXPECT_FALSE(p.at(c.width / 2, c.height / 2).isKey()) << "the middle shows";
        } else {
            EXPECT_EQ(0, keys) << "pure white is the key colour only";
        }
    }
}

TEST_F(BassArtwork, TwoStatePicturesShowClearlyDifferentHalves) {
    for (int number : {kOverloadBitmap, kProcessBitmap, kSaturationBitmap, kStereoMonoBitmap}) {
        SCOPED_TRACE(number);
        Picture p(number);
        const int h = p.height() / 2;
        double difference = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < p.width(); ++x) {
                Rgb a = p.at(x, y), b = p.at(x, y + h);
                difference += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
            }
        EXPECT_GT(difference / (p.width() * h), 12.0);
    }
}

TEST_F(BassArtwork, EveryKnobBodyIsCentredWhereItsPointerCircles) {
    for (const Knob& k : kKnobs) {
        SCOPED_TRACE(k.tag);
        const double cx = knobCentreX(k), cy = knobCentreY(k);
        // The dark body's outline (its soft shadow is lighter) is centred there.
        int left = kWidth, right = 0, top = kHeight, bottom = 0;
        for (int y = int(cy) - 21; y <= int(cy) + 21; ++y)
            for (int x = int(cx) - 21; x <= int(cx) + 21; ++x)
                if (background.darkness(x, y) > 0.7) {
                    left = std::min(left, x);
                    right = std::max(right, x + 1);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y + 1);
                }
        EXPECT_GE(right - left, 30) << "a knob body lies there";
        EXPECT_NEAR(cx, (left + right) / 2.0, 0.5);
        EXPECT_NEAR(cy, (top + bottom) / 2.0, 0.5);
        // The pointer's middle stays on the body over the whole sweep.
        for (int i = 0; i <= 20; ++i) {
            const double a = 225.0 - 270.0 * i / 20;
            const double r = knobReach(k);
            const int px = int(cx + r * std::cos(a * M_PI / 180)), py = int(cy - r * std::sin(a * M_PI / 180));
            double dark = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) dark += background.darkness(px + dx, py + dy) / 9;
            EXPECT_GT(dark, 0.6) << "value " << i / 20.0;
        }
    }
}

TEST_F(BassArtwork, DialIsLightUnderTheNeedleAndRunsBlueGreenRed) {
    const double cx = kNeedleX + 0.5, cy = kNeedleY + 0.5;
    for (int i = 0; i <= 20; ++i) {
        const double a = kNeedleStartAngle - kNeedleSweep * i / 20;
        for (int r = 4; r <= kNeedleOuter - 6; ++r) {
            Rgb c = background.at(int(cx + r * std::cos(a)), int(cy - r * std::sin(a)));
            EXPECT_GT(c.luminance(), 0.6) << "value " << i / 20.0 << " radius " << r;
        }
    }
    // Just outside the needle's reach the arc carries the gain colours.
    auto arc = [&](double value) {
        const double a = kNeedleStartAngle - kNeedleSweep * value, r = kNeedleOuter + 3;
        return background.at(int(cx + r * std::cos(a)), int(cy - r * std::sin(a)));
    };
    Rgb low = arc(0.02), mid = arc(0.5), high = arc(0.98);
    EXPECT_GT(low.b, low.r + 40);
    EXPECT_GT(mid.g, mid.r + 40);
    EXPECT_GT(mid.g, mid.b + 40);
    EXPECT_GT(high.r, high.g + 80);
}

TEST_F(BassArtwork, TextsLandOnCalmLightAreas) {
    std::vector<Box> fields = {kSaturation.label, kProcess.label, kMixLabel, kMixValue};
    for (const Knob& k : kKnobs) {
        fields.push_back({k.labelX, k.labelY, k.labelX + kFieldWidth, k.labelY + kFieldHeight});
        fields.push_back({k.valueX, k.valueY, k.valueX + kFieldWidth, k.valueY + kFieldHeight});
    }
    for (const Box& f : fields) {
        SCOPED_TRACE(testing::Message() << f.left << "," << f.top);
        // The rows the 9-point text covers, inside the field's own edges.
        double lowest = 1, highest = 0;
        for (int y = f.top + 4; y < f.bottom - 3; ++y)
            for (int x = f.left + 6; x < std::min(f.right, kWidth) - 6; ++x) {
                const double l = background.at(x, y).luminance();
                lowest = std::min(lowest, l);
                highest = std::max(highest, l);
            }
        EXPECT_GE((lowest + 0.05) / 0.05, 7.0) << "contrast against black text";
        EXPECT_LT(highest - lowest, 0.2) << "no lines or texture under the text";
    }
}

TEST_F(BassArtwork, MixSlotSpansTheHandlesTravelAndIsTheFadersOwnPicture) {
    Picture slot(kMixFaderBitmap);
    for (int y = 0; y < slot.height(); ++y)
        for (int x = 0; x < slot.width(); ++x) {
            Rgb a = slot.at(x, y), b = background.at(kMixFader.left + x, kMixFader.top + y);
            ASSERT_TRUE(a.r == b.r && a.g == b.g && a.b == b.b) << x << "," << y;
        }
    // Dark slot under the handle's middle at both ends of its travel.
    const int middle = kMixFader.top + kHandleHeight / 2;
    for (int x : {kMixLeft + kHandleWidth / 2, kMixRight + kHandleWidth / 2})
        EXPECT_GT(background.darkness(x, middle), 0.7) << x;
}

}  // namespace
