// replay_real_game_test.cpp -- a game played the way a person plays it (started from the main
// menu with a seed from the clock, steered and bombed with the bound keys, paused with Escape and
// by losing focus, lost), saved into a slot and played back headless: the playback runs every
// game frame exactly as the game ran and reaches the same end.
#include "flow_harness.h"

#include <string>
#include <vector>

#include "replay/replay.h"
#include "sim_driver.h"

namespace {

// The keys held on frame t of the game: a walk with the slow key now and then, and the bomb key
// held in bursts.
void HoldKeysFor(HeadlessEngine& engine, long t) {
    static const int kMoves[6][2] = {{VK_LEFT, 0},  {VK_UP, VK_RIGHT}, {VK_RIGHT, 0},
                                     {VK_DOWN, 0},  {VK_LEFT, VK_UP},  {0, 0}};
    const int* move = kMoves[(t / 37) % 6];
    for (int key : {int(VK_LEFT), int(VK_RIGHT), int(VK_UP), int(VK_DOWN)}) {
        engine.SetKey(key, key == move[0] || key == move[1]);
    }
    engine.SetKey(VK_SHIFT, (t / 50) % 4 == 1);
    engine.SetKey('Z', (t / 25) % 5 == 0);
}

void ReleaseGameKeys(HeadlessEngine& engine) {
    for (int key : {int(VK_LEFT), int(VK_RIGHT), int(VK_UP), int(VK_DOWN), int(VK_SHIFT), int('Z')}) {
        engine.SetKey(key, false);
    }
}

class ReplayRealGameTest : public FlowTest {
protected:
    // Runs one frame; keeps the trace line when the frame ran the game (not an overlay).
    void Frame(std::vector<std::string>& trace) {
        bool gameFrame = run.screen == Screen::Game && run.pauseState == PauseState::Running;
        Run();
        if (gameFrame) trace.push_back(SimTraceLine());
    }
    // Runs overlay frames until the game runs again.
    void UntilRunning(std::vector<std::string>& trace) {
        for (int i = 0; i < 100 && run.pauseState != PauseState::Running; ++i) Frame(trace);
        ASSERT_EQ(run.pauseState, PauseState::Running);
    }
};

TEST_F(ReplayRealGameTest, APausedAndLostGamePlaysBackFrameForFrame) {
    ToGame();
    std::vector<std::string> live;
    long t = 0;
    bool pausedWithEscape = false;
    bool pausedByFocus = false;
    while (run.pauseState != PauseState::Result && t < 20000) {
        if (!pausedWithEscape && record.replayFrame == 300) {
            // Escape pauses at the end of this frame; keys held under the menu change nothing.
            pausedWithEscape = true;
            engine->SetKey(VK_ESCAPE, true);
            Frame(live);
            ASSERT_EQ(run.pauseState, PauseState::Paused);
            engine->SetKey(VK_ESCAPE, false);
            engine->SetKey(VK_LEFT, true);
            for (int i = 0; i < 20; ++i) Frame(live);
            engine->SetKey(VK_ESCAPE, true);
            Frame(live);
            engine->SetKey(VK_ESCAPE, false);
            UntilRunning(live);
            continue;
        }
        if (!pausedByFocus && record.replayFrame == 500) {
            pausedByFocus = true;
            engine->SetFocus(false);
            Frame(live);
            ASSERT_EQ(run.pauseState, PauseState::Paused);
            for (int i = 0; i < 10; ++i) Frame(live);
            engine->SetFocus(true);
            engine->SetKey(VK_ESCAPE, true);
            Frame(live);
            engine->SetKey(VK_ESCAPE, false);
            UntilRunning(live);
            continue;
        }
        HoldKeysFor(*engine, t++);
        Frame(live);
    }
    ReleaseGameKeys(*engine);
    ASSERT_EQ(run.pauseState, PauseState::Result) << "the game should be lost";
    ASSERT_TRUE(pausedWithEscape && pausedByFocus);
    const int32_t seed = record.randomSeed;
    const int32_t result = run.resultCode;
    const int64_t finalScore = run.score;
    const int32_t frames = record.replayFrame;
    ASSERT_LT(result, 0);

    ASSERT_TRUE(WriteReplay(3, "", "", "", "2026/01/01 00:00:00"));
    ASSERT_TRUE(LoadReplay(3));
    EXPECT_EQ(record.randomSeed, seed);
    EXPECT_EQ(record.replayEnd, frames + 1);

    std::vector<std::string> played;
    SimOutcome outcome = SimPlayBack(false, [&](const std::string& line) { played.push_back(line); });
    EXPECT_TRUE(outcome.endedByItself);
    EXPECT_TRUE(SimMatchesRecord(outcome, result, finalScore, record.replayEnd))
        << "seed " << seed << ": recorded result " << result << " score " << finalScore << ", played "
        << outcome.result << " " << outcome.score;
    ASSERT_EQ(played.size(), live.size()) << "seed " << seed;
    for (size_t i = 0; i < live.size(); ++i) {
        ASSERT_EQ(played[i], live[i]) << "seed " << seed << ", game frame " << i + 1;
    }
}

// The 50 frames of the ending after the boss's defeat are not recorded: a replay runs them on the
// actions of the last recorded frame. Keys changed during the ending must not steer the live
// game elsewhere, or its replay would end in another place, with other items collected.
TEST_F(ReplayRealGameTest, TheUnrecordedEndingRunsAsItsReplayWill) {
    ToGame();
    std::vector<std::string> live;
    for (long t = 0; record.replayFrame < 240; ++t) {
        HoldKeysFor(*engine, t);
        Frame(live);
    }
    ReleaseGameKeys(*engine);
    engine->SetKey(VK_LEFT, true);
    Frame(live);
    const int32_t defeatFrame = record.replayFrame;
    run.frameCounter = 100000;  // what the boss's defeat does at the end of its frame
    engine->SetKey(VK_LEFT, false);
    engine->SetKey(VK_RIGHT, true);
    engine->SetKey(VK_UP, true);
    while (run.pauseState == PauseState::Running) Frame(live);
    ReleaseGameKeys(*engine);
    ASSERT_EQ(run.pauseState, PauseState::Result);
    ASSERT_EQ(run.frameCounter, 100050);
    const int32_t result = run.resultCode;
    const int64_t finalScore = run.score;

    ASSERT_TRUE(WriteReplay(5, "", "", "", "2026/01/01 00:00:00"));
    ASSERT_TRUE(LoadReplay(5));
    ASSERT_EQ(record.replayEnd, defeatFrame + 1);
    std::vector<std::string> played;
    SimStartPlayback();
    while (played.size() < live.size()) {
        bool running = SimRunFrame(false);
        played.push_back(SimTraceLine());
        if (record.replayFrame == defeatFrame && run.frameCounter < 100000) run.frameCounter = 100000;
        if (!running) break;
    }
    ASSERT_EQ(played.size(), live.size());
    for (size_t i = 0; i < live.size(); ++i) ASSERT_EQ(played[i], live[i]) << "game frame " << i + 1;
    EXPECT_EQ(run.resultCode, result);
    EXPECT_EQ(run.score, finalScore);
}

}  // namespace
