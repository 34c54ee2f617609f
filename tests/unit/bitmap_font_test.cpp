// BitmapFont: the description file reader's accept and reject rules, and text layout
// (alignment, line feeds, wrapping, the formatting buffer's limit).
#include "gfx/bitmap_font.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/image.h"
#include "support/headless.h"
#include "support/temp_dir.h"

namespace {

const char* const kLog = "bitmap_font_test.log";

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadLog() {
    std::ifstream in(kLog);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class BitmapFontTest : public ::testing::Test {
protected:
    WorkInTempDir dir_{"bitmap_font_test"};  // the fixture files are written here

    void SetUp() override {
        engine = &UseHeadlessEngine();
        Image image;
        image.width = 64;
        image.height = 32;
        image.pixels.assign(64 * 32, 0xFFFFFFFF);
        ASSERT_TRUE(SavePng("bitmap_font_test.png", image));
        std::remove(kLog);
        engine->System_SetState(HGE_LOGFILE, kLog);
    }
    void TearDown() override {
        engine->System_SetState(HGE_LOGFILE, "");
        engine->SetRecordQuads(false);
    }
    // A font from the given text, written as bitmap_font_test.fnt.
    BitmapFont* Font(const std::string& text) {
        WriteFile("bitmap_font_test.fnt", text);
        font.reset(new BitmapFont("bitmap_font_test.fnt"));
        return font.get();
    }
    HeadlessEngine* engine = nullptr;
    std::unique_ptr<BitmapFont> font;
};

const std::string kHead = "[HGEFONT]\nBitmap=bitmap_font_test.png\n";

TEST_F(BitmapFontTest, TheFirstLineMustBeExactlyTheMarker) {
    struct Case { const char* name; std::string text; bool accepted; };
    const Case cases[] = {
        {"plain", kHead + "Char=41,0,0,7,10,0,0\n", true},
        {"crlf and empty lines", "[HGEFONT]\r\n\r\n\r\nBitmap = bitmap_font_test.png\r\nChar=41,0,0,7,10,0,0\r\n", true},
        {"blank after marker", "[HGEFONT] \nBitmap=bitmap_font_test.png\nChar=41,0,0,7,10,0,0\n", false},
        {"empty line first", "\n" + kHead + "Char=41,0,0,7,10,0,0\n", false},
        {"blank before marker", " " + kHead + "Char=41,0,0,7,10,0,0\n", false},
        {"lower case", "[hgefont]\nBitmap=bitmap_font_test.png\nChar=41,0,0,7,10,0,0\n", false},
        {"an empty file", "", false},
        {"a NUL first", std::string(1, '\0') + kHead + "Char=41,0,0,7,10,0,0\n", false},
        {"line ends only", "\r\n\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(kLog);
        BitmapFont* f = Font(c.text);
        EXPECT_EQ(f->Glyph('A') != nullptr, c.accepted);
        EXPECT_EQ(f->Texture() != 0, c.accepted);
        bool logged = ReadLog().find("Font bitmap_font_test.fnt has incorrect format.") != std::string::npos;
        EXPECT_EQ(logged, !c.accepted);
    }
}

TEST_F(BitmapFontTest, CharLinesNameTheirCharacterQuotedOrInHex) {
    BitmapFont* f = Font(kHead +
                         "Char=\"\"\",1,2,3,4,5,6\n"   // the double quote itself
                         "Char = \" \",0,0,4,9,0,0\n"  // a blank
                         "Char=0041,0,0,7,10,1,2\n"
                         "Char=62,0,0,5,12,0,0\n"
                         "Char=100,0,0,9,30,0,0\n"     // above 255: ignored
                         "Char 43,0,0,9,30,0,0\n"      // no equals sign: ignored
                         "Chars=x43,0,0,9,30,0,0\n"    // not hex: code 0, harmless
                         "Charm=44,0,0,6\n"            // fewer numbers: the rest are 0
                         "Bitmapped\n"                 // matches no pattern: ignored
                         "Other=45,0,0,9,30,0,0\n");
    ASSERT_NE(f->Glyph('"'), nullptr);
    EXPECT_FLOAT_EQ(f->Glyph('"')->Width(), 3);
    EXPECT_FLOAT_EQ(f->LeadIn('"'), 5);
    EXPECT_FLOAT_EQ(f->LeadOut('"'), 6);
    ASSERT_NE(f->Glyph(' '), nullptr);
    EXPECT_FLOAT_EQ(f->Glyph(' ')->Width(), 4);
    ASSERT_NE(f->Glyph('A'), nullptr);
    EXPECT_FLOAT_EQ(f->LeadIn('A'), 1);
    EXPECT_FLOAT_EQ(f->LeadOut('A'), 2);
    ASSERT_NE(f->Glyph('b'), nullptr);  // 0x62
    EXPECT_EQ(f->Glyph('C'), nullptr);
    EXPECT_EQ(f->Glyph('E'), nullptr);
    ASSERT_NE(f->Glyph('D'), nullptr);
    EXPECT_FLOAT_EQ(f->Glyph('D')->Width(), 6);
    EXPECT_FLOAT_EQ(f->Glyph('D')->Height(), 0);
    EXPECT_FLOAT_EQ(f->GlyphHeight(), 12);  // the tallest glyph read
}

TEST_F(BitmapFontTest, HexCodesWithLeadingZerosMeanTheSameCharacterAndLaterLinesReplace) {
    BitmapFont* f = Font(kHead + "Char=41,0,0,7,10,0,0\nChar=0041,0,0,3,10,0,0\n");
    ASSERT_NE(f->Glyph('A'), nullptr);
    EXPECT_FLOAT_EQ(f->Glyph('A')->Width(), 3);
}

TEST_F(BitmapFontTest, AMissingTextureStopsReadingAndKeepsEarlierGlyphs) {
    BitmapFont* f = Font("[HGEFONT]\nChar=41,0,0,7,10,0,0\nBitmap=no_such_picture.png\n"
                         "Char=42,0,0,7,10,0,0\n");
    EXPECT_EQ(f->Texture(), 0u);
    EXPECT_NE(f->Glyph('A'), nullptr);
    EXPECT_EQ(f->Glyph('B'), nullptr);
}

TEST_F(BitmapFontTest, OverlongLinesAndPathsAndEmbeddedNulsAreRefusedSafely) {
    static const char kNulInside[] = "Char=43,0,0,7,10,0,0\n\0Char=44,0,0,7,10,0,0\n";
    BitmapFont* f = Font(kHead + "Char=41," + std::string(300, '1') + "\nChar=42,0,0,7,10,0,0\n" +
                         std::string(kNulInside, sizeof kNulInside - 1));
    EXPECT_EQ(f->Glyph('A'), nullptr);
    EXPECT_NE(f->Glyph('B'), nullptr);
    EXPECT_NE(f->Glyph('C'), nullptr);
    EXPECT_EQ(f->Glyph('D'), nullptr);  // after the NUL
    EXPECT_NE(ReadLog().find("longer than 255"), std::string::npos);

    std::string longPath(300, 'x');
    BitmapFont tooLong(longPath.c_str());
    EXPECT_EQ(tooLong.Texture(), 0u);
    EXPECT_NE(ReadLog().find("longer than 259"), std::string::npos);

    BitmapFont missing("no_such_font.fnt");  // not a font error: the file is just not there
    EXPECT_EQ(missing.TextWidth("AB"), 0);
    EXPECT_EQ(ReadLog().find("no_such_font.fnt has incorrect format"), std::string::npos);
}

TEST_F(BitmapFontTest, TheTextureIsFoundBesideTheFontFile) {
    std::string dir = "font_dir_test";
    std::filesystem::create_directories(dir);
    WriteFile(dir + "/f.fnt", "[HGEFONT]\nBitmap=../bitmap_font_test.png\nChar=41,0,0,7,10,0,0\n");
    BitmapFont slash((dir + "/f.fnt").c_str());
    EXPECT_NE(slash.Texture(), 0u);
    BitmapFont backslash((dir + "\\f.fnt").c_str());  // a backslash path reads the same file
    EXPECT_NE(backslash.Texture(), 0u);
}

// A font for layout: "A" 7 wide, "B" 5 wide, "C" 4 wide with lead-in 1 and lead-out 2,
// " " 3 wide, "?" 6 wide; height 10.
class LayoutTest : public BitmapFontTest {
protected:
    void SetUp() override {
        BitmapFontTest::SetUp();
        f = Font(kHead + "Char=41,0,0,7,10,0,0\nChar=42,0,0,5,10,0,0\nChar=43,0,0,4,10,1,2\n"
                         "Char=20,0,0,3,10,0,0\nChar=3F,0,0,6,10,0,0\n");
        engine->SetRecordQuads(true);
        engine->ClearRecordedQuads();
        engine->Gfx_BeginScene();
    }
    void TearDown() override {
        engine->Gfx_EndScene();
        BitmapFontTest::TearDown();
    }
    const hgeQuad& Quad(size_t i) { return engine->RecordedQuads().at(i); }
    BitmapFont* f = nullptr;
};

TEST_F(LayoutTest, WidthsAndHorizontalAlignment) {
    EXPECT_FLOAT_EQ(f->TextWidth("AB"), 12);
    EXPECT_FLOAT_EQ(f->TextWidth("C"), 7);
    EXPECT_FLOAT_EQ(f->TextWidth("x"), 6);       // drawn as "?"
    EXPECT_FLOAT_EQ(f->TextWidth("B\n\nAA"), 14);  // the empty line is not a line
    EXPECT_FLOAT_EQ(f->TextWidth("B\nAA", false), 5);
    EXPECT_FLOAT_EQ(f->TextWidth(""), 0);

    struct Case { const char* text; int align; float left; };
    const Case cases[] = {
        {"A", ALIGN_LEFT, 100}, {"A", ALIGN_CENTRE, 96},  // 7 wide: 3.5 rounds to 4
        {"B", ALIGN_CENTRE, 98},                          // 5 wide: 2.5 rounds to 2
        {"A", ALIGN_RIGHT, 93}, {"A", 3, 100},            // 3 aligns left
        {"C", ALIGN_LEFT, 101},                           // the lead-in moves the glyph
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        engine->ClearRecordedQuads();
        f->Draw(100, 50, c.align, c.text);
        ASSERT_EQ(engine->RecordedQuads().size(), 1u);
        EXPECT_FLOAT_EQ(Quad(0).v[0].x, c.left);
        EXPECT_FLOAT_EQ(Quad(0).v[0].y, 50);
    }
}

TEST_F(LayoutTest, LineFeedsMoveDownAndRealignEachLine) {
    f->Draw(100, 50, ALIGN_RIGHT, "AB\nB\n\nA");
    ASSERT_EQ(engine->RecordedQuads().size(), 4u);
    EXPECT_FLOAT_EQ(Quad(1).v[1].x, 100);  // every line ends at x
    EXPECT_FLOAT_EQ(Quad(2).v[1].x, 100);
    EXPECT_FLOAT_EQ(Quad(3).v[1].x, 100);
    EXPECT_FLOAT_EQ(Quad(2).v[0].y, 60);
    EXPECT_FLOAT_EQ(Quad(3).v[0].y, 80);  // two line feeds: two lines down
}

TEST_F(LayoutTest, UnknownBytesUseTheQuestionMarkOrAreSkipped) {
    f->Draw(0, 0, ALIGN_LEFT, "A\x80" "B");
    ASSERT_EQ(engine->RecordedQuads().size(), 3u);
    EXPECT_FLOAT_EQ(Quad(2).v[0].x, 13);  // 7 + 6 for the "?"

    BitmapFont* plain = Font(kHead + "Char=41,0,0,7,10,0,0\n");
    engine->ClearRecordedQuads();
    plain->Draw(0, 0, ALIGN_LEFT, "AzA");
    ASSERT_EQ(engine->RecordedQuads().size(), 2u);
    EXPECT_FLOAT_EQ(Quad(1).v[0].x, 7);  // no glyph and no "?": no advance either
}

TEST_F(LayoutTest, FormattedTextIsCutTo1023Characters) {
    std::string text(2000, 'A');
    f->DrawFormatted(0, 0, ALIGN_LEFT, "%s", text.c_str());
    EXPECT_EQ(engine->RecordedQuads().size(), 1023u);
    EXPECT_EQ(std::string(BitmapFont::FormatBuffer()).size(), 1023u);
}

TEST_F(LayoutTest, WrappingBreaksBeforeTheWordThatOverflows) {
    struct Case { const char* text; float w; const char* wrapped; };
    const Case cases[] = {
        {"AA AA AA", 40, "AA AA\nAA"},        // "AA AA" is 31 wide, "AA AA AA" 48
        {"AAAAAAA AA", 20, "AAAAAAA\nAA"},    // a first word wider than the box stays alone
        {"AAAAAAA", 20, "AAAAAAA"},           // ... and changes nothing when it ends the text
        {"AA\nAA AA AA", 40, "AA\nAA AA\nAA"},
        {"AA AA", 100, "AA AA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        f->DrawWrapped(0, 0, c.w, 100, ALIGN_LEFT, "%s", c.text);
        EXPECT_STREQ(BitmapFont::FormatBuffer(), c.wrapped);
    }
}

TEST_F(LayoutTest, WrappedBlocksArePlacedInTheBox) {
    struct Case { int align; float left; float top; };
    const Case cases[] = {
        {ALIGN_LEFT | ALIGN_TOP, 10, 20},
        {ALIGN_RIGHT | ALIGN_BOTTOM, 100 - 14, 20 + 100 - 20},  // two lines of 10
        {ALIGN_CENTRE | ALIGN_MIDDLE, 55 - 7, 20 + 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.align);
        engine->ClearRecordedQuads();
        f->DrawWrapped(10, 20, 90, 100, c.align, "AA\nB");
        EXPECT_FLOAT_EQ(Quad(0).v[0].x, c.left);
        EXPECT_FLOAT_EQ(Quad(0).v[0].y, c.top);
    }
}

TEST_F(LayoutTest, TintDepthAndBlendReachEveryGlyph) {
    f->SetTint(0x80FF0000);
    f->SetDepth(0.1f);
    f->SetBlend(BLEND_COLORADD);
    f->Draw(0, 0, ALIGN_LEFT, "AB");
    for (const hgeQuad& q : engine->RecordedQuads()) {
        EXPECT_EQ(q.v[2].col, 0x80FF0000u);
        EXPECT_FLOAT_EQ(q.v[3].z, 0.1f);
        EXPECT_EQ(q.blend, BLEND_COLORADD);
    }
}

}  // namespace
