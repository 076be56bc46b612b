// Writes pictures as the editors load them: uncompressed 24-bit BMP files,
// bottom-up rows padded to four bytes, and a header with no varying fields,
// so the same picture always gives the same bytes.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

namespace art {

// The BMP file of an RGB24 Cairo image surface.
std::vector<unsigned char> encodeBmp24(cairo_surface_t* image);
// Writes the file; false (with a message on stderr) when it cannot.
bool writeBmp24(cairo_surface_t* image, const std::string& path);

}  // namespace art
