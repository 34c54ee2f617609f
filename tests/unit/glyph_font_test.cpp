// GlyphFont: the cell grid of mixed half-width and full-width text, measuring, one texture per
// glyph made on first use, tint, one-bit and 65-level coverage, and the font matching it stands
// on (the code page conversions have code_page_test.cpp).
#include "gfx/glyph_font.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/glyph_raster.h"
#include "support/headless.h"

namespace {

class GlyphFontTest : public RecordedSceneTest {
protected:
    void TearDown() override {
        RecordedSceneTest::TearDown();
        fieldFont.SetTint(0xFFFFFFFF, -1);
    }
};

// The pen position each recorded quad was drawn for: the quad's left edge plus the glyph's
// offset back to its cell.
std::vector<float> PenPositions(HeadlessEngine& engine, GlyphFont& font, const char16_t* text) {
    std::vector<float> pens;
    const auto& quads = engine.RecordedQuads();
    size_t q = 0;
    for (const char16_t* p = text; *p != 0 && q < quads.size(); ++p) {
        if (*p == u'\n') continue;
        pens.push_back(quads[q].v[0].x + font.Record(*p).offsetX);
        ++q;
    }
    return pens;
}

TEST_F(GlyphFontTest, MixedTextSitsOnHalfAndFullWidthCells) {
    const char16_t text[] = u"a\u4E2Db";
    fieldFont.DrawWide(100, 50, 0, text, 1.0f);
    ASSERT_EQ(engine->RecordedQuads().size(), 3u);
    EXPECT_EQ(PenPositions(*engine, fieldFont, text), (std::vector<float>{100, 107, 121}));
    EXPECT_EQ(fieldFont.Measure(text).width, 28);  // the pen ends at x + 28
}

TEST_F(GlyphFontTest, AdvanceRoundsHalfCellsToEven) {
    struct Case { int size; char16_t c; float advance; };
    const Case cases[] = {{14, u'a', 7}, {16, u'a', 8}, {15, u'a', 8}, {13, u'a', 6},
                          {14, u'\u1FFF', 7}, {14, u'\u2000', 14}, {16, u'\u4E2D', 16}};
    for (const Case& c : cases) {
        GlyphFont font("x", c.size, false, false, false);
        EXPECT_EQ(font.Advance(c.c), c.advance) << "size " << c.size << " U+" << int(c.c);
    }
}

TEST_F(GlyphFontTest, MeasureCountsLinesAndLaysTheWidthOnOneLine) {
    struct Case { const char16_t* text; int width; int height; };
    const Case cases[] = {{u"ab", 14, 14}, {u"ab\nc", 21, 28}, {u"", 0, 14}, {u"\r\n", 0, 42},
                          {u"\u4E2D\u6587", 28, 14}};
    for (const Case& c : cases) {
        TextSize size = fieldFont.Measure(c.text);
        EXPECT_EQ(size.width, c.width);
        EXPECT_EQ(size.height, c.height);
    }
}

TEST_F(GlyphFontTest, EachGlyphGetsOneTextureOnFirstUse) {
    GlyphFont font("\xCB\xCE\xCC\xE5", 14, false, false, false);
    font.DrawWide(0, 0, 0, u"AB", 1.0f);
    font.DrawWide(0, 20, 0, u"BA", 1.0f);
    EXPECT_EQ(font.GlyphTextures(), 2);
    EXPECT_NE(font.Record(u'A').texture, font.Record(u'B').texture);
}

TEST_F(GlyphFontTest, ALeadingLineFeedDrawsTheFirstCharacterOneLineDown) {
    GlyphFont font("\xCB\xCE\xCC\xE5", 14, false, false, false);
    font.SetLineGap(3);
    font.DrawWide(10, 20, 0, u"\nx", 1.0f);
    ASSERT_EQ(engine->RecordedQuads().size(), 1u);
    EXPECT_FLOAT_EQ(engine->RecordedQuads()[0].v[0].y + font.Record(u'x').offsetY, 20 + 14 + 3);
}

TEST_F(GlyphFontTest, AlignmentShiftsByTheFirstLinesCells) {
    struct Case { int align; float shift; };
    for (const Case& c : {Case{0, 0}, Case{-1, 0}, Case{1, 3 * 7 / 2.0f}, Case{2, 3 * 7}}) {
        engine->ClearRecordedQuads();
        fieldFont.DrawWide(100, 0, c.align, u"abc\nde", 1.0f);
        EXPECT_FLOAT_EQ(PenPositions(*engine, fieldFont, u"abc\nde")[0], 100 - c.shift)
            << "align " << c.align;
    }
}

TEST_F(GlyphFontTest, CharAtFindsTheCellUnderAPoint) {
    struct Case { float x, y; char16_t found; };
    const Case cases[] = {{0.5f, 1, u'a'}, {7, 14, u'a'}, {7.5f, 1, u'\u4E2D'}, {21, 5, u'\u4E2D'},
                          {22, 5, u'b'}, {29, 5, 0}, {0, 5, 0}, {3, 15, u'c'}, {3, 29, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(fieldFont.CharAt(u"a\u4E2Db\nc", c.x, c.y), c.found) << c.x << ", " << c.y;
    }
    EXPECT_EQ(fieldFont.CharAt(u"ab\n", 3, 20), 0);
}

TEST_F(GlyphFontTest, TintStaysUntilSetAgain) {
    fieldFont.SetTint(0xFF000000, -1);
    fieldFont.DrawWide(0, 0, 0, u"ab", 1.0f);
    fieldFont.DrawText(0, 20, 0, "c", 1.0f);
    for (const hgeQuad& q : engine->RecordedQuads()) {
        for (const hgeVertex& v : q.v) EXPECT_EQ(v.col, 0xFF000000u);
    }
    fieldFont.SetTint(0xFFFF0000, 2);
    EXPECT_EQ(fieldFont.Tint(2), 0xFFFF0000u);
    EXPECT_EQ(fieldFont.Tint(0), 0xFF000000u);
}

TEST_F(GlyphFontTest, DrawTextConvertsTheGameCodePage) {
    fieldFont.DrawText(0, 0, 0, "a\xD6\xD0" "b", 1.0f);  // a, 中, b in GBK
    ASSERT_EQ(engine->RecordedQuads().size(), 3u);
    EXPECT_EQ(engine->RecordedQuads()[1].tex, fieldFont.Record(u'\u4E2D').texture);
}

// Alpha values of every pixel of a glyph's texture.
std::set<uint32_t> Alphas(HeadlessEngine& engine, const GlyphRecord& r) {
    std::set<uint32_t> alphas;
    uint32_t* pixels = engine.Texture_Lock(r.texture);
    int row = engine.Texture_GetWidth(r.texture);
    for (int y = 0; y < int(r.height); ++y) {
        for (int x = 0; x < int(r.width); ++x) alphas.insert(pixels[y * row + x] >> 24);
    }
    engine.Texture_Unlock(r.texture);
    return alphas;
}

TEST_F(GlyphFontTest, OneBitAndGreyCoverage) {
    fieldFont.Glyph(u'\u4E2D');
    listFont.Glyph(u'\u4E2D');
    std::set<uint32_t> mono = Alphas(*engine, fieldFont.Record(u'\u4E2D'));
    EXPECT_EQ(mono, (std::set<uint32_t>{0, 255}));
    std::set<uint32_t> grey = Alphas(*engine, listFont.Record(u'\u4E2D'));
    EXPECT_GT(grey.size(), 3u);  // levels between clear and full
    for (uint32_t a : grey) EXPECT_TRUE(a == 255 || a % 4 == 0) << a;
    // The ink of 中 stands on the baseline inside a 14-pixel line.
    const GlyphRecord& r = fieldFont.Record(u'\u4E2D');
    EXPECT_GT(r.width, 8);
    EXPECT_GE(-r.offsetY, 0);
    EXPECT_LE(-r.offsetY + r.height, 15);
}

TEST_F(GlyphFontTest, ASpaceGetsAnEmptyTextureAndAdvances) {
    GlyphFont font("\xCB\xCE\xCC\xE5", 14, false, false, false);
    font.DrawWide(0, 0, 0, u" x", 1.0f);
    EXPECT_NE(font.Record(u' ').texture, 0u);
    EXPECT_EQ(Alphas(*engine, font.Record(u' ')), (std::set<uint32_t>{0}));
    EXPECT_FLOAT_EQ(PenPositions(*engine, font, u" x")[1], 7);
}

TEST(GlyphFontMatch, ChineseFaceNamesFindACjkFont) {
    for (const char* face : {"\xE5\xAE\x8B\xE4\xBD\x93", "\xE9\xBB\x91\xE4\xBD\x93"}) {  // 宋体, 黑体
        std::string error;
        auto font = GlyphRasterizer::Open(face, 14, false, false, &error);
        ASSERT_NE(font, nullptr) << error;
        EXPECT_TRUE(font->HasGlyph(u'\u4E2D')) << font->FontFile();
        EXPECT_TRUE(font->HasGlyph(u'a')) << font->FontFile();
    }
}

// The game's two fonts as it opens them: every printable ASCII glyph of the face chosen must
// advance exactly half a full-width cell, both by the face's own advance table and as rendered
// at the font's size in its format, or mixed text leaves gaps in its words ("Repl ay").
TEST(GlyphFontMatch, BothFontsGetFacesWithHalfWidthLatinLetters) {
    struct Case {
        const char* face;
        int size;
        int format;
    };
    const Case cases[] = {
        {"\xE5\xAE\x8B\xE4\xBD\x93", 14, GLYPH_BITMAP},  // 宋体, fieldFont
        {"\xE9\xBB\x91\xE4\xBD\x93", 16, GLYPH_GRAY8},   // 黑体, listFont
    };
    for (const Case& c : cases) {
        std::string error;
        auto font = GlyphRasterizer::Open(c.face, c.size, false, false, &error);
        ASSERT_NE(font, nullptr) << error;
        std::string which = font->FontFile() + " face " + std::to_string(font->FaceIndex()) + " " + font->FaceName();
        EXPECT_TRUE(font->HalfWidthLatin()) << which;
        long full = font->PenAdvance(u'\u4E2D', c.format);
        EXPECT_EQ(full, c.size * 64) << which;
        for (char16_t ch = 0x20; ch <= 0x7E; ++ch) {
            EXPECT_EQ(font->PenAdvance(ch, c.format) * 2, full) << which << ": '" << char(ch) << "'";
        }
    }
}

}  // namespace
