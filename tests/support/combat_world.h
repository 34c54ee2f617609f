// combat_world.h -- test set-up for the battle, over the headless engine: the stores made as the
// catalogue's loading frame makes them (on no textures), and a game started through the real
// game reset.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "platform/headless_engine.h"

// A new game as the loading frame leaves it (frameCounter -64, five lives, empty stores), with
// the generator seeded with `seed`; actions come from the keys (not a replay).
HeadlessEngine& StartBattle(uint32_t seed);

// A quiet battle already under way: as StartBattle(12345), then frameCounter 100 and inputs
// taken from inputBits as in playback, with a replay that never ends.
HeadlessEngine& ResetCombatWorld();

// Holds exactly these actions (0 up, 1 down, 2 left, 3 right, 4 slow, 5 bomb) this frame.
void HoldActions(std::initializer_list<int> actions);

// Runs WorldStep once inside a scene, as the game frame does, after advancing frameCounter.
void RunWorldFrame();

// One running game frame without the screen flow: the life loss, the clock, the stage script
// and the world step. Cues raised by the previous frame are cleared first.
void RunBattleFrame();

// The number of live enemy bullets.
int LiveBullets();
