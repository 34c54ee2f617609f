// title.h -- the title screen: the start-up logo, the loading frame at title frame 120, the
// title picture with its drifting tiles and fading-in music, and the main menu (Start, Replay,
// Options, Quit). The same routine runs for every title-side screen and hands the options,
// key configuration and replay screens to their owners after drawing the title picture.
#pragma once

#include <cstdint>

// Per-run: the cursor of whichever menu is open (main menu 0..3, options 0..4, key
// configuration 0..7, pause menu leaves it alone). Game reset: 0.
extern int32_t menuCursor;
// Per-run: the y of the main menu's highlight; eases towards 296 + 32 * menuCursor.
// Game reset: 0; 296 after the title's loading frame and on every return to the title.
extern int32_t menuBarY;

// Moves menuCursor over `rows` rows on a fresh Down or Up press (Down first), wrapping at both
// ends, with the select sound. Callers read it only while the window has focus.
void MoveMenuCursor(int rows);

// Runs screens 0..9 for one frame, after the clear and before the ScreenSwitch drawing.
void TitleFrame();
