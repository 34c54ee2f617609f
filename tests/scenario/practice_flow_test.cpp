// practice_flow_test.cpp -- practice through the real screens: the main menu's new item beside
// the four it keeps, the practice screen, a practice lost, retried, captured and left, its
// result panel, saving and watching its replay, and the attack history counted in games and
// practice alike.
#include "flow_harness.h"

#include "app/playback.h"
#include "app/practice.h"
#include "game/boss.h"
#include "game/player.h"
#include "game/world.h"
#include "replay/attack_history.h"
#include "replay/replay.h"
#include "ui/practice_screen.h"
#include "ui/replay_screens.h"

namespace {

class PracticeFlowTest : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        ForgetHistory();
        lastPracticeUnsaved = false;
        replaySlotSet = ReplaySlotSet::Games;
    }
    void TearDown() override {
        ForgetHistory();
        DestroyNameFields();
        FlowTest::TearDown();
    }

    void Press(int key, int times = 1) {
        for (int i = 0; i < times; ++i) Tap(key);
    }
    // Runs until the condition holds; false when it did not within `limit` frames.
    template <typename Condition>
    bool RunUntil(Condition done, int limit = 20000) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            Run();
        }
        return done();
    }
    // From the title: PRACTICE, then attack n, through the shutter to the first game frame.
    void StartPractice(int attack) {
        ToTitle();
        Press(VK_UP);  // the cursor wraps from Start up to Practice
        ASSERT_EQ(menus.menuCursor, kPracticeMenuItem);
        Press(VK_RETURN);
        ASSERT_EQ(run.screen, Screen::Practice);
        Press(VK_DOWN, attack - 1);
        Press(VK_RETURN);
        ASSERT_TRUE(RunUntil([] { return run.screen == Screen::Game; }));
    }
    // Plays on without being hit until the practice's result panel opens.
    void SurviveToResult() {
        ASSERT_TRUE(RunUntil([] {
            invulnTimer = 40;
            return run.pauseState == PauseState::Result;
        }));
    }
    void LoseToResult() {
        run.lives = 0;
        ASSERT_TRUE(RunUntil([] {
            if (invulnTimer == 0 && lifeLossTimer == 0 && run.frameCounter > 10) PlayerHit();
            return run.pauseState == PauseState::Result;
        }));
    }
    const AttackTally& Practice(int attack) { return History().At(HistoryKind::Practice, attack); }
    const AttackTally& Game(int attack) { return History().At(HistoryKind::Game, attack); }
};

TEST_F(PracticeFlowTest, TheMainMenuKeepsItsItemsAndWrapsThroughPractice) {
    ToTitle();
    struct Step {
        int key;
        int cursor;
    };
    // Start 0, Replay 1, Options 2, Quit 3 as ever; Practice 4 below Quit.
    const Step steps[] = {{VK_UP, 4},   {VK_UP, 3},   {VK_DOWN, 4}, {VK_DOWN, 0},
                          {VK_DOWN, 1}, {VK_DOWN, 2}, {VK_DOWN, 3}, {VK_DOWN, 4},
                          {VK_ESCAPE, 3}, {VK_DOWN, 4}};
    for (const Step& step : steps) {
        Press(step.key);
        EXPECT_EQ(menus.menuCursor, step.cursor) << "after key " << step.key;
    }
    // The highlight settles on Practice's row, below Quit's.
    Run(60);
    EXPECT_NEAR(menus.menuBarY, 296 + 32 * 4, 1);
    // Confirm opens the practice screen; Cancel comes back with the cursor on Practice.
    engine->SetKey(VK_RETURN, true);
    Run();
    EXPECT_EQ(run.screen, Screen::Practice);
    EXPECT_TRUE(Cue(CUE_OK00));
    engine->SetKey(VK_RETURN, false);
    Run();
    EXPECT_EQ(menus.menuCursor, 0);
    Press(VK_UP);  // seven rows: six attacks and the practice replays
    EXPECT_EQ(menus.menuCursor, kPracticeReplaysRow);
    Press(VK_DOWN);
    EXPECT_EQ(menus.menuCursor, 0);
    engine->SetKey(VK_ESCAPE, true);
    Run();
    EXPECT_TRUE(Cue(CUE_CANCEL00));
    EXPECT_EQ(run.screen, Screen::Title);
    EXPECT_EQ(menus.menuCursor, kPracticeMenuItem);
    engine->SetKey(VK_ESCAPE, false);
    Run();
    // Leaving the replay list still puts the cursor on Replay.
    Press(VK_DOWN, 2);
    Press(VK_RETURN);
    ASSERT_EQ(run.screen, Screen::ReplayList);
    Press(VK_ESCAPE);
    EXPECT_EQ(run.screen, Screen::Title);
    EXPECT_EQ(menus.menuCursor, 1);
}

TEST_F(PracticeFlowTest, APracticeStartsInItsAttackLosesRetriesAndGoesBack) {
    StartPractice(4);
    EXPECT_EQ(record.practiceAttack, 4);
    EXPECT_FALSE(record.replayPlayback);
    ASSERT_TRUE(RunUntil([] { return run.frameCounter == 2; }));
    EXPECT_TRUE(bossActive);
    EXPECT_EQ(boss.attack, 4);
    EXPECT_EQ(attackTimer, 1320);
    EXPECT_EQ(attackLength, 1320);
    EXPECT_TRUE(spellBackdrop);
    EXPECT_TRUE(Cue(CUE_CAT00));
    const int32_t firstSeed = record.randomSeed;

    LoseToResult();
    EXPECT_LT(run.resultCode, 0);
    EXPECT_FALSE(LastAttackCaptured());
    EXPECT_FALSE(std::filesystem::exists("Replay/score.rpy")) << "a practice records no score";
    Run(30);
    EXPECT_EQ(Practice(4).met, 1);
    EXPECT_EQ(Practice(4).captured, 0);
    EXPECT_EQ(Game(4).met, 0);
    EXPECT_NE(ReadFile(kHistoryFile).find("practice 4 1 0 "), std::string::npos);

    // Confirm retries the same attack.
    Press(VK_RETURN);
    ASSERT_TRUE(RunUntil([] { return run.pauseState == PauseState::Running; }, 200));
    EXPECT_EQ(run.screen, Screen::Game);
    EXPECT_EQ(record.practiceAttack, 4);
    EXPECT_EQ(run.lives, 5);
    EXPECT_LT(run.frameCounter, 0);
    EXPECT_GE(record.randomSeed, firstSeed);
    ASSERT_TRUE(RunUntil([] { return run.frameCounter == 2; }));
    EXPECT_EQ(boss.attack, 4);

    // Cancel goes back to the practice screen, on the attack just played.
    LoseToResult();
    Run(30);
    EXPECT_EQ(Practice(4).met, 2);
    Press(VK_ESCAPE);
    ASSERT_TRUE(RunUntil([] { return run.screen == Screen::Practice && run.switchCountdown == 0; }, 200));
    EXPECT_EQ(menus.menuCursor, 3);
    EXPECT_EQ(run.stage, 0);
    EXPECT_TRUE(lastPracticeUnsaved);
    // The next game from the title is a whole game again.
    Press(VK_ESCAPE);
    ASSERT_EQ(run.screen, Screen::Title);
    Press(VK_DOWN);  // from Practice round to Start
    ASSERT_EQ(menus.menuCursor, 0);
    Press(VK_RETURN);
    ASSERT_TRUE(RunUntil([] { return run.screen == Screen::Game && run.frameCounter == 2; }));
    EXPECT_EQ(record.practiceAttack, 0);
    EXPECT_EQ(boss.attack, 1);
    EXPECT_EQ(attackTimer, 1320);
    EXPECT_FALSE(spellBackdrop);
}

TEST_F(PracticeFlowTest, SurvivingTheAttackCapturesItAndTheBossGoesWithIt) {
    StartPractice(2);
    SurviveToResult();
    EXPECT_EQ(run.resultCode, 5);
    EXPECT_TRUE(LastAttackCaptured());
    EXPECT_FALSE(bossActive);
    EXPECT_EQ(boss.attack, 3) << "attack 2 ended";
    Run(2);
    EXPECT_EQ(Practice(2).met, 1);
    EXPECT_EQ(Practice(2).captured, 1);
    EXPECT_EQ(Practice(2).best, run.score);
    EXPECT_EQ(Practice(3).met, 0) << "the next attack never started";
    EXPECT_EQ(run.pauseState, PauseState::Result);
    Run(200);
    EXPECT_EQ(run.pauseState, PauseState::Result) << "the panel waits for a key";
}

TEST_F(PracticeFlowTest, WholeGamesCountEveryAttackMetAndCaptured) {
    ToGame();
    // Attacks 1 and 2 untouched, attack 3 hit once.
    ASSERT_TRUE(RunUntil([] {
        invulnTimer = 40;
        return boss.attack == 3;
    }));
    invulnTimer = 0;
    PlayerHit();
    ASSERT_TRUE(RunUntil([] {
        if (lifeLossTimer == 0) invulnTimer = 40;
        return boss.attack == 4;
    }));
    Run();
    EXPECT_EQ(Game(1).met, 1);
    EXPECT_EQ(Game(1).captured, 1);
    EXPECT_EQ(Game(2).met, 1);
    EXPECT_EQ(Game(2).captured, 1);
    EXPECT_EQ(Game(3).met, 1);
    EXPECT_EQ(Game(3).captured, 0);
    EXPECT_EQ(Game(4).met, 1);
    EXPECT_EQ(Practice(1).met, 0);
    EXPECT_FALSE(std::filesystem::exists(kHistoryFile)) << "no save while the game runs";
    // The pause menu is a moment to save.
    Press(VK_ESCAPE);
    Run(2);
    EXPECT_NE(ReadFile(kHistoryFile).find("game 3 1 0 "), std::string::npos);

    // A watched replay counts nothing.
    ForgetHistory();
    std::filesystem::remove(kHistoryFile);
    record.replayEnd = record.replayFrame + 1;
    PrepareTitleRequest(TitleRequest::PlayReplay);
    StartPlayback();
    ASSERT_TRUE(RunUntil([] { return run.frameCounter == 3; }));
    EXPECT_EQ(Game(1).met, 0);
}

TEST_F(PracticeFlowTest, ADamagedHistoryShowsEmptyAndIsKeptAside) {
    std::filesystem::create_directories("Replay");
    std::ofstream(kHistoryFile) << "Mirrorfall attack history 1\ngame 1 five 0 0\n";
    ::testing::internal::CaptureStderr();
    StartPractice(1);
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("history.txt is damaged"), std::string::npos) << log;
    EXPECT_EQ(Game(1).met, 0);
    LoseToResult();
    Run(2);
    EXPECT_NE(ReadFile(kHistoryFile).find("practice 1 1 0 "), std::string::npos);
    int kept = 0;
    for (const auto& entry : std::filesystem::directory_iterator("Replay")) {
        if (entry.path().filename().string().rfind("history.txt.damaged-", 0) == 0) ++kept;
    }
    EXPECT_EQ(kept, 1);
}

TEST_F(PracticeFlowTest, APracticeIsSavedAndWatchedFromItsOwnList) {
    // Played as it comes, so that its replay holds everything that happened.
    StartPractice(6);
    ASSERT_TRUE(RunUntil([] { return run.pauseState == PauseState::Result; }));
    const int64_t score = run.score;
    Run(5);
    Press(VK_ESCAPE);
    ASSERT_TRUE(RunUntil([] { return run.screen == Screen::Practice && run.switchCountdown == 0; }, 200));
    ASSERT_TRUE(lastPracticeUnsaved);

    // The save row, below the replays row.
    Press(VK_DOWN, kPracticeSaveRow - menus.menuCursor);
    ASSERT_EQ(menus.menuCursor, kPracticeSaveRow);
    Press(VK_RETURN);
    ASSERT_EQ(run.screen, Screen::ReplaySave);
    EXPECT_EQ(replaySlotSet, ReplaySlotSet::Practice);
    Press(VK_DOWN);  // slot 2
    Press(VK_RETURN);
    EXPECT_TRUE(std::filesystem::exists("Replay/practice_02.rpy"));
    EXPECT_FALSE(std::filesystem::exists("Replay/qz507_02.rpy"));
    EXPECT_NE(ReadFile("Replay/practice_02.rpy").find("\npractice 6 "), std::string::npos);
    Press(VK_ESCAPE);
    EXPECT_EQ(run.screen, Screen::Practice);
    EXPECT_EQ(menus.menuCursor, kPracticeSaveRow);
    EXPECT_EQ(replaySlotSet, ReplaySlotSet::Games);

    // Left and Right do not turn the practice replays into the score list.
    Press(VK_UP);
    Press(VK_RETURN);
    ASSERT_EQ(run.screen, Screen::ReplayList);
    Press(VK_RIGHT);
    EXPECT_EQ(run.screen, Screen::ReplayList);
    Press(VK_DOWN);
    record.practiceAttack = 0;
    Press(VK_RETURN);
    ASSERT_TRUE(RunUntil([] { return run.screen == Screen::Game && run.frameCounter == 2; }, 400));
    EXPECT_TRUE(record.replayPlayback);
    EXPECT_EQ(record.practiceAttack, 6);
    EXPECT_EQ(boss.attack, 6);
    EXPECT_EQ(replaySlotSet, ReplaySlotSet::Games);
    // It plays to the same end; the ended replay opens the pause menu as a game's does.
    ASSERT_TRUE(RunUntil([] { return run.pauseState != PauseState::Running; }));
    EXPECT_EQ(run.score, score);
    EXPECT_EQ(run.pauseState, PauseState::Paused);
    EXPECT_FALSE(lastPracticeUnsaved);
}

}  // namespace
