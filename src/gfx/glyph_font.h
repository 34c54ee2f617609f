// glyph_font.h -- GlyphFont: text in any character of the game's code page (GBK), drawn from an
// installed TrueType font glyph by glyph. Each glyph is rendered into a texture of its own the
// first time it is drawn and reused ever after. Text sits on a grid of half-width cells (below
// U+2000) and full-width cells (from U+2000), so that mixed Latin and Chinese text lines up.
//
// The two fonts of the game are globals built before the program picks its engine backend, so
// a font touches neither the engine nor the font system until the engine's window is open;
// until then it measures text but draws nothing. A font that cannot be opened logs why once,
// then draws nothing and still advances the pen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gfx/sprite.h"
#include "platform/engine.h"

class GlyphRasterizer;

struct GlyphRecord {
    HTEXTURE texture = 0;  // the glyph's own texture; 0 while the glyph has not been made
    float width = 0;       // the glyph's black box in pixels
    float height = 0;
    float offsetX = 0;     // minus the x of the black box's origin
    float offsetY = 0;     // the y of the black box's origin minus the font's ascent
};

struct TextSize {
    int32_t width;
    int32_t height;
};

class GlyphFont {
public:
    // `face` is in the game's code page; only the size in pixels and the flags shape the font.
    GlyphFont(const char* face, int size, bool bold, bool italic, bool antialias);
    virtual ~GlyphFont();
    GlyphFont(const GlyphFont&) = delete;
    GlyphFont& operator=(const GlyphFont&) = delete;

    // (x, y) is the top left of the first line's cells. align: 0 or less left, 2 right, any
    // other positive value centred (by the first line's cells). GBK text, at most 10240 bytes.
    virtual void DrawText(float x, float y, int align, const char* text, float scale);
    virtual void DrawWide(float x, float y, int align, const char16_t* text, float scale);
    // The colour of every glyph drawn afterwards; corner -1 sets all four.
    virtual void SetTint(uint32_t colour, int corner);
    virtual uint32_t Tint(int corner);
    // Width of the text laid out on one line (line breaks do not restart it) and the height of
    // all its lines, both truncated.
    virtual TextSize Measure(const char16_t* text);
    // The code unit whose cell holds (px, py), the text laid out at the origin; 0 for none.
    virtual char16_t CharAt(const char16_t* text, float px, float py);
    virtual void SetTracking(float tracking);
    virtual void SetLineGap(float gap);
    virtual float Tracking();
    virtual float LineGap();
    virtual float Size();

    // Makes the glyph of c when it has not been made (or could not be) yet; returns c.
    char16_t Glyph(char16_t c);
    // The pen advance of c: half the size rounded to even below U+2000, else the size. Makes
    // the glyph of c.
    float Advance(char16_t c);
    const GlyphRecord& Record(char16_t c) const { return glyphs[c]; }
    // Glyph textures made so far.
    int GlyphTextures() const;
    // The black box ascent the font reports (0 until the font is opened).
    int Ascent() const { return ascent; }

private:
    void CacheGlyph(char16_t c);
    // Opens the font and makes glyphSprite on the first call after the engine's window opened.
    bool Ready();

    std::unique_ptr<GlyphRecord[]> glyphs;  // 65536, indexed by the UTF-16 code unit
    int32_t outlineFormat;                  // one-bit or 65 grey levels
    int32_t ascent = 0;
    float size;
    float tracking = 0;
    float lineGap = 0;
    Engine* engine = nullptr;
    std::unique_ptr<Sprite> glyphSprite;
    std::unique_ptr<GlyphRasterizer> rasterizer;

    std::string faceName;  // UTF-8
    bool bold;
    bool italic;
    bool opened = false;       // the font system was asked (whether or not it answered)
    uint32_t tint[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
};

// The text fields' font ("宋体", 14 pixels, one-bit) and the replay and score screens' font
// ("黑体", 16 pixels, antialiased), for the whole run.
extern GlyphFont fieldFont;
extern GlyphFont listFont;
