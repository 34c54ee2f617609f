// glyph_raster.cpp -- GlyphRasterizer over FreeType, with the font found by font_lookup.h.
#include "platform/glyph_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/font_lookup.h"

namespace {

// One FreeType library for the process. Fonts live until the program ends, so it is never
// closed.
FT_Library Library() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) made = nullptr;
        return made;
    }();
    return library;
}

class FreeTypeRasterizer : public GlyphRasterizer {
public:
    FreeTypeRasterizer(FT_Face face, std::string file, bool halfWidthLatin, bool bold, bool italic)
        : face_(face),
          file_(std::move(file)),
          faceName_(::FaceName(face)),
          halfWidthLatin_(halfWidthLatin),
          bold_(bold),
          italic_(italic) {
        // The ascent a Windows font reports is its OS/2 table's "win" ascent scaled to the em;
        // other fonts fall back on FreeType's scaled ascender.
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
        if (os2 != nullptr && os2->version != 0xFFFF && face_->units_per_EM > 0) {
            ascent_ = int(std::lround(double(os2->usWinAscent) * face_->size->metrics.y_ppem /
                                      face_->units_per_EM));
        } else {
            ascent_ = int((face_->size->metrics.ascender + 63) >> 6);
        }
    }
    ~FreeTypeRasterizer() override { FT_Done_Face(face_); }

    const std::string& FontFile() const override { return file_; }
    int FaceIndex() const override { return int(face_->face_index & 0xFFFF); }
    const std::string& FaceName() const override { return faceName_; }
    bool HalfWidthLatin() const override { return halfWidthLatin_; }
    bool OwnBitmaps() const override {
        // FT_Set_Pixel_Sizes chose one of the face's strikes when it has one of this size.
        if (!FT_HAS_FIXED_SIZES(face_)) return false;
        for (FT_Int i = 0; i < face_->num_fixed_sizes; ++i) {
            if (face_->available_sizes[i].y_ppem == face_->size->metrics.y_ppem << 6) return true;
        }
        return false;
    }
    long PenAdvance(char16_t code, int format) override {
        haveLast_ = false;  // the slot is reused
        if (FT_Load_Char(face_, FT_ULong(code), LoadFlags(format)) != 0) return GLYPH_ERROR;
        return long(face_->glyph->advance.x);
    }
    int Ascent() const override { return ascent_; }
    bool HasGlyph(char16_t code) const override { return FT_Get_Char_Index(face_, code) != 0; }

    long GlyphOutline(char16_t code, int format, GlyphMetrics* metrics, void* buffer,
                      unsigned long bufferSize) override {
        if (format != GLYPH_BITMAP && format != GLYPH_GRAY8) return GLYPH_ERROR;
        // The cache asks twice for each glyph, first for the size, then for the bits.
        if (!(haveLast_ && lastCode_ == code && lastFormat_ == format)) {
            haveLast_ = false;
            if (!Render(code, format)) return GLYPH_ERROR;
            haveLast_ = true;
            lastCode_ = code;
            lastFormat_ = format;
        }
        if (metrics != nullptr) *metrics = lastMetrics_;
        if (buffer != nullptr) {
            if (bufferSize < lastBits_.size()) return GLYPH_ERROR;
            std::memcpy(buffer, lastBits_.data(), lastBits_.size());
        }
        return long(lastBits_.size());
    }

private:
    // One-bit glyphs may come from a font's own hand-made bitmaps; grey ones are always
    // rendered from the outline.
    static FT_Int32 LoadFlags(int format) {
        return format == GLYPH_BITMAP ? FT_LOAD_TARGET_MONO : (FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP);
    }

    bool Render(char16_t code, int format) {
        bool mono = format == GLYPH_BITMAP;
        if (FT_Load_Char(face_, FT_ULong(code), LoadFlags(format)) != 0) return false;
        FT_GlyphSlot slot = face_->glyph;
        if (bold_) FT_GlyphSlot_Embolden(slot);
        if (italic_) FT_GlyphSlot_Oblique(slot);
        if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
            FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) {
            return false;
        }
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
            return false;
        }
        lastBits_.clear();
        if (bitmap.width == 0 || bitmap.rows == 0) {
            lastMetrics_ = GlyphMetrics{1, 1, 0, 0};
            return true;
        }
        unsigned w = bitmap.width;
        unsigned h = bitmap.rows;
        lastMetrics_ = GlyphMetrics{w, h, slot->bitmap_left, slot->bitmap_top};
        size_t pitch = mono ? size_t((w + 31) / 32) * 4 : size_t((w + 3) / 4) * 4;
        lastBits_.assign(pitch * h, 0);
        int grays = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
        for (unsigned y = 0; y < h; ++y) {
            const unsigned char* row = bitmap.buffer + ptrdiff_t(y) * bitmap.pitch;
            unsigned char* out = lastBits_.data() + pitch * y;
            for (unsigned x = 0; x < w; ++x) {
                int level;  // 0..64
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                    level = (row[x / 8] >> (7 - x % 8)) & 1 ? 64 : 0;
                } else {
                    level = (row[x] * 64 + grays / 2) / grays;
                }
                if (mono) {
                    if (level >= 32) out[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
                } else {
                    out[x] = static_cast<unsigned char>(level);
                }
            }
        }
        return true;
    }

    FT_Face face_;
    std::string file_;
    std::string faceName_;
    bool halfWidthLatin_;
    bool bold_;
    bool italic_;
    int ascent_ = 0;
    bool haveLast_ = false;
    char16_t lastCode_ = 0;
    int lastFormat_ = 0;
    GlyphMetrics lastMetrics_;
    std::vector<unsigned char> lastBits_;
};

}  // namespace

std::unique_ptr<GlyphRasterizer> GlyphRasterizer::Open(const std::string& family, int pixelSize,
                                                       bool bold, bool italic, std::string* error) {
    auto fail = [error](std::string why) {
        if (error != nullptr) *error = std::move(why);
        return nullptr;
    };
    if (pixelSize <= 0) return fail("no size");
    if (Library() == nullptr) return fail("FreeType cannot start");
    FoundFont found;
    std::string why;
    if (!OpenFontFor(Library(), family, pixelSize, bold, italic, &found, &why)) return fail(why);
    if (FT_Set_Pixel_Sizes(found.face, 0, FT_UInt(pixelSize)) != 0) {
        FT_Done_Face(found.face);
        return fail("FreeType cannot size " + found.file);
    }
    // Only what the found face lacks is made up.
    return std::make_unique<FreeTypeRasterizer>(found.face, found.file, found.halfWidthLatin,
                                                bold && !found.boldFace,
                                                italic && !found.italicFace);
}
