// When vsync paces the frames: only at 60 frames a second on a 60 Hz display, and only while the
// frames it paces really come 60 a second.
#include "platform/frame_pacing.h"

#include <gtest/gtest.h>

namespace {

TEST(FramePacingTest, VsyncIsWantedOnlyForSixtyFramesOnASixtyHertzDisplay) {
    const struct {
        int displayHz;
        int fps;
        bool wanted;
    } cases[] = {
        {60, 60, true}, {59, 60, true}, {61, 60, true},  // 59.94 Hz modes report 59 or 60
        {60, 240, false},                                // a replay fast-forwarding
        {60, 30, false},                                 // the boss's defeat in slow motion
        {75, 60, false}, {144, 60, false}, {120, 60, false},
        {0, 60, false},                                  // unknown: Xvfb, some drivers
    };
    for (const auto& c : cases) {
        VsyncJudge judge;
        judge.SetDisplayRate(c.displayHz);
        EXPECT_EQ(judge.Wanted(c.fps), c.wanted) << c.displayHz << " Hz, " << c.fps << " fps";
    }
    VsyncJudge judge;
    judge.SetDisplayRate(60);
    judge.GiveUp();
    EXPECT_FALSE(judge.Wanted(60));
    judge.SetDisplayRate(60);  // a new display does not bring back what failed
    EXPECT_FALSE(judge.Wanted(60));
}

// Feeds frames of the given lengths until the judge decides or the frames run out.
bool Feed(VsyncJudge& judge, const std::vector<double>& frames, double& rate, size_t& judgedAt) {
    for (size_t i = 0; i < frames.size(); ++i) {
        if (!judge.Judge(frames[i], rate)) {
            judgedAt = i + 1;
            return false;
        }
    }
    judgedAt = frames.size();
    return true;
}

TEST(FramePacingTest, FramesThatDoNotComeSixtyASecondGiveVsyncUp) {
    const size_t n = VsyncJudge::kSample;
    std::vector<double> steady(n, 1.0 / 60);
    std::vector<double> ntsc(n, 1.0 / 59.94);
    std::vector<double> noWait(n, 0.0004);
    std::vector<double> halfRate(n, 1.0 / 30);
    // A loading frame of a second and a few late frames among steady ones do not count.
    std::vector<double> withLoading = steady;
    withLoading[3] = 1.0;
    for (size_t i = 10; i < 40; ++i) withLoading[i] = 1.0 / 30;
    // Swaps that wait for every other refresh and sometimes not at all.
    std::vector<double> jumpy(n);
    for (size_t i = 0; i < n; ++i) jumpy[i] = i % 3 == 0 ? 0.001 : 1.0 / 30;

    const struct {
        const char* what;
        const std::vector<double>& frames;
        bool keeps;
        size_t judgedBy;
    } cases[] = {
        {"steady 60", steady, true, n},
        {"59.94 Hz", ntsc, true, n},
        {"a loading frame", withLoading, true, n},
        {"a swap that never waits", noWait, false, VsyncJudge::kQuickSample},
        {"every other refresh", halfRate, false, n},
        {"jumpy", jumpy, false, n},
    };
    for (const auto& c : cases) {
        VsyncJudge judge;
        judge.SetDisplayRate(60);
        double rate = -1;
        size_t judgedAt = 0;
        EXPECT_EQ(Feed(judge, c.frames, rate, judgedAt), c.keeps) << c.what;
        EXPECT_EQ(judgedAt, c.judgedBy) << c.what;
        if (c.keeps) {
            EXPECT_NEAR(rate, 60.0, 0.1) << c.what;
        }
    }
}

}  // namespace
