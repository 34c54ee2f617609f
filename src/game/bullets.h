// bullets.h -- the enemy-bullet store: 1500 slots of parallel fields, spawning, the per-frame
// step (graze, hit, behaviour, off-screen, pop-in, move), cancelling and clearing.
#pragma once

#include <cstdint>

#include "assets/catalogue.h"

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

// A new bullet, field by field in the order the rules give them.
struct BulletSpawn {
    TextureId texture;
    int regionX, regionY;       // texture region, texels; X is the colour column
    int regionW, regionH;       // the bullet's size
    float x, y;                 // centre, screen pixels
    float scaleX = 1, scaleY = 1;
    float angle;                // degrees, brought into [0, 360)
    float depth;                // sprite depth: which drawing pass steps it
    float speed;                // pixels per frame
    int behaviour;              // 0 none, 1..5 a per-frame script
    int alpha = 255;
};

// Takes the lowest free slot (does nothing when all 1500 are live).
void SpawnBullet(const BulletSpawn& spawn);

// Steps, tests, moves and draws live bullet i; called only by WorldStep.
void BulletStep(int i);

// The hit shape of bullet i for the absolute distances a, b (divided by the scales first).
bool BulletTouches(float a, float b, int i);

// Removes live bullet i with a cancel flash and a score item; chain is true when a cancel
// flash caused it, false for the bomb. Three random draws.
void CancelBullet(int i, bool chain);

// Removes every live bullet with a plain flash and no item (spell-card changes).
void ClearAllBullets();
