// font_lookup.h -- the installed font file that serves a family name for simplified Chinese text,
// opened with FreeType for GlyphRasterizer. Found by fontconfig (font_lookup.cpp) or, on Windows,
// in the system's fonts and then among the fonts shipped beside the game (font_lookup_win32.cpp).
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

struct FoundFont {
    FT_Face face = nullptr;
    std::string file;         // where it was found, UTF-8, for the log
    bool halfWidthLatin = false;  // HasHalfWidthLatin(face): else the best there was
    bool boldFace = false;    // the face is bold itself
    bool italicFace = false;  // the face slants itself
};

// Whether every printable ASCII glyph of `face` advances exactly half as far as its full-width
// 中, by the face's own advance table. Text is laid on cells of half and whole font sizes, as
// Windows' SimSun and SimHei draw it; a face with proportional Latin letters leaves gaps in
// every word on that grid ("Repl ay"), so the lookups prefer faces that pass.
bool HasHalfWidthLatin(FT_Face face);
// Whether `face` draws Chinese at all (has its own 中).
bool HasChinese(FT_Face face);
// Hands the opened face to *found, with what the lookups tell of it.
void TakeFace(FT_Face face, std::string file, FoundFont* found);
// The face's family and style ("WenQuanYi Zen Hei Mono Regular"), for the log.
std::string FaceName(FT_Face face);

// Finds and opens the font for `family` (UTF-8) at about `pixelSize` pixels. False, with the
// reason in *error, when there is none that opens.
bool OpenFontFor(FT_Library library, const std::string& family, int pixelSize, bool bold,
                 bool italic, FoundFont* found, std::string* error);
