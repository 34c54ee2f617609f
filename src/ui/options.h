// options.h -- the options menu (volumes, window mode, the way to the key configuration) and the
// key configuration that rebinds the eight actions. Both are drawn over the dimmed title picture
// and share one horizontal slide.
#pragma once

#include <cstdint>

// Per-run: the panels' x offset. 0 when the options are entered fresh, 300 with the options
// panel at rest, 900 with the key list in place.
extern int32_t menuSlide;
// Per-run: the key configuration waits for the new key of the row under menuCursor.
extern bool waitingForKey;

// Screen::Options, one frame (called by the title routine after the title picture).
void OptionsFrame();
// Screen::KeyConfig, one frame.
void KeyConfigFrame();
