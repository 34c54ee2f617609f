// frame_pacing.h -- when vsync may pace the game's frames, and which frames are drawn. The game
// runs at 60 frames a second (240 while a replay fast-forwards, slower during the boss's defeat).
// Where the display refreshes at 60 Hz, waiting for its refresh gives that rate without tearing;
// anywhere else, and whenever vsync turns out not to wait (Xvfb, some drivers and compositors) or
// to miss refreshes, the engine's absolute-clock limiter keeps the rate instead. Faster than 60,
// every frame of the game still runs, but only the pictures a player can see are drawn.
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

// Which of the game's frames are drawn and shown. Up to kPictureRate frames a second, every one.
// Faster than that (a replay fast-forwarded at 240), the game's frames all run at their own rate
// but a picture is drawn only when a display would show it: one per 1/kPictureRate seconds, and
// then only while the game keeps to its schedule, so that drawing, the slow part on a machine
// that draws in software, never holds the game back. A game that has fallen behind still shows
// a picture at least every kLongestHold seconds. Each picture stands for at least fps /
// kPictureRate frames of the game, so fast-forward is that much faster than plain play even on a
// machine that can draw only a few pictures a second.
class PictureGate {
public:
    static constexpr double kPictureRate = 60;
    static constexpr double kLongestHold = 0.1;

    // Whether the frame that starts at `now` is drawn, for a game at `fps` frames a second whose
    // frame was due at `due` (seconds on one steady clock).
    bool Draw(double now, double due, int fps);

private:
    double lastDrawn_ = -1e9;
    int framesSinceDrawn_ = 0;
};
