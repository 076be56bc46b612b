// Arial texts are drawn with Liberation Sans whatever fonts and fontconfig
// rules the machine has. The test also runs under a fontconfig set-up that
// sends Arial elsewhere and turns anti-aliasing and hinting off.
#include <gtest/gtest.h>

#include <cairo.h>

#include <memory>
#include <string>

#include "gui/cairo/cairo_drawing.h"
#include "gui/cairo/cairo_fonts.h"
#include "gui/canvas.h"

namespace {

std::string fileName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

TEST(FontTest, ArialIsLiberationSansInBothWeights) {
    EXPECT_EQ("LiberationSans-Regular.ttf", fileName(mappedFontFile("Arial", 400)))
        << "is fonts-liberation2 installed (scripts/setup.sh)?";
    EXPECT_EQ("LiberationSans-Bold.ttf", fileName(mappedFontFile("Arial", 700)));
    EXPECT_EQ(nullptr, mappedFontFace("Symbol", 400));
    EXPECT_EQ(nullptr, mappedFontFace(nullptr, 400));
}

// Advances with whole-pixel metrics: Arial's widths (digits 1139, '.' 569,
// 'M' 1706, '-' 682, 'd' 1139, 'B' 1366 of 2048 units), each rounded to the
// pixel.
TEST(FontTest, TextMeasuresAsArial) {
    struct Case {
        const char* text;
        int size;
        int weight;
        double advance;
    };
    const Case cases[] = {{"0.50", 12, 400, 24}, {"0123456789", 9, 400, 50}, {"MMMM", 12, 400, 40},
                          {"0.50", 12, 700, 24}, {"-12.5 dB", 9, 400, 35}};
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(target);
    setTextRendering(cr);
    for (const Case& c : cases) {
        cairo_set_font_face(cr, mappedFontFace("Arial", c.weight));
        cairo_set_font_size(cr, c.size);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, c.text, &extents);
        EXPECT_DOUBLE_EQ(c.advance, extents.x_advance) << c.text << " at " << c.size << " px, weight " << c.weight;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(target);
}

// Grey edge pixels whatever the machine's anti-aliasing settings say.
TEST(FontTest, TextIsAntiAliased) {
    auto offscreen = createCairoOffscreen(60, 20);
    ASSERT_NE(nullptr, offscreen);
    offscreen->surface().fillPixels(GuiRect(0, 0, 60, 20), kWhiteColor);
    offscreen->surface().drawText("0.50", GuiRect(0, 0, 60, 20), guiFont(FontTiny), kBlackColor, false, kWhiteColor,
                                  AlignCenter);
    cairo_surface_t* pixels = static_cast<const CairoImage&>(offscreen->image()).surface();
    cairo_surface_flush(pixels);
    int grey = 0, black = 0;
    for (int y = 0; y < 20; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(pixels) +
                                                            y * cairo_image_surface_get_stride(pixels));
        for (int x = 0; x < 60; ++x) {
            uint32_t level = row[x] & 0xff;
            grey += level > 0 && level < 255;
            black += level < 128;
        }
    }
    EXPECT_GT(grey, 10);
    EXPECT_GT(black, 10);
}

}  // namespace
