// boss.h -- the boss: its pool slot and fields, the attack timer, the screen shake, the boss's
// per-frame step (BossStep), the speed curve the attack scripts move it with (BossImpulse).
#pragma once

#include <cstdint>

#include "gfx/sprite.h"

constexpr int kBossSlotCount = 101;
constexpr int kBossSlot = 100;  // the boss lives in the last slot; 0..99 are never filled

// One slot of the boss pool. Per-game: the game reset zeroes every field of every slot,
// position included, and marks the slot free.
struct BossSlot {
    uint8_t freeFlag;   // 1 = no boss
    float x, y;         // the anchor, screen pixels; 320, 128 at the arrival
    float heading;      // direction of travel, degrees clockwise from straight up
    float speed;        // pixels per frame along heading
    int32_t age;        // frames since the current attack began
    int32_t attack;     // current attack, 1..6, 7 = the defeat sequence
    float life;         // time bar of the current attack, 0..maxLife
    float maxLife;      // the full bar, 1.0
    int32_t alpha;      // opacity of the tint
    int32_t frameWidth, frameHeight;  // one animation frame on the boss sheet: 64 x 80
    int32_t sheetRow;   // top of the animation row: 0 idle, 160 casting
    float scaleX, scaleY;
    float spin;         // drawing rotation in degrees; 360, never changed
    float lean;         // sideways lean counter, -16..16
    float moveStart;    // age at which the current movement impulse was set up
};

// Per-game: the pool's fields; slot kBossSlot is the boss.
extern BossSlot bossSlots[kBossSlotCount];
// Per-run: one sprite per slot, made at loading (CreateBossPool).
extern Sprite* bossSprites[kBossSlotCount];
// The boss itself: bossSlots[kBossSlot].
extern BossSlot& boss;

// Per-game boss globals.
extern uint8_t bossActive;     // 1 from the boss's arrival until its defeat
extern int32_t attackTimer;    // frames left in the current attack
extern int32_t attackLength;   // the current attack's full length, the scale of the life bar
extern float shakeLevel;       // non-zero only during the defeat: the background shakes
extern float shakeX, shakeY;   // shake offsets in pixels, 0..23.9

// Loading (title frame 120): one sprite per slot with no texture and an empty region; every
// slot free.
void CreateBossPool();
// Marks every slot of the pool free.
void FreeAllBossSlots();
// Game reset: every field of every slot zeroed and the slot freed, bossActive, the attack
// timer and length, the shake and the attack scripts' own values back to 0.
void ResetBossState();

// The boss's per-frame step, called by WorldStep while bossActive, with the boss's attack:
// runs the attack script, moves, leans, touches the player, tints, animates and draws.
void BossStep(int attack);
// Shapes the boss's speed over a span of its age; the attack scripts call it every frame of a
// movement. The push comes when age is startAge + 1; afterwards the speed falls by
// impulse / (endAge - startAge) a frame, and anything at or below 0.2 is 0.
void BossImpulse(float impulse, int endAge, int startAge);

// The render callback's frame rate during the defeat sequence: 20 while the boss's age is at
// most 40, then 2 * age - 60; 0 when the defeat is not running.
int DefeatFrameRate();
