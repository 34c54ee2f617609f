// font_faces.cpp -- what the font lookups of every platform ask of a face: Chinese, and Latin
// letters half a Chinese character wide.
#include "platform/font_lookup.h"

#include FT_ADVANCES_H

#include <utility>

namespace {

constexpr FT_ULong kFullWidthProbe = 0x4E2D;  // 中

}  // namespace

bool HasChinese(FT_Face face) { return FT_Get_Char_Index(face, kFullWidthProbe) != 0; }

bool HasHalfWidthLatin(FT_Face face) {
    FT_UInt full = FT_Get_Char_Index(face, kFullWidthProbe);
    FT_Fixed fullAdvance = 0;
    if (full == 0 || FT_Get_Advance(face, full, FT_LOAD_NO_SCALE, &fullAdvance) != 0 || fullAdvance <= 0) {
        return false;
    }
    for (FT_ULong c = 0x20; c <= 0x7E; ++c) {
        FT_UInt glyph = FT_Get_Char_Index(face, c);
        FT_Fixed advance = 0;
        if (glyph == 0 || FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE, &advance) != 0) return false;
        if (advance * 2 != fullAdvance) return false;
    }
    return true;
}

std::string FaceName(FT_Face face) {
    std::string name = face->family_name != nullptr ? face->family_name : "unnamed";
    if (face->style_name != nullptr && face->style_name[0] != '\0') {
        name += ' ';
        name += face->style_name;
    }
    return name;
}

void TakeFace(FT_Face face, std::string file, FoundFont* found) {
    found->face = face;
    found->file = std::move(file);
    found->halfWidthLatin = HasHalfWidthLatin(face);
    found->boldFace = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    found->italicFace = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
}
