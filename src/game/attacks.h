// attacks.h -- the boss's choreography: for each of its six attacks and its defeat, where it
// moves, which animation row it shows, which bullets and effects it fires, and when the attack
// ends. Every script is a fixed timeline of the boss's age; its random numbers come from Rand()
// in a fixed order, because replays must reproduce every bullet.
#pragma once

// Per-game: the spacing of the second spell card's waves, 60 down to 14 frames.
extern float waveInterval;

// Runs the current attack's script for one frame; called only by BossStep, with the boss's
// attack (1..6, 7 the defeat sequence).
void AttackScript(int attack);

// Game reset: the scripts' own values back to 0.
void ResetAttackState();
