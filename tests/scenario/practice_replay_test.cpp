// practice_replay_test.cpp -- a practice of one attack through the headless runner: its first
// frame of play holds the boss in that attack at its full timer, it ends when the attack ends,
// and it is recorded, saved, loaded and played back exactly, as mirrorfall-sim does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/practice.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/world.h"
#include "replay/replay.h"
#include "sim_driver.h"
#include "support/headless.h"
#include "support/temp_dir.h"

namespace {

using Trace = std::vector<std::string>;

// A field of a trace line ("atk=4" -> 4).
long long Field(const std::string& line, const char* name) {
    const std::string key = std::string(" ") + name + "=";
    size_t at = (" " + line).find(key);
    EXPECT_NE(at, std::string::npos) << name;
    return std::atoll(line.c_str() + at + key.size() - 1);
}

class PracticeReplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseHeadlessEngine();
        SimStartUp();
    }
    void TearDown() override { record.practiceAttack = 0; }

    Trace Record(const SimRecordOptions& options, SimOutcome* outcome = nullptr) {
        Trace trace;
        SimOutcome got = SimRecord(options, [&](const std::string& line) { trace.push_back(line); });
        if (outcome != nullptr) *outcome = got;
        return trace;
    }

    WorkInTempDir dir_{"practice_replay_test"};
};

// Where each attack starts and ends in a whole immortal game: the frames from its first trace
// line (the frame its timer was set) to the first line of the next attack.
std::map<int, long> WholeGameAttackFrames(const Trace& trace) {
    std::map<int, long> first;
    std::map<int, long> frames;
    for (size_t i = 0; i < trace.size(); ++i) {
        const int attack = int(Field(trace[i], "atk"));
        if (first.count(attack) == 0) first[attack] = long(i);
    }
    for (int attack = 1; attack <= 6; ++attack) frames[attack] = first[attack + 1] - first[attack];
    return frames;
}

TEST_F(PracticeReplayTest, EachAttackStartsAtItsFullTimerAndEndsWithItsTime) {
    SimRecordOptions whole;
    whole.seed = 31;
    whole.pattern = SimPattern::Chaos;
    whole.immortal = true;
    const std::map<int, long> wholeFrames = WholeGameAttackFrames(Record(whole));

    for (int attack = 1; attack <= 6; ++attack) {
        SCOPED_TRACE("attack " + std::to_string(attack));
        SimRecordOptions options;
        options.seed = 500 + attack;
        options.pattern = SimPattern::Chaos;
        options.immortal = true;
        options.practice = attack;
        SimOutcome outcome;
        Trace trace = Record(options, &outcome);
        ASSERT_TRUE(outcome.endedByItself);
        EXPECT_EQ(outcome.result, 5);

        // The first frame with the boss: the practised attack at its full timer.
        size_t arrival = 0;
        while (arrival < trace.size() && Field(trace[arrival], "boss") == 0) ++arrival;
        ASSERT_LT(arrival, trace.size());
        EXPECT_EQ(Field(trace[arrival], "f"), 2);
        EXPECT_EQ(Field(trace[arrival], "atk"), attack);
        EXPECT_EQ(Field(trace[arrival], "t"), PracticeAttackLength(attack));
        EXPECT_EQ(Field(trace[arrival], "age"), 1);
        EXPECT_EQ(Field(trace[arrival + 1], "t"), PracticeAttackLength(attack) - 1);

        // It runs as long as in a whole game, then the boss is gone and the game ends: no
        // frame of the next attack, no bullet left, the result 50 frames later.
        size_t end = arrival;
        while (end < trace.size() && Field(trace[end], "boss") == 1) ++end;
        ASSERT_LT(end, trace.size());
        EXPECT_EQ(long(end - arrival), wholeFrames.at(attack));
        for (size_t i = arrival; i < end; ++i) ASSERT_EQ(Field(trace[i], "atk"), attack) << trace[i];
        EXPECT_EQ(Field(trace[end], "f"), kEndSequence);
        EXPECT_EQ(Field(trace[end], "nb"), 0);
        EXPECT_EQ(Field(trace.back(), "f"), 100050);
        for (size_t i = end; i < trace.size(); ++i) EXPECT_EQ(Field(trace[i], "boss"), 0);
        EXPECT_EQ(Field(trace.back(), "r"), Field(trace[end], "r")) << "no frame of play after the end";
        EXPECT_FALSE(spellBackdrop);
    }
}

TEST_F(PracticeReplayTest, APracticeIsSavedLoadedAndPlayedBackExactly) {
    struct Case {
        int attack;
        SimPattern pattern;
        bool immortal;
    };
    const Case cases[] = {
        {1, SimPattern::Bomb, false}, {2, SimPattern::Idle, false}, {3, SimPattern::Walk, true},
        {4, SimPattern::Chaos, false}, {5, SimPattern::Chaos, true}, {6, SimPattern::Bomb, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("attack " + std::to_string(c.attack));
        SimRecordOptions options;
        options.seed = 900 + c.attack;
        options.pattern = c.pattern;
        options.immortal = c.immortal;
        options.practice = c.attack;
        SimOutcome recorded;
        Trace recording = Record(options, &recorded);
        ASSERT_TRUE(WriteReplayFile("practice.rpy", "p", "test", "", "2026/01/01 00:00:00"));

        // Nothing but the file goes into the playback.
        record.practiceAttack = 0;
        record.randomSeed = 0;
        for (int32_t k = 0; k <= kReplayMaxEnd; ++k) record.replayInputs[k] = 0;
        ASSERT_TRUE(LoadReplayFile("practice.rpy"));
        EXPECT_EQ(record.practiceAttack, c.attack);

        Trace playback;
        SimOutcome played = SimPlayBack(c.immortal, [&](const std::string& line) { playback.push_back(line); });
        EXPECT_EQ(recording, playback);
        EXPECT_TRUE(SimMatchesRecord(played, recorded.result, recorded.score, record.replayEnd));
    }
}

// Practices recorded from fixed seeds and scripted keys must trace exactly as when these
// digests were taken (FNV-1a over the trace as `mirrorfall-sim trace` prints it), with
// `mirrorfall-sim record --seed S --input-seed I --practice N --pattern P [--immortal]`.
TEST_F(PracticeReplayTest, GoldenPracticesTraceAsTheyAlwaysHave) {
    struct Golden {
        int attack;
        SimPattern pattern;
        int32_t seed;
        uint32_t inputSeed;
        bool immortal;
        long lines;
        uint64_t digest;
    };
    const Golden kGolden[] = {
        {1, SimPattern::Chaos, 21, 1, true, 1435, 0x448a5b05fe1b768bull},
        {1, SimPattern::Idle, 21, 1, false, 1059, 0xc0f8683587c1609dull},
        {2, SimPattern::Chaos, 22, 2, true, 895, 0xc152e1820390c713ull},
        {2, SimPattern::Idle, 22, 2, false, 895, 0x007478169a96c5a0ull},
        {3, SimPattern::Chaos, 23, 3, true, 1255, 0x4bd58461627db537ull},
        {3, SimPattern::Idle, 23, 3, false, 1143, 0xec7508ad7b0532cfull},
        {4, SimPattern::Chaos, 24, 4, true, 1435, 0xb59776d93aed1936ull},
        {4, SimPattern::Idle, 24, 4, false, 955, 0x65bae8ab6f052ebfull},
        {5, SimPattern::Chaos, 25, 5, true, 1255, 0xb63a4287ad510f6full},
        {5, SimPattern::Idle, 25, 5, false, 593, 0xbe4400072136a66eull},
        {6, SimPattern::Chaos, 26, 6, true, 1495, 0x3982c1db9c06476aull},
        {6, SimPattern::Idle, 26, 6, false, 556, 0x3ed593b8df4c054cull},
    };
    for (const Golden& g : kGolden) {
        SCOPED_TRACE("attack " + std::to_string(g.attack) + " " + SimPatternName(g.pattern));
        SimRecordOptions options;
        options.seed = g.seed;
        options.inputSeed = g.inputSeed;
        options.pattern = g.pattern;
        options.immortal = g.immortal;
        options.practice = g.attack;
        Record(options);
        ASSERT_TRUE(WriteReplayFile("golden.rpy", "g", "test", "", "2026/01/01 00:00:00"));
        ASSERT_TRUE(LoadReplayFile("golden.rpy"));
        uint64_t hash = 0xcbf29ce484222325ull;
        long lines = 0;
        SimPlayBack(g.immortal, [&](const std::string& line) {
            for (unsigned char c : line + "\n") {
                hash ^= c;
                hash *= 0x100000001b3ull;
            }
            ++lines;
        });
        EXPECT_EQ(lines, g.lines);
        EXPECT_EQ(hash, g.digest);
    }
}

TEST_F(PracticeReplayTest, AWholeGameAfterAPracticeIsAWholeGame) {
    SimRecordOptions practice;
    practice.seed = 5;
    practice.pattern = SimPattern::Idle;
    practice.practice = 4;
    Record(practice);

    SimRecordOptions game;
    game.seed = 5;
    game.pattern = SimPattern::Idle;
    Trace trace = Record(game);
    EXPECT_EQ(record.practiceAttack, 0);
    size_t arrival = 0;
    while (arrival < trace.size() && Field(trace[arrival], "boss") == 0) ++arrival;
    ASSERT_LT(arrival, trace.size());
    EXPECT_EQ(Field(trace[arrival], "atk"), 1);
    EXPECT_EQ(Field(trace[arrival], "t"), 1320);
}

}  // namespace
