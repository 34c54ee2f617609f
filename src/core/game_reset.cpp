// game_reset.cpp -- game reset, new-game loading frame, ScreenSwitch.
#include "core/game_reset.h"

int32_t randomSeed = 0;

// Filled in with the screen flow.
void GameReset() {}
void NewGameLoadingFrame() {}
void DrawScreenSwitch() {}
