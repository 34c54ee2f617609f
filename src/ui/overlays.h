// overlays.h -- the game screen's pictures around the battle: the fade-in before play, the
// frame with the head-up display, and the pause and result overlays drawn over the frozen
// frame. Drawing only: the screen flow decides and passes in what to show.
#pragma once

#include <cstdint>

#include "platform/engine.h"

// The play field fades in from black over the 64 frames before play (frameCounter -64..-1).
void DrawFadeIn(int32_t clock);
// The frame picture round the play field, then the head-up display.
void DrawFrameAndHud();
// The same over an overlay, with the overlay sprite's anchor and depth put back first.
void DrawFrameAndHudOverFrozenFrame();
// Draws what the first frames of a game draw (the fade-in within the frame's window, the frame
// and the head-up display), then clears to black again: called by the game's loading frame, before its shutter. A renderer
// that makes its drawing code on first use (Mesa's software renderer compiles one program per
// kind of draw) does that here rather than in the first frames of play. Leaves the overlay
// sprite as it found it. Nothing before the frame picture is loaded (the start-up's loading
// frame).
void WarmUpGameDrawing();
// The frozen frame, dimmed a step per fade step (0..10).
void DrawFrozenFrame(HTEXTURE snapshot, int32_t fade);

// Keeps the drawing that follows to the screen columns the frame picture leaves to be seen:
// the frame is drawn over the battle and hides the rest anyway, and a software renderer pays
// for every pixel. Gfx_SetClipping(0, 0, 0, 0) lets the whole screen be drawn again. Nothing
// to do for an engine that draws nothing.
void ClipToFrameWindow();

// The columns [left, right) of a picture of width x height pixels, rows `pitch` pixels apart,
// that it does not hide: in every row, each pixel left of `left` and from `right` on is opaque.
struct SeenColumns {
    int left;
    int right;
};
SeenColumns FrameSeenColumns(const uint32_t* pixels, int pitch, int width, int height);

// What the pause menu shows this frame.
struct PauseMenuView {
    HTEXTURE pictures;     // the pause and result menu pictures
    int32_t fade;          // 0..10
    int32_t ticks;         // frames since it opened: the sway and the highlight's pulse
    int32_t cursor;        // 0..5
    int32_t bump;          // 0..6, the cursor's bump
    bool endedReplay;      // a replay at its end: another colour and title, no resuming
};
constexpr int kPauseItems = 6;
void DrawPauseMenu(const PauseMenuView& view);

// The result panel at clock value `clock` (from 100050): the three headings from 100060, the
// score, its total and the rank line (rank of the game among outOf scores) from 100070.
void DrawResultPanel(int32_t clock, int64_t gameScore, float rank, float outOf);
