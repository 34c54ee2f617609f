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
    bool boldFace = false;    // the face is bold itself
    bool italicFace = false;  // the face slants itself
};

// Finds and opens the font for `family` (UTF-8) at about `pixelSize` pixels. False, with the
// reason in *error, when there is none that opens.
bool OpenFontFor(FT_Library library, const std::string& family, int pixelSize, bool bold,
                 bool italic, FoundFont* found, std::string* error);
