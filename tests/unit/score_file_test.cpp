// The score file: the rank rule of the result panel, whole 64-bit records, the list's room and
// a missing Replay folder.
#include "replay/score_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/screen_flow.h"
#include "core/state.h"
#include "support/headless.h"
#include "support/temp_dir.h"

namespace {

class ScoreFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseHeadlessEngine();
    }
    void WriteFile(const std::string& text) {
        std::filesystem::create_directory("Replay");
        std::ofstream("Replay/score.rpy", std::ios::binary) << text;
    }
    std::string ReadFile() {
        std::ifstream in("Replay/score.rpy", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    WorkInTempDir dir_{"score_test"};
};

TEST_F(ScoreFileTest, RankCountsEveryRecordAtLeastAsHigh) {
    const struct {
        const char* before;
        int64_t score;
        float rank, total;
    } cases[] = {
        {"", 1200, 1, 1},            // the game's own record counts
        {" 500 300", 300, 3, 3},     // ties count against the new game
        {" 500 300", 600, 1, 3},
        {" 500 300", 500, 2, 3},
        {" 500 300", 0, 3, 3},
    };
    for (const auto& c : cases) {
        WriteFile(c.before);
        const ScoreRank rank = AppendScore(c.score);
        EXPECT_EQ(rank.rank, c.rank) << "'" << c.before << "' + " << c.score;
        EXPECT_EQ(rank.total, c.total) << "'" << c.before << "' + " << c.score;
        EXPECT_EQ(ReadFile(), std::string(c.before) + " " + std::to_string(c.score));
    }
}

TEST_F(ScoreFileTest, AMissingReplayFolderIsCreatedSoTheScoreIsKept) {
    ASSERT_FALSE(std::filesystem::exists("Replay"));
    const ScoreRank rank = AppendScore(4321);
    EXPECT_EQ(ReadFile(), " 4321");
    EXPECT_EQ(rank.rank, 1);
    EXPECT_EQ(rank.total, 1);
}

TEST_F(ScoreFileTest, ScoresBeyondThirtyTwoBitsComeBackWhole) {
    WriteFile(" 5000000000");
    EXPECT_EQ(AppendScore(4999999999).rank, 2);  // 5000000000 would read as a small number in 32 bits
    ASSERT_TRUE(LoadScoreList());
    ASSERT_EQ(scoreList.count, 2);
    EXPECT_EQ(scoreList.records[1], 5000000000);
    EXPECT_EQ(scoreList.records[2], 4999999999);
}

TEST_F(ScoreFileTest, ListComesBackHighestFirst) {
    WriteFile(" 1200 85 3000 85");
    ASSERT_TRUE(LoadScoreList());
    ASSERT_EQ(scoreList.count, 4);
    const int64_t expected[] = {3000, 1200, 85, 85};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(scoreList.records[i + 1], expected[i]);
}

TEST_F(ScoreFileTest, ASeparatorWithoutANumberIsNoRecord) {
    // Hand-edited: a line break at the end, and a stray separator in the middle.
    WriteFile(" 1200 85\r\n");
    ASSERT_TRUE(LoadScoreList());
    ASSERT_EQ(scoreList.count, 2);
    EXPECT_EQ(scoreList.records[1], 1200);
    EXPECT_EQ(scoreList.records[2], 85);
    WriteFile(" 1200  x 85\n");
    ASSERT_TRUE(LoadScoreList());
    EXPECT_EQ(scoreList.count, 2);
}

TEST_F(ScoreFileTest, AFullListKeepsTheHighestScoresWithinItsRoom) {
    std::string text;
    for (int i = 0; i < kScoreListRoom + 500; ++i) text += " " + std::to_string(i);
    WriteFile(text);
    ASSERT_TRUE(LoadScoreList());
    EXPECT_EQ(scoreList.count, kScoreListRoom);
    EXPECT_EQ(scoreList.records[1], kScoreListRoom + 499);
    EXPECT_EQ(scoreList.records[kScoreListRoom], 500);
}

// The records as they were read with "%c" and "%lld", one library call per character: the
// one-pass reader must read every file as this did.
std::vector<int64_t> RecordsAsScanfReadThem(const std::string& text) {
    std::vector<int64_t> records;
    FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    if (file == nullptr) return records;
    for (;;) {
        char separator;
        if (std::fscanf(file, "%c", &separator) != 1) break;
        long long number;
        if (std::fscanf(file, "%lld", &number) != 1) continue;
        records.push_back(number);
    }
    std::fclose(file);
    return records;
}

TEST_F(ScoreFileTest, EveryFileReadsAsTheRecordsAlwaysHave) {
    const char* fixed[] = {
        " 1200 85 3000", "", " ", "\n 5", " 5\n", " -7 +8", " 12abc 4", "+-5 6", " - 5", "x9",
        "  9", " 99999999999999999999999 -99999999999999999999999 9223372036854775807",
        " -9223372036854775808", "\t\r\v\f7", " 0x10", " 1 2\n\n3",
    };
    std::vector<std::string> files(std::begin(fixed), std::end(fixed));
    uint32_t state = 7;
    const char alphabet[] = " 0123456789-+\n\rx\t";
    for (int n = 0; n < 400; ++n) {
        std::string text;
        state = state * 214013u + 2531011u;
        const int length = int((state >> 16) % 40);
        for (int i = 0; i < length; ++i) {
            state = state * 214013u + 2531011u;
            text += alphabet[(state >> 16) % (sizeof alphabet - 1)];
        }
        files.push_back(text);
    }
    for (const std::string& text : files) {
        WriteFile(text);
        std::vector<int64_t> expected = RecordsAsScanfReadThem(text);
        std::sort(expected.begin(), expected.end(), std::greater<int64_t>());
        ASSERT_TRUE(LoadScoreList());
        ASSERT_EQ(scoreList.count, int32_t(expected.size())) << testing::PrintToString(text);
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(scoreList.records[i + 1], expected[i]) << testing::PrintToString(text);
        }
    }
}

TEST_F(ScoreFileTest, AnAbsurdlyLargeFileIsReadFromItsNewestRecordsAndKept) {
    // More than 64 MB of games: the newest part is read, the file is never touched.
    std::string text;
    text.reserve((size_t(65) << 20) + 64);
    while (text.size() < (size_t(65) << 20)) text += " 1";
    text += " 500 700";
    WriteFile(text);
    const auto size = std::filesystem::file_size("Replay/score.rpy");
    ASSERT_TRUE(LoadScoreList());
    EXPECT_EQ(scoreList.records[1], 700);
    EXPECT_EQ(scoreList.records[2], 500);
    const ScoreRank rank = AppendScore(600);
    EXPECT_EQ(rank.rank, 2);  // 700 and the new game itself
    EXPECT_GT(rank.total, 1000000);
    EXPECT_EQ(std::filesystem::file_size("Replay/score.rpy"), size + 4);
}

TEST_F(ScoreFileTest, AMissingFileGivesNoList) {
    scoreList.count = 3;
    EXPECT_FALSE(LoadScoreList());
    EXPECT_EQ(scoreList.count, 0);
}

TEST_F(ScoreFileTest, APipeInTheFilesPlaceStallsNothingAndRecordsNothing) {
    std::filesystem::create_directory("Replay");
    ASSERT_EQ(mkfifo("Replay/score.rpy", 0644), 0);
    EXPECT_FALSE(LoadScoreList());
    const ScoreRank rank = AppendScore(100);
    EXPECT_EQ(rank.rank, 0);
    EXPECT_EQ(rank.total, 0);
}

}  // namespace
