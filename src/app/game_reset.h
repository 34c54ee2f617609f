// game_reset.h -- what every way into a game goes through: the game reset (every per-game value
// back to its start, the generator seeded) and the new-game loading frame.
#pragma once

void GameReset();
// Runs the game reset, sets what only a new game sets, and shows one black frame.
void NewGameLoadingFrame();
