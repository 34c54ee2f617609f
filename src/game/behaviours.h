// behaviours.h -- the small per-frame scripts of enemy bullets: launch burst, walls, glow,
// flash and fall, wall burst.
#pragma once

// Runs the script of live bullet i (its behaviour field); called only by BulletStep.
void RunBehaviour(int i);

// The launch-burst curve: at age start + 1 the speed jumps by burst, then falls back by
// burst / (end - start) a frame until age end + 1.
void SpeedBurst(float burst, int end, int start, int i);
