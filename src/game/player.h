// player.h -- the player: steering, slow mode and focus ring, tilt and picture, the bomb and its
// blast, hits and the delayed life loss.
#pragma once

#include <cstdint>

class Sprite;

// Per-game player state; the game reset puts back the values given.
extern float playerX, playerY;   // centre, screen pixels; reset 320, 412
extern int32_t invulnTimer;      // frames of invulnerability left; reset 0
extern int32_t lifeLossTimer;    // 0 none; 11 after a hit, the life goes when it reaches 1; reset 0
extern int32_t slowGauge;        // 0..10, grows while slow is held, scales the focus ring; reset 0
extern int32_t playerBank;       // -16..16 sideways tilt; reset 0
extern int32_t bombTimer;        // 0 no bomb; 48 at a bomb's start, counts down; reset 0
extern float bombX, bombY;       // centre of the current bomb's blast; reset 0

// Per-run sprites, made by CreatePlayerSprites at the catalogue's loading frame.
extern Sprite* playerSprite;     // texture 19, 0, 0, 32, 48, anchor 16, 24, depth 0.8
extern Sprite* focusSprite;      // texture 23, 0, 0, 64, 64, anchor 32, 32 (the slow-mode ring)

// Catalogue loading: the player and slow-mode sprites (uses textures[]).
void CreatePlayerSprites();

// Per-frame step, called only by WorldStep: input, movement, bomb, drawing.
void PlayerStep();

// A bullet or the boss touched the player: starts the life loss unless invulnerable or a hit
// is already pending.
void PlayerHit();

// Called by the game frame after it counted lifeLossTimer down: takes the life when the timer
// reads 1, shows the lives left, and grants 48 frames of invulnerability.
void ApplyLifeLoss();
