// The replay list, the replay save screen and the score list through the real screen flow: a
// lost game saved with typed names, the list showing it at once, the cursor and the fields,
// Enter in a field, the score list's columns, playback from the list, and failures to save.
#include "flow_harness.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "gfx/glyph_font.h"
#include "platform/code_page.h"
#include "replay/replay.h"
#include "replay/score_file.h"
#include "ui/overlays.h"
#include "sim_driver.h"
#include "ui/replay_screens.h"
#include "ui/text_input.h"

namespace {

// A run of listFont text as the screen drew it: where its first cell starts, its colour and its
// characters (UTF-8). Only the last of DrawOutlined's five draws (white or yellow) is read.
struct DrawnText {
    float x, y;
    uint32_t colour;
    std::string text;
};

std::vector<DrawnText> ListText(const HeadlessEngine& engine) {
    std::map<HTEXTURE, char16_t> glyphOf;
    for (int c = 1; c < 65536; ++c) {
        HTEXTURE t = listFont.Record(char16_t(c)).texture;
        if (t != 0) glyphOf[t] = char16_t(c);
    }
    struct Cell { float x, y; uint32_t colour; char16_t c; };
    std::vector<Cell> cells;
    for (const hgeQuad& q : engine.RecordedQuads()) {
        auto it = glyphOf.find(q.tex);
        if (it == glyphOf.end()) continue;
        uint32_t colour = q.v[0].col;
        if (colour != 0xFFFFFFFFu && colour != 0xFFFFFF00u) continue;
        const GlyphRecord& r = listFont.Record(it->second);
        cells.push_back({q.v[0].x + r.offsetX, q.v[0].y + r.offsetY, colour, it->second});
    }
    // Cells in the order drawn: a run goes on while each cell starts where the last one ended.
    std::vector<DrawnText> runs;
    float next = -1;
    for (const Cell& cell : cells) {
        if (runs.empty() || runs.back().y != cell.y || cell.x != next || runs.back().colour != cell.colour) {
            runs.push_back({cell.x, cell.y, cell.colour, ""});
        }
        char16_t unit[2] = {cell.c, 0};
        char gbk[4];
        WideToCodePage(unit, 1, gbk, sizeof gbk);
        runs.back().text += CodePageToUtf8(gbk);
        next = cell.x + listFont.Advance(cell.c);
    }
    return runs;
}

// The text drawn starting at (x, y), or "" when nothing starts there.
std::string TextAt(const std::vector<DrawnText>& runs, float x, float y) {
    for (const DrawnText& r : runs) {
        if (r.x == x && r.y == y) return r.text;
    }
    return "";
}


class ReplayScreensTest : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        std::filesystem::create_directories("Replay");
        std::remove(kLog);
        engine->System_SetState(HGE_LOGFILE, kLog);
    }
    void TearDown() override {
        DestroyNameFields();
        engine->System_SetState(HGE_LOGFILE, "");
        engine->SetRecordQuads(false);
        FlowTest::TearDown();
    }

    // Plays a game that is lost at once and waits on the result panel until it has counted.
    void LoseAGame() {
        ToGame();
        Run(100);
        run.lives = -1;
        Run();
        ASSERT_EQ(run.pauseState, PauseState::Result);
        while (run.frameCounter < 100071) Run();
    }
    // From the result panel on to the save screen, through the shutter.
    void ToSaveScreen() {
        LoseAGame();
        Tap(VK_ESCAPE);
        while (run.screen != Screen::ReplaySave) Run();
        ASSERT_NE(nameFields[0], nullptr);
        while (run.switchCountdown > 0) Run();  // the shutter opens: the screen's keys work
    }
    // A left click at scene point (x, y): the save screen records the mouse after drawing, the
    // fields see the button's phase a frame later.
    void Click(float x, float y) {
        engine->SetMouse(x, y);
        Run();
        engine->SetKey(VK_LBUTTON, true);
        Run(2);
        engine->SetKey(VK_LBUTTON, false);
        Run();
    }
    // What the list screens draw with listFont in the next frame.
    std::vector<DrawnText> NextFrameText() {
        engine->SetRecordQuads(true);
        engine->ClearRecordedQuads();
        Run();
        std::vector<DrawnText> text = ListText(*engine);
        engine->SetRecordQuads(false);
        return text;
    }
    std::string Log() { return ReadFile(kLog); }

    static constexpr const char* kLog = "replay_screens_test.log";
};

// Slot n's rows: the names on y = 44n - 8, the date, result and score on y = 44n + 14.
float NameRow(int slot) { return float(44 * slot - 8); }
float InfoRow(int slot) { return float(44 * slot + 14); }

TEST_F(ReplayScreensTest, ALostGameIsNamedSavedIntoSlot3AndListedAtOnce) {
    ToSaveScreen();
    EXPECT_GT(run.frameCounter, 1000);
    EXPECT_EQ(activeField, nullptr);
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    ASSERT_EQ(menus.menuCursor, 2);

    Click(60, 44 * 2 + 40);  // the replay name on slot 3's row
    ASSERT_TRUE(TextInput::IsActive(nameFields[0]));
    EXPECT_TRUE(engine->TextInputOn());
    engine->PushText("Run1");
    // Enter in a field does not save (and puts no line feed in a one-line field).
    engine->SetKey(VK_RETURN, true);
    engine->PushKeyDown(VK_RETURN);
    Run();
    engine->SetKey(VK_RETURN, false);
    Run();
    EXPECT_FALSE(std::filesystem::exists("Replay/qz507_03.rpy"));
    Click(200, 44 * 2 + 40);  // the player name
    ASSERT_TRUE(TextInput::IsActive(nameFields[1]));
    engine->PushComposition("\xE4\xB8\xAD", 1);  // 中 being composed
    Run();
    EXPECT_STREQ(compositionText, "\xD6\xD0");
    engine->PushComposition("", 0);
    engine->PushText("\xE4\xB8\xAD\xE6\x96\x87");  // 中文 committed
    Click(320, 440);  // outside the fields: the keys are the screen's again
    EXPECT_EQ(activeField, nullptr);
    EXPECT_FALSE(engine->TextInputOn());
    Tap(VK_RETURN);
    EXPECT_FALSE(Cue(CUE_INVALID));

    const std::string saved = ReadFile("Replay/qz507_03.rpy");
    EXPECT_EQ(saved.rfind("Run1 \n\xD6\xD0\xCE\xC4 \nNone \n", 0), 0u) << saved.substr(0, 40);
    EXPECT_EQ(run.screen, Screen::ReplaySave);  // the screen stays for further slots

    std::vector<DrawnText> text = NextFrameText();
    EXPECT_EQ(TextAt(text, 39, NameRow(3)), "Run1 ");
    EXPECT_EQ(TextAt(text, 179, NameRow(3)), "中文 ");
    EXPECT_EQ(TextAt(text, 289, NameRow(3)), "None ");
    EXPECT_EQ(TextAt(text, 39, InfoRow(3)), "Work Harder");
    EXPECT_EQ(TextAt(text, 156, InfoRow(3)), "0 coins collected");
    EXPECT_EQ(TextAt(text, 349, InfoRow(3)).size(), 19u);  // the date, "YYYY/MM/DD hh:mm:ss"
    EXPECT_EQ(TextAt(text, 36, NameRow(1)), "<None>");
    EXPECT_EQ(TextAt(text, 16, NameRow(10)), "10.");
    EXPECT_EQ(TextAt(text, 290, 15), "Replay Illustration");
    // The selected slot's texts are yellow, the others white.
    for (const DrawnText& t : text) {
        if (t.y == NameRow(3) || t.y == InfoRow(3)) EXPECT_EQ(t.colour, 0xFFFFFF00u) << t.text;
        else EXPECT_EQ(t.colour, 0xFFFFFFFFu) << t.text;
    }

    // Cancel leaves for the title on Replay and destroys the fields.
    Tap(VK_ESCAPE);
    EXPECT_EQ(run.screen, Screen::Title);
    EXPECT_EQ(menus.menuCursor, 1);
    EXPECT_EQ(nameFields[0], nullptr);
}

TEST_F(ReplayScreensTest, EmptyFieldsSaveAsNoneUnnamedNone) {
    ToSaveScreen();
    Tap(VK_RETURN);
    EXPECT_EQ(ReadFile("Replay/qz507_01.rpy").rfind("None \nUnnamed \nNone \n", 0), 0u);
    std::vector<DrawnText> text = NextFrameText();
    EXPECT_EQ(TextAt(text, 179, NameRow(1)), "Unnamed ");
}

TEST_F(ReplayScreensTest, UpFromSlot1SelectsSlot10AndTheFieldsFollow) {
    ToSaveScreen();
    EXPECT_FLOAT_EQ(nameFields[0]->HitRect().y1, 36);
    Tap(VK_UP);
    EXPECT_EQ(menus.menuCursor, 9);
    const float xs[3] = {40, 180, 280};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(nameFields[i]->HitRect().y1, 44 * 9 + 36) << "field " << i;
        EXPECT_FLOAT_EQ(nameFields[i]->HitRect().x1, xs[i]) << "field " << i;
    }
    Tap(VK_DOWN);
    EXPECT_EQ(menus.menuCursor, 0);
    // The bound keys do not move this cursor.
    engine->SetKey('X', false);
    settings.KeyBindings[ACT_DOWN] = 'S';
    Tap('S');
    EXPECT_EQ(menus.menuCursor, 0);
}

TEST_F(ReplayScreensTest, WhileAFieldHasTheKeysTheScreensKeysWait) {
    ToSaveScreen();
    Click(60, 40);
    ASSERT_TRUE(TextInput::IsActive(nameFields[0]));
    Tap(VK_DOWN);
    EXPECT_EQ(menus.menuCursor, 0);
    Tap(VK_ESCAPE);
    EXPECT_EQ(run.screen, Screen::ReplaySave);
    Click(300, 300);
    Tap(VK_ESCAPE);
    EXPECT_EQ(run.screen, Screen::Title);
}

TEST_F(ReplayScreensTest, ASaveThatFailsSoundsInvalid) {
    ToSaveScreen();
    std::filesystem::remove_all("Replay");
    std::ofstream("Replay") << "a file where the folder should be";
    engine->SetKey(VK_RETURN, true);
    Run();
    EXPECT_TRUE(Cue(CUE_INVALID));
    engine->SetKey(VK_RETURN, false);
    Run();
}

TEST_F(ReplayScreensTest, ResultAndScoreLinesOfTheList) {
    for (auto [slot, result] : {std::pair{2, 2}, std::pair{4, -1}, std::pair{5, 0}}) {
        char name[32];
        std::snprintf(name, sizeof name, "Replay/qz507_%02d.rpy", slot);
        std::ofstream(name, std::ios::binary)
            << "A \nB \nC \n2026/01/02 03:04:05\n7 " << result << " 4321000 1 ";
    }
    ToTitle();
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    ASSERT_EQ(run.screen, Screen::ReplayList);
    std::vector<DrawnText> text = NextFrameText();
    EXPECT_EQ(TextAt(text, 39, InfoRow(2)), "2 life all");
    EXPECT_EQ(TextAt(text, 39, InfoRow(4)), "Work Harder");
    EXPECT_EQ(TextAt(text, 39, InfoRow(5)), "0 life all");
    EXPECT_EQ(TextAt(text, 156, InfoRow(2)), "4321000 coins collected");
    EXPECT_EQ(TextAt(text, 349, InfoRow(2)), "2026/01/02 03:04:05");
    EXPECT_EQ(TextAt(text, 39, NameRow(2)), "A ");
    EXPECT_EQ(TextAt(text, 36, NameRow(3)), "<None>");
    // Confirm on an empty slot does nothing and makes no sound.
    engine->SetKey(VK_RETURN, true);
    Run();
    EXPECT_EQ(run.switchCountdown, 0);
    EXPECT_FALSE(Cue(CUE_OK00));
    engine->SetKey(VK_RETURN, false);
    Run();
}

// Ten slots with the longest names the fields hand out (1024 Chinese characters, 2048 bytes) and
// 60000-byte head lines: each line is drawn only as far as its column reaches, so the list costs
// about what it costs with short names.
TEST_F(ReplayScreensTest, LongNamesAreDrawnOnlyAsFarAsTheirColumns) {
    auto writeSlots = [](const std::string& name, const std::string& comment) {
        for (int slot = 1; slot <= 10; ++slot) {
            char path[32];
            std::snprintf(path, sizeof path, "Replay/qz507_%02d.rpy", slot);
            std::ofstream(path, std::ios::binary)
                << name << " \n" << name << " \n" << comment << " \n2026/01/02 03:04:05\n7 2 4321000 1 ";
        }
    };
    ToTitle();
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    ASSERT_EQ(run.screen, Screen::ReplayList);
    writeSlots("AB", "C");
    Run();
    NextFrameText();
    const long shortQuads = engine->QuadsThisScene();

    std::string chinese;
    for (int i = 0; i < 1024; ++i) chinese += "\xD6\xD0";  // 中
    writeSlots(chinese, std::string(60000, 'x'));
    Run();
    std::vector<DrawnText> text = NextFrameText();
    const long longQuads = engine->QuadsThisScene();
    // 140 pixels hold eight full-width characters, 110 six, 351 pixels 43 half-width ones.
    std::string eight, six;
    for (int i = 0; i < 8; ++i) eight += "\xE4\xB8\xAD";
    for (int i = 0; i < 6; ++i) six += "\xE4\xB8\xAD";
    EXPECT_EQ(TextAt(text, 39, NameRow(4)), eight);
    EXPECT_EQ(TextAt(text, 179, NameRow(4)), six);
    EXPECT_EQ(TextAt(text, 289, NameRow(4)), std::string(43, 'x'));
    EXPECT_EQ(TextAt(text, 156, InfoRow(4)), "4321000 coins collected");
    // About what short names cost: (8 + 6 + 43) glyphs against 4, five times, in ten slots.
    EXPECT_LT(longQuads, shortQuads + 10 * 5 * (8 + 6 + 43));
}

TEST_F(ReplayScreensTest, RightWithoutAScoreFileStaysOnTheList) {
    std::filesystem::remove("Replay/score.rpy");
    ToTitle();
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    engine->SetKey(VK_RIGHT, true);
    Run();
    EXPECT_EQ(run.screen, Screen::ReplayList);
    EXPECT_TRUE(Cue(CUE_SELECT00));
    engine->SetKey(VK_RIGHT, false);
    Run();
}

TEST_F(ReplayScreensTest, TheScoreListShowsTheHundredHighestInFiveColumns) {
    std::string scores;
    for (int i = 1; i <= 150; ++i) scores += " " + std::to_string(i * 10);
    std::ofstream("Replay/score.rpy") << scores;
    ToTitle();
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    Tap(VK_RIGHT);
    ASSERT_EQ(run.screen, Screen::ScoreList);
    std::vector<DrawnText> text = NextFrameText();
    EXPECT_EQ(TextAt(text, 20, 40), "NO.001  1500");
    EXPECT_EQ(TextAt(text, 20, 40 + 19 * 22), "NO.020  1310");
    EXPECT_EQ(TextAt(text, 140, 40), "NO.021  1300");
    EXPECT_EQ(TextAt(text, 500, 40 + 19 * 22), "NO.100  510");
    int rows = 0;
    for (const DrawnText& t : text) {
        if (t.text.rfind("NO.", 0) == 0) {
            ++rows;
            EXPECT_EQ(t.colour, 0xFFFFFFFFu);
        }
    }
    EXPECT_EQ(rows, 100);
    Tap(VK_LEFT);
    EXPECT_EQ(run.screen, Screen::ReplayList);
    Tap(VK_RIGHT);
    Tap(VK_ESCAPE);
    EXPECT_EQ(run.screen, Screen::Title);
    EXPECT_EQ(menus.menuCursor, 1);
}

TEST_F(ReplayScreensTest, AScoreFileThatCannotBeOpenedShowsNoRank) {
    LoseAGame();
    EXPECT_EQ(overlay.resultRank, 1);
    EXPECT_EQ(overlay.resultTotal, 1);
    Tap(VK_ESCAPE);
    while (run.switchCountdown > 0) Run();
    Tap(VK_ESCAPE);
    ASSERT_EQ(run.screen, Screen::Title);
    // The next game finds a file where the Replay folder should be.
    std::filesystem::remove_all("Replay");
    std::ofstream("Replay") << "not a folder";
    Tap(VK_UP);
    Tap(VK_RETURN);
    while (run.screen != Screen::Game) Run();
    EXPECT_EQ(overlay.resultRank, 0);  // the game reset clears the rank line
    Run(100);
    run.lives = -1;
    while (run.frameCounter < 100071) Run();
    EXPECT_EQ(overlay.resultRank, 0);
    EXPECT_EQ(overlay.resultTotal, 0);
}

TEST_F(ReplayScreensTest, Slot3PlaysBackFromTheListThroughTheShutterToItsRecordedEnd) {
    // A game really lost: nobody touches the keys.
    ToGame();
    for (int i = 0; i < 20000 && run.pauseState != PauseState::Result; ++i) Run();
    ASSERT_EQ(run.pauseState, PauseState::Result);
    while (run.frameCounter < 100071) Run();
    Tap(VK_ESCAPE);
    while (run.screen != Screen::ReplaySave) Run();
    while (run.switchCountdown > 0) Run();
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    ReplaySummary summary;
    ASSERT_TRUE(ReadReplaySummary(3, &summary));
    Tap(VK_ESCAPE);  // to the title, on Replay
    Tap(VK_RETURN);
    ASSERT_EQ(run.screen, Screen::ReplayList);
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    engine->SetKey(VK_RETURN, true);
    Run();
    engine->SetKey(VK_RETURN, false);
    EXPECT_TRUE(record.replayPlayback);
    EXPECT_TRUE(Cue(CUE_OK00));
    EXPECT_EQ(run.switchCountdown, 149);  // the shutter started this frame
    while (run.screen != Screen::Game) Run();
    EXPECT_EQ(record.randomSeed, summary.seed);

    engine->SetKey(VK_CONTROL, true);  // fast forward
    Run();
    EXPECT_EQ(engine->System_GetState(HGE_FPS), 240);
    for (int i = 0; i < 200000 && run.pauseState == PauseState::Running; ++i) Run();
    engine->SetKey(VK_CONTROL, false);
    ASSERT_EQ(run.pauseState, PauseState::Paused);  // a replay's end opens the pause menu
    EXPECT_EQ(record.replayFrame, summary.end - 1);
    EXPECT_EQ(run.resultCode, summary.result);
    EXPECT_EQ(run.score, summary.score);
    char ended[128];
    std::snprintf(ended, sizeof ended, "Replay ended: %d frames of play, result %d, score %lld",
                  summary.end - 1, summary.result, static_cast<long long>(summary.score));
    EXPECT_NE(Log().find(ended), std::string::npos) << Log();

    // Item 1 of the ended replay's pause menu goes back to the title.
    Run(15);
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    while (run.screen != Screen::Title) Run();
    EXPECT_FALSE(record.replayPlayback);

    // mirrorfall-sim verify plays the same file to the same end.
    ASSERT_TRUE(LoadReplay(3));
    SimOutcome outcome = SimPlayBack(false, nullptr);
    EXPECT_TRUE(SimMatchesRecord(outcome, summary.result, summary.score, summary.end));
}

}  // namespace
