// Canvas drawing and bitmaps, checked pixel by pixel on the headless window.
#include <cairo.h>

#include <cstring>

#include "gui/offscreen_canvas.h"
#include "gui_fixture.h"

namespace {

class CanvasTest : public GuiFixture {};

TEST_F(CanvasTest, FillRectLeavesTopAndLeftEdgeLinesLikeGdi) {
    Canvas canvas(frame);
    canvas.setBrushColor(kRedColor);
    canvas.fillRect(GuiRect(10, 10, 20, 20));
    EXPECT_TRUE(sameColor(backgroundAt(10, 10), window->pixel(10, 10)));
    EXPECT_TRUE(sameColor(backgroundAt(15, 10), window->pixel(15, 10)));
    EXPECT_TRUE(sameColor(backgroundAt(10, 15), window->pixel(10, 15)));
    EXPECT_TRUE(sameColor(kRedColor, window->pixel(11, 11)));
    EXPECT_TRUE(sameColor(kRedColor, window->pixel(19, 19)));
    EXPECT_TRUE(sameColor(backgroundAt(20, 15), window->pixel(20, 15)));
    EXPECT_TRUE(sameColor(backgroundAt(15, 20), window->pixel(15, 20)));
}

TEST_F(CanvasTest, OutlineThenFillKeepsTheOutlineAndOffsetMovesEverything) {
    Canvas canvas(frame);
    canvas.offset = GuiPoint(5, 3);
    canvas.setPenColor(kYellowColor);
    canvas.drawRect(GuiRect(10, 10, 20, 20));
    canvas.setBrushColor(kBlueColor);
    canvas.fillRect(GuiRect(10, 10, 20, 20));
    // Outline corners (offset applied) survive the fill; the inside is filled.
    EXPECT_TRUE(sameColor(kYellowColor, window->pixel(15, 13)));
    EXPECT_TRUE(sameColor(kYellowColor, window->pixel(25, 23)));
    EXPECT_TRUE(sameColor(kYellowColor, window->pixel(15, 20)));
    EXPECT_TRUE(sameColor(kBlueColor, window->pixel(16, 14)));
    EXPECT_TRUE(sameColor(kBlueColor, window->pixel(24, 22)));
}

TEST_F(CanvasTest, FontIdsOutsideTheTableFallBackToTheSystemFont) {
    Canvas canvas(frame);
    canvas.setFontId(9);
    EXPECT_EQ(FontSystem, canvas.fontId());
    EXPECT_EQ(12, canvas.fontSize());
    EXPECT_STREQ("Arial", guiFont(9).face);
    EXPECT_EQ(700, guiFont(9).weight);
    canvas.setFontId(FontTiny, 0);
    EXPECT_EQ(9, canvas.fontSize());
    canvas.setFontId(FontSymbol, 20);
    EXPECT_EQ(20, canvas.fontSize());
    EXPECT_STREQ("Symbol", guiFont(FontSymbol).face);
}

TEST_F(CanvasTest, TextIsDrawnInsideItsRectangleOnly) {
    Canvas canvas(frame);
    canvas.setTextColor(kWhiteColor);
    canvas.setFontId(FontLarge);
    GuiRect box(40, 40, 120, 60);
    canvas.drawText("Mmmm", box, false, AlignCenter);
    int inside = 0, outside = 0;
    for (int y = 30; y < 70; ++y)
        for (int x = 30; x < 130; ++x) {
            bool changed = !sameColor(backgroundAt(x, y), window->pixel(x, y));
            (box.contains(GuiPoint(x, y)) ? inside : outside) += changed;
        }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(0, outside);
}

TEST_F(CanvasTest, KeyedDrawingShowsTheBackgroundThroughWhitePixelsAndLeavesTheBitmapAlone) {
    GuiBitmap* checker = new GuiBitmap(134);
    ASSERT_EQ(4, checker->getWidth());
    const PlatformImage* image = checker->platformImage();
    cairo_surface_t* pixels = static_cast<const CairoImage*>(image)->surface();
    std::vector<unsigned char> before(
        cairo_image_surface_get_data(pixels),
        cairo_image_surface_get_data(pixels) + cairo_image_surface_get_stride(pixels) * 4);
    EXPECT_FALSE(checker->hasMask());
    for (int pass = 0; pass < 2; ++pass) {
        Canvas canvas(frame);
        checker->drawKeyed(&canvas, GuiRect(50, 50, 54, 54), GuiPoint());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                GuiColor expected = (x + y) % 2 == 0 ? backgroundAt(50 + x, 50 + y) : rgb(30, 30, 30);
                EXPECT_TRUE(sameColor(expected, window->pixel(50 + x, 50 + y))) << x << "," << y << " pass " << pass;
            }
        EXPECT_EQ(0, std::memcmp(before.data(), cairo_image_surface_get_data(pixels), before.size()));
    }
    EXPECT_TRUE(checker->hasMask());
    EXPECT_EQ(1, headlessPlatform().masksMade());

    // Opaque drawing copies the white pixels too.
    Canvas canvas(frame);
    checker->drawOpaque(&canvas, GuiRect(60, 50, 64, 54), GuiPoint());
    EXPECT_TRUE(sameColor(kWhiteColor, window->pixel(60, 50)));
    EXPECT_TRUE(sameColor(rgb(30, 30, 30), window->pixel(61, 50)));
    checker->release();
}

TEST_F(CanvasTest, SourceOffsetSelectsTheLowerHalfOfATwoStateBitmap) {
    GuiBitmap* toggle = new GuiBitmap(131);
    Canvas canvas(frame);
    toggle->drawOpaque(&canvas, GuiRect(0, 0, 12, 8), GuiPoint(0, toggle->getHeight() / 2));
    EXPECT_TRUE(sameColor(rgb(220, 220, 0), window->pixel(0, 0)));
    EXPECT_TRUE(sameColor(rgb(220, 220, 0), window->pixel(11, 7)));
    EXPECT_TRUE(sameColor(backgroundAt(0, 8), window->pixel(0, 8)));
    toggle->release();
}

TEST_F(CanvasTest, MissingBitmapIsZeroByZeroAndDrawsNothing) {
    GuiBitmap* missing = new GuiBitmap(4242);
    EXPECT_EQ(0, missing->getWidth());
    EXPECT_EQ(0, missing->getHeight());
    Canvas canvas(frame);
    missing->drawOpaque(&canvas, GuiRect(0, 0, 50, 50), GuiPoint());
    missing->drawKeyed(&canvas, GuiRect(0, 0, 50, 50), GuiPoint());
    EXPECT_TRUE(sameColor(backgroundAt(10, 10), window->pixel(10, 10)));
    EXPECT_EQ(0, headlessPlatform().masksMade());
    missing->release();
}

TEST_F(CanvasTest, OffscreenPictureIsFilledAndCopiedInOneGo) {
    OffscreenCanvas picture(frame, 10, 10, kGreenColor);
    ASSERT_TRUE(picture.isValid());
    picture.setBrushColor(kRedColor);
    picture.fillRect(GuiRect(4, 4, 10, 10));
    Canvas canvas(frame);
    picture.copyTo(&canvas, GuiRect(100, 100, 110, 110));
    EXPECT_TRUE(sameColor(kGreenColor, window->pixel(100, 100)));
    EXPECT_TRUE(sameColor(kGreenColor, window->pixel(104, 104)));
    EXPECT_TRUE(sameColor(kRedColor, window->pixel(105, 105)));
    EXPECT_TRUE(sameColor(kRedColor, window->pixel(109, 109)));
    EXPECT_TRUE(sameColor(backgroundAt(110, 110), window->pixel(110, 110)));
}

TEST_F(CanvasTest, SurfacesThatCannotBeMadeAreSkippedSilently) {
    headlessPlatform().failOffscreen = true;
    OffscreenCanvas picture(frame, 10, 10, kGreenColor);
    EXPECT_FALSE(picture.isValid());
    picture.fillRect(GuiRect(0, 0, 5, 5));
    Canvas canvas(frame);
    picture.copyTo(&canvas, GuiRect(0, 0, 10, 10));
    EXPECT_TRUE(sameColor(backgroundAt(5, 5), window->pixel(5, 5)));

    headlessPlatform().failDrawing = true;
    Canvas none(frame);
    EXPECT_FALSE(none.isValid());
    none.setBrushColor(kRedColor);
    none.fillRect(GuiRect(0, 0, 50, 50));
    none.drawText("x", GuiRect(0, 0, 50, 50));
    EXPECT_TRUE(sameColor(backgroundAt(5, 5), window->pixel(5, 5)));
}

}  // namespace
