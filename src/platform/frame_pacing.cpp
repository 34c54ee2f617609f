// frame_pacing.cpp -- judging whether vsync paces the frames at 60 a second, and which frames
// are drawn.
#include "platform/frame_pacing.h"

#include <algorithm>

void VsyncJudge::SetDisplayRate(int hz) {
    displayAt60Hz_ = hz >= 59 && hz <= 61;
    intervals_.clear();
}

bool VsyncJudge::Judge(double seconds, double& measuredRate) {
    intervals_.push_back(seconds);
    double typical = 0;
    double longest = *std::max_element(intervals_.begin(), intervals_.end());
    if (intervals_.size() == kQuickSample && longest < 0.008) {
        // A swap that does not wait shows within a few frames, before the game has run fast for
        // long.
        typical = longest;
    } else {
        if (intervals_.size() < kSample) return true;
        // The median: a long loading frame does not count against the display, a swap that
        // skips refreshes does.
        std::nth_element(intervals_.begin(), intervals_.begin() + kSample / 2, intervals_.end());
        typical = intervals_[kSample / 2];
    }
    intervals_.clear();
    measuredRate = typical > 0 ? 1.0 / typical : 0.0;
    return measuredRate >= 56.0 && measuredRate <= 64.0;
}

bool PictureGate::Draw(double now, double due, int fps) {
    if (fps <= kPictureRate) {
        lastDrawn_ = now;
        framesSinceDrawn_ = 0;
        return true;
    }
    if (++framesSinceDrawn_ < fps / kPictureRate) return false;
    const double frame = 1.0 / fps;
    const double since = now - lastDrawn_;
    // Half a frame of slack: frames due every 1/240 s reach 1/60 s after four of them, give or
    // take the clock's jitter.
    const bool pictureDue = since + frame / 2 >= 1.0 / kPictureRate;
    const bool onTime = now - due < frame;
    if ((pictureDue && onTime) || since >= kLongestHold) {
        lastDrawn_ = now;
        framesSinceDrawn_ = 0;
        return true;
    }
    return false;
}
