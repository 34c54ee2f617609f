// hud.h -- the head-up display: frame rate, side-panel pictures, bomb and life emblems, lives,
// score and, while the boss is present, its marker, the attack timer and the spell card's
// title with its entrance animation. It only reads game state.
#pragma once

#include "gfx/sprite.h"

constexpr int kHudDigitCount = 5;

// Per-run: the frame-rate row and the attack-timer row (texture 8, anchor 7, 12, depth 0.1).
extern Sprite* fpsDigits[kHudDigitCount];
extern Sprite* timerDigits[kHudDigitCount];

// Loading (title frame 120): the two rows of digit sprites.
void CreateHudSprites();
// Once per frame of the game screen after WorldStep, and under the pause and result overlays;
// must run inside an open scene.
void DrawHud();

// The spell card's title picture of an attack: rows of "Graphics/scname.png", 25 texels high at
// (0, y), `width` wide. False for the ordinary attacks.
bool SpellCardTitle(int attack, float* y, float* width);
