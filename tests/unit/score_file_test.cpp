// The score file: the rank rule of the result panel, whole 64-bit records, the list's room and
// a missing Replay folder.
#include "replay/score_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
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
