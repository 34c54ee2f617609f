// screen_flow.h -- the screen state machine: which screen runs each frame, the fixed order of a
// game frame, the pause and result overlays, and the ways out of a game.
#pragma once

#include <cstdint>

#include "platform/engine.h"

// The game screen's overlays: their animation and the pictures they show. Per-run.
struct PauseOverlay {
    int32_t pauseFade = 0;             // 0..10, the overlay's fade; game reset: 0
    int32_t pauseTicks = 0;            // frames since the overlay opened
    int32_t pauseCursor = 0;           // the pause menu's row, 0..5
    int32_t pauseBump = 0;             // 0..6, the cursor's bump animation
    HTEXTURE snapshotTexture = 0;      // the frozen frame behind the overlays
    HTEXTURE menuChoseTexture = 0;     // the pause and result menu pictures
    float resultRank = 0;              // the result panel's rank line: rank of the game just played
    float resultTotal = 0;             //   among this many recorded scores
};
extern PauseOverlay overlay;

// Writes the frame drawn so far to "snapshot.dat" and loads it into overlay.snapshotTexture.
void TakeSnapshot();

// Runs the current screen for one frame; called by the render callback inside an open scene.
// Every path ends the scene.
void ScreenFlowFrame();
