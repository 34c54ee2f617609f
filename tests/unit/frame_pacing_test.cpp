// When vsync paces the frames: only at 60 frames a second on a 60 Hz display, and only while the
// frames it paces really come 60 a second. Which frames are drawn: all of them up to 60 a second;
// above, as many as a display shows, without holding the game back.
#include "platform/frame_pacing.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// Ten seconds of a machine whose frames cost `update` seconds of the game's own work and `draw`
// more when their picture is drawn, paced as the engine paces them: each frame is due 1/fps after
// the one before and starts when it is due or when the one before ended, whichever is later, and
// a schedule more than 0.1 s behind starts afresh.
struct Paced {
    double gameRate;     // frames of the game a second
    double pictureRate;  // pictures drawn a second
    double closest;      // the shortest and longest time between two pictures
    double longest;
};

Paced Simulate(int fps, double update, double draw) {
    PictureGate gate;
    const double seconds = 10;
    double now = 0, due = 0, lastPicture = -1;
    long frames = 0, pictures = 0;
    Paced run{0, 0, 1e9, 0};
    while (now < seconds) {
        const double start = std::max(now, due);
        const bool drawn = gate.Draw(start, due, fps);
        if (drawn) {
            if (lastPicture >= 0) {
                run.closest = std::min(run.closest, start - lastPicture);
                run.longest = std::max(run.longest, start - lastPicture);
            }
            lastPicture = start;
            ++pictures;
        }
        now = start + update + (drawn ? draw : 0);
        ++frames;
        due += 1.0 / fps;
        if (now - due > 0.1) due = now;
    }
    run.gameRate = double(frames) / now;
    run.pictureRate = double(pictures) / now;
    return run;
}

TEST(FramePacingTest, AtSixtyFramesASecondOrLessEveryFrameIsDrawn) {
    for (int fps : {60, 45, 20, 2}) {
        Paced run = Simulate(fps, 0.002, 0.010);
        EXPECT_NEAR(run.gameRate, fps, 0.5) << fps;
        EXPECT_NEAR(run.pictureRate, run.gameRate, 1e-9) << fps;
    }
}

// A replay fast-forwarded at 240 frames a second plays four times as fast wherever the game's
// own frames fit in 1/240 s, however slowly the machine draws (and four times as fast as plain
// play where they do not); no more pictures are drawn than a display shows.
TEST(FramePacingTest, FastForwardKeepsTheGamesRateAndDrawsWhatADisplayShows) {
    const struct {
        const char* machine;
        double update, draw;
        double leastGameRate;
        double leastPictureRate;
    } cases[] = {
        {"fast", 0.0005, 0.002, 239, 59},
        {"drawing in software", 0.0015, 0.012, 239, 30},
        {"drawing slower than a display's refresh", 0.0015, 0.025, 238, 15},
        {"drawing at 25 frames a second", 0.002, 0.04, 238, 10},
        {"drawing at ten frames a second", 0.001, 0.1, 35, 8},
    };
    for (const auto& c : cases) {
        Paced run = Simulate(240, c.update, c.draw);
        const Paced plain = Simulate(60, c.update, c.draw);
        EXPECT_GE(run.gameRate, c.leastGameRate) << c.machine;
        EXPECT_GE(run.gameRate, std::min(238.0, 3.6 * plain.gameRate)) << c.machine;
        EXPECT_LE(run.gameRate, 240.5) << c.machine;
        EXPECT_GE(run.pictureRate, c.leastPictureRate) << c.machine;
        EXPECT_LE(run.pictureRate, PictureGate::kPictureRate + 0.5) << c.machine;
        EXPECT_GE(run.closest, 1.0 / PictureGate::kPictureRate - 0.5 / 240 - 1e-9) << c.machine;
    }
}

// Where even the game's own frames take longer than 1/240 s, the game runs as fast as it can and
// a picture still comes at least every tenth of a second.
TEST(FramePacingTest, AGameThatFallsBehindStillShowsTenPicturesASecond) {
    Paced run = Simulate(240, 0.006, 0.015);
    EXPECT_LE(run.longest, PictureGate::kLongestHold + 0.006 + 1e-9);
    EXPECT_GE(run.pictureRate, 9);
    EXPECT_GE(run.gameRate, 130);
}

}  // namespace
