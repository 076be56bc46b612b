#include "tools/artwork/bmp_writer.h"

#include <cstdint>
#include <cstdio>

namespace art {
namespace {
void putLe32(std::vector<unsigned char>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
void putLe16(std::vector<unsigned char>& out, size_t at, uint16_t v) {
    out[at] = static_cast<unsigned char>(v);
    out[at + 1] = static_cast<unsigned char>(v >> 8);
}
}  // namespace

std::vector<unsigned char> encodeBmp24(cairo_surface_t* image) {
    cairo_surface_flush(image);
    const int width = cairo_image_surface_get_width(image);
    const int height = cairo_image_surface_get_height(image);
    const int stride = cairo_image_surface_get_stride(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    const size_t rowBytes = (size_t(width) * 3 + 3) / 4 * 4;
    const size_t headerBytes = 54;
    std::vector<unsigned char> out(headerBytes + rowBytes * height, 0);
    out[0] = 'B';
    out[1] = 'M';
    putLe32(out, 2, static_cast<uint32_t>(out.size()));
    putLe32(out, 10, headerBytes);
    putLe32(out, 14, 40);
    putLe32(out, 18, static_cast<uint32_t>(width));
    putLe32(out, 22, static_cast<uint32_t>(height));  // positive: bottom-up rows
    putLe16(out, 26, 1);
    putLe16(out, 28, 24);
    putLe32(out, 34, static_cast<uint32_t>(rowBytes * height));
    putLe32(out, 38, 2835);  // 72 dpi
    putLe32(out, 42, 2835);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        unsigned char* dst = out.data() + headerBytes + rowBytes * size_t(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            dst[3 * x] = static_cast<unsigned char>(row[x]);
            dst[3 * x + 1] = static_cast<unsigned char>(row[x] >> 8);
            dst[3 * x + 2] = static_cast<unsigned char>(row[x] >> 16);
        }
    }
    return out;
}

bool writeBmp24(cairo_surface_t* image, const std::string& path) {
    std::vector<unsigned char> bytes = encodeBmp24(image);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "vorsa-artwork: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace art
