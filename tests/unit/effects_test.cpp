// effects_test.cpp -- effect kinds: the spark's 33 steps, cancel-flash timing and its chain, the
// charge emitter's counts and draws, the lives display, the tint's borrow, the time ring.
#include <gtest/gtest.h>

#include <cmath>

#include "app/callbacks.h"
#include "core/state.h"
#include "input/keys.h"
#include "core/random.h"
#include "app/screen_flow.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "gfx/sprite.h"
#include "support/combat_world.h"

namespace {

void StepEffect(int i) {
    hge->Gfx_BeginScene();
    EffectStep(i);
    hge->Gfx_EndScene();
}

int Live(int kind) {
    int n = 0;
    for (int i = 0; i < kEffectSlots; i++) n += effectFree[i] == 0 && effectKind[i] == kind;
    return n;
}

// Steps effect i until it is freed; returns the number of steps.
int StepsToFree(int i, int limit = 1000) {
    int steps = 0;
    while (effectFree[i] == 0 && steps < limit) {
        StepEffect(i);
        steps++;
    }
    return steps;
}

TEST(Effects, SparkShrinksForThirtyThreeSteps) {
    ResetCombatWorld();
    SpawnEffect(1, 192, 0, 16, 16, 300, 300, 0.8f, 0.8f, 90, 0.6f, EFFECT_SPARK, 155, 255, 255,
                255, 0, 0);
    StepEffect(0);
    EXPECT_FLOAT_EQ(effectScaleX[0], 0.775f);
    EXPECT_FLOAT_EQ(effectX[0], 300 - 3.9f);  // x moves against the angle, by (40 - age) / 10
    for (int s = 2; s <= 32; s++) StepEffect(0);
    EXPECT_EQ(effectFree[0], 0);
    EXPECT_GT(effectScaleX[0], 0);
    EXPECT_LT(effectScaleX[0], 1e-6);
    StepEffect(0);
    EXPECT_EQ(effectFree[0], 1);
}

TEST(Effects, CancelFlashEatsNearbyBulletsAtAgeFive) {
    struct Case { int startAge, cancelStep; };
    const Case cases[] = {{0, 5}, {3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.startAge);
        ResetCombatWorld();
        SpawnBullet(0, 0, 48, 16, 16, 219.9f, 200, 1, 1, 0, 0.31f, 0, 0, 255);  // 19.9 < 8 + 12
        SpawnBullet(0, 0, 48, 16, 16, 200, 220, 1, 1, 0, 0.31f, 0, 0, 255);     // 20: too far
        SpawnEffect(29, 0, 0, 64, 64, 200, 200, 1, 1, 0, 0.21f, EFFECT_CANCEL, 255, 255, 255, 255, 0,
                    c.startAge);
        for (int step = 1; step <= c.cancelStep; step++) {
            EXPECT_EQ(bulletFree[0], 0) << step;
            StepEffect(0);
        }
        EXPECT_EQ(bulletFree[0], 1);
        EXPECT_EQ(bulletFree[1], 0);
        EXPECT_EQ(Live(EFFECT_CANCEL), 2);  // the bullet's own chain flash
        EXPECT_EQ(effectSprite[0]->RegionX(), 64);  // picture 1 of the sheet at age 5
        EXPECT_EQ(StepsToFree(0) + c.cancelStep + c.startAge, 28);
    }
}

TEST(Effects, CancelFlashChainSpreadsEveryFourFrames) {
    ResetCombatWorld();
    // A row 15 pixels apart. The first flash eats bullets 0 and 1 at its age 5; each chain
    // flash lands in a higher slot, is stepped in its birth frame and eats the next bullet four
    // frames later.
    for (int k = 0; k < 6; k++) SpawnBullet(0, 0, 48, 16, 16, 150 + 15.0f * k, 100, 1, 1, 0, 0.31f, 0, 0, 255);
    SpawnEffect(29, 0, 0, 64, 64, 150, 100, 1, 1, 0, 0.21f, EFFECT_CANCEL, 255, 255, 255, 255, 0, 0);
    boss.attack = 1;
    int frames = 0;
    int live = 6;
    while (live > 0 && frames < 100) {
        hge->Gfx_BeginScene();
        for (int i = 0; i < kEffectSlots; i++) {
            if (effectFree[i] == 0) EffectStep(i);
        }
        hge->Gfx_EndScene();
        frames++;
        live = 0;
        for (int i = 0; i < 6; i++) live += bulletFree[i] == 0;
    }
    EXPECT_EQ(live, 0);
    EXPECT_EQ(frames, 5 + 4 * 4);
}

TEST(Effects, ChargeEmitterEmits360ParticlesInTwentyOneDrawsAFrame) {
    ResetCombatWorld();
    SpawnEffect(0, 0, 0, 32, 32, 320, 160, 1, 1, 330, 0.88f, EFFECT_EMITTER, 255, 255, 255, 255, 2, 0);
    int emittingFrames = 0;
    int age = 0;
    while (effectFree[0] == 0) {
        uint32_t before = RandomState();
        int live = Live(EFFECT_PARTICLE);
        StepEffect(0);
        age++;
        int emitted = Live(EFFECT_PARTICLE) - live;
        bool emits = age % 2 == 0 || age >= 30;
        EXPECT_EQ(emitted, emits ? 8 : 0) << age;
        emittingFrames += emits;
        uint32_t after = RandomState();
        SeedRandom(before);
        for (int k = 0; k < (emits ? 21 : 0); k++) Rand();
        EXPECT_EQ(RandomState(), after) << age;
        SeedRandom(after);
    }
    EXPECT_EQ(age, 60);
    EXPECT_EQ(emittingFrames, 45);
    EXPECT_EQ(Live(EFFECT_PARTICLE), 360);
}

TEST(Effects, ChargeEmitterDrawsShadeThenYThenX) {
    ResetCombatWorld();
    SpawnEffect(0, 0, 0, 32, 32, 320, 160, 1, 1, 0, 0.88f, EFFECT_EMITTER, 255, 255, 255, 255, 2, 1);
    SeedRandom(42);
    int depthDraw = Rand();
    int shade = Rand();
    int ry = Rand();
    int rx = Rand();
    int ry2 = Rand();
    int rx2 = Rand();
    SeedRandom(42);
    StepEffect(0);  // age 2: emits
    EXPECT_EQ(effectSprite[1]->Depth(0), depthDraw % 9 == 0 ? 0.21f : 0.88f);
    EXPECT_EQ(effectRed[1], shade % 30 + 20);
    EXPECT_EQ(effectBlue[1], 0);
    EXPECT_FLOAT_EQ(effectX[1], 320 + 70 + static_cast<float>(rx % 80) - 40);
    EXPECT_FLOAT_EQ(effectY[1], 160 + 300 + static_cast<float>(ry % 80) - 40);
    EXPECT_EQ(effectAngle[1], 30);
    // The second of the pair has the fixed dim shade and no shade draw.
    EXPECT_EQ(effectRed[2], 20);
    EXPECT_FLOAT_EQ(effectX[2], 320 + 70 + static_cast<float>(rx2 % 80) - 40);
    EXPECT_FLOAT_EQ(effectY[2], 160 + 300 + static_cast<float>(ry2 % 80) - 40);
    EXPECT_EQ(effectBlue[3] >= 20 && effectBlue[3] < 50, true);
    EXPECT_EQ(effectAngle[3], 330);
    EXPECT_EQ(effectBlue[8], 20);
}

TEST(Effects, LivesDisplayBlinksAndLeavesAfterFortyTwoSteps) {
    ResetCombatWorld();
    run.lives = 0;
    SpawnEffect(8, 0, 208, 14, 24, 300, 300, 0.6f, 0.6f, 0, 0.85f, EFFECT_LIVES, 255, 255, 255, 255, 1, 8);
    StepEffect(0);  // age 9: 9 % 8 < 4, red for the last life, shown from the next frame
    EXPECT_EQ(effectSprite[0]->Tint(), 0xFFFFFFFFu);
    EXPECT_EQ(effectRed[0], 255);
    EXPECT_EQ(effectGreen[0], 0);
    StepEffect(0);
    EXPECT_EQ(effectSprite[0]->Tint(), 0xFFFF0000u);
    EXPECT_EQ(StepsToFree(0) + 2, 42);
}

TEST(Effects, TintAddsChannelsSoANegativeOneBorrows) {
    ResetCombatWorld();
    SpawnEffect(29, 0, 0, 64, 64, 300, 300, 1, 1, 0, 0.21f, EFFECT_FLASH, 255, 255, 30, -39, 0, 0);
    StepEffect(0);
    EXPECT_EQ(effectSprite[0]->Tint(), 0xFFFF1DD9u);  // 0xFFFF1E00 - 39
}

TEST(Effects, UnknownKindAgesButStaysUnseen) {
    HeadlessEngine& engine = ResetCombatWorld();
    SpawnEffect(0, 0, 0, 8, 8, 300, 300, 1, 1, 0, 0.6f, 14, 255, 255, 255, 255, 2, 0);
    for (int f = 0; f < 500; f++) StepEffect(0);
    EXPECT_EQ(effectFree[0], 0);
    EXPECT_EQ(effectAge[0], 500);
    EXPECT_EQ(engine.QuadsThisScene(), 0);
}

TEST(Effects, TimeRingDrawsHalfDegreeSegmentsOfTheBar) {
    HeadlessEngine& engine = ResetCombatWorld();
    boss.freeFlag = 0;
    boss.x = 320;
    boss.y = 128;
    boss.maxLife = 1;
    boss.life = 0.5f;
    SpawnEffect(0, 65, 192, 4, 1, 320, 160, 1, 1, 0, 0.6f, EFFECT_TIME_RING, 255, 255, 255, 255, 2, 0);
    StepEffect(0);
    EXPECT_EQ(engine.QuadsThisScene(), 360);
    EXPECT_EQ(effectY[0], 128);
    boss.freeFlag = 1;
    StepEffect(0);
    EXPECT_EQ(effectFree[0], 1);
}

TEST(Effects, FullStoreReturns1500AndKeepsLastEffect) {
    ResetCombatWorld();
    for (int i = 0; i < kEffectSlots; i++) SpawnEffect(0, 0, 0, 8, 8, 0, 0, 1, 1, 0, 0.6f, 14, 0, 0, 0, 0, 2, 0);
    EXPECT_EQ(lastEffect, kEffectSlots - 1);
    effectFree[3] = 1;
    EXPECT_EQ(SpawnEffect(0, 0, 0, 8, 8, 0, 0, 1, 1, 0, 0.6f, 14, 0, 0, 0, 0, 2, 0), 3);
    EXPECT_EQ(SpawnEffect(0, 0, 0, 8, 8, 0, 0, 1, 1, 0, 0.6f, 14, 0, 0, 0, 0, 2, 0), kEffectSlots);
    EXPECT_EQ(lastEffect, 3);
    FreeAllEffects();
    EXPECT_EQ(effectFree[0], 1);
    EXPECT_EQ(effectValue[0], 0);
}

}  // namespace
