// Decoding BMP files from memory and the embedded resource table.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gui/cairo/cairo_drawing.h"
#include "gui/gui_bitmap.h"
#include "gui/headless/headless_platform.h"

namespace {

std::vector<unsigned char> makeBmp(int width, int height, int bits, bool topDown) {
    int rowBytes = (width * bits / 8 + 3) / 4 * 4;
    std::vector<unsigned char> file(54 + rowBytes * height, 0);
    auto put32 = [&](int at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
    auto put16 = [&](int at, uint16_t v) { std::memcpy(&file[at], &v, 2); };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, file.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, topDown ? -height : height);
    put16(26, 1);
    put16(28, bits);
    for (int row = 0; row < height; ++row) {
        int y = topDown ? row : height - 1 - row;
        for (int x = 0; bits >= 24 && x < width; ++x) {
            unsigned char* p = &file[54 + row * rowBytes + x * bits / 8];
            p[0] = uint8_t(10 * x);       // blue
            p[1] = uint8_t(20 * y);       // green
            p[2] = uint8_t(100 + x + y);  // red
        }
    }
    return file;
}

uint32_t pixelAt(const CairoImage& image, int x, int y) {
    cairo_surface_flush(image.surface());
    const unsigned char* row =
        cairo_image_surface_get_data(image.surface()) + y * cairo_image_surface_get_stride(image.surface());
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xffffff;
}

uint32_t expected(int x, int y) { return uint32_t(100 + x + y) << 16 | uint32_t(20 * y) << 8 | uint32_t(10 * x); }

TEST(BmpDecoding, BottomUpAndTopDownRowsWithPaddingGiveTheSamePicture) {
    for (bool topDown : {false, true}) {
        std::vector<unsigned char> file = makeBmp(5, 3, 24, topDown);  // 15-byte rows padded to 16
        auto image = decodeBmp(file.data(), file.size());
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(5, image->width());
        EXPECT_EQ(3, image->height());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(expected(x, y), pixelAt(*image, x, y)) << x << "," << y;
    }
}

TEST(BmpDecoding, DamagedOrUnsupportedFilesAreRejected) {
    std::vector<unsigned char> file = makeBmp(5, 3, 24, false);
    EXPECT_EQ(nullptr, decodeBmp(file.data(), file.size() - 1));  // pixel data cut short
    EXPECT_EQ(nullptr, decodeBmp(file.data(), 20));
    EXPECT_EQ(nullptr, decodeBmp(nullptr, 0));
    std::vector<unsigned char> wrongMagic = file;
    wrongMagic[0] = 'X';
    EXPECT_EQ(nullptr, decodeBmp(wrongMagic.data(), wrongMagic.size()));
    std::vector<unsigned char> palette = makeBmp(4, 4, 8, false);
    EXPECT_EQ(nullptr, decodeBmp(palette.data(), palette.size()));
    std::vector<unsigned char> badOffset = file;
    uint32_t offset = 0xfffffff0u;
    std::memcpy(&badOffset[10], &offset, 4);
    EXPECT_EQ(nullptr, decodeBmp(badOffset.data(), badOffset.size()));
    std::vector<unsigned char> huge = file;
    int32_t height = 0x7fffffff;
    std::memcpy(&huge[22], &height, 4);
    EXPECT_EQ(nullptr, decodeBmp(huge.data(), huge.size()));
}

TEST(BmpDecoding, EmbeddedResourcesAreFoundByNumberWithExactSizes) {
    headlessPlatform().reset();
    struct Size {
        int number, width, height;
    };
    for (Size s : {Size{128, 200, 120}, Size{129, 5, 5}, Size{131, 12, 16}, Size{135, 10, 70}}) {
        GuiBitmap* bitmap = new GuiBitmap(s.number);
        EXPECT_EQ(s.width, bitmap->getWidth()) << s.number;
        EXPECT_EQ(s.height, bitmap->getHeight()) << s.number;
        bitmap->release();
    }
    auto background = loadEmbeddedBitmap(128);
    ASSERT_NE(nullptr, background);
    // Row 0 of the file is the picture's top row: (x, 2y, 90).
    EXPECT_EQ(uint32_t(7) << 16 | uint32_t(2 * 11) << 8 | 90u, pixelAt(static_cast<CairoImage&>(*background), 7, 11));
    EXPECT_EQ(nullptr, loadEmbeddedBitmap(127));
    EXPECT_EQ(nullptr, loadEmbeddedBitmap(0));
}

}  // namespace
