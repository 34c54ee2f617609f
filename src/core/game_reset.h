// game_reset.h -- what every way into a game goes through: the game reset (every per-game value
// back to its start, the generator seeded), the new-game loading frame, and the ScreenSwitch
// shutter that covers each change of screen.
#pragma once

#include <cstdint>

// Per-game: the seed of the game in progress; from the clock unless a replay plays.
extern int32_t randomSeed;

void GameReset();
// Runs the game reset, sets what only a new game sets, and shows one black frame.
void NewGameLoadingFrame();
// Draws the shutters and the loading label while switchCountdown > 0, then counts it down.
void DrawScreenSwitch();
