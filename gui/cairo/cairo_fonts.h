// The faces the editors' texts are drawn with. The font table names Arial;
// left to fontconfig, "Arial" becomes whatever the machine happens to have,
// so the editors would look and measure differently from machine to machine.
// Instead Arial is drawn with Liberation Sans, which has Arial's metrics, and
// with DejaVu Sans where that is not installed.
#pragma once

#include <cairo.h>

#include <string>

// A Cairo face for `face` at `weight` (700 and above is bold), owned by the
// module; null for faces that are not mapped, which the caller then leaves to
// Cairo's own lookup.
cairo_font_face_t* mappedFontFace(const char* face, int weight);

// The font file behind mappedFontFace, empty when there is none.
std::string mappedFontFile(const char* face, int weight);

// Sets the rendering options text is drawn with, so that neither the
// machine's fontconfig settings nor the surface change how glyphs look.
void setTextRendering(cairo_t* cr);
