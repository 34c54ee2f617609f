// boss.cpp -- the boss pool, the boss's per-frame step and its movement curve.
#include "game/boss.h"

#include <cstring>

#include "assets/catalogue.h"

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
}

// Being written: the step and the curve.
void BossStep(int) {}
void BossImpulse(float, int, int) {}

int DefeatFrameRate() {
    if (!bossActive || boss.attack != 7) return 0;
    if (boss.age <= 40) return 20;
    return 2 * boss.age - 60;
}
