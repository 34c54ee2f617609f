// screen_flow.h -- the screen state machine: which screen runs each frame, the fixed order of a
// game frame, the pause and result overlays, and the ways out of a game.
#pragma once

#include <cstdint>

#include "platform/engine.h"

enum class Screen : int32_t {
    Title = 0,
    Options = 4,
    ReplayList = 5,
    ReplaySave = 6,
    ScoreList = 7,
    KeyConfig = 8,
    Game = 10,
};

enum class PauseState : int32_t { Running = 0, Paused = 1, Resuming = 2, Result = 3 };

// Per-run state of the screen flow (what the game reset puts back is said beside it).
extern Screen screen;
extern int32_t stage;          // 1 during a game, 0 otherwise
extern PauseState pauseState;  // only meaningful on Screen::Game
extern int32_t pauseFade;      // 0..10, the overlay's fade; game reset: 0
extern int32_t pauseTicks;     // frames since the overlay opened
extern int32_t pauseCursor;    // 0..5
extern int32_t pauseBump;      // 0..6, the cursor's bump animation
// The current screen's clock: during a game -64 at the reset, 0..99999 play (input recorded or
// replayed), 100000 and above the end sequence. Game reset: -64.
extern int32_t frameCounter;
extern int32_t switchCountdown;  // the shutter: 150 starts a switch, screens act at 90
extern int32_t lives;            // lives left; -2 outside a game ends the program
extern int32_t resultCode;       // lives when the game ended; negative: lost. Game reset: 0
extern int64_t score;
extern bool replayPlayback;          // a replay is being played back
extern uint8_t inputBits[8];         // this frame's held actions; game reset: all 0
extern int32_t replayFrame;          // index of this frame's replay word; game reset: 0
extern HTEXTURE snapshotTexture;     // the frozen frame behind the overlays
extern HTEXTURE menuChoseTexture;    // the pause and result menu pictures
extern HCHANNEL musicChannel;        // the music playing now
extern float resultRank, resultTotal;  // the result panel's rank line

// Splits a signed 64-bit number into its decimal digits, most significant first; returns the
// count (at least 1). A negative number gives the digits of its magnitude.
int splitDigits(int64_t value, int digits[20]);

// Writes the frame drawn so far to "snapshot.dat" and loads it into snapshotTexture.
void TakeSnapshot();

// Runs the current screen for one frame; called by the render callback inside an open scene.
// Every path ends the scene.
void ScreenFlowFrame();
