// The window's notice and the fast-forward mark, which the overlay callback draws after a frame's
// pictures were taken: what a screenshot's outcome shows and for how long, the bar of work under
// way, and the mark of a replay played fast.
#include "ui/notice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/callbacks.h"
#include "core/state.h"
#include "platform/image.h"
#include "support/headless.h"
#include "support/temp_dir.h"

namespace {

constexpr uint32_t kDone = 0xFF52C878;
constexpr uint32_t kFailed = 0xFFE8504A;
constexpr uint32_t kWorking = 0xFF5AA0E6;

bool NoQuit() { return false; }
bool BlackFrame() {
    hge->Gfx_BeginScene();
    hge->Gfx_Clear(0xFF000000);
    hge->Gfx_EndScene();
    return false;
}

struct Box {
    float x0, y0, x1, y1;
};
Box BoxOf(const hgeQuad& q) {
    Box b{q.v[0].x, q.v[0].y, q.v[0].x, q.v[0].y};
    for (const hgeVertex& v : q.v) {
        b.x0 = std::min(b.x0, v.x), b.x1 = std::max(b.x1, v.x);
        b.y0 = std::min(b.y0, v.y), b.y1 = std::max(b.y1, v.y);
    }
    return b;
}

class NoticeTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = &UseHeadlessEngine();
        // A small ASCII font: every printable character one 10 x 16 cell, 11 pixels apart.
        Image cell;
        cell.width = 16;
        cell.height = 16;
        cell.pixels.assign(256, 0xFFFFFFFFu);
        SavePng("notice_font.png", cell);
        std::ofstream fnt("notice_font.fnt", std::ios::binary);
        fnt << "[HGEFONT]\nBitmap=notice_font.png\n";
        for (int c = 0x20; c <= 0x7E; ++c) {
            char line[64];
            std::snprintf(line, sizeof line, "Char=%X,0,0,10,16,0,1\n", c);
            fnt << line;
        }
        fnt.close();
        savedFont = startupFont;
        startupFont = new BitmapFont("notice_font.fnt");
        ASSERT_NE(startupFont->Texture(), 0u);
        engine->System_SetState(HGE_FRAMEFUNC, NoQuit);
        engine->System_SetState(HGE_RENDERFUNC, BlackFrame);
        engine->System_SetState(HGE_OVERLAYFUNC, OverlayFunc);
        engine->SetRecordQuads(true);
        HideNotice();
        while (engine->System_TakeScreenshotReport(nullptr)) {
        }
        record.replayPlayback = false;
    }
    void TearDown() override {
        engine->System_SetState(HGE_OVERLAYFUNC, nullptr);
        engine->SetRecordQuads(false);
        HideNotice();
        record.replayPlayback = false;
        delete startupFont;
        startupFont = savedFont;
    }
    // Runs n frames and keeps the quads of the last one.
    void Run(int n = 1) {
        for (int i = 0; i < n; ++i) {
            engine->ClearRecordedQuads();
            engine->RunFrame();
        }
    }
    // The untextured quads of this colour (its alpha left out: notices fade).
    std::vector<hgeQuad> Plain(uint32_t colour) const {
        std::vector<hgeQuad> found;
        for (const hgeQuad& q : engine->RecordedQuads()) {
            if (q.tex == 0 && (q.v[0].col & 0xFFFFFF) == (colour & 0xFFFFFF)) found.push_back(q);
        }
        return found;
    }
    // The rows of text drawn with the font, as the number of glyphs on each line.
    std::vector<int> TextRows() const {
        std::vector<std::pair<float, int>> rows;
        for (const hgeQuad& q : engine->RecordedQuads()) {
            if (q.tex != startupFont->Texture()) continue;
            if (rows.empty() || rows.back().first != q.v[0].y) rows.push_back({q.v[0].y, 0});
            ++rows.back().second;
        }
        std::vector<int> counts;
        for (const auto& row : rows) counts.push_back(row.second);
        return counts;
    }

    WorkInTempDir dir{"notice_test"};
    HeadlessEngine* engine = nullptr;
    BitmapFont* savedFont = nullptr;
};

TEST_F(NoticeTest, AScreenshotSavedIsNamedInTheBottomLeftCornerForTwoSeconds) {
    const std::string file = "Screenshots/mirrorfall_2026-12-11_12-00-00.png";
    engine->ReportScreenshot(true, file, "");
    Run();
    EXPECT_FALSE(engine->System_TakeScreenshotReport(nullptr));  // the overlay took it
    Run(20);  // faded in
    ASSERT_EQ(Plain(kDone).size(), 1u);
    Box stripe = BoxOf(Plain(kDone)[0]);
    EXPECT_EQ(stripe.x0, 8);
    EXPECT_EQ(stripe.x1, 12);
    EXPECT_EQ(stripe.y1, 472);
    EXPECT_EQ(TextRows(), (std::vector<int>{int(std::strlen("Screenshot saved")), int(file.size())}));
    // Every glyph and the box inside the window, left of its middle... and under the text.
    for (const hgeQuad& q : engine->RecordedQuads()) {
        Box b = BoxOf(q);
        EXPECT_GE(b.x0, 8);
        EXPECT_LE(b.x1, 632);
        EXPECT_GE(b.y0, stripe.y0);
        EXPECT_LE(b.y1, 472);
    }
    Run(95);  // 1.94 s after it showed
    EXPECT_EQ(Plain(kDone).size(), 1u);
    EXPECT_EQ(TextRows().size(), 2u);
    Run(6);  // 2.04 s
    EXPECT_TRUE(engine->RecordedQuads().empty());
}

TEST_F(NoticeTest, AScreenshotThatFailedSaysWhyInRed) {
    engine->ReportScreenshot(false, "Screenshots", "Not a directory");
    Run(20);
    EXPECT_EQ(Plain(kDone).size(), 0u);
    ASSERT_EQ(Plain(kFailed).size(), 1u);
    EXPECT_EQ(TextRows(), (std::vector<int>{int(std::strlen("Screenshot not saved")),
                                            int(std::strlen("Screenshots: Not a directory"))}));
    // A later one that worked takes its place at once.
    engine->ReportScreenshot(true, "Screenshots/a.png", "");
    Run();
    EXPECT_EQ(Plain(kFailed).size(), 0u);
    ASSERT_EQ(Plain(kDone).size(), 1u);
    EXPECT_EQ(Plain(kDone)[0].v[0].col, kDone);  // no new fade-in
}

TEST_F(NoticeTest, TheNoticeFadesInAndOut) {
    engine->ReportScreenshot(true, "Screenshots/a.png", "");
    std::vector<uint32_t> alpha;  // of the stripe, frame by frame
    for (int i = 0; i < 125; ++i) {
        Run();
        std::vector<hgeQuad> stripe = Plain(kDone);
        alpha.push_back(stripe.empty() ? 0 : stripe[0].v[0].col >> 24);
    }
    EXPECT_LT(alpha[1], 255u);
    EXPECT_EQ(alpha[10], 255u);
    EXPECT_EQ(alpha[90], 255u);
    EXPECT_LT(alpha[105], 255u);
    EXPECT_LT(alpha[115], alpha[105]);
    EXPECT_EQ(alpha[124], 0u);
}

TEST_F(NoticeTest, WorkUnderWayShowsABarFilledAsFarAsItHasGone) {
    for (float fraction : {0.0f, 0.25f, 1.0f}) {
        ShowProgress("Working", "frame 10 of 40", fraction, engine->Timer_GetTime() - 1);
        Run();
        std::vector<hgeQuad> blue = Plain(kWorking);
        std::vector<hgeQuad> track = Plain(0xFF3A4048);
        ASSERT_EQ(track.size(), 1u) << fraction;
        ASSERT_EQ(blue.size(), 2u) << fraction;  // the stripe and the bar's fill
        Box t = BoxOf(track[0]);
        Box fill = BoxOf(blue[1]);
        EXPECT_EQ(fill.x0, t.x0) << fraction;
        EXPECT_FLOAT_EQ(fill.x1 - fill.x0, (t.x1 - t.x0) * fraction) << fraction;
        EXPECT_EQ(fill.y0, t.y0) << fraction;
    }
    // Kept on screen while it goes on; a Done notice ends it.
    Run(200);
    EXPECT_TRUE(Plain(kWorking).empty());
    ShowProgress("Working", "", 0.5f, engine->Timer_GetTime());
    ShowNotice(NoticeTone::Done, "Done", "", engine->Timer_GetTime());
    Run(20);
    EXPECT_TRUE(Plain(0xFF3A4048).empty());
    EXPECT_EQ(Plain(kDone).size(), 1u);
}

TEST_F(NoticeTest, TheFastForwardMarkShowsWhileAReplayRunsAt240) {
    auto markQuads = [&] {
        int n = 0;
        for (const hgeQuad& q : engine->RecordedQuads()) {
            Box b = BoxOf(q);
            EXPECT_LE(b.x1, 80) << "the mark stays in the left margin";
            if (q.v[0].col == kWorking) ++n;
        }
        return n;
    };
    Run();
    EXPECT_EQ(markQuads(), 0);
    engine->SetKey(VK_CONTROL, true);
    Run();
    EXPECT_EQ(markQuads(), 0) << "Ctrl outside a replay changes nothing";
    record.replayPlayback = true;
    Run();
    EXPECT_EQ(markQuads(), 2 + 2);  // two arrowheads and "x4"
    EXPECT_EQ(TextRows(), std::vector<int>{2});
    engine->SetKey(VK_CONTROL, false);
    Run();
    EXPECT_EQ(markQuads(), 0);
}

}  // namespace
