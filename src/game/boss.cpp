// boss.cpp -- the boss pool, the boss's per-frame step and its movement curve.
#include "game/boss.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "assets/catalogue.h"
#include "core/state.h"
#include "game/attacks.h"
#include "game/player.h"
#include "game/world.h"

BossSlot bossSlots[kBossSlotCount] = {};
Sprite* bossSprites[kBossSlotCount] = {};
BossSlot& boss = bossSlots[kBossSlot];

uint8_t bossActive = 0;
int32_t attackTimer = 0;
int32_t attackLength = 0;
float shakeLevel = 0;
float shakeX = 0;
float shakeY = 0;

void CreateBossPool() {
    for (int i = 0; i < kBossSlotCount; i++) {
        if (bossSprites[i] == nullptr) bossSprites[i] = new Sprite(0, 0, 0, 0, 0);
        bossSlots[i].freeFlag = 1;
    }
}

void FreeAllBossSlots() {
    for (BossSlot& slot : bossSlots) slot.freeFlag = 1;
}

void ResetBossState() {
    std::memset(bossSlots, 0, sizeof bossSlots);
    FreeAllBossSlots();
    bossActive = 0;
    attackTimer = 0;
    attackLength = 0;
    shakeLevel = 0;
    shakeX = 0;
    shakeY = 0;
    ResetAttackState();
}

namespace {

// Whole degrees wrap into 0..359 and the fraction stays; a negative heading is first taken
// from 360.
void NormaliseHeading() {
    if (boss.heading < 0) boss.heading = 360 - std::fabs(boss.heading);
    int t = static_cast<int>(boss.heading);
    boss.heading = (boss.heading + static_cast<float>(t % 360)) - static_cast<float>(t);
    // Only a heading below -360 is still negative here; no script sets one, but the direction
    // tables must never be indexed below 0.
    while (boss.heading < 0) boss.heading += 360;
}

uint32_t BossTint() {
    uint32_t a = static_cast<uint32_t>(boss.alpha) << 24;
    uint32_t colour = a + 0xFFFFFF;
    // The first and last moments of an attack: red flickering to white over 8 frames.
    if (boss.life < boss.maxLife / 8) {
        uint32_t m = static_cast<uint32_t>((boss.age % 8) * 32);
        colour = a + 0xFF0000 + m * 256 + m;
    }
    // An empty bar: a grey flicker.
    if (boss.life <= 0) {
        uint32_t g = static_cast<uint32_t>((boss.age % 10) * 25.5f);
        colour = a + g * 65536 + g * 256 + g;
    }
    return colour;
}

void SetAnimationFrame(Sprite* sprite) {
    int lean = static_cast<int>(boss.lean);
    float frameX;
    float row = static_cast<float>(boss.sheetRow);
    if (lean == 0 && boss.sheetRow > 120) {
        // Casting: frames 3, 2, 1, 0, 1, 2, 3, each held 4 frames.
        frameX = static_cast<float>(std::abs((run.frameCounter % 28) / 4 - 3) * boss.frameWidth);
    } else if (lean == 0) {
        frameX = static_cast<float>((run.frameCounter % 32) / 8 * boss.frameWidth);
    } else {
        int strength = std::abs(lean);
        frameX = static_cast<float>(strength == 16 ? 3 * boss.frameWidth
                                                   : strength / 4 * boss.frameWidth);
        row = static_cast<float>(boss.frameHeight);
    }
    sprite->SetRegion(frameX, row, static_cast<float>(boss.frameWidth),
                      static_cast<float>(boss.frameHeight));
}

}  // namespace

void BossStep(int attack) {
    NormaliseHeading();
    AttackScript(attack);
    boss.age += 1;
    // The script may have turned the boss past a whole circle.
    NormaliseHeading();

    int k = static_cast<int>(boss.heading * 10);
    boss.x += boss.speed * SinTable[k];
    boss.y += boss.speed * NegCosTable[k];

    float s = SinTable[k];
    if (s > 0 && boss.speed > 0 && boss.lean < 16) boss.lean += 1;
    if (s < 0 && boss.speed > 0 && boss.lean > -16) boss.lean -= 1;
    if (s == 0 || boss.speed == 0) boss.lean = 0;

    // Touching the boss costs a life like a bullet does (about 15.8 pixels apart).
    float dx = 2 * std::fabs(boss.x - playerX);
    float dy = 2 * std::fabs(boss.y - playerY);
    if (dx * dx + dy * dy <= 1000 && invulnTimer == 0 && lifeLossTimer == 0) PlayerHit();

    Sprite* sprite = bossSprites[kBossSlot];
    if (sprite == nullptr) return;
    sprite->SetTint(BossTint());
    SetAnimationFrame(sprite);
    // Facing left, the picture is mirrored.
    float scaleX = boss.heading > 180 ? -boss.scaleX : boss.scaleX;
    sprite->DrawTransformed(boss.x, boss.y, boss.spin / 57.3f, scaleX, boss.scaleY);
}

void BossImpulse(float impulse, int endAge, int startAge) {
    int c = boss.age;
    if (c > endAge + 1) return;
    if (c == startAge + 1) {
        boss.speed += impulse;
    } else {
        boss.speed -= impulse / static_cast<float>(endAge - startAge);
    }
    if (boss.speed <= 0.2f) boss.speed = 0;
}

int DefeatFrameRate() {
    if (!bossActive || boss.attack != 7) return 0;
    if (boss.age <= 40) return 20;
    return 2 * boss.age - 60;
}
