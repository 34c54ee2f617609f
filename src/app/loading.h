// loading.h -- the title's long loading frame: everything the game draws or plays, and every
// store of the battle, made once so that nothing is read from disk during play but the
// snapshot and the stage music.
#pragma once

// Title frame 120: the catalogue's textures and streams, the player's and the head-up display's
// sprites, the direction tables, the pools (bullets, boss, effects, items, panels), then the
// title's own pictures and music. Safe to run again (tests and tools do): the second run
// replaces what the first made.
void TitleLoadingFrame();
