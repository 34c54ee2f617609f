// effects_test.cpp -- effect kinds: the spark's 33 steps, cancel-flash timing and its chain, the
// charge emitter's counts and draws, the lives display, the tint's borrow, the time ring.
#include <gtest/gtest.h>

#include <cmath>

#include "app/callbacks.h"
#include "app/screen_flow.h"
#include "core/random.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "gfx/sprite.h"
#include "input/keys.h"
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
    SpawnEffect({.texture = TEX_BULLET2, .regionX = 192, .regionY = 0, .regionW = 16, .regionH = 16,
                 .x = 300, .y = 300, .scaleX = 0.8f, .scaleY = 0.8f, .angle = 90, .depth = 0.6f,
                 .kind = EFFECT_SPARK, .alpha = 155, .blend = 0});
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
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16,
                     .regionH = 16, .x = 219.9f, .y = 200, .angle = 0, .depth = 0.31f, .speed = 0,
                     .behaviour = 0});  // 19.9 < 8 + 12
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16,
                     .regionH = 16, .x = 200, .y = 220, .angle = 0, .depth = 0.31f, .speed = 0,
                     .behaviour = 0});     // 20: too far
        SpawnEffect({.texture = TEX_ETBREAK, .regionX = 0, .regionY = 0, .regionW = 64,
                     .regionH = 64, .x = 200, .y = 200, .depth = 0.21f, .kind = EFFECT_CANCEL,
                     .blend = 0, .age = c.startAge});
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
    for (int k = 0; k < 6; k++) {
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16,
                     .regionH = 16, .x = 150 + 15.0f * k, .y = 100, .angle = 0, .depth = 0.31f,
                     .speed = 0, .behaviour = 0});
    }
    SpawnEffect({.texture = TEX_ETBREAK, .regionX = 0, .regionY = 0, .regionW = 64, .regionH = 64,
                 .x = 150, .y = 100, .depth = 0.21f, .kind = EFFECT_CANCEL, .blend = 0});
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
    SpawnEffect({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 32, .regionH = 32,
                 .x = 320, .y = 160, .angle = 330, .depth = 0.88f, .kind = EFFECT_EMITTER,
                 .blend = 2});
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
    SpawnEffect({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 32, .regionH = 32,
                 .x = 320, .y = 160, .depth = 0.88f, .kind = EFFECT_EMITTER, .blend = 2, .age = 1});
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
    SpawnEffect({.texture = TEX_FONT1, .regionX = 0, .regionY = 208, .regionW = 14, .regionH = 24,
                 .x = 300, .y = 300, .scaleX = 0.6f, .scaleY = 0.6f, .depth = 0.85f,
                 .kind = EFFECT_LIVES, .blend = 1, .age = 8});
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
    SpawnEffect({.texture = TEX_ETBREAK, .regionX = 0, .regionY = 0, .regionW = 64, .regionH = 64,
                 .x = 300, .y = 300, .depth = 0.21f, .kind = EFFECT_FLASH, .green = 30, .blue = -39,
                 .blend = 0});
    StepEffect(0);
    EXPECT_EQ(effectSprite[0]->Tint(), 0xFFFF1DD9u);  // 0xFFFF1E00 - 39
}

TEST(Effects, UnknownKindAgesButStaysUnseen) {
    HeadlessEngine& engine = ResetCombatWorld();
    SpawnEffect({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 8, .regionH = 8,
                 .x = 300, .y = 300, .depth = 0.6f, .kind = 14, .blend = 2});
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
    SpawnEffect({.texture = TEX_BULLET1, .regionX = 65, .regionY = 192, .regionW = 4, .regionH = 1,
                 .x = 320, .y = 160, .depth = 0.6f, .kind = EFFECT_TIME_RING, .blend = 2});
    StepEffect(0);
    EXPECT_EQ(engine.QuadsThisScene(), 360);
    EXPECT_EQ(effectY[0], 128);
    boss.freeFlag = 1;
    StepEffect(0);
    EXPECT_EQ(effectFree[0], 1);
}

TEST(Effects, FullStoreReturns1500AndKeepsLastEffect) {
    ResetCombatWorld();
    for (int i = 0; i < kEffectSlots; i++) {
        SpawnEffect({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 8, .regionH = 8,
                     .x = 0, .y = 0, .depth = 0.6f, .kind = 14, .alpha = 0, .red = 0, .green = 0,
                     .blue = 0, .blend = 2});
    }
    EXPECT_EQ(lastEffect, kEffectSlots - 1);
    effectFree[3] = 1;
    EXPECT_EQ(SpawnEffect({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 8,
                           .regionH = 8, .x = 0, .y = 0, .depth = 0.6f, .kind = 14, .alpha = 0,
                           .red = 0, .green = 0, .blue = 0, .blend = 2}), 3);
    EXPECT_EQ(SpawnEffect({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 8,
                           .regionH = 8, .x = 0, .y = 0, .depth = 0.6f, .kind = 14, .alpha = 0,
                           .red = 0, .green = 0, .blue = 0, .blend = 2}), kEffectSlots);
    EXPECT_EQ(lastEffect, 3);
    FreeAllEffects();
    EXPECT_EQ(effectFree[0], 1);
    EXPECT_EQ(effectValue[0], 0);
}

}  // namespace
