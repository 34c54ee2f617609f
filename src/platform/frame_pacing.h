// frame_pacing.h -- when vsync may pace the game's frames. The game runs at 60 frames a second
// (240 while a replay fast-forwards, slower during the boss's defeat). Where the display refreshes
// at 60 Hz, waiting for its refresh gives that rate without tearing; anywhere else, and whenever
// vsync turns out not to wait (Xvfb, some drivers and compositors) or to miss refreshes, the
// engine's absolute-clock limiter keeps the rate instead.
#pragma once

#include <cstddef>
#include <vector>

class VsyncJudge {
public:
    // The refresh rate of the window's display in Hz, 0 when unknown.
    void SetDisplayRate(int hz);
    bool DisplayAt60Hz() const { return displayAt60Hz_; }
    // Whether vsync should pace a frame the game wants at `fps` frames a second.
    bool Wanted(int fps) const { return fps == 60 && displayAt60Hz_ && !givenUp_; }
    // Vsync could not be turned on, or does not pace at 60: the limiter keeps the rate for the
    // rest of the run.
    void GiveUp() { givenUp_ = true; }
    bool GivenUp() const { return givenUp_; }
    // Starts a fresh sample (vsync just turned on, the display changed).
    void Restart() { intervals_.clear(); }
    // One more frame paced by vsync took `seconds`. False when the frames show that vsync does
    // not pace at 60 a second; `measuredRate` then says what it did pace at.
    bool Judge(double seconds, double& measuredRate);

    static constexpr size_t kQuickSample = 8;  // frames that show a swap that never waits
    static constexpr size_t kSample = 120;     // frames whose median shows a wrong rate

private:
    bool displayAt60Hz_ = false;
    bool givenUp_ = false;
    std::vector<double> intervals_;
};
