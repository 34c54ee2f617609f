// combat_world.h -- test set-up for the battle: the headless engine, the direction tables, every
// pool's sprites (on no texture) and a quiet start: empty stores, the player at its start, no
// boss, a fixed seed, play under way (frameCounter 100) with inputs taken from inputBits.
#pragma once

#include <initializer_list>

#include "platform/headless_engine.h"

// Puts the whole battle back to the quiet start described above and returns the engine.
HeadlessEngine& ResetCombatWorld();

// Holds exactly these actions (0 up, 1 down, 2 left, 3 right, 4 slow, 5 bomb) this frame.
void HoldActions(std::initializer_list<int> actions);

// Runs WorldStep once inside a scene, as the game frame does, after advancing frameCounter.
void RunWorldFrame();
