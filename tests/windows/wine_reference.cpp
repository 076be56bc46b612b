// Writes what the Windows DLLs must reproduce under Wine, made on Linux:
//   plugins <plug-in folder> <output folder> <name>...
//     from each Linux .so through the host library: <name>.txt (every text)
//     and <name>.f32 (the test signal's output, raw native floats);
//   picture <in.png> <out.bmp>
//     an editor's headless picture as a 24-bit BMP, which the Windows test
//     program reads without an image library.
#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/hosted_plugin.h"
#include "tests/windows/plugin_probe.h"

namespace {

int writeReferences(const std::string& pluginDir, const std::string& outDir, char** names, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string name = names[i];
        std::string error;
        vst_host::HostedPlugin plugin = vst_host::loadHostedPlugin(pluginDir + "/" + name + ".so", &error);
        if (!plugin) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        plugin->startUp(44100.0f, plugin_probe::kBlockSize);
        std::string text = plugin_probe::describe(*plugin.instance);
        std::vector<float> audio = plugin_probe::processAllPrograms(*plugin.instance);
        if (!plugin_probe::writeFile(outDir + "/" + name + ".txt", text.data(), text.size()) ||
            !plugin_probe::writeFile(outDir + "/" + name + ".f32", audio.data(), audio.size() * sizeof(float))) {
            std::fprintf(stderr, "cannot write the reference of %s into %s\n", name.c_str(), outDir.c_str());
            return 1;
        }
    }
    return 0;
}

void put32(std::vector<unsigned char>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

int convertPicture(const char* png, const char* bmp) {
    cairo_surface_t* image = cairo_image_surface_create_from_png(png);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "cannot read %s\n", png);
        cairo_surface_destroy(image);
        return 1;
    }
    cairo_surface_flush(image);
    const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
    const int stride = cairo_image_surface_get_stride(image);
    const unsigned char* data = cairo_image_surface_get_data(image);
    const int rowBytes = (w * 3 + 3) / 4 * 4;
    std::vector<unsigned char> out(54 + size_t(rowBytes) * h, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<uint32_t>(out.size()));
    put32(out, 10, 54);
    put32(out, 14, 40);
    put32(out, 18, static_cast<uint32_t>(w));
    put32(out, 22, static_cast<uint32_t>(h));
    out[26] = 1;   // planes
    out[28] = 24;  // bits per pixel
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        unsigned char* target = out.data() + 54 + size_t(h - 1 - y) * rowBytes;  // bottom-up
        for (int x = 0; x < w; ++x) {
            target[x * 3] = static_cast<unsigned char>(row[x]);
            target[x * 3 + 1] = static_cast<unsigned char>(row[x] >> 8);
            target[x * 3 + 2] = static_cast<unsigned char>(row[x] >> 16);
        }
    }
    cairo_surface_destroy(image);
    if (!plugin_probe::writeFile(bmp, out.data(), out.size())) {
        std::fprintf(stderr, "cannot write %s\n", bmp);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 5 && std::strcmp(argv[1], "plugins") == 0) return writeReferences(argv[2], argv[3], argv + 4, argc - 4);
    if (argc == 4 && std::strcmp(argv[1], "picture") == 0) return convertPicture(argv[2], argv[3]);
    std::fprintf(stderr, "usage: %s plugins <plug-in folder> <output folder> <name>...\n"
                         "       %s picture <in.png> <out.bmp>\n", argv[0], argv[0]);
    return 2;
}
