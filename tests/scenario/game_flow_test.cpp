// A game on the screen flow: pausing and resuming, focus loss, retrying, leaving for the title,
// the end of a lost, a won and a replayed game, and the score the result panel records.
#include "flow_harness.h"

#include "game/boss.h"
#include "game/player.h"
#include "replay/replay.h"
#include "ui/overlays.h"
#include "ui/replay_screens.h"
#include "ui/text_input.h"

namespace {

class GameFlowTest : public FlowTest {
protected:
    // Into a game with the shutter fully open (menus refuse keys while it runs).
    void ToOpenGame() {
        ToGame();
        while (run.switchCountdown > 0) Run();
    }
    void PauseWithEscape() {
        Tap(VK_ESCAPE);
        ASSERT_EQ(run.pauseState, PauseState::Paused);
    }
    // Moves the pause cursor with the arrow keys to `item`.
    void PauseCursorTo(int item) {
        while (overlay.pauseCursor != item) Tap(VK_DOWN);
    }
    // Confirms the pause item under the cursor and runs the shutter until the switch at 90.
    void ConfirmAndSwitch() {
        Tap(VK_RETURN);
        ASSERT_GT(run.switchCountdown, 90);
        while (run.switchCountdown > 90) Run();
        Run();
    }
};

TEST_F(GameFlowTest, EscapePausesOverTheSnapshotAndCancelResumes) {
    ToOpenGame();
    Run(10);  // into play: the stage music has started
    ASSERT_NE(run.musicChannel, 0u);
    const int32_t frozenAt = run.frameCounter + 1;
    engine->SetKey(VK_ESCAPE, true);
    Run();
    EXPECT_EQ(run.pauseState, PauseState::Paused);
    EXPECT_EQ(run.frameCounter, frozenAt);
    EXPECT_NE(overlay.snapshotTexture, 0u);
    EXPECT_TRUE(std::filesystem::exists("snapshot.dat"));
    Run();  // the overlay opens
    engine->SetKey(VK_ESCAPE, false);
    EXPECT_TRUE(Cue(CUE_PAUSE));
    EXPECT_NE(overlay.menuChoseTexture, 0u);
    EXPECT_TRUE(engine->StreamPaused(run.musicChannel));
    Run(12);
    EXPECT_EQ(overlay.pauseFade, 10);
    EXPECT_EQ(run.frameCounter, frozenAt);

    engine->SetKey('X', true);
    Run();
    engine->SetKey('X', false);
    EXPECT_EQ(run.pauseState, PauseState::Resuming);
    EXPECT_TRUE(Cue(CUE_CANCEL00));
    int frames = 1;
    while (run.pauseState != PauseState::Running && frames < 20) {
        Run();
        ++frames;
    }
    EXPECT_EQ(frames, 10);  // the Cancel frame, 10 -> 8, then one a frame down to 0
    EXPECT_EQ(overlay.menuChoseTexture, 0u);
    EXPECT_EQ(overlay.snapshotTexture, 0u);
    EXPECT_FALSE(engine->StreamPaused(run.musicChannel));
    Run();
    EXPECT_EQ(run.frameCounter, frozenAt + 1);
}

TEST_F(GameFlowTest, HoldingEscapeWhileTheMenuClosesReopensIt) {
    ToOpenGame();
    PauseWithEscape();
    Run(12);
    engine->SetKey(VK_ESCAPE, true);
    Run();
    ASSERT_EQ(run.pauseState, PauseState::Resuming);
    while (run.pauseState != PauseState::Running) Run();
    Run();  // the first running frame sees Escape with its latch still 0
    EXPECT_EQ(run.pauseState, PauseState::Paused);
    engine->SetKey(VK_ESCAPE, false);
}

TEST_F(GameFlowTest, LosingFocusPausesEvenDuringTheFadeIn) {
    ToGame();
    engine->SetFocus(false);
    Run();
    EXPECT_EQ(run.frameCounter, -63);
    EXPECT_EQ(run.pauseState, PauseState::Paused);
    EXPECT_EQ(Latch(MenuKey::Cancel), 1.0f);
    // Keys are not read while the window is in the background.
    while (run.switchCountdown > 0) Run();
    Tap('X');
    Tap(VK_DOWN);
    EXPECT_EQ(run.pauseState, PauseState::Paused);
    EXPECT_EQ(overlay.pauseCursor, 0);
    engine->SetFocus(true);
    Tap('X');
    EXPECT_EQ(run.pauseState, PauseState::Resuming);
}

TEST_F(GameFlowTest, PauseCursorMovesOnlyWithTheArrowsAndRefusesTheMiddleItems) {
    ToOpenGame();
    settings.KeyBindings[ACT_DOWN] = 'J';
    PauseWithEscape();
    Tap('J');
    EXPECT_EQ(overlay.pauseCursor, 0);
    Tap(VK_UP);
    EXPECT_EQ(overlay.pauseCursor, 5);
    Tap(VK_DOWN);
    EXPECT_EQ(overlay.pauseCursor, 0);
    for (int item = 2; item <= 4; ++item) {
        PauseCursorTo(item);
        engine->SetKey('Z', true);
        Run();
        engine->SetKey('Z', false);
        EXPECT_TRUE(Cue(CUE_INVALID)) << item;
        Run();
        EXPECT_EQ(run.pauseState, PauseState::Paused);
        EXPECT_EQ(run.switchCountdown, 0);
    }
}

TEST_F(GameFlowTest, RetryTakesAFreshSeed) {
    ToOpenGame();
    Run(100);
    record.randomSeed = 12345;
    run.score = 99;
    PauseWithEscape();
    PauseCursorTo(5);
    ConfirmAndSwitch();
    EXPECT_EQ(run.screen, Screen::Game);
    EXPECT_EQ(run.pauseState, PauseState::Running);
    EXPECT_EQ(run.frameCounter, -64);
    EXPECT_EQ(run.score, 0);
    EXPECT_EQ(run.lives, 5);
    EXPECT_NE(record.randomSeed, 12345);
    EXPECT_NEAR(double(record.randomSeed), double(time(nullptr)), 5.0);
    EXPECT_EQ(overlay.snapshotTexture, 0u);
    EXPECT_EQ(overlay.menuChoseTexture, 0u);
    EXPECT_FALSE(record.replayPlayback);
}

TEST_F(GameFlowTest, RetryDuringPlaybackKeepsTheReplaysSeed) {
    ToOpenGame();
    record.replayPlayback = true;
    record.replayEnd = 5000;
    record.randomSeed = 777;
    Run(100);
    PauseWithEscape();
    PauseCursorTo(5);
    ConfirmAndSwitch();
    EXPECT_EQ(run.frameCounter, -64);
    EXPECT_EQ(record.randomSeed, 777);
    EXPECT_TRUE(record.replayPlayback);
    record.replayPlayback = false;
}

TEST_F(GameFlowTest, ReturnToTitleClearsTheGameAndFadesTheTitleMusicIn) {
    ToOpenGame();
    Run(200);
    PauseWithEscape();
    PauseCursorTo(1);
    ConfirmAndSwitch();
    EXPECT_EQ(run.screen, Screen::Title);
    EXPECT_EQ(run.pauseState, PauseState::Running);
    EXPECT_EQ(run.stage, 0);
    EXPECT_EQ(run.lives, 0);
    EXPECT_EQ(bossActive, 0);
    EXPECT_EQ(overlay.snapshotTexture, 0u);
    EXPECT_EQ(menus.menuBarY, 296);
    EXPECT_EQ(menus.menuCursor, 0);
    EXPECT_EQ(run.frameCounter, 200);
    Run(50);
    EXPECT_EQ(engine->StreamVolume(run.musicChannel), 40);
}

TEST_F(GameFlowTest, ALostGameRecordsItsScoreAndShowsTheRank) {
    std::filesystem::create_directory("Replay");
    std::ofstream("Replay/score.rpy") << " 5000 1234";
    ToOpenGame();
    Run(100);
    run.score = 1234;
    run.lives = -1;
    Run();
    EXPECT_EQ(run.pauseState, PauseState::Result);
    EXPECT_EQ(run.resultCode, -1);
    EXPECT_EQ(run.lives, 0);
    EXPECT_NE(overlay.snapshotTexture, 0u);
    Run();  // the panel opens at 100050 and counts on at once
    EXPECT_EQ(run.frameCounter, 100051);
    EXPECT_FALSE(Cue(CUE_PAUSE));
    EXPECT_NE(overlay.menuChoseTexture, 0u);
    while (run.frameCounter < 100069) Run();
    EXPECT_EQ(ReadFile("Replay/score.rpy"), " 5000 1234");
    Run();
    EXPECT_EQ(ReadFile("Replay/score.rpy"), " 5000 1234 1234");
    EXPECT_EQ(overlay.resultRank, 3);  // the earlier 1234 ties and counts against this game
    EXPECT_EQ(overlay.resultTotal, 3);
    Run(200);
    EXPECT_EQ(run.frameCounter, 100201);
    EXPECT_EQ(ReadFile("Replay/score.rpy"), " 5000 1234 1234");

    // Confirm does nothing; Cancel leads on to saving the replay, with three empty fields.
    Tap(VK_RETURN);
    EXPECT_EQ(run.switchCountdown, 0);
    Tap(VK_ESCAPE);
    while (run.switchCountdown > 90) Run();
    Run();
    EXPECT_EQ(run.screen, Screen::ReplaySave);
    EXPECT_EQ(run.frameCounter, 1000);
    EXPECT_EQ(run.pauseState, PauseState::Running);
    for (TextInput* field : nameFields) {
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->Text()[0], 0);
    }
    Run();
    EXPECT_EQ(run.screen, Screen::ReplaySave);
    EXPECT_EQ(engine->StreamVolume(run.musicChannel), 80);  // full volume at once
    DestroyNameFields();
}

TEST_F(GameFlowTest, AWonGameEntersTheResultAt100050) {
    ToGame();
    Run(100);
    run.lives = 3;
    run.frameCounter = 100000;  // what the boss's defeat does
    Run(49);
    EXPECT_EQ(run.pauseState, PauseState::Running);
    Run();
    EXPECT_EQ(run.frameCounter, 100050);
    EXPECT_EQ(run.pauseState, PauseState::Result);
    EXPECT_EQ(run.resultCode, 3);
    while (run.frameCounter < 100070) Run();
    EXPECT_EQ(ReadFile("Replay/score.rpy"), " 0");
    EXPECT_EQ(overlay.resultRank, 1);
    EXPECT_EQ(overlay.resultTotal, 1);
}

TEST_F(GameFlowTest, AReplaysEndOpensThePauseMenuThatCannotResume) {
    ToOpenGame();
    record.replayPlayback = true;
    record.replayEnd = 100001;
    Run(100);
    run.lives = -1;
    Run();
    EXPECT_EQ(run.pauseState, PauseState::Paused);
    EXPECT_EQ(run.resultCode, -1);
    Run(12);
    engine->SetKey(VK_RETURN, true);
    Run();
    engine->SetKey(VK_RETURN, false);
    EXPECT_TRUE(Cue(CUE_INVALID));
    Run(3);
    EXPECT_EQ(run.pauseState, PauseState::Paused);
    EXPECT_FALSE(std::filesystem::exists("Replay/score.rpy"));
    PauseCursorTo(1);
    ConfirmAndSwitch();
    EXPECT_EQ(run.screen, Screen::Title);
    EXPECT_FALSE(record.replayPlayback);
}

// The frame that uses the record's last word freezes under the pause menu, after the rest of
// the frame (the player's step included) has run; the next frame shows the menu over the frozen
// frame with the game stopped, and resuming only pauses it again at the same place.
TEST_F(GameFlowTest, TheFrameThatUsesTheLastWordOpensThePauseMenu) {
    ToOpenGame();
    record.replayPlayback = true;
    for (int k = 1; k <= 50; ++k) record.replayInputs[k] = 1 << ACT_UP;
    record.replayEnd = 50;
    while (record.replayFrame < 49) Run();
    EXPECT_EQ(run.pauseState, PauseState::Running);
    const float y = playerY;
    Run();
    EXPECT_EQ(record.replayFrame, 50);
    EXPECT_EQ(run.pauseState, PauseState::Paused);
    EXPECT_EQ(Latch(MenuKey::Cancel), 1.0f);
    EXPECT_EQ(Latch(MenuKey::Confirm), 1.0f);
    EXPECT_NE(overlay.snapshotTexture, 0u);
    EXPECT_LT(playerY, y);  // the frame's step still ran
    const int32_t frozenAt = run.frameCounter;
    const float frozenY = playerY;

    // The menu opens: its sound, its pictures, the cursor on its first item, nothing moves.
    engine->SetRecordQuads(true);
    engine->ClearRecordedQuads();
    Run();
    engine->SetRecordQuads(false);
    EXPECT_TRUE(Cue(CUE_PAUSE));
    EXPECT_NE(overlay.menuChoseTexture, 0u);
    EXPECT_EQ(overlay.pauseFade, 1);
    EXPECT_EQ(overlay.pauseCursor, 0);
    EXPECT_EQ(run.frameCounter, frozenAt);
    EXPECT_EQ(record.replayFrame, 50);
    EXPECT_EQ(playerY, frozenY);
    int menuPictures = 0;
    for (const hgeQuad& q : engine->RecordedQuads()) menuPictures += q.tex == overlay.menuChoseTexture ? 1 : 0;
    EXPECT_EQ(menuPictures, 1 + 1 + kPauseItems);  // the bar, the title and the six items

    // Resuming from item 0 closes the menu, and the next running frame opens it again.
    Run(12);
    Tap(VK_RETURN);
    EXPECT_EQ(run.pauseState, PauseState::Resuming);
    for (int i = 0; i < 20 && run.pauseState != PauseState::Running; ++i) Run();
    ASSERT_EQ(run.pauseState, PauseState::Running);
    Run();
    EXPECT_EQ(run.pauseState, PauseState::Paused);
    EXPECT_GE(record.replayFrame, 50);
    record.replayPlayback = false;
}

TEST_F(GameFlowTest, RecordingStoresEachFramesActionsAndPlaybackDecodesThem) {
    ToGame();
    Run(63);  // the fade-in; play starts on the next frame
    engine->SetKey('Z', true);       // SHOOT, action 5
    engine->SetKey(VK_LEFT, true);   // LEFT, action 2
    Run();
    EXPECT_EQ(run.frameCounter, 0);
    EXPECT_EQ(record.replayFrame, 1);
    EXPECT_EQ(record.replayInputs[1], (1 << 5) | (1 << 2));
    engine->SetKey('Z', false);
    engine->SetKey(VK_LEFT, false);
}

}  // namespace
