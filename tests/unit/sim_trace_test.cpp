// sim_trace_test.cpp -- the trace line of mirrorfall-sim, to the character: field order, float
// printing and the FNV-1a hashes of the live bullets, effects and items.
#include <gtest/gtest.h>

#include "app/screen_flow.h"
#include "core/random.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/player.h"
#include "sim_driver.h"
#include "support/headless.h"

namespace {

class SimTraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseHeadlessEngine();
        SimStartUp();
        FreeAllBullets();
        FreeAllEffects();
        FreeAllItems();
        run.frameCounter = 12;
        record.replayFrame = 13;
        SeedRandom(123456789u);
        run.lives = 3;
        run.score = 4294967301LL;
        playerX = 320.1f;
        playerY = 400.25f;
        bombTimer = 40;
        invulnTimer = 7;
        lifeLossTimer = 0;
        bossActive = 1;
        boss.attack = 2;
        boss.age = 30;
        boss.x = 321.1f;
        boss.y = -0.3f;
        attackTimer = 900;
    }
};

TEST_F(SimTraceTest, NothingLiveHashesToTheOffsetBasis) {
    EXPECT_EQ(SimTraceLine(),
              "f=12 r=13 rng=123456789 lives=3 score=4294967301 px=320.100006 py=400.25 bomb=40 "
              "inv=7 llt=0 boss=1 atk=2 age=30 bx=321.100006 by=-0.300000012 t=900 nb=0 ne=0 "
              "ni=0 hb=811c9dc5 he=811c9dc5 hi=811c9dc5");
}

TEST_F(SimTraceTest, LiveSlotsAreCountedAndHashedLittleEndian) {
    bulletFree[5] = 0;
    bulletX[5] = 100.5f;
    bulletY[5] = 200.25f;
    bulletAngle[5] = 90.0f;
    bulletSpeed[5] = 2.5f;
    effectFree[0] = 0;
    effectKind[0] = 3;
    effectX[0] = 10.0f;
    effectY[0] = 20.0f;
    effectAge[0] = 4;
    itemFree[kItemSlots - 1] = 0;
    itemX[kItemSlots - 1] = 1.5f;
    itemY[kItemSlots - 1] = 2.5f;
    itemType[kItemSlots - 1] = 4;
    EXPECT_EQ(SimTraceLine(),
              "f=12 r=13 rng=123456789 lives=3 score=4294967301 px=320.100006 py=400.25 bomb=40 "
              "inv=7 llt=0 boss=1 atk=2 age=30 bx=321.100006 by=-0.300000012 t=900 nb=1 ne=1 "
              "ni=1 hb=30e1c4fc he=69f662c2 hi=7806db8c");
}

}  // namespace
