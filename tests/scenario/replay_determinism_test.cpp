// replay_determinism_test.cpp -- games recorded headless with varied inputs, saved, loaded and
// played back must run frame for frame as they were recorded, every time they are played.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/game_reset.h"
#include "app/screen_flow.h"
#include "core/state.h"
#include "game/effects.h"
#include "game/player.h"
#include "gfx/sprite.h"
#include "replay/replay.h"
#include "sim_driver.h"
#include "support/headless.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using Trace = std::vector<std::string>;

// Compares two traces line by line and names the first frame where they part.
::testing::AssertionResult SameTrace(const Trace& expected, const Trace& actual) {
    size_t common = std::min(expected.size(), actual.size());
    for (size_t i = 0; i < common; ++i) {
        if (expected[i] != actual[i]) {
            return ::testing::AssertionFailure() << "frame " << i + 1 << " differs:\n  expected "
                                                 << expected[i] << "\n  actual   " << actual[i];
        }
    }
    if (expected.size() != actual.size()) {
        return ::testing::AssertionFailure() << "lengths differ: " << expected.size() << " and "
                                             << actual.size() << " frames";
    }
    return ::testing::AssertionSuccess();
}

// Games run in a fresh empty folder: the game writes its snapshot beside it.
class ReplayDeterminismTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseHeadlessEngine();
        SimStartUp();
    }

    // Records a game, saves it and loads it back; returns the recording's trace.
    Trace RecordAndReload(const SimRecordOptions& options, const std::string& file,
                          SimOutcome* recorded = nullptr) {
        Trace trace;
        SimOutcome outcome = SimRecord(options, [&](const std::string& line) { trace.push_back(line); });
        if (recorded != nullptr) *recorded = outcome;
        EXPECT_TRUE(WriteReplayFile(file.c_str(), "determinism", "test", "", "2026/01/01 00:00:00"));
        // Nothing of the recording may survive into the playback but what the file holds.
        for (int32_t k = 0; k <= kReplayMaxEnd; ++k) record.replayInputs[k] = 0;
        record.randomSeed = 0;
        EXPECT_TRUE(LoadReplayFile(file.c_str()));
        return trace;
    }

    Trace PlayBack(bool immortal, SimOutcome* outcome = nullptr) {
        Trace trace;
        SimOutcome got = SimPlayBack(immortal, [&](const std::string& line) { trace.push_back(line); });
        if (outcome != nullptr) *outcome = got;
        return trace;
    }

    WorkInTempDir dir_{"replay_determinism"};
};

TEST_F(ReplayDeterminismTest, EveryInputPatternPlaysBackAsRecorded) {
    struct Case {
        SimPattern pattern;
        int32_t seed;
        uint32_t inputSeed;
    };
    const Case cases[] = {
        {SimPattern::Idle, 101, 1},
        {SimPattern::Walk, 202, 1},
        {SimPattern::Bomb, 303, 1},
        {SimPattern::Chaos, 404, 7},
        {SimPattern::Chaos, -5, 12345},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(SimPatternName(c.pattern)) + " seed " + std::to_string(c.seed));
        SimRecordOptions options;
        options.seed = c.seed;
        options.pattern = c.pattern;
        options.inputSeed = c.inputSeed;
        SimOutcome recorded;
        Trace recording = RecordAndReload(options, "game.rpy", &recorded);
        ASSERT_TRUE(recorded.endedByItself) << "the game should end by itself";
        EXPECT_EQ(record.randomSeed, c.seed);
        EXPECT_EQ(record.replayEnd, recorded.framesOfPlay + 1);

        SimOutcome first;
        Trace playback = PlayBack(false, &first);
        EXPECT_TRUE(SameTrace(recording, playback));
        EXPECT_TRUE(first.endedByItself);
        EXPECT_TRUE(SimMatchesRecord(first, recorded.result, recorded.score, record.replayEnd));

        // The same file played again in the same run, after another game, gives the same game.
        if (c.pattern == SimPattern::Chaos) {
            ASSERT_TRUE(LoadReplayFile("game.rpy"));
            EXPECT_TRUE(SameTrace(playback, PlayBack(false)));
        }
    }
}

TEST_F(ReplayDeterminismTest, AnImmortalGameReachesEveryAttackAndTheDefeatIdentically) {
    SimRecordOptions options;
    options.seed = 77;
    options.pattern = SimPattern::Chaos;
    options.inputSeed = 3;
    options.immortal = true;
    SimOutcome recorded;
    Trace recording = RecordAndReload(options, "long.rpy", &recorded);
    ASSERT_TRUE(recorded.endedByItself);
    EXPECT_EQ(recorded.result, 5) << "an immortal game keeps all its lives";

    bool seen[8] = {};
    for (const std::string& line : recording) {
        size_t at = line.find(" atk=");
        ASSERT_NE(at, std::string::npos);
        int attack = std::atoi(line.c_str() + at + 5);
        if (attack >= 0 && attack < 8) seen[attack] = true;
    }
    for (int attack = 1; attack <= 7; ++attack) EXPECT_TRUE(seen[attack]) << "attack " << attack;

    SimOutcome played;
    EXPECT_TRUE(SameTrace(recording, PlayBack(true, &played)));
    EXPECT_TRUE(SimMatchesRecord(played, recorded.result, recorded.score, record.replayEnd));
}

// Immortal playback is the same game with the lives left alone: until the mortal game ends, the
// traces differ only in `lives`, and each life loss still shows the (unchanged) count.
TEST_F(ReplayDeterminismTest, ImmortalPlaybackChangesOnlyTheLives) {
    SimRecordOptions options;
    options.seed = 4242;
    options.pattern = SimPattern::Walk;
    RecordAndReload(options, "lost.rpy");
    Trace mortal = PlayBack(false);

    ASSERT_TRUE(LoadReplayFile("lost.rpy"));
    SimStartPlayback();
    auto withoutLives = [](std::string line) {
        size_t at = line.find(" lives=");
        size_t end = line.find(' ', at + 1);
        return line.erase(at, end - at);
    };
    int lossesSeen = 0;
    for (size_t i = 0; i + 1 < mortal.size(); ++i) {
        bool lossThisFrame = lifeLossTimer == 2;
        ASSERT_TRUE(SimRunFrame(true));
        std::string line = SimTraceLine();
        ASSERT_EQ(withoutLives(line), withoutLives(mortal[i])) << "frame " << i + 1;
        ASSERT_EQ(run.lives, 5) << "frame " << i + 1;
        if (lossThisFrame) {
            ++lossesSeen;
            // The digit over the player (the life display's second effect, row 208 of the
            // digits) shows the count the loss left: still 5.
            int digits = 0;
            for (int e = 0; e < kEffectSlots; ++e) {
                if (effectFree[e] != 0 || effectKind[e] != 10 || effectSprite[e]->RegionY() != 208.0f) continue;
                if (effectAge[e] != 9) continue;  // spawned at 8 this frame, aged once since
                ++digits;
                EXPECT_EQ(effectSprite[e]->RegionX(), 5 * 16.0f);
            }
            EXPECT_EQ(digits, 1);
            EXPECT_EQ(invulnTimer, 47) << "the loss's invulnerability, counted down once";
        }
    }
    EXPECT_EQ(lossesSeen, 5) << "five losses before the sixth, which ends the mortal game";
}

TEST_F(ReplayDeterminismTest, AGameStoppedEarlyPlaysToTheEndOfItsRecord) {
    SimRecordOptions options;
    options.seed = 9;
    options.pattern = SimPattern::Bomb;
    options.frames = 250;
    SimOutcome recorded;
    Trace recording = RecordAndReload(options, "short.rpy", &recorded);
    ASSERT_FALSE(recorded.endedByItself);
    ASSERT_EQ(record.replayEnd, 251);

    SimOutcome played;
    Trace playback = PlayBack(false, &played);
    EXPECT_TRUE(played.ranOut);
    EXPECT_TRUE(SimMatchesRecord(played, recorded.result, recorded.score, record.replayEnd));
    // Playback runs one frame more than was recorded: the one in which it reaches the end of the
    // record and pauses.
    ASSERT_EQ(playback.size(), recording.size() + 1);
    playback.pop_back();
    EXPECT_TRUE(SameTrace(recording, playback));
    EXPECT_EQ(run.pauseState, PauseState::Paused);
}

TEST_F(ReplayDeterminismTest, RecordingTheSameInputsTwiceStoresTheSameGame) {
    SimRecordOptions options;
    options.seed = 555;
    options.pattern = SimPattern::Chaos;
    options.inputSeed = 8;
    RecordAndReload(options, "one.rpy");
    RecordAndReload(options, "two.rpy");
    auto body = [](const char* file) {
        std::ifstream in(file);
        std::string line;
        for (int i = 0; i < 4; ++i) std::getline(in, line);
        std::stringstream rest;
        rest << in.rdbuf();
        return rest.str();
    };
    EXPECT_EQ(body("one.rpy"), body("two.rpy"));
}

TEST_F(ReplayDeterminismTest, ATamperedReplayIsCaught) {
    SimRecordOptions options;
    options.seed = 31337;
    options.pattern = SimPattern::Chaos;
    options.inputSeed = 5;
    SimOutcome recorded;
    Trace recording = RecordAndReload(options, "game.rpy", &recorded);
    ASSERT_GT(record.replayEnd, 200);

    // A score the game never reached.
    SimOutcome played = SimPlayBack(false, nullptr);
    EXPECT_FALSE(SimMatchesRecord(played, recorded.result, recorded.score + 1, record.replayEnd));
    EXPECT_FALSE(SimMatchesRecord(played, recorded.result, recorded.score, record.replayEnd + 1));

    // Other keys held in one early frame steer the game elsewhere from there on.
    ASSERT_TRUE(LoadReplayFile("game.rpy"));
    int32_t frame = 70;
    while (frame < record.replayEnd && (record.replayInputs[frame] & 0x0C) != 0x04 && (record.replayInputs[frame] & 0x0C) != 0x08) {
        ++frame;
    }
    ASSERT_LT(frame, record.replayEnd) << "no frame steers left or right alone";
    record.replayInputs[frame] ^= 0x0C;  // left and right swapped
    Trace changed = PlayBack(false);
    EXPECT_FALSE(SameTrace(recording, changed));
}

}  // namespace
