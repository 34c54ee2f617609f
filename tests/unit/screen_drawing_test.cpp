// screen_drawing_test.cpp -- what the game's overlays, the shutter and the text field put on the
// screen, quad by quad through the headless engine: each picture's texture and region, its
// place and size, its colour and depth, and the lines and clipping drawn between them. The
// expected lists are worked out by hand from the screens' layouts, so a wrong colour, region
// or position fails here even where the screen still looks plausible.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "assets/catalogue.h"
#include "core/state.h"
#include "gfx/glyph_font.h"
#include "input/keys.h"
#include "support/headless.h"
#include "ui/overlays.h"
#include "ui/screen_switch.h"
#include "ui/text_input.h"

namespace {

// A drawn picture as the tests compare it: the texture and the region of it in pixels, the
// corners' box on screen, one colour for all four corners, the depth.
struct Pic {
    HTEXTURE tex;
    float rx, ry, rw, rh;  // region
    float x, y, w, h;      // top-left corner and size on screen
    uint32_t color;
    float z;
};

std::string Describe(const Pic& p) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "tex %u region (%g, %g, %g, %g) at (%g, %g) size %g x %g colour %08X depth %g",
                  unsigned(p.tex), p.rx, p.ry, p.rw, p.rh, p.x, p.y, p.w, p.h, unsigned(p.color), p.z);
    return text;
}

class ScreenDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = &UseHeadlessEngine();
        if (overlaySprite == nullptr) CreateStartupSprites();
        // Pictures of known sizes, so that texture coordinates turn back into regions.
        Swap(&textures[TEX_COLOR], 256, 256);
        Swap(&textures[TEX_COLOR2], 256, 256);
        Swap(&textures[TEX_FONT1], 256, 256);
        Swap(&textures[TEX_TOTAL], 1024, 1024);
        Swap(&textures[TEX_LOADING], 256, 128);
        Swap(&switchTexture, 256, 256);
        overlaySprite->SetAnchor(0, 0);
        overlaySprite->SetDepth(0.21f);  // as the title's loading frame leaves it
        engine->SetRecordQuads(true);
        engine->ClearRecordedQuads();
        engine->Gfx_BeginScene();
    }
    void TearDown() override {
        engine->Gfx_EndScene();
        engine->SetRecordQuads(false);
        engine->ClearRecordedQuads();
        for (auto& [slot, was] : swapped_) {
            engine->Texture_Free(*slot);
            *slot = was;
        }
        overlaySprite->SetAnchor(0, 0);
        run.switchCountdown = 0;
    }

    void Swap(HTEXTURE* slot, int w, int h) {
        swapped_.push_back({slot, *slot});
        *slot = engine->Texture_Create(w, h);
    }

    Pic Drawn(const hgeQuad& q) const {
        Pic p{};
        p.tex = q.tex;
        float tw = q.tex != 0 ? float(engine->Texture_GetWidth(q.tex)) : 1;
        float th = q.tex != 0 ? float(engine->Texture_GetHeight(q.tex)) : 1;
        p.rx = q.v[0].tx * tw;
        p.ry = q.v[0].ty * th;
        p.rw = (q.v[2].tx - q.v[0].tx) * tw;
        p.rh = (q.v[2].ty - q.v[0].ty) * th;
        p.x = q.v[0].x;
        p.y = q.v[0].y;
        p.w = q.v[2].x - q.v[0].x;
        p.h = q.v[2].y - q.v[0].y;
        p.color = q.v[0].col;
        p.z = q.v[0].z;
        for (int i = 1; i < 4; ++i) EXPECT_EQ(q.v[i].col, q.v[0].col) << "corner " << i << " of " << Describe(p);
        return p;
    }
    std::vector<Pic> DrawnPics(size_t from = 0, size_t to = SIZE_MAX) const {
        std::vector<Pic> pics;
        const auto& quads = engine->RecordedQuads();
        for (size_t i = from; i < quads.size() && i < to; ++i) pics.push_back(Drawn(quads[i]));
        return pics;
    }

    // The recorded pictures against the expected list, one by one.
    static void ExpectPics(const std::vector<Pic>& drawn, const std::vector<Pic>& expected,
                           const std::string& what) {
        ASSERT_EQ(drawn.size(), expected.size()) << what;
        for (size_t i = 0; i < expected.size(); ++i) {
            const Pic& d = drawn[i];
            const Pic& e = expected[i];
            std::string where = what + ", picture " + std::to_string(i) + ": drawn " + Describe(d) +
                                "\n expected " + Describe(e);
            EXPECT_EQ(d.tex, e.tex) << where;
            if (e.tex != 0) {  // an untextured quad has no region to speak of
                EXPECT_NEAR(d.rx, e.rx, 0.01f) << where;
                EXPECT_NEAR(d.ry, e.ry, 0.01f) << where;
                EXPECT_NEAR(d.rw, e.rw, 0.01f) << where;
                EXPECT_NEAR(d.rh, e.rh, 0.01f) << where;
            }
            EXPECT_NEAR(d.x, e.x, 0.01f) << where;
            EXPECT_NEAR(d.y, e.y, 0.01f) << where;
            EXPECT_NEAR(d.w, e.w, 0.01f) << where;
            EXPECT_NEAR(d.h, e.h, 0.01f) << where;
            EXPECT_EQ(d.color, e.color) << where;
            EXPECT_FLOAT_EQ(d.z, e.z) << where;
        }
    }

    HeadlessEngine* engine = nullptr;

private:
    std::vector<std::pair<HTEXTURE*, HTEXTURE>> swapped_;
};

// --- The frozen frame and the fade-in ---

TEST_F(ScreenDrawingTest, TheFrozenFrameDimsAStepPerFadeStepAndKeepsItsBlue) {
    HTEXTURE snapshot = engine->Texture_Create(640, 480);
    // Alpha falls by 15, red and green by 9 a step; blue stays.
    const struct {
        int fade;
        uint32_t color;
    } cases[] = {{0, 0xFFFFFFFF}, {1, 0xF0F6F6FF}, {4, 0xC3DBDBFF}, {10, 0x69A5A5FF}};
    for (const auto& c : cases) {
        engine->ClearRecordedQuads();
        DrawFrozenFrame(snapshot, c.fade);
        ExpectPics(DrawnPics(), {{snapshot, 80, 0, 480, 480, 80, 0, 480, 480, c.color, 0.9f}},
                   "fade " + std::to_string(c.fade));
    }
    engine->Texture_Free(snapshot);
}

TEST_F(ScreenDrawingTest, TheFadeInCoversThePlayFieldAndClearsOverItsSixtyFourFrames) {
    // A white-tinted dot of the colour picture scaled 60 times over the 480 x 480 field; its
    // alpha is (-4 x clock) mod 256: nothing at -64, then 252 down to 4.
    const struct {
        int clock;
        uint32_t alpha;
    } cases[] = {{-64, 0}, {-63, 252}, {-40, 160}, {-2, 8}, {-1, 4}};
    for (const auto& c : cases) {
        engine->ClearRecordedQuads();
        DrawFadeIn(c.clock);
        ExpectPics(DrawnPics(),
                   {{textures[TEX_COLOR], 120, 104, 8, 8, 80, 0, 480, 480, c.alpha << 24 | 0xFFFFFF, 0.22f}},
                   "clock " + std::to_string(c.clock));
    }
}

// --- The pause menu ---

// The pause menu's swaying bar: its anchor (the middle of its 48 x 208 region) at the given
// point, turned by the given angle.
void ExpectSwayingBar(const hgeQuad& q, float cx, float cy, float angle, const std::string& what) {
    float mx = (q.v[0].x + q.v[1].x + q.v[2].x + q.v[3].x) / 4;
    float my = (q.v[0].y + q.v[1].y + q.v[2].y + q.v[3].y) / 4;
    EXPECT_NEAR(mx, cx, 0.01f) << what;
    EXPECT_NEAR(my, cy, 0.01f) << what;
    EXPECT_NEAR(std::atan2(q.v[1].y - q.v[0].y, q.v[1].x - q.v[0].x), angle, 1e-4) << what;
    EXPECT_NEAR(std::hypot(q.v[1].x - q.v[0].x, q.v[1].y - q.v[0].y), 48, 0.01f) << what;
    EXPECT_NEAR(std::hypot(q.v[3].x - q.v[0].x, q.v[3].y - q.v[0].y), 208, 0.01f) << what;
}

TEST_F(ScreenDrawingTest, ThePauseMenusBarTitleAndItems) {
    HTEXTURE menu = engine->Texture_Create(512, 256);
    struct Case {
        const char* what;
        PauseMenuView view;
        uint32_t barRgb;
        float titleX;         // the title's region: the pause title or the ended replay's
        float swayAngle;      // -|ticks mod 150 - 75| / 500
        uint32_t gb;          // the item under the cursor: red, with green and blue pulsing
        float shift;          // 9 - 3 |bump - 3|
    };
    const Case cases[] = {
        {"open, a bump under way", {menu, 10, 37, 2, 4, false}, 0x27807A, 48, -38.0f / 500, 209, 6},
        {"opening, ended replay", {menu, 4, 140, 0, 0, true}, 0xD1447A, 183, -65.0f / 500, 175, 0},
        {"the bump at its top", {menu, 10, 60, 5, 3, false}, 0x27807A, 48, -15.0f / 500, 255, 9},
    };
    for (const Case& c : cases) {
        engine->ClearRecordedQuads();
        DrawPauseMenu(c.view);
        const int f = c.view.fade;
        const uint32_t alpha = uint32_t(25 * f) << 24;
        const auto& quads = engine->RecordedQuads();
        ASSERT_EQ(quads.size(), 8u) << c.what;
        // The bar: tinted, centred on its anchor, swaying.
        Pic bar = Drawn(quads[0]);
        EXPECT_EQ(bar.tex, menu) << c.what;
        EXPECT_EQ(bar.color, alpha | c.barRgb) << c.what;
        EXPECT_FLOAT_EQ(bar.z, 0.7f) << c.what;
        EXPECT_NEAR(bar.rx, 0, 0.01f);
        EXPECT_NEAR(bar.rw, 48, 0.01f);
        EXPECT_NEAR(bar.rh, 208, 0.01f);
        ExpectSwayingBar(quads[0], 164.0f + 3 * f, 284.0f + f, c.swayAngle, c.what);
        // The title and the six items, the highlighted one shifted left by the bump.
        std::vector<Pic> expected = {{menu, c.titleX, 0, 65, 32, 160, 170.0f + 2 * f, 65, 32, alpha | 0xFFFFFF, 0.7f}};
        for (int i = 0; i < kPauseItems; ++i) {
            bool under = i == c.view.cursor;
            float x = 215.0f - 3 * f - (under ? c.shift : 0);
            expected.push_back({menu, 48, 32.0f + 32 * i, 208, 32, x, 245.0f + 24 * i, 208, 32,
                                under ? (alpha | 0xFF0000 | c.gb << 8 | c.gb) : (alpha | 0x555555), 0.7f});
        }
        ExpectPics(DrawnPics(1), expected, c.what);
    }
    engine->Texture_Free(menu);
}

// --- The result panel ---

TEST_F(ScreenDrawingTest, TheResultPanelsHeadingsThenItsNumbers) {
    const HTEXTURE total = textures[TEX_TOTAL], digits = textures[TEX_FONT1];
    // Headings: anchor 24, 104 at half scale round (240, 160 / 240 / 320).
    const std::vector<Pic> headings = {
        {total, 470, 150, 450, 70, 228, 108, 225, 35, 0xFFFFFFFF, 0.21f},
        {total, 470, 270, 450, 70, 228, 188, 225, 35, 0xFFFFFFFF, 0.21f},
        {total, 470, 390, 450, 70, 228, 268, 225, 35, 0xFFFFFFFF, 0.21f},
    };
    overlaySprite->SetDepth(0.21f);

    DrawResultPanel(100059, 1234, 3, 17);
    EXPECT_TRUE(engine->RecordedQuads().empty()) << "nothing before 100060";
    DrawResultPanel(100069, 1234, 3, 17);
    ExpectPics(DrawnPics(), headings, "headings only until 100070");

    engine->ClearRecordedQuads();
    DrawResultPanel(100070, 1234, 3, 17);
    // A digit d: region 16 d, 208, 14, 24 at 1.1 times, anchor 24, 104: its corner is 26.4 left
    // of and 114.4 above its point; n digits from base - n / 2 x 14, 14 apart.
    auto digit = [&](int d, float x, float y) {
        return Pic{digits, 16.0f * d, 208, 14, 24, x - 26.4f, y - 114.4f, 15.4f, 26.4f, 0xFFFFFFFF, 0.21f};
    };
    std::vector<Pic> expected = headings;
    const int score[] = {1, 2, 3, 4};
    for (int i = 0; i < 4; ++i) expected.push_back(digit(score[i], 350 - 28 + 14 * i, 250));
    const int times[] = {1, 1, 0, 2, 2, 0, 8, 8};  // 1234 x 8932 = 11022088
    for (int i = 0; i < 8; ++i) expected.push_back(digit(times[i], 350 - 56 + 14 * i, 330));
    // The times mark after it: region 590, 500, 90, 80 at 0.45 round (8 / 2 x 14 + 330, 261).
    expected.push_back({total, 590, 500, 90, 80, 386 - 10.8f, 261 - 46.8f, 40.5f, 36, 0xFFFFFFFF, 0.21f});
    expected.push_back(digit(3, 300 - 7, 410));          // the rank
    expected.push_back(digit(1, 400 - 14, 410));         // out of 17
    expected.push_back(digit(7, 400 - 14 + 14, 410));
    expected.push_back({digits, 160, 208, 14, 24, 342 - 26.4f, 410 - 114.4f, 15.4f, 26.4f, 0xFFFFFFFF, 0.21f});
    ExpectPics(DrawnPics(), expected, "the whole panel at 100070");
}

// --- The shutter and its loading label ---

int ShutterAlphaOf(int c, int i) {
    int a = 255;
    if (c > 90) a = (150 - c) * 9 - 3 * (79 - i);
    if (c < 61) a = 9 * c - 3 * i;
    return a < 0 ? 0 : (a > 255 ? 255 : a);
}

TEST_F(ScreenDrawingTest, TheShuttersRightHalfMirrorsItsLeftFromTheMiddleOutwards) {
    // The left half is 80 columns of four strips, the right 81 columns, column 80 at the middle
    // first, each strip 4 x 128 from region ((97 - i) mod 32) x 8, 0, 8, 256.
    for (int c : {150, 122, 95, 75, 60, 30, 1}) {
        engine->ClearRecordedQuads();
        run.switchCountdown = c;
        DrawScreenSwitch();
        EXPECT_EQ(run.switchCountdown, c - 1);
        const std::string what = "countdown " + std::to_string(c);
        const size_t left = 80 * 4, right = 81 * 4;
        ASSERT_GE(engine->RecordedQuads().size(), left + right) << what;
        std::vector<Pic> expected;
        for (int i = 80; i >= 0; --i) {
            for (int j = 0; j <= 3; ++j) {
                expected.push_back({switchTexture, float(((97 - i) % 32) * 8), 0, 8, 256, 640.0f - 4 * i,
                                    128.0f * j, 4, 128, uint32_t(ShutterAlphaOf(c, i)) << 24 | 0xFFFFFF, 0.05f});
            }
        }
        ExpectPics(DrawnPics(left, left + right), expected, what);
    }
    // A few columns worked out by hand: the middle one (i = 80) and the right edge (i = 0).
    const struct {
        int c, i;
        uint32_t alpha;
    } spots[] = {{150, 80, 3}, {150, 0, 0}, {122, 80, 255}, {122, 60, 195}, {30, 80, 30}, {30, 0, 255}, {75, 40, 255}};
    for (const auto& spot : spots) {
        engine->ClearRecordedQuads();
        run.switchCountdown = spot.c;
        DrawScreenSwitch();
        const hgeQuad& q = engine->RecordedQuads()[size_t(80 * 4 + (80 - spot.i) * 4)];
        EXPECT_FLOAT_EQ(q.v[0].x, 640.0f - 4 * spot.i) << spot.c << " " << spot.i;
        EXPECT_EQ(q.v[0].col >> 24, spot.alpha) << spot.c << " " << spot.i;
    }
}

TEST_F(ScreenDrawingTest, TheLoadingLabelBlinksSlidesInAndFadesOut) {
    struct Case {
        int c;
        uint32_t blinkAlpha;  // (|c mod 20 - 10| x 10 + 155) x k
        uint32_t lineAlpha;   // 255 x k
        float slide;          // the second line's x past 440
    };
    const Case cases[] = {
        {150, 155, 255, 60},  // the second line sliding in from 500
        {145, 205, 255, 30},
        {141, 245, 255, 6},
        {140, 255, 255, 0},
        {133, 185, 255, 0},
        {90, 155, 255, 0},
        {65, 205, 255, 0},
        {59, 232, 242, 2},    // fading: k = 19 / 20, truncated
        {50, 77, 127, 20},    // k = 1 / 2
        {41, 12, 12, 38},     // k = 1 / 20
    };
    for (const Case& k : cases) {
        engine->ClearRecordedQuads();
        run.switchCountdown = k.c;
        DrawScreenSwitch();
        const std::string what = "countdown " + std::to_string(k.c);
        const HTEXTURE label = textures[TEX_LOADING];
        ExpectPics(DrawnPics(80 * 4 + 81 * 4),
                   {{label, 0, 0, 256, 64, 400, 370, 128, 32, k.blinkAlpha << 24 | 0xFFFFFF, 0.05f},
                    {label, 0, 64, 256, 64, 440 + k.slide, 390, 128, 32, k.lineAlpha << 24 | 0xFFFFFF, 0.05f}},
                   what);
    }
    for (int c : {40, 20}) {
        engine->ClearRecordedQuads();
        run.switchCountdown = c;
        DrawScreenSwitch();
        EXPECT_EQ(engine->RecordedQuads().size(), size_t(80 * 4 + 81 * 4)) << "no label at " << c;
    }
}

// --- The text field and the composition box ---

class TextFieldDrawingTest : public ScreenDrawingTest {
protected:
    void SetUp() override {
        ScreenDrawingTest::SetUp();
        field = std::make_unique<TextInput>(122, 122, 0xFF000000, "", 14, false, false, false);
        field->SetWidth(120);
        field->SetHeight(18);
        field->Draw(40, 36);
        // A click in it makes it the active field.
        mouseX = 100;
        mouseY = 40;
        field->Click();
        ASSERT_TRUE(TextInput::IsActive(field.get()));
        engine->ClearRecordedQuads();
    }
    void TearDown() override {
        field.reset();
        selStart = selEnd = 0;
        compositionText[0] = candidateText[0] = '\0';
        compositionCaret = 0;
        ScreenDrawingTest::TearDown();
    }
    // The pen position of a glyph quad: its left edge plus the glyph's offset back to its cell.
    static float PenX(const hgeQuad& q, char16_t c) { return q.v[0].x + fieldFont.Record(c).offsetX; }
    static float PenY(const hgeQuad& q, char16_t c) { return q.v[0].y + fieldFont.Record(c).offsetY; }

    std::unique_ptr<TextInput> field;
};

TEST_F(TextFieldDrawingTest, BoxBorderSelectionTextCaretAndClipping) {
    field->InsertText("ab\xD6\xD0");  // ab中, the caret at the end
    selStart = 1;                      // b and 中 selected
    selEnd = 3;
    field->Draw(40, 36);
    const HTEXTURE box = textures[TEX_COLOR2];
    const auto& quads = engine->RecordedQuads();
    // The white box round the text area, 1 pixel out: (39, 35), 130 x 20.
    // The selection marks: one per selected unit before the caret, a cell wide and a line
    // plus one high, 2 pixels below the line's top.
    ASSERT_EQ(quads.size(), 1u + 2u + 3u + 1u);
    ExpectPics(DrawnPics(0, 3),
               {{box, 65, 97, 6, 6, 39, 35, 130, 20, 0xFFFFFFFF, 0.21f},
                {box, 73, 97, 6, 6, 47, 38, 7, 15, 0xFFFFFFFF, 0.21f},
                {box, 73, 97, 6, 6, 54, 38, 14, 15, 0xFFFFFFFF, 0.21f}},
               "box and selection");
    // The text in black on its cells from (40, 38).
    const char16_t text[] = u"ab\u4E2D";
    const float cells[] = {40, 47, 54};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(PenX(quads[3 + size_t(i)], text[i]), cells[i], 0.01f) << i;
        EXPECT_NEAR(PenY(quads[3 + size_t(i)], text[i]), 38, 0.01f) << i;
        EXPECT_EQ(quads[3 + size_t(i)].v[0].col, 0xFF000000u) << i;
        EXPECT_EQ(quads[3 + size_t(i)].tex, fieldFont.Record(text[i]).texture) << i;
    }
    // The caret after 中: 1 x 14, magenta, in front of the text.
    ExpectPics(DrawnPics(6), {{0, 0, 0, 1, 14, 68, 38, 1, 14, 0xFFFF00FF, 0.08f}}, "caret");
    // The black border: eight lines round the box, after the box and before the marks.
    const float l = 39, t = 35, w = 130, h = 20;
    const float lines[8][4] = {
        {l, t, l + w, t},         {l, t + 1, l + w, t + 1},         {l, t, l, t + h},
        {l - 1, t, l - 1, t + h}, {l + w, t + h, l + w, t},         {l + 1 + w, t + h, l + 1 + w, t},
        {l + w, t + h, l, t + h}, {l + w, t + h - 1, l, t + h - 1},
    };
    const auto& drawnLines = engine->RecordedLines();
    ASSERT_EQ(drawnLines.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        const auto& d = drawnLines[i];
        EXPECT_FLOAT_EQ(d.x1, lines[i][0]) << "line " << i;
        EXPECT_FLOAT_EQ(d.y1, lines[i][1]) << "line " << i;
        EXPECT_FLOAT_EQ(d.x2, lines[i][2]) << "line " << i;
        EXPECT_FLOAT_EQ(d.y2, lines[i][3]) << "line " << i;
        EXPECT_EQ(d.color, 0xFF000000u) << "line " << i;
        EXPECT_FLOAT_EQ(d.z, 0.5f) << "line " << i;
        EXPECT_EQ(d.quadsBefore, 1u) << "line " << i;
    }
    // Clipped to the box for the text and the caret, then the whole screen again.
    const auto& clips = engine->RecordedClips();
    ASSERT_EQ(clips.size(), 2u);
    EXPECT_EQ(clips[0].x, 39);
    EXPECT_EQ(clips[0].y, 35);
    EXPECT_EQ(clips[0].w, 130);
    EXPECT_EQ(clips[0].h, 20);
    EXPECT_EQ(clips[0].quadsBefore, 3u);
    EXPECT_EQ(clips[1].x + clips[1].y + clips[1].w + clips[1].h, 0);
    EXPECT_EQ(clips[1].quadsBefore, quads.size());
}

TEST_F(TextFieldDrawingTest, TheCaretFollowsItsUnitAndAnInactiveFieldHasNone) {
    field->InsertText("abc");
    field->OnKey(VK_LEFT);  // between b and c, nothing selected
    field->Draw(40, 36);
    std::vector<Pic> pics = DrawnPics();
    ASSERT_EQ(pics.size(), 1u + 3u + 1u);
    ExpectPics({pics.back()}, {{0, 0, 0, 1, 14, 54, 38, 1, 14, 0xFFFF00FF, 0.08f}}, "caret after b");
    EXPECT_FLOAT_EQ(imeAnchorX, 54);
    EXPECT_FLOAT_EQ(imeAnchorY, 50);

    field->Deactivate();
    engine->ClearRecordedQuads();
    field->Draw(40, 36);
    EXPECT_EQ(DrawnPics().size(), 1u + 3u) << "box and text only";
}

TEST_F(TextFieldDrawingTest, TheCompositionBoxItsTextsAndItsRedCursor) {
    std::strcpy(compositionText, "zhong");
    std::strcpy(candidateText, "1.\xD6\xD0 2.\xD6\xD3 ");  // "1.中 2.钟 ": 10 bytes
    compositionCaret = 3;
    imeAnchorX = 100;
    imeAnchorY = 50;
    TextInput::DrawComposition();
    const auto& quads = engine->RecordedQuads();
    ASSERT_EQ(quads.size(), 1u + 5u + 8u);
    // A see-through white box 7.2 x 10 by 42 at (105, 55).
    ExpectPics(DrawnPics(0, 1), {{textures[TEX_COLOR2], 123, 105, 6, 6, 105, 55, 72, 42, 0x9BFFFFFF, 0.21f}},
               "box");
    // The composition on the first line from (108, 58), the candidates on the second from
    // (108, 78), both white, on 7-pixel cells (中 and 钟 14).
    const char16_t first[] = u"zhong";
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(PenX(quads[1 + size_t(i)], first[i]), 108 + 7 * i, 0.01f) << i;
        EXPECT_NEAR(PenY(quads[1 + size_t(i)], first[i]), 58, 0.01f) << i;
        EXPECT_EQ(quads[1 + size_t(i)].v[0].col, 0xFFFFFFFFu) << i;
    }
    const char16_t second[] = u"1.\u4E2D 2.\u949F ";
    const float cells[] = {108, 115, 122, 136, 143, 150, 157, 171};
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(PenX(quads[6 + size_t(i)], second[i]), cells[i], 0.01f) << i;
        EXPECT_NEAR(PenY(quads[6 + size_t(i)], second[i]), 78, 0.01f) << i;
        EXPECT_EQ(quads[6 + size_t(i)].v[0].col, 0xFFFFFFFFu) << i;
    }
    // The field's black tint is back for the fields drawn next.
    EXPECT_EQ(fieldFont.Tint(0), 0xFF000000u);
    // The input method's cursor: a red upright line after the third byte.
    const auto& lines = engine->RecordedLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_FLOAT_EQ(lines[0].x1, 100 + 9 + 21);
    EXPECT_FLOAT_EQ(lines[0].y1, 59);
    EXPECT_FLOAT_EQ(lines[0].x2, 100 + 9 + 21);
    EXPECT_FLOAT_EQ(lines[0].y2, 73);
    EXPECT_EQ(lines[0].color, 0xFFFF0000u);
    EXPECT_FLOAT_EQ(lines[0].z, 0.5f);
}

}  // namespace
