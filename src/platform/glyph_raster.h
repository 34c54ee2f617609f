// glyph_raster.h -- glyph bitmaps of an installed TrueType font, found by family name
// (font_lookup.h: fontconfig, or Windows' fonts and the game's own) and rendered with FreeType,
// handed out in the form a glyph cache expects of a system font: the black box, its origin, the
// font's ascent, and coverage rows padded to 4 bytes, either one bit per pixel or one byte per
// pixel with 65 levels (0..64).
#pragma once

#include <memory>
#include <string>

struct GlyphMetrics {
    unsigned blackBoxX = 0;  // width of the glyph's inked box in pixels (at least 1)
    unsigned blackBoxY = 0;  // its height (at least 1)
    int originX = 0;         // x of the box's left edge from the pen
    int originY = 0;         // y of the box's top edge above the baseline
};

enum GlyphFormat {
    GLYPH_BITMAP = 1,  // one bit per pixel, most significant bit first, rows padded to 4 bytes
    GLYPH_GRAY8 = 6,   // one byte per pixel, 0..64, rows padded to 4 bytes
};

constexpr long GLYPH_ERROR = -1;

class GlyphRasterizer {
public:
    // Matches `family` (UTF-8) for the simplified Chinese language, so that Chinese face names
    // find a CJK font, and opens it at `pixelSize` pixels to the em. nullptr, with the reason in
    // *error, when no font can be opened.
    static std::unique_ptr<GlyphRasterizer> Open(const std::string& family, int pixelSize,
                                                 bool bold, bool italic, std::string* error);
    virtual ~GlyphRasterizer() = default;

    // The matched font file, for the log.
    virtual const std::string& FontFile() const = 0;
    // The face within it: its index in a collection and its family and style, for the log.
    virtual int FaceIndex() const = 0;
    virtual const std::string& FaceName() const = 0;
    // Whether every printable ASCII glyph of the face advances half a full-width cell (a face
    // without such letters is used only where no installed face has them).
    virtual bool HalfWidthLatin() const = 0;
    // Whether one-bit glyphs come from the face's own bitmaps drawn for this size.
    virtual bool OwnBitmaps() const = 0;
    // The pen advance of the code unit's glyph as rendered in `format`, in 64ths of a pixel;
    // GLYPH_ERROR when it cannot be loaded.
    virtual long PenAdvance(char16_t code, int format) = 0;
    // Whether the font has a glyph of its own for the code unit (not the missing-glyph box).
    virtual bool HasGlyph(char16_t code) const = 0;
    // Pixels from the top of a line to its baseline.
    virtual int Ascent() const = 0;
    // With buffer nullptr: the bytes the glyph's bitmap needs (0 for a glyph without ink, such as
    // a space, whose black box is 1 x 1) and its metrics. With a buffer of at least that size:
    // fills it and returns the same size. GLYPH_ERROR when the glyph cannot be rendered.
    virtual long GlyphOutline(char16_t code, int format, GlyphMetrics* metrics, void* buffer,
                              unsigned long bufferSize) = 0;
};
