// bitmap_font.h -- BitmapFont: text drawn with glyphs cut out of one texture, as listed by a
// font description file ("[HGEFONT]", one "Bitmap" line, one "Char" line per character).
//
// Text is single-byte: each byte is its own code 0..255. A code without a glyph is drawn as
// "?" when the font has one and skipped otherwise. The font owns its glyph sprites and its
// texture and holds one engine reference. DrawFormatted and DrawWrapped share one 1024-byte
// formatting buffer between all fonts, so they are not reentrant.
#pragma once

#include <cstdint>

#include "gfx/sprite.h"
#include "platform/engine.h"

// Alignment bits: horizontal part (align & 3), vertical part (align & 12, DrawWrapped only).
constexpr int ALIGN_LEFT = 0;
constexpr int ALIGN_RIGHT = 1;
constexpr int ALIGN_CENTRE = 2;
constexpr int ALIGN_TOP = 0;
constexpr int ALIGN_BOTTOM = 4;
constexpr int ALIGN_MIDDLE = 8;

class BitmapFont {
public:
    // Reads the description file through the engine's resources. Never fails outwardly: a file
    // that cannot be read or is not a font leaves the font empty (it draws nothing and measures
    // every text as 0).
    BitmapFont(const char* path, bool mipmap = false);
    ~BitmapFont();
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // (x, y) is the pen's start on the first line; y is the top of the glyphs.
    void Draw(float x, float y, int align, const char* text);
    // vsnprintf into the shared buffer (cut to 1023 characters), then Draw.
    void DrawFormatted(float x, float y, int align, const char* format, ...)
        MIRRORFALL_PRINTF(5, 6);
    // Formats, wraps the words into the box's width and places the block in the box by align.
    void DrawWrapped(float x, float y, float w, float h, int align, const char* format, ...)
        MIRRORFALL_PRINTF(7, 8);
    // Width of the first line (multiline false) or of the widest line, scaled.
    float TextWidth(const char* text, bool multiline = true) const;

    void SetTint(uint32_t colour);
    void SetDepth(float z);
    void SetBlend(int mode);

    // Layout factors; the game keeps their initial values.
    void SetScale(float s) { scale = s; }
    void SetProportion(float p) { proportion = p; }
    void SetRotation(float radians) { rotation = radians; }
    void SetTracking(float t) { tracking = t; }
    void SetLineSpacing(float s) { lineSpacing = s; }

    HTEXTURE Texture() const { return texture; }
    const Sprite* Glyph(unsigned char code) const { return glyphs[code]; }
    float LeadIn(unsigned char code) const { return leadIn[code]; }
    float LeadOut(unsigned char code) const { return leadOut[code]; }
    float GlyphHeight() const { return glyphHeight; }
    uint32_t Tint() const { return colour; }
    float Depth() const { return depth; }
    int Blend() const { return blend; }

    // The shared formatting buffer, as the last DrawFormatted or DrawWrapped left it.
    static const char* FormatBuffer() { return buffer; }

private:
    void Load(const char* path, bool mipmap);
    void ReadCharLine(const char* line);
    // The code drawn for byte c: c itself, else "?", else -1 (skipped).
    int Resolve(unsigned char c) const;
    float Advance(int code) const;
    float LineStart(float x, int align, const char* text) const;

    HTEXTURE texture = 0;
    Sprite* glyphs[256] = {};
    float leadIn[256] = {};
    float leadOut[256] = {};
    float glyphHeight = 0;
    float scale = 1;
    float proportion = 1;
    float rotation = 0;
    float tracking = 0;
    float lineSpacing = 1;
    uint32_t colour = 0xFFFFFFFF;
    float depth = 0.5f;
    int blend = BLEND_DEFAULT;

    // Textures named by earlier "Bitmap" lines of the same file: their glyphs still use them.
    HTEXTURE earlierTextures[4] = {};

    Engine* engine;

    static constexpr int kBufferSize = 1024;
    static char buffer[kBufferSize];
};
