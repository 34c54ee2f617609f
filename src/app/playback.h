// playback.h -- a loaded replay played to its end on whichever engine runs: headless in
// mirrorfall-sim and its tests, in the real window for `mirrorfall --timedemo`. Both must reach
// the same end, so both go through here.
#pragma once

#include <cstdint>
#include <functional>

// Where a game played to its end stopped.
struct PlaybackEnd {
    bool endedByItself = false;  // lost, or the defeat's end sequence finished
    bool ranOut = false;         // playback reached the end of the recorded frames
    bool stopped = false;        // runFrame asked to stop first (the window was closed)
    int32_t result = 0;          // resultCode when it ended; lives after the last recorded frame
    int64_t score = 0;           // likewise
    int32_t framesOfPlay = 0;    // replayFrame at that point
    long framesRun = 0;          // game frames run, the stopping one included
};

constexpr long kPlaybackFrameCap = 200000;

// What starting a game from a menu puts in order before the loading frame: no overlay left
// open from an earlier game, no shutter running, the game screen.
void PrepareGameStart();

// Starts the loaded record's game (after LoadReplayFile) as the replay list does: the game
// start above, playback on, the new-game loading frame (which seeds the generator with the
// loaded seed).
void StartPlayback();

// Runs one frame through runFrame (the engine's frame and render callbacks). With `immortal`,
// a life loss taken this frame does everything but lower `lives`. Returns what runFrame
// returns (false: stop); *running tells whether the game still runs (pauseState Running on the
// game screen).
bool PlaybackFrame(bool immortal, const std::function<bool()>& runFrame, bool* running);

// Starts the loaded record's game and plays it until the game stops running, runFrame asks to
// stop or kPlaybackFrameCap frames have run; afterFrame (when given) runs after every frame.
PlaybackEnd PlayBack(bool immortal, const std::function<bool()>& runFrame,
                     const std::function<void()>& afterFrame);
