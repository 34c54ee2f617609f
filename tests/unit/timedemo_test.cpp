// The timedemo's command line and its frame-time summary.
#include "app/timedemo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TimedemoArgsTest, ReadsTheOptionsInAnyOrderAndRefusesTheRest) {
    struct Case {
        std::vector<std::string> args;
        bool timedemo;
        std::string error;  // empty: understood
        std::string file, csv;
        bool immortal;
    } cases[] = {
        {{}, false, "", "", "", false},
        {{"--timedemo", "a.rpy"}, true, "", "a.rpy", "", false},
        {{"--immortal", "--timedemo", "a.rpy", "--timedemo-csv", "t.csv"}, true, "", "a.rpy",
         "t.csv", true},
        {{"--timedemo"}, true, "--timedemo needs a file name", "", "", false},
        {{"--timedemo", "a.rpy", "--timedemo-csv"}, true, "--timedemo-csv needs a file name",
         "a.rpy", "", false},
        {{"--immortal"}, true, "--immortal and --timedemo-csv go with --timedemo REPLAY_FILE", "",
         "", true},
        {{"--timedemo", "a.rpy", "--fast"}, true, "unknown option --fast", "a.rpy", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        TimedemoOptions options;
        std::string error;
        EXPECT_EQ(ParseTimedemoArgs(c.args, &options, &error), c.timedemo);
        EXPECT_EQ(error, c.error);
        if (!c.error.empty()) continue;
        EXPECT_EQ(options.replayFile, c.file);
        EXPECT_EQ(options.csvFile, c.csv);
        EXPECT_EQ(options.immortal, c.immortal);
    }
}

TEST(FrameTimeSummaryTest, WorstAndNearestRankPercentile) {
    // 200 frames: 197 of 10 ms, then 20, 30 and 40 ms. The 99th percentile is the 198th
    // smallest, 20 ms.
    std::vector<double> times(197, 0.010);
    times.insert(times.begin() + 50, {0.040, 0.020, 0.030});
    FrameTimeSummary s = SummariseFrameTimes(times);
    EXPECT_DOUBLE_EQ(s.worst, 0.040);
    EXPECT_DOUBLE_EQ(s.p99, 0.020);
    EXPECT_NEAR(s.total, 197 * 0.010 + 0.090, 1e-12);

    FrameTimeSummary one = SummariseFrameTimes({0.005});
    EXPECT_DOUBLE_EQ(one.p99, 0.005);
    EXPECT_DOUBLE_EQ(one.worst, 0.005);
    FrameTimeSummary none = SummariseFrameTimes({});
    EXPECT_EQ(none.total, 0);
}

}  // namespace
