// The products whose artwork the generator draws, each into its own folder of
// <number>.bmp files.
#pragma once

#include <string>

namespace art {

struct ArtProduct {
    const char* name;  // the folder under resources/
    bool (*write)(const std::string& folder);
};

bool writeGlintorArtwork(const std::string& folder);
bool writeRumblorArtwork(const std::string& folder);

}  // namespace art
