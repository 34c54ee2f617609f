// glyph_font.cpp -- GlyphFont and the game's two glyph fonts.
#include "gfx/glyph_font.h"

#include <vector>

#include "core/det_math.h"
#include "platform/code_page.h"
#include "platform/glyph_raster.h"

// The face names are the game's own texts, in its code page: 宋体 and 黑体.
GlyphFont fieldFont("\xCB\xCE\xCC\xE5", 14, false, false, false);
GlyphFont listFont("\xBA\xDA\xCC\xE5", 16, false, false, true);

namespace {

constexpr int kTextRoom = 10240;   // bytes of GBK text DrawText draws
constexpr float kGlyphDepth = 0.09f;

bool IsLineBreak(char16_t c) { return c == u'\n' || c == u'\r'; }

}  // namespace

GlyphFont::GlyphFont(const char* face, int size, bool bold, bool italic, bool antialias)
    : glyphs(new GlyphRecord[65536]()),
      outlineFormat(antialias ? GLYPH_GRAY8 : GLYPH_BITMAP),
      size(float(size)),
      faceName(CodePageToUtf8(face != nullptr ? face : "")),
      bold(bold),
      italic(italic) {}

// A font keeps its glyph textures and its engine reference to the end of the process, as the
// game's two fonts do.
GlyphFont::~GlyphFont() = default;

bool GlyphFont::Ready() {
    if (engine != nullptr) return rasterizer != nullptr;
    if (!Engine_WindowOpen()) return false;
    engine = hgeCreate(HGE_VERSION);
    glyphSprite = std::make_unique<Sprite>(0, 0.0f, 0.0f, 0.0f, 0.0f);
    glyphSprite->SetDepth(kGlyphDepth);
    for (int corner = 0; corner < 4; ++corner) glyphSprite->SetTint(tint[corner], corner);
    std::string error;
    rasterizer = GlyphRasterizer::Open(faceName, int(size), bold, italic, &error);
    opened = true;
    if (rasterizer == nullptr) {
        engine->System_Log("Glyph font \"%s\" %d px: %s; its text is not drawn", faceName.c_str(),
                           int(size), error.c_str());
        return false;
    }
    ascent = rasterizer->Ascent();
    // Which file and which face of it: a collection holds several, and only some set Latin
    // letters on the half-width cells the text is laid on.
    const char* own = outlineFormat == GLYPH_BITMAP && rasterizer->OwnBitmaps() ? ", its own bitmaps at this size" : "";
    const char* cells = rasterizer->HalfWidthLatin()
                            ? ""
                            : "; no installed Chinese face sets Latin letters half-width, so Latin text is spaced unevenly";
    engine->System_Log("Glyph font \"%s\" %d px: %s, face %d \"%s\"%s%s", faceName.c_str(), int(size),
                       rasterizer->FontFile().c_str(), rasterizer->FaceIndex(),
                       rasterizer->FaceName().c_str(), own, cells);
    return true;
}

void GlyphFont::CacheGlyph(char16_t c) {
    if (!Ready()) return;
    GlyphMetrics metrics;
    long bytes = rasterizer->GlyphOutline(c, outlineFormat, &metrics, nullptr, 0);
    if (bytes == GLYPH_ERROR) return;
    HTEXTURE texture = engine->Texture_Create(int(metrics.blackBoxX), int(metrics.blackBoxY));
    if (texture == 0) return;  // tried again at the glyph's next use
    if (bytes > 0) {
        std::vector<unsigned char> bits(static_cast<size_t>(bytes));
        if (rasterizer->GlyphOutline(c, outlineFormat, &metrics, bits.data(), bits.size()) == bytes) {
            uint32_t* pixels = engine->Texture_Lock(texture, false);
            if (pixels != nullptr) {
                // The engine may make the texture larger than asked: rows are its real width.
                int row = engine->Texture_GetWidth(texture);
                unsigned w = metrics.blackBoxX;
                unsigned h = metrics.blackBoxY;
                if (outlineFormat == GLYPH_BITMAP) {
                    size_t pitch = size_t((w + 31) / 32) * 4;
                    for (unsigned y = 0; y < h; ++y) {
                        for (unsigned x = 0; x < w; ++x) {
                            bool set = (bits[pitch * y + x / 8] >> (7 - x % 8)) & 1;
                            pixels[size_t(row) * y + x] = set ? 0xFFFFFFFFu : 0x00000000u;
                        }
                    }
                } else {
                    size_t pitch = size_t((w + 3) / 4) * 4;
                    for (unsigned y = 0; y < h; ++y) {
                        for (unsigned x = 0; x < w; ++x) {
                            unsigned level = bits[pitch * y + x];
                            uint32_t alpha = level >= 64 ? 255u : 4u * level;
                            pixels[size_t(row) * y + x] = (alpha << 24) | 0x00FFFFFFu;
                        }
                    }
                }
                engine->Texture_Unlock(texture);
            }
        }
    }
    GlyphRecord& record = glyphs[c];
    record.texture = texture;
    record.width = float(metrics.blackBoxX);
    record.height = float(metrics.blackBoxY);
    record.offsetX = float(-metrics.originX);
    record.offsetY = float(metrics.originY - ascent);
}

char16_t GlyphFont::Glyph(char16_t c) {
    if (glyphs[c].texture == 0) CacheGlyph(c);
    return c;
}

float GlyphFont::Advance(char16_t c) {
    Glyph(c);
    // Half cells round halves to even: 7 for size 14, 8 for 15 and 16.
    return c < 0x2000 ? detmath::RoundEven(size / 2.0f) : size;
}

int GlyphFont::GlyphTextures() const {
    int made = 0;
    for (int c = 0; c < 65536; ++c) made += glyphs[c].texture != 0;
    return made;
}

void GlyphFont::DrawText(float x, float y, int align, const char* text, float scale) {
    static char16_t wide[kTextRoom + 1];
    if (text == nullptr) return;
    size_t length = 0;
    while (length < size_t(kTextRoom) && text[length] != '\0') ++length;
    size_t units = CodePageToWide(text, long(length), wide, kTextRoom);
    wide[units] = 0;
    DrawWide(x, y, align, wide, scale);
}

void GlyphFont::DrawWide(float x, float y, int align, const char16_t* text, float scale) {
    if (text == nullptr) return;
    int n = 0;
    while (text[n] != 0 && !IsLineBreak(text[n])) ++n;
    float k = align <= 0 ? 0.0f : align == 2 ? float(2 * n) : float(n);
    bool drawable = Ready();
    float penX = x;
    float penY = y;
    for (const char16_t* p = text; *p != 0; ++p) {
        char16_t c = *p;
        if (IsLineBreak(c)) {
            penX = x;
            penY += size + lineGap;
            continue;
        }
        const GlyphRecord& r = glyphs[Glyph(c)];
        float a = Advance(c) + tracking;
        if (drawable && r.texture != 0) {
            glyphSprite->ChangeTexture(r.texture);
            glyphSprite->SetRegion(0, 0, r.width, r.height, true);
            glyphSprite->DrawTransformed(penX - r.offsetX - a * k / 2, penY - r.offsetY, 0.0f, scale,
                                         scale);
        }
        penX += a;
    }
}

void GlyphFont::SetTint(uint32_t colour, int corner) {
    for (int i = 0; i < 4; ++i) {
        if (corner == -1 || corner == i) tint[i] = colour;
    }
    if (glyphSprite != nullptr) glyphSprite->SetTint(colour, corner);
}

uint32_t GlyphFont::Tint(int corner) { return tint[corner & 3]; }

TextSize GlyphFont::Measure(const char16_t* text) {
    TextSize result{0, int32_t(size)};
    float width = 0;
    if (text != nullptr) {
        for (const char16_t* p = text; *p != 0; ++p) {
            if (IsLineBreak(*p)) result.height += int32_t(size + lineGap);
            else width += Advance(*p) + tracking;
        }
    }
    result.width = int32_t(width);
    return result;
}

char16_t GlyphFont::CharAt(const char16_t* text, float px, float py) {
    if (text == nullptr) return 0;
    float x0 = 0;
    float y0 = 0;
    for (const char16_t* p = text; *p != 0; ++p) {
        if (IsLineBreak(*p)) {
            x0 = 0;
            y0 += size + lineGap;
            continue;
        }
        float a = Advance(*p);
        if (x0 < px && px <= x0 + a && y0 < py && py <= y0 + size) return *p;
        x0 += a + tracking;
    }
    return 0;
}

void GlyphFont::SetTracking(float t) { tracking = t; }
void GlyphFont::SetLineGap(float gap) { lineGap = gap; }
float GlyphFont::Tracking() { return tracking; }
float GlyphFont::LineGap() { return lineGap; }
float GlyphFont::Size() { return size; }
