// vorsa-artwork <resources folder> [product...]: draws the editors' bitmaps
// into <resources folder>/<product>/<number>.bmp (every product without names).
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/artwork/art_products.h"

namespace {
const art::ArtProduct kProducts[] = {
    {"glintor", art::writeGlintorArtwork},
    {"rumblor", art::writeRumblorArtwork},
};

bool wanted(const char* name, int argc, char** argv) {
    if (argc <= 2) return true;
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return true;
    return false;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorsa-artwork <resources folder> [product...]\n");
        return 2;
    }
    const std::string root = argv[1];
    int written = 0;
    for (const art::ArtProduct& product : kProducts) {
        if (!wanted(product.name, argc, argv)) continue;
        const std::string folder = root + "/" + product.name;
        mkdir(root.c_str(), 0755);
        mkdir(folder.c_str(), 0755);
        if (!product.write(folder)) {
            std::fprintf(stderr, "vorsa-artwork: %s failed\n", product.name);
            return 1;
        }
        ++written;
    }
    if (written == 0) {
        std::fprintf(stderr, "vorsa-artwork: no such product\n");
        return 2;
    }
    return 0;
}
