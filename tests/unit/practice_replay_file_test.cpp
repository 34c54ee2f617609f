// practice_replay_file_test.cpp -- a practice's replay file: its mark before the numbers, its own
// slots, reading it back, refusing damaged marks, and what a reader of whole games finds in it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/state.h"
#include "replay/replay.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const fs::path& path, const std::string& text) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void MakeRecord(int32_t practice, int32_t seed, int32_t frames) {
    record.practiceAttack = practice;
    record.randomSeed = seed;
    run.resultCode = -1;
    run.score = 321;
    record.replayFrame = frames;
    for (int32_t k = 1; k <= frames; ++k) record.replayInputs[k] = k % 256;
}

class PracticeReplayFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        record.replayPlayback = false;
        replaySlotSet = ReplaySlotSet::Games;
    }
    void TearDown() override {
        record.practiceAttack = 0;
        replaySlotSet = ReplaySlotSet::Games;
    }
    WorkInTempDir dir_{"practice_replay_file_test"};
};

TEST_F(PracticeReplayFileTest, APracticeIsMarkedBeforeItsNumbers) {
    MakeRecord(4, -77, 3);
    ASSERT_TRUE(WriteReplayFile("p.rpy", "Try", "Ann", "", "2026/01/02 03:04:05"));
    EXPECT_EQ(ReadWholeFile("p.rpy"), "Try \nAnn \nNone \n2026/01/02 03:04:05\npractice 4 -77 -1 321 4 1 2 3 ");
    // A whole game's file is as it always was.
    MakeRecord(0, -77, 3);
    ASSERT_TRUE(WriteReplayFile("g.rpy", "Try", "Ann", "", "2026/01/02 03:04:05"));
    EXPECT_EQ(ReadWholeFile("g.rpy"), "Try \nAnn \nNone \n2026/01/02 03:04:05\n-77 -1 321 4 1 2 3 ");
}

TEST_F(PracticeReplayFileTest, AReaderOfWholeGamesFindsNoSeedInAPractice) {
    // Such a reader takes the first word of line 5 as the seed, a decimal number.
    MakeRecord(6, 12345, 2);
    ASSERT_TRUE(WriteReplayFile("p.rpy", "a", "b", "c", "d"));
    std::string text = ReadWholeFile("p.rpy");
    std::string line5 = text.substr(text.find("d\n") + 2);
    char* end = nullptr;
    std::strtoll(line5.c_str(), &end, 10);
    EXPECT_EQ(end, line5.c_str()) << "no number starts the practice's numbers";
}

TEST_F(PracticeReplayFileTest, PracticesLoadAsPracticesAndGamesAsGames) {
    for (int32_t attack = 0; attack <= kPracticeAttacks; ++attack) {
        SCOPED_TRACE(attack);
        MakeRecord(attack, 1000 + attack, 40);
        ASSERT_TRUE(WriteReplayFile("r.rpy", "r", "p", "i", "d"));
        record.practiceAttack = 99;
        record.randomSeed = 0;
        ASSERT_TRUE(LoadReplayFile("r.rpy"));
        EXPECT_EQ(record.practiceAttack, attack);
        EXPECT_EQ(record.randomSeed, 1000 + attack);
        EXPECT_EQ(record.replayEnd, 41);
        EXPECT_EQ(record.replayInputs[40], 40);
        ReplaySummary summary;
        ASSERT_TRUE(ReadReplaySummaryFile("r.rpy", &summary));
        EXPECT_EQ(summary.practiceAttack, attack);
        EXPECT_EQ(summary.numbersRead, 4);
        EXPECT_EQ(summary.score, 321);
    }
}

TEST_F(PracticeReplayFileTest, ADamagedMarkRefusesTheFileAndChangesNothing) {
    const char* head = "a \nb \nc \nd\n";
    const char* lines[] = {
        "practice 0 5 -1 0 2 1 ",     // no attack 0
        "practice 7 5 -1 0 2 1 ",     // nor 7
        "practice x 5 -1 0 2 1 ",
        "practice4 5 -1 0 2 1 ",      // run together
        "practise 4 5 -1 0 2 1 ",
        "p 4 5 -1 0 2 1 ",
        "practice",
        "practice 4",                 // no seed after it
        "game 4 5 -1 0 2 1 ",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        WriteWholeFile("bad.rpy", std::string(head) + line);
        record.practiceAttack = 3;
        record.randomSeed = 42;
        EXPECT_FALSE(LoadReplayFile("bad.rpy"));
        EXPECT_EQ(record.practiceAttack, 3);
        EXPECT_EQ(record.randomSeed, 42);
    }
}

TEST_F(PracticeReplayFileTest, PracticesHaveTenSlotsOfTheirOwn) {
    char name[40];
    replaySlotSet = ReplaySlotSet::Practice;
    ASSERT_TRUE(ReplaySlotFileName(1, name, sizeof name));
    EXPECT_STREQ(name, "Replay/practice_01.rpy");
    ASSERT_TRUE(ReplaySlotFileName(10, name, sizeof name));
    EXPECT_STREQ(name, "Replay/practice_10.rpy");
    EXPECT_FALSE(ReplaySlotFileName(11, name, sizeof name));

    MakeRecord(2, 9, 5);
    ASSERT_TRUE(WriteReplay(3, "r", "p", "i", "d"));
    EXPECT_TRUE(fs::exists("Replay/practice_03.rpy"));
    EXPECT_FALSE(fs::exists("Replay/qz507_03.rpy"));
    replaySlotSet = ReplaySlotSet::Games;
    EXPECT_FALSE(LoadReplay(3));
    ASSERT_TRUE(ReplaySlotFileName(3, name, sizeof name));
    EXPECT_STREQ(name, "Replay/qz507_03.rpy");
}

}  // namespace
