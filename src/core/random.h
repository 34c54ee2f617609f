// random.h -- the game's one random generator. Every random number of a game comes from here,
// in the order the rules draw them, so a replay's seed reproduces the game exactly. Draw one
// number per statement into a named local: C++ does not fix the order of operands.
#pragma once

#include <cstdint>

// Sets the generator's state to the seed (the game reset does this, nothing else does).
void SeedRandom(uint32_t seed);
// state = state * 214013 + 2531011 (mod 2^32); returns (state >> 16) & 0x7FFF, 0..32767.
int Rand();
// The current state, for traces and tests.
uint32_t RandomState();
