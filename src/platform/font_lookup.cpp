// font_lookup.cpp -- the font for a family name, matched by fontconfig (Windows:
// font_lookup_win32.cpp).
#include "platform/font_lookup.h"

#if !defined(_WIN32)

#include <fontconfig/fontconfig.h>

bool OpenFontFor(FT_Library library, const std::string& family, int pixelSize, bool bold,
                 bool italic, FoundFont* found, std::string* error) {
    auto fail = [error](std::string why) {
        if (error != nullptr) *error = std::move(why);
        return false;
    };
    if (FcInit() == FcFalse) return fail("fontconfig cannot start");

    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    // A bare Chinese family name matches a Latin default font on a system without that exact
    // family; asking for the language finds an installed CJK font instead.
    FcLangSet* languages = FcLangSetCreate();
    FcLangSetAdd(languages, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcPatternAddLangSet(pattern, FC_LANG, languages);
    FcLangSetDestroy(languages);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return fail("fontconfig knows no font for it");

    FcChar8* file = nullptr;
    int index = 0;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch || file == nullptr) {
        FcPatternDestroy(match);
        return fail("fontconfig's match has no file");
    }
    std::string path = reinterpret_cast<const char*>(file);
    FcPatternDestroy(match);

    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), index, &face) != 0) return fail("FreeType cannot open " + path);
    found->face = face;
    found->file = path;
    found->boldFace = weight >= FC_WEIGHT_BOLD;
    found->italicFace = slant != FC_SLANT_ROMAN;
    return true;
}

#endif  // !_WIN32
