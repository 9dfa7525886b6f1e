#include "Typeface.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>

namespace artgen {

namespace {

FT_Library freetype() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) throw std::runtime_error("FreeType would not start");
        return made;
    }();
    return library;
}

const cairo_user_data_key_t ownedFace{};

void closeFace(void* face) {
    FT_Done_Face(static_cast<FT_Face>(face));
}

std::string property(FcPattern* pattern, const char* name) {
    FcChar8* value = nullptr;
    return FcPatternGetString(pattern, name, 0, &value) == FcResultMatch
               ? reinterpret_cast<const char*>(value)
               : "";
}

std::string fontFile(const std::string& family, const std::string& style) {
    const std::string wanted = family + " " + style;
    // A configuration of our own, given back after the match: the library's default one would
    // live to the end of the process.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) throw std::runtime_error("fontconfig would not start");
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(style.c_str()));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    std::string file;
    if (match && property(match, FC_FAMILY) == family && property(match, FC_STYLE) == style)
        file = property(match, FC_FILE);
    if (match) FcPatternDestroy(match);
    FcConfigDestroy(config);
    if (file.empty())
        throw std::runtime_error("the font \"" + wanted +
                                 "\" is not installed (Debian package fonts-dejavu-core)");
    return file;
}

} // namespace

Typeface::Typeface(const std::string& family, const std::string& style) {
    const std::string file = fontFile(family, style);
    FT_Face face = nullptr;
    if (FT_New_Face(freetype(), file.c_str(), 0, &face) != 0)
        throw std::runtime_error("cannot open the font file " + file);
    face_ = cairo_ft_font_face_create_for_ft_face(face, 0);
    // cairo may keep the face in its caches after we let go; it closes the file then.
    if (cairo_font_face_set_user_data(face_, &ownedFace, face, closeFace) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(face_);
        FT_Done_Face(face);
        throw std::runtime_error("cannot use the font file " + file);
    }
}

Typeface::~Typeface() {
    cairo_font_face_destroy(face_);
}

} // namespace artgen
