// bullets.h -- the enemy-bullet store: 1500 slots of parallel fields, spawning, the per-frame
// step (graze, hit, behaviour, off-screen, pop-in, move), cancelling and clearing.
#pragma once

#include <cstdint>

class Sprite;

constexpr int kBulletSlots = 1500;

// Per-game store (the game reset frees every slot; free slots keep stale values).
extern uint8_t bulletFree[kBulletSlots];       // 1 = slot free
extern Sprite* bulletSprite[kBulletSlots];     // per-run, made by CreateBulletPool
extern float bulletX[kBulletSlots];            // centre, screen pixels
extern float bulletY[kBulletSlots];
extern float bulletAngle[kBulletSlots];        // degrees, kept in [0, 360)
extern float bulletSpeed[kBulletSlots];        // pixels per frame
extern float bulletScaleX[kBulletSlots];       // drawing scale; divides hit-test distances
extern float bulletScaleY[kBulletSlots];
extern int32_t bulletRegionX[kBulletSlots];    // texture region; X is the colour column
extern int32_t bulletRegionY[kBulletSlots];
extern int32_t bulletRegionW[kBulletSlots];    // the bullet's size
extern int32_t bulletRegionH[kBulletSlots];
extern int32_t spriteCode[kBulletSlots];       // texture * 1000 + regionY: radius, spin, blend
extern int32_t behaviour[kBulletSlots];        // 0 none, 1..5 a per-frame script
extern int32_t bulletAlpha[kBulletSlots];      // 0..255
extern int32_t bulletAge[kBulletSlots];        // 1 in the first step
extern uint8_t grazed[kBulletSlots];           // 1 once grazed

// Catalogue loading: one empty sprite per slot, every slot free.
void CreateBulletPool();
// Game reset and leaving a game: every slot free.
void FreeAllBullets();

// Brings an angle into [0, 360): whole degrees wrap, the fraction stays.
float NormaliseAngle(float angle);

// Takes the lowest free slot (does nothing when all 1500 are live). texture is an index into
// textures[]; the region is in texels; angle in degrees.
void SpawnBullet(int texture, int regionX, int regionY, int regionW, int regionH, float x,
                 float y, float scaleX, float scaleY, float angle, float depth, float speed,
                 int behaviour, int alpha);

// Steps, tests, moves and draws live bullet i; called only by WorldStep.
void BulletStep(int i);

// The hit shape of bullet i for the absolute distances a, b (divided by the scales first).
bool BulletTouches(float a, float b, int i);

// Removes live bullet i with a cancel flash and a score item; chain is true when a cancel
// flash caused it, false for the bomb. Three random draws.
void CancelBullet(int i, bool chain);

// Removes every live bullet with a plain flash and no item (spell-card changes).
void ClearAllBullets();
