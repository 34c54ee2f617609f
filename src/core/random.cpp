// random.cpp -- the game's linear congruential generator.
#include "core/random.h"

namespace {
uint32_t state = 0;
}

void SeedRandom(uint32_t seed) { state = seed; }

int Rand() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

uint32_t RandomState() { return state; }
