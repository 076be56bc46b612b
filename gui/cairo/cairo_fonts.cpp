#include "gui/cairo/cairo_fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <cstring>

namespace {

struct MappedFont {
    std::string file;
    cairo_font_face_t* face = nullptr;
};

// The installed file of `family` at `bold` weight, upright and of normal
// width, found by the fonts' own family names so that the machine's alias
// rules cannot swap it. When several versions are installed the newest wins.
std::string findFontFile(const char* family, bool bold, int& index) {
    std::string best;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FONTVERSION, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    int bestVersion = -1;
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcChar8* file = nullptr;
        int fontIndex = 0, version = 0;
        if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
        FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &fontIndex);
        FcPatternGetInteger(fonts->fonts[i], FC_FONTVERSION, 0, &version);
        std::string path = reinterpret_cast<const char*>(file);
        // Ties go to the smaller path, so the choice never depends on listing order.
        if (version > bestVersion || (version == bestVersion && path < best)) {
            bestVersion = version;
            best = path;
            index = fontIndex;
        }
    }
    if (fonts) FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return best;
}

MappedFont loadSansFont(bool bold) {
    MappedFont font;
    for (const char* family : {"Liberation Sans", "DejaVu Sans"}) {
        int index = 0;
        font.file = findFontFile(family, bold, index);
        if (font.file.empty()) continue;
        // A pattern naming the file makes Cairo load exactly that file.
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(font.file.c_str()));
        FcPatternAddInteger(pattern, FC_INDEX, index);
        font.face = cairo_ft_font_face_create_for_pattern(pattern);
        FcPatternDestroy(pattern);
        if (cairo_font_face_status(font.face) == CAIRO_STATUS_SUCCESS) break;
        cairo_font_face_destroy(font.face);
        font.face = nullptr;
        font.file.clear();
    }
    return font;
}

// Both weights, looked up once per module (thread-safe static initialisation).
struct SansFonts {
    MappedFont regular = loadSansFont(false);
    MappedFont bold = loadSansFont(true);
    ~SansFonts() {
        if (regular.face) cairo_font_face_destroy(regular.face);
        if (bold.face) cairo_font_face_destroy(bold.face);
    }
};

const MappedFont* mappedFont(const char* face, int weight) {
    if (!face || std::strcmp(face, "Arial") != 0) return nullptr;
    static const SansFonts fonts;
    return weight >= 700 ? &fonts.bold : &fonts.regular;
}

}  // namespace

cairo_font_face_t* mappedFontFace(const char* face, int weight) {
    const MappedFont* font = mappedFont(face, weight);
    return font ? font->face : nullptr;
}

std::string mappedFontFile(const char* face, int weight) {
    const MappedFont* font = mappedFont(face, weight);
    return font ? font->file : std::string();
}

void setTextRendering(cairo_t* cr) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    // Full grid-fitting and whole-pixel advances, as the fonts' hinting was
    // made for: stems land on pixels and text widths match Arial's.
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}
