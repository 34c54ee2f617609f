// replay_file_test.cpp -- the replay file: its exact layout, round trips, overwriting, damaged
// files, safe saving, and the per-frame decoding and recording of the action words.
#include <gtest/gtest.h>
#include "support/temp_dir.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/game_reset.h"
#include "app/screen_flow.h"
#include "core/state.h"
#include "replay/replay.h"

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
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// Puts a finished game of `frames` frames into the record: word k is k % 256.
void MakeGame(int32_t seed, int32_t result, int64_t finalScore, int32_t frames) {
    record.randomSeed = seed;
    run.resultCode = result;
    run.score = finalScore;
    record.replayFrame = frames;
    for (int32_t k = 1; k <= frames; ++k) record.replayInputs[k] = k % 256;
}

// Every test runs in a fresh empty directory, since the slots are relative to it.
class ReplayFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        record.replayPlayback = false;
    }
    WorkInTempDir dir_{"replay_file_test"};
};

TEST_F(ReplayFileTest, SlotNamesAreTwoDigitFilesInTheReplayFolder) {
    char name[32];
    ASSERT_TRUE(ReplaySlotFileName(1, name, sizeof name));
    EXPECT_STREQ(name, "Replay/qz507_01.rpy");
    ASSERT_TRUE(ReplaySlotFileName(10, name, sizeof name));
    EXPECT_STREQ(name, "Replay/qz507_10.rpy");
    EXPECT_FALSE(ReplaySlotFileName(0, name, sizeof name));
    EXPECT_FALSE(ReplaySlotFileName(11, name, sizeof name));
    EXPECT_FALSE(WriteReplay(11, "a", "b", "c", "d"));
    EXPECT_FALSE(LoadReplay(0));
}

TEST_F(ReplayFileTest, WritesTheExactLayout) {
    MakeGame(-123456, 2, 4294967301LL, 3);
    record.replayInputs[1] = 1;
    record.replayInputs[2] = 0;
    record.replayInputs[3] = 255;
    ASSERT_TRUE(WriteReplay(3, "Run", "Ann", "close one", "2026/01/02 03:04:05"));
    EXPECT_EQ(ReadWholeFile("Replay/qz507_03.rpy"),
              "Run \nAnn \nclose one \n2026/01/02 03:04:05\n-123456 2 4294967301 4 1 0 255 ");
}

TEST_F(ReplayFileTest, EmptyNamesAreStoredAsNoneUnnamedNone) {
    MakeGame(7, -1, 0, 0);
    ASSERT_TRUE(WriteReplay(1, "", "", "", "2026/01/02 03:04:05"));
    EXPECT_EQ(ReadWholeFile("Replay/qz507_01.rpy"),
              "None \nUnnamed \nNone \n2026/01/02 03:04:05\n7 -1 0 1 ");
    ReplaySummary summary;
    ASSERT_TRUE(ReadReplaySummary(1, &summary));
    EXPECT_STREQ(summary.lines[0], "None ");
    EXPECT_STREQ(summary.lines[1], "Unnamed ");
    EXPECT_STREQ(summary.lines[2], "None ");
    EXPECT_STREQ(summary.lines[3], "2026/01/02 03:04:05");
}

TEST_F(ReplayFileTest, AnNFrameGameStoresEndNPlusOneAndNWords) {
    for (int32_t frames : {0, 1, 600, kReplayMaxWords}) {
        SCOPED_TRACE(frames);
        MakeGame(1000 + frames, 5, 77, frames);
        ASSERT_TRUE(WriteReplay(2, "r", "p", "i", "d"));
        for (int32_t k = 0; k <= kReplayMaxEnd; ++k) record.replayInputs[k] = -1;
        record.randomSeed = 0;
        ASSERT_TRUE(LoadReplay(2));
        EXPECT_EQ(record.randomSeed, 1000 + frames);
        EXPECT_EQ(record.replayEnd, frames + 1);
        bool wordsMatch = true;
        for (int32_t k = 1; k <= frames; ++k) wordsMatch = wordsMatch && record.replayInputs[k] == k % 256;
        EXPECT_TRUE(wordsMatch);
        EXPECT_EQ(record.replayInputs[frames + 1], 0) << "the word at the end mark is no action";

        ReplaySummary summary;
        ASSERT_TRUE(ReadReplaySummary(2, &summary));
        EXPECT_EQ(summary.end, frames + 1);
        EXPECT_EQ(summary.numbersRead, 4);
    }
}

TEST_F(ReplayFileTest, ResultAndLargeScoresRoundTripThroughTheSummary) {
    struct Case {
        int32_t seed;
        int32_t result;
        int64_t score;
    };
    const Case cases[] = {
        {0, 0, 0},
        {2147483647, 5, (int64_t(1) << 32) + 9},
        {-2147483647 - 1, -1, 123456789012345LL},
        {42, 2, INT64_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.score);
        MakeGame(c.seed, c.result, c.score, 10);
        ASSERT_TRUE(WriteReplay(5, "a", "b", "c", "d"));
        ReplaySummary summary;
        ASSERT_TRUE(ReadReplaySummary(5, &summary));
        EXPECT_EQ(summary.seed, c.seed);
        EXPECT_EQ(summary.result, c.result);
        EXPECT_EQ(summary.score, c.score);
        EXPECT_EQ(summary.linesRead, 4);
    }
}

TEST_F(ReplayFileTest, OverwritingALongerReplayLeavesNoOldWords) {
    MakeGame(1, 0, 10, 500);
    ASSERT_TRUE(WriteReplay(3, "long", "p", "i", "d"));
    MakeGame(2, 1, 20, 2);
    record.replayInputs[1] = 9;
    record.replayInputs[2] = 8;
    ASSERT_TRUE(WriteReplay(3, "short", "p", "i", "d"));
    EXPECT_EQ(ReadWholeFile("Replay/qz507_03.rpy"), "short \np \ni \nd\n2 1 20 3 9 8 ");

    // Loading the short one after the long one leaves nothing of the long one past its end.
    MakeGame(1, 0, 10, 500);
    ASSERT_TRUE(WriteReplay(4, "long", "p", "i", "d"));
    ASSERT_TRUE(LoadReplay(4));
    ASSERT_TRUE(LoadReplay(3));
    EXPECT_EQ(record.replayEnd, 3);
    for (int32_t k = 3; k <= 500; ++k) ASSERT_EQ(record.replayInputs[k], 0) << k;
}

TEST_F(ReplayFileTest, WindowsLineEndsReadTheSame) {
    WriteWholeFile("Replay/qz507_06.rpy",
                   "Run \r\nAnn \r\nNone \r\n2026/01/02 03:04:05\r\n99 3 5000000000 4 16 32 64 ");
    ReplaySummary summary;
    ASSERT_TRUE(ReadReplaySummary(6, &summary));
    EXPECT_STREQ(summary.lines[0], "Run ");
    EXPECT_STREQ(summary.lines[1], "Ann ");
    EXPECT_STREQ(summary.lines[3], "2026/01/02 03:04:05");
    EXPECT_EQ(summary.result, 3);
    EXPECT_EQ(summary.score, 5000000000LL);
    ASSERT_TRUE(LoadReplay(6));
    EXPECT_EQ(record.randomSeed, 99);
    EXPECT_EQ(record.replayEnd, 4);
    EXPECT_EQ(record.replayInputs[1], 16);
    EXPECT_EQ(record.replayInputs[3], 64);
}

TEST_F(ReplayFileTest, AMissingSlotIsAbsentAndLoadsNothing) {
    record.randomSeed = 31;
    record.replayEnd = 17;
    ReplaySummary summary;
    EXPECT_FALSE(ReadReplaySummary(8, &summary));
    EXPECT_FALSE(LoadReplay(8));
    EXPECT_EQ(record.randomSeed, 31);
    EXPECT_EQ(record.replayEnd, 17);
}

// Damaged files: a refused file changes nothing; a record cut short or damaged in its words
// loads the sound words before the damage and ends there.
TEST_F(ReplayFileTest, DamagedFilesAreRefusedOrReadOnlyAsFarAsTheyAreSound) {
    const std::string head = "n \np \ni \nd\n";
    struct Case {
        const char* what;
        std::string text;
        bool loads;
        int32_t end;         // replayEnd after a load
        int summaryLines;    // how far the summary gets
        int summaryNumbers;
    };
    const Case cases[] = {
        {"empty file", "", false, 0, 0, 0},
        {"only three lines", "n \np \ni \n", false, 0, 3, 0},
        {"no numbers", head, false, 0, 4, 0},
        {"garbage seed", head + "abc 0 0 1 ", false, 0, 4, 0},
        {"seed past 32 bits", head + "4294967296 0 0 1 ", false, 0, 4, 0},
        {"number run into letters", head + "5 0 12x 1 ", false, 0, 4, 2},
        {"score past 64 bits", head + "5 0 99999999999999999999 1 ", false, 0, 4, 2},
        {"cut after the score", head + "5 0 7 ", false, 0, 4, 3},
        {"end 0", head + "5 0 7 0 ", false, 0, 4, 4},
        {"end negative", head + "5 0 7 -3 ", false, 0, 4, 4},
        {"end above 100001", head + "5 0 7 100002 1 2 ", false, 0, 4, 4},
        {"end far too large", head + "5 0 7 2147483647 ", false, 0, 4, 4},
        {"end past 32 bits", head + "5 0 7 9999999999 ", false, 0, 4, 3},
        {"no words, end 1", head + "5 0 7 1 ", true, 1, 4, 4},
        {"words cut short", head + "5 0 7 6 1 2 3 ", true, 4, 4, 4},
        {"garbage word", head + "5 0 7 6 1 2 x 4 5 ", true, 3, 4, 4},
        {"word past 32 bits", head + "5 0 7 6 1 4294967296 3 ", true, 2, 4, 4},
        {"word run into letters", head + "5 0 7 6 1 2z 3 ", true, 2, 4, 4},
        {"file ends inside a word", head + "5 0 7 3 1 2", true, 3, 4, 4},
        {"words on further lines", head + "5 0 7 3 1\n2\r\n", true, 3, 4, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteWholeFile("Replay/qz507_09.rpy", c.text);
        record.randomSeed = 31;
        record.replayEnd = 17;
        for (int32_t k = 0; k <= kReplayMaxEnd; ++k) record.replayInputs[k] = 200;
        bool loaded = LoadReplay(9);
        EXPECT_EQ(loaded, c.loads);
        if (c.loads) {
            EXPECT_EQ(record.randomSeed, 5);
            EXPECT_EQ(record.replayEnd, c.end);
            for (int32_t k = c.end; k <= kReplayMaxEnd; ++k) ASSERT_EQ(record.replayInputs[k], 0) << k;
        } else {
            EXPECT_EQ(record.randomSeed, 31);
            EXPECT_EQ(record.replayEnd, 17);
            EXPECT_EQ(record.replayInputs[1], 200);
        }
        ReplaySummary summary;
        ASSERT_TRUE(ReadReplaySummary(9, &summary));
        EXPECT_EQ(summary.linesRead, c.summaryLines);
        EXPECT_EQ(summary.numbersRead, c.summaryNumbers);
    }
}

TEST_F(ReplayFileTest, AVeryLongLineIsCutInTheSummaryButTheFileStillLoads) {
    std::string longName(5000, 'x');
    WriteWholeFile("Replay/qz507_02.rpy", longName + " \np \ni \nd\n5 0 7 2 9 ");
    ReplaySummary summary;
    ASSERT_TRUE(ReadReplaySummary(2, &summary));
    EXPECT_EQ(std::string(summary.lines[0]).size(), size_t(ReplaySummary::kLineSize - 1));
    EXPECT_STREQ(summary.lines[1], "p ");
    ASSERT_TRUE(LoadReplay(2));
    EXPECT_EQ(record.replayEnd, 2);
    EXPECT_EQ(record.replayInputs[1], 9);
}

TEST_F(ReplayFileTest, WhatIsNoReplayFileIsRefusedWithoutReadingIt) {
    // A pipe and a device read forever; a file larger than any replay the game writes is not
    // one. None of them stalls the reader or reaches the record.
    fs::create_directories("Replay");
    ASSERT_EQ(mkfifo("Replay/qz507_03.rpy", 0644), 0);
    const std::string big = "n \np \ni \nd\n5 0 7 2 " + std::string(3 * 1024 * 1024, ' ') + "9 ";
    WriteWholeFile("Replay/qz507_05.rpy", big);
    record.replayEnd = 77;
    for (const char* path : {"Replay/qz507_03.rpy", "/dev/zero", "Replay/qz507_05.rpy"}) {
        ReplaySummary summary;
        EXPECT_FALSE(ReadReplaySummaryFile(path, &summary)) << path;
        EXPECT_EQ(summary.linesRead, 0) << path;
        EXPECT_FALSE(LoadReplayFile(path)) << path;
        EXPECT_EQ(record.replayEnd, 77) << path;
    }
    EXPECT_FALSE(LoadReplay(3));
}

TEST_F(ReplayFileTest, AHeadLineWithoutEndIsDamageNotAName) {
    WriteWholeFile("Replay/qz507_06.rpy", std::string(200 * 1024, 'x'));
    ReplaySummary summary;
    ASSERT_TRUE(ReadReplaySummary(6, &summary));
    EXPECT_EQ(summary.linesRead, 0);
    EXPECT_FALSE(LoadReplay(6));
}

TEST_F(ReplayFileTest, OnlyOldUnfinishedSavesBesideTheSlotsAreRemoved) {
    MakeGame(3, 1, 2, 5);
    ASSERT_TRUE(WriteReplay(2, "kept", "b", "c", "d"));
    WriteWholeFile("Replay/qz507_02.rpy.tmp", "kept \nb \nc \nd\n3 1 2 6 1 2");   // killed mid-save
    WriteWholeFile("Replay/qz507_09.rpy.tmp", "n \n");                                // another game's, now
    WriteWholeFile("Replay/notes.tmp", "mine");
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    fs::last_write_time("Replay/qz507_02.rpy.tmp", old);
    fs::last_write_time("Replay/notes.tmp", old);
    const std::string slot = ReadWholeFile("Replay/qz507_02.rpy");
    RemoveStaleReplayTemporaries();
    EXPECT_FALSE(fs::exists("Replay/qz507_02.rpy.tmp"));
    EXPECT_TRUE(fs::exists("Replay/qz507_09.rpy.tmp"));
    EXPECT_TRUE(fs::exists("Replay/notes.tmp"));
    EXPECT_EQ(ReadWholeFile("Replay/qz507_02.rpy"), slot);
}

TEST_F(ReplayFileTest, AMissingReplayFolderIsCreated) {
    ASSERT_FALSE(fs::exists("Replay"));
    MakeGame(3, 1, 2, 5);
    ASSERT_TRUE(WriteReplay(7, "a", "b", "c", "d"));
    EXPECT_TRUE(fs::is_regular_file("Replay/qz507_07.rpy"));
    EXPECT_FALSE(fs::exists("Replay/qz507_07.rpy.tmp"));
}

TEST_F(ReplayFileTest, AFailedSaveIsReportedAndKeepsTheReplayInTheSlot) {
    MakeGame(3, 1, 2, 5);
    ASSERT_TRUE(WriteReplay(4, "kept", "b", "c", "d"));
    const std::string before = ReadWholeFile("Replay/qz507_04.rpy");

    // Something in the way of the file the new replay is written to first.
    fs::create_directory("Replay/qz507_04.rpy.tmp");
    MakeGame(9, 0, 99, 50);
    EXPECT_FALSE(WriteReplay(4, "new", "b", "c", "d"));
    EXPECT_EQ(ReadWholeFile("Replay/qz507_04.rpy"), before);
    fs::remove("Replay/qz507_04.rpy.tmp");

    // A folder that cannot be made: a plain file holds its name.
    fs::remove_all("Replay");
    WriteWholeFile("x", "");
    fs::rename("x", "Replay");
    EXPECT_FALSE(WriteReplay(4, "new", "b", "c", "d"));
}

TEST_F(ReplayFileTest, LineBreaksInsideANameCannotShiftTheLayout) {
    MakeGame(3, 1, 2, 1);
    record.replayInputs[1] = 4;
    ASSERT_TRUE(WriteReplay(1, "two\nlines", "a\r\nb", "c", "d"));
    ReplaySummary summary;
    ASSERT_TRUE(ReadReplaySummary(1, &summary));
    EXPECT_STREQ(summary.lines[0], "two lines ");
    EXPECT_STREQ(summary.lines[1], "a  b ");
    EXPECT_EQ(summary.score, 2);
    ASSERT_TRUE(LoadReplay(1));
    EXPECT_EQ(record.replayInputs[1], 4);
}

}  // namespace
