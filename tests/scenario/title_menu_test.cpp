// The title: the logo, the loading frame at 120, the main menu's cursor, Start through the
// shutter, Quit by Cancel twice, and the latches that keep a held key from acting twice.
#include "flow_harness.h"

#include <ctime>
#include <vector>

#include "core/random.h"
#include "game/player.h"

namespace {

using TitleTest = FlowTest;

TEST_F(TitleTest, LogoRunsTo120ThenTheTitleLoadsAndTheMusicFadesIn) {
    engine->SetKey(VK_ESCAPE, true);  // no key is read during the logo
    Run(119);
    EXPECT_EQ(run.frameCounter, 119);
    EXPECT_EQ(menus.menuCursor, 0);
    EXPECT_FALSE(Cue(CUE_CANCEL00));
    engine->SetKey(VK_ESCAPE, false);
    Run();
    EXPECT_EQ(run.frameCounter, 200);
    EXPECT_EQ(menus.menuBarY, 296);
    ASSERT_NE(run.musicChannel, 0u);
    EXPECT_EQ(engine->StreamVolume(run.musicChannel), 0);
    Run(50);  // frameCounter 250 with the music volume at 80
    EXPECT_EQ(engine->StreamVolume(run.musicChannel), 40);
    Run(100);
    EXPECT_EQ(engine->StreamVolume(run.musicChannel), 80);
}

TEST_F(TitleTest, CursorWrapsBothWaysOncePerPress) {
    ToTitle();
    engine->SetKey(VK_UP, true);
    Run();
    EXPECT_EQ(menus.menuCursor, 4);  // Practice, below Quit
    EXPECT_TRUE(Cue(CUE_SELECT00));
    engine->SetKey(VK_UP, false);
    Run();
    Tap(VK_DOWN);
    EXPECT_EQ(menus.menuCursor, 0);
    // A held key moves the cursor once.
    engine->SetKey(VK_DOWN, true);
    Run(10);
    engine->SetKey(VK_DOWN, false);
    Run();
    EXPECT_EQ(menus.menuCursor, 1);
    // The bound key works as well as the arrow.
    settings.KeyBindings[ACT_DOWN] = 'J';
    Tap('J');
    EXPECT_EQ(menus.menuCursor, 2);
}

TEST_F(TitleTest, CancelTwiceQuits) {
    ToTitle();
    engine->SetKey(VK_ESCAPE, true);
    EXPECT_FALSE(Run());
    EXPECT_EQ(menus.menuCursor, 3);
    EXPECT_TRUE(Cue(CUE_CANCEL00));
    EXPECT_FALSE(Run(5));  // held: no second press
    engine->SetKey(VK_ESCAPE, false);
    EXPECT_FALSE(Run());
    engine->SetKey(VK_ESCAPE, true);
    Run();
    EXPECT_EQ(run.lives, -2);
    EXPECT_TRUE(Run());  // the next frame callback ends the program
}

TEST_F(TitleTest, ConfirmOnQuitEndsTheProgram) {
    ToTitle();
    Tap(VK_UP);  // Practice
    Tap(VK_UP);  // Quit
    engine->SetKey(VK_RETURN, true);
    Run();
    EXPECT_EQ(run.quitRequested, 1);
    EXPECT_TRUE(Run());
}

TEST_F(TitleTest, StartClosesTheShutterThenAGameBeginsAtNinety) {
    ToTitle();
    engine->SetKey(VK_RETURN, true);
    Run();
    engine->SetKey(VK_RETURN, false);
    EXPECT_EQ(run.switchCountdown, 149);
    EXPECT_EQ(run.screen, Screen::Title);
    // The menu is locked while the shutter runs.
    Tap(VK_DOWN);
    Tap(VK_ESCAPE);
    EXPECT_EQ(menus.menuCursor, 0);
    while (run.switchCountdown > 90) Run();
    EXPECT_EQ(run.screen, Screen::Title);
    const time_t before = time(nullptr);
    Run();  // the title sees 90: the loading frame runs, then the shutter opens
    EXPECT_EQ(run.screen, Screen::Game);
    EXPECT_EQ(run.frameCounter, -64);
    EXPECT_EQ(run.lives, 5);
    EXPECT_EQ(run.stage, 1);
    EXPECT_EQ(run.score, 0);
    EXPECT_FALSE(record.replayPlayback);
    EXPECT_EQ(run.switchCountdown, 89 - 1);  // counted down by the loading frame and the title
    EXPECT_GE(record.randomSeed, static_cast<int32_t>(before));
    EXPECT_LE(record.randomSeed, static_cast<int32_t>(time(nullptr)));
    EXPECT_EQ(playerX, 320);
    EXPECT_EQ(playerY, 412);
    Run();
    EXPECT_EQ(run.frameCounter, -63);
}

// The clock is read between the two games, never skipped: a second that turns between them is
// simply tried again, so a seed that differed within one second could not go unnoticed.
TEST_F(TitleTest, GamesStartedInTheSameSecondDrawTheSameNumbers) {
    bool sameSecond = false;
    for (int attempt = 0; attempt < 5 && !sameSecond; ++attempt) {
        const time_t before = time(nullptr);
        record.randomSeed = 0;
        NewGameLoadingFrame();
        const int32_t seed = record.randomSeed;
        int first[3];
        for (int& r : first) r = Rand();
        NewGameLoadingFrame();
        int second[3];
        for (int& r : second) r = Rand();
        if (time(nullptr) != before) continue;  // the games were in different seconds
        sameSecond = true;
        EXPECT_EQ(seed, static_cast<int32_t>(before));
        EXPECT_EQ(record.randomSeed, seed);
        EXPECT_EQ(std::vector<int>(second, second + 3), std::vector<int>(first, first + 3));
    }
    ASSERT_TRUE(sameSecond) << "five tries each straddled a second";
}

TEST_F(TitleTest, LosingFocusStopsMenuKeysButNotTheTitle) {
    ToTitle();
    engine->SetFocus(false);
    Tap(VK_DOWN);
    Tap(VK_RETURN);
    EXPECT_EQ(menus.menuCursor, 0);
    EXPECT_EQ(run.switchCountdown, 0);
    EXPECT_EQ(run.screen, Screen::Title);
    EXPECT_EQ(run.pauseState, PauseState::Running);
    EXPECT_EQ(run.frameCounter, 205);
    engine->SetFocus(true);
    Tap(VK_DOWN);
    EXPECT_EQ(menus.menuCursor, 1);
}

TEST_F(TitleTest, TheHighlightEasesAndSettlesWithinAPixel) {
    ToTitle();
    menus.menuBarY = 300;
    Run();
    EXPECT_EQ(menus.menuBarY, 299);
    Run();
    EXPECT_EQ(menus.menuBarY, 298);
    Run();
    EXPECT_EQ(menus.menuBarY, 297);
    Run();
    EXPECT_EQ(menus.menuBarY, 297);
    // Moving down the screen it also settles next to the item, not short of it.
    Tap(VK_DOWN);
    Run(60);
    EXPECT_EQ(menus.menuBarY, 327);
}

TEST_F(TitleTest, AHeldEnterDoesNotConfirmOnTheNextScreen) {
    ToTitle();
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    engine->SetKey(VK_RETURN, true);
    Run(20);  // Options opens; row 0 under the cursor would lead to the key configuration
    EXPECT_EQ(run.screen, Screen::Options);
    EXPECT_EQ(menus.menuCursor, 0);
    engine->SetKey(VK_RETURN, false);
    Run();
    engine->SetKey(VK_RETURN, true);
    Run();
    EXPECT_EQ(run.screen, Screen::KeyConfig);
}

TEST_F(TitleTest, ShutterClosesFromTheMiddleAndShowsTheLoadingLabel) {
    ToTitle();
    engine->SetRecordQuads(true);
    // Shutter quads are the ones at depth 0.05: 81 + 80 columns of four pieces, then the label.
    auto shutterAlphas = [&](int countdown, std::vector<int>& alphas, int& labels) {
        run.switchCountdown = countdown;
        engine->ClearRecordedQuads();
        Run();
        alphas.clear();
        labels = 0;
        for (const hgeQuad& q : engine->RecordedQuads()) {
            if (q.v[0].z != 0.05f) continue;
            if (alphas.size() < size_t(161 * 4)) alphas.push_back(int(q.v[0].col >> 24));
            else ++labels;
        }
    };
    std::vector<int> alphas;
    int labels = 0;
    shutterAlphas(150, alphas, labels);
    ASSERT_EQ(alphas.size(), size_t(161 * 4));
    EXPECT_EQ(alphas.front(), 0);        // outermost left column
    EXPECT_EQ(alphas[79 * 4], 0);        // middle column at c = 150
    EXPECT_EQ(labels, 2);
    shutterAlphas(122, alphas, labels);
    EXPECT_GE(alphas[79 * 4], 250);      // the middle is all but closed first
    EXPECT_LT(alphas.front(), 255);
    shutterAlphas(95, alphas, labels);
    for (size_t i = 0; i < alphas.size(); ++i) EXPECT_EQ(alphas[i], 255) << i;
    shutterAlphas(40, alphas, labels);
    EXPECT_EQ(labels, 0);                // no label from 40 down

    // The label's second line slides in from x 500 to 440 over the first ten frames.
    const struct {
        int countdown;
        float x;
    } slides[] = {{150, 500}, {145, 470}, {140, 440}, {100, 440}, {50, 460}};
    for (const auto& c : slides) {
        run.switchCountdown = c.countdown;
        engine->ClearRecordedQuads();
        Run();
        const hgeQuad* last = nullptr;
        for (const hgeQuad& q : engine->RecordedQuads()) {
            if (q.v[0].z == 0.05f) last = &q;
        }
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(last->v[0].x, c.x) << c.countdown;
    }
    engine->SetRecordQuads(false);
    run.switchCountdown = 0;
}

}  // namespace
