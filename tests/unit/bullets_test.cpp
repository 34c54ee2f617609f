// bullets_test.cpp -- the enemy-bullet store: angle normalisation, hit and graze shapes, the
// off-screen margins, pop-in, a full store, cancelling and clearing, and the five behaviours.
#include <gtest/gtest.h>

#include <cmath>

#include "app/callbacks.h"
#include "core/random.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/behaviours.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/player.h"
#include "game/world.h"
#include "gfx/sprite.h"
#include "input/keys.h"
#include "support/combat_world.h"

namespace {

void StepBullet(int i) {
    hge->Gfx_BeginScene();
    BulletStep(i);
    hge->Gfx_EndScene();
}

int LiveEffects(int kind) {
    int n = 0;
    for (int i = 0; i < kEffectSlots; i++) n += effectFree[i] == 0 && effectKind[i] == kind;
    return n;
}

TEST(NormaliseAngle, WrapsWholeDegreesAndKeepsTheFraction) {
    struct Case { float in, out; };
    const Case cases[] = {
        {0, 0},       {359.5f, 359.5f}, {360, 0},     {725.5f, 5.5f},  {-30, 330},
        {-0.5f, 359.5f}, {-360, 0},     {-359.75f, 0.25f},
        // Beyond one turn below zero the angle is wrapped fully rather than left negative.
        {-400.5f, 319.5f}, {-720, 0},   {-1080.25f, 359.75f},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(NormaliseAngle(c.in), c.out) << c.in;
    const float odd[] = {-1e12f, 1e12f, -123456.7f, std::nanf(""), INFINITY, -INFINITY};
    for (float a : odd) {
        float n = NormaliseAngle(a);
        EXPECT_TRUE(n >= 0 && n <= 360) << a << " gave " << n;
    }
}

TEST(SpawnBullet, FillsTheLowestFreeSlotAndRefusesWhenFull) {
    ResetCombatWorld();
    SpawnBullet({.texture = TEX_BULLET3, .regionX = 64, .regionY = 192, .regionW = 64,
                 .regionH = 64, .x = 200, .y = 100, .scaleX = 1.5f, .scaleY = 1.5f, .angle = -30,
                 .depth = 0.31f, .speed = 2, .behaviour = 3, .alpha = 200});
    ASSERT_EQ(bulletFree[0], 0);
    EXPECT_EQ(spriteCode[0], 2192);
    EXPECT_EQ(bulletAngle[0], 330);
    EXPECT_EQ(bulletSprite[0]->Blend(), 0);  // the spinning orb is additive
    EXPECT_EQ(bulletSprite[0]->AnchorX(), 32);
    EXPECT_EQ(bulletSprite[0]->Depth(0), 0.31f);
    EXPECT_EQ(bulletAge[0], 0);
    SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16, .regionH = 16,
                 .x = 200, .y = 100, .angle = 0, .depth = 0.31f, .speed = 2, .behaviour = 0});
    EXPECT_EQ(bulletSprite[1]->Blend(), 2);

    for (int i = 0; i < kBulletSlots; i++) {
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16,
                     .regionH = 16, .x = 300, .y = 50, .angle = 0, .depth = 0.31f, .speed = 1,
                     .behaviour = 0});
    }
    ASSERT_EQ(LiveBullets(), kBulletSlots);
    bulletFree[700] = 1;
    SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 112, .regionW = 16, .regionH = 16,
                 .x = 123, .y = 45, .angle = 90, .depth = 0.31f, .speed = 1, .behaviour = 0});
    EXPECT_EQ(bulletX[700], 123);
    // The store is full: dropped.
    SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 240, .regionW = 8, .regionH = 8,
                 .x = 99, .y = 45, .angle = 90, .depth = 0.31f, .speed = 1, .behaviour = 0});
    EXPECT_EQ(LiveBullets(), kBulletSlots);
    for (int i = 0; i < kBulletSlots; i++) EXPECT_NE(bulletX[i], 99);
}

TEST(BulletStep, HitAndGrazeShapesScaleWithTheBullet) {
    struct Case { TextureId texture; int regionY, size; float scale, dx, dy; bool graze, hit; };
    const Case cases[] = {
        {TEX_BULLET1, 112, 16, 1, 4, 0, true, true},
        {TEX_BULLET1, 112, 16, 1, 4.01f, 0, true, false},
        {TEX_BULLET1, 112, 16, 1, 32, 0, true, false},     // grazes from 32 pixels in (32 / 8 = 4)
        {TEX_BULLET1, 112, 16, 1, 32.1f, 0, false, false},
        {TEX_BULLET1, 112, 16, 2, 8, 0, true, true},       // distances are divided by the scales
        {TEX_BULLET1, 112, 16, 2, 8.1f, 0, true, false},
        {TEX_BULLET1, 112, 16, -2, 8, 0, true, true},      // a negative scale counts by its size
        {TEX_BULLET1, 48, 16, 1, 3.6f, 4.8f, true, true},  // radius 6 on the diagonal
        {TEX_BULLET1, 240, 8, 1, 3, 0, true, true},
        {TEX_BULLET3, 32, 32, 1, 7, 0, true, true},
        {TEX_BULLET3, 128, 32, 1, 6.01f, 0, true, false},
        {TEX_BULLET3, 192, 64, 1, 20, 0, true, true},
        {TEX_BULLET2, 0, 16, 1, 0, 0, false, false},  // a picture without a radius never touches
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.texture * 1000 + c.regionY << " scale " << c.scale
                                        << " at " << c.dx << "," << c.dy);
        ResetCombatWorld();
        playerX = 300;
        playerY = 300;
        SpawnBullet({.texture = c.texture, .regionX = 0, .regionY = c.regionY, .regionW = c.size,
                     .regionH = c.size, .x = 300 + c.dx, .y = 300 - c.dy, .scaleX = c.scale,
                     .scaleY = c.scale, .angle = 0, .depth = 0.31f, .speed = 0, .behaviour = 0});
        StepBullet(0);
        EXPECT_EQ(grazed[0], c.graze ? 1 : 0);
        EXPECT_EQ(soundCue[CUE_GRAZE], c.graze ? 1 : 0);
        EXPECT_EQ(LiveEffects(EFFECT_SPARK), c.graze ? 1 : 0);
        EXPECT_EQ(lifeLossTimer, c.hit ? 11 : 0);
    }
}

TEST(BulletStep, GrazesOncePerBulletEvenWhileInvulnerable) {
    ResetCombatWorld();
    invulnTimer = 30;
    SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 112, .regionW = 16, .regionH = 16,
                 .x = 320 + 20, .y = 412, .angle = 0, .depth = 0.31f, .speed = 0, .behaviour = 0});
    for (int f = 0; f < 5; f++) StepBullet(0);
    EXPECT_EQ(LiveEffects(EFFECT_SPARK), 1);
    EXPECT_EQ(grazed[0], 1);
}

TEST(BulletStep, LeavesTheScreenPastItsMargin) {
    struct Case { TextureId texture; float x, y; bool freed; };
    const Case cases[] = {
        {TEX_BULLET1, 99.9f, 200, true},  {TEX_BULLET1, 100, 200, false},
        {TEX_BULLET1, 540.1f, 200, true}, {TEX_BULLET1, 300, -32.1f, true},
        {TEX_BULLET1, 300, 512, false},   {TEX_BULLET1, 300, 512.1f, true},
        {TEX_BULLET3, 5, 200, false},     {TEX_BULLET3, 3.9f, 200, true},
        {TEX_BULLET3, 636, 200, false},
        {TEX_BULLET3, 300, -128.1f, true}, {TEX_BULLET3, 300, 608, false},
    };
    for (const Case& c : cases) {
        ResetCombatWorld();
        SpawnBullet({.texture = c.texture, .regionX = 0, .regionY = 32, .regionW = 32,
                     .regionH = 32, .x = c.x, .y = c.y, .angle = 0, .depth = 0.31f, .speed = 0,
                     .behaviour = 0});
        StepBullet(0);
        EXPECT_EQ(bulletFree[0] == 1, c.freed) << c.texture << " at " << c.x << "," << c.y;
    }
}

TEST(BulletStep, PopsInLargerAndMovesAlongItsAngle) {
    HeadlessEngine& engine = ResetCombatWorld();
    SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16, .regionH = 16,
                 .x = 200, .y = 200, .angle = 90, .depth = 0.31f, .speed = 3, .behaviour = 0,
                 .alpha = 128});
    engine.SetRecordQuads(true);
    engine.ClearRecordedQuads();
    StepBullet(0);
    engine.SetRecordQuads(false);
    ASSERT_EQ(engine.RecordedQuads().size(), 1u);
    const hgeQuad& q = engine.RecordedQuads()[0];
    float width = std::hypot(q.v[1].x - q.v[0].x, q.v[1].y - q.v[0].y);
    EXPECT_NEAR(width, 16 * 1.42f, 1e-3);
    EXPECT_EQ(q.v[0].col, 0x80FFFFFFu);
    EXPECT_FLOAT_EQ(bulletX[0], 203);
    EXPECT_NEAR(bulletY[0], 200, 1e-5);
    EXPECT_NEAR(bulletScaleX[0], 1, 1e-6);
    for (int f = 2; f <= 15; f++) StepBullet(0);
    EXPECT_NEAR(bulletScaleX[0], 1, 1e-6);
}

TEST(CancelBullet, LeavesAFlashAndAnItemWithThreeDraws) {
    struct Case { bool chain; int behaviourKind, attack, flashAge; };
    const Case cases[] = {
        {false, 4, 6, 0},  // the bomb's cancels never adjust the flash
        {true, 0, 1, 0},
        {true, 4, 1, 3},   // a chain flash from a flashing bullet starts at age 3
        {true, 0, 6, 1},   // during the last card every chain flash starts at 1
        {true, 4, 6, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.chain << " " << c.behaviourKind << " " << c.attack);
        ResetCombatWorld();
        boss.attack = c.attack;
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 48, .regionY = 112, .regionW = 32,
                     .regionH = 32, .x = 250, .y = 150, .angle = 0, .depth = 0.31f, .speed = 0,
                     .behaviour = c.behaviourKind});
        SeedRandom(5);
        int r1 = Rand();
        int r2 = Rand();
        int r3 = Rand();
        SeedRandom(5);
        CancelBullet(0, c.chain);
        EXPECT_EQ(bulletFree[0], 1);
        ASSERT_EQ(effectFree[0], 0);
        EXPECT_EQ(effectKind[0], EFFECT_CANCEL);
        EXPECT_EQ(effectAge[0], c.flashAge);
        EXPECT_FLOAT_EQ(effectScaleX[0], 1.2f);  // (32 / 32 * 0.5 + 1) * 0.8
        EXPECT_EQ(effectAngle[0], r1 % 360);
        ASSERT_EQ(itemFree[0], 0);
        EXPECT_EQ(itemType[0], 2);
        EXPECT_EQ(itemAngle[0], r2 % 360);
        EXPECT_EQ(itemPhase[0], r3 % 60);
        HslToRgb(-48.0f / 256.0f + 0.12f, 1.0, 0.5);
        EXPECT_EQ(effectRed[0], static_cast<int>(hslRed));
        EXPECT_EQ(effectBlue[0], static_cast<int>(hslBlue));
    }
}

TEST(ClearAllBullets, FlashesEveryBulletWithoutItems) {
    ResetCombatWorld();
    for (int i = 0; i < 10; i++) {
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16,
                     .regionH = 16, .x = static_cast<float>(150 + 10 * i), .y = 100, .angle = 0,
                     .depth = 0.31f, .speed = 1, .behaviour = 0});
    }
    bulletFree[3] = 1;
    ClearAllBullets();
    EXPECT_EQ(LiveBullets(), 0);
    EXPECT_EQ(LiveEffects(EFFECT_FLASH), 9);
    EXPECT_EQ(itemFree[0], 1);
    EXPECT_FLOAT_EQ(effectScaleX[0], 0.8f);
}

// --- Behaviours ---

TEST(Behaviours, LaunchBurstJumpsThenFallsBackToTheSpawnSpeed) {
    ResetCombatWorld();
    SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16, .regionH = 16,
                 .x = 320, .y = 240, .angle = 180, .depth = 0.31f, .speed = 2, .behaviour = 1});
    for (int age = 1; age <= 20; age++) {
        bulletY[0] = 240;  // keep it on screen
        StepBullet(0);
        float expected = age == 1 ? 7 : age <= 16 ? 7 - (age - 1) / 3.0f : 2;
        EXPECT_NEAR(bulletSpeed[0], expected, 1e-5) << age;
    }
}

TEST(Behaviours, WallStopsByColourColumnFromAgeSix) {
    struct Case { int column; float x, y; int age; bool stops; float angle; };
    const Case cases[] = {
        {0, 320, -0.5f, 6, true, 0},      // above the top edge
        {0, 320, -0.5f, 5, false, 180},   // not before age 6
        {1, 320, 9.9f, 6, true, 0},       // column 1 stops 10 pixels lower
        {0, 320, 480.5f, 6, true, 180},   // 599.5 from (320, 1080)
        {0, 320, 479.5f, 6, false, 180},
        {2, 320, 452.5f, 6, true, 180},   // 600 + 28
        {0, 129.9f, 240, 6, true, 270},
        {0, 130.1f, 240, 6, false, 180},
        {0, 510.1f, 240, 6, true, 90},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << " at " << c.x << "," << c.y);
        ResetCombatWorld();
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 16 * c.column, .regionY = 48, .regionW = 16,
                     .regionH = 16, .x = c.x, .y = c.y, .angle = 180, .depth = 0.31f, .speed = 2,
                     .behaviour = 2});
        bulletAge[0] = c.age;
        RunBehaviour(0);
        EXPECT_EQ(behaviour[0], c.stops ? 0 : 2);
        EXPECT_EQ(bulletSpeed[0] == 0, c.stops);
        EXPECT_NEAR(bulletAngle[0], c.angle, 0.01);
    }
}

TEST(Behaviours, GlowTurnsAdditiveEveryStep) {
    ResetCombatWorld();
    SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16, .regionH = 16,
                 .x = 320, .y = 240, .angle = 0, .depth = 0.31f, .speed = 1, .behaviour = 3});
    EXPECT_EQ(bulletSprite[0]->Blend(), 2);
    StepBullet(0);
    EXPECT_EQ(bulletSprite[0]->Blend(), 0);
}

TEST(Behaviours, FlashAndFallTurnsIntoAFallingShot) {
    ResetCombatWorld();
    SpawnBullet({.texture = TEX_BULLET1, .regionX = 64, .regionY = 48, .regionW = 16, .regionH = 16,
                 .x = 320, .y = 240, .angle = 0, .depth = 0.31f, .speed = 0, .behaviour = 4});
    bulletAge[0] = 71;
    StepBullet(0);  // age 72: a flash, the bullet goes on
    EXPECT_EQ(LiveEffects(EFFECT_FLASH), 1);
    EXPECT_EQ(bulletFree[0], 0);
    for (int f = 73; f < 78; f++) StepBullet(0);
    EXPECT_EQ(LiveEffects(EFFECT_FLASH), 1);
    uint32_t state = RandomState();
    int r1 = Rand();
    int r2 = Rand();
    SeedRandom(state);
    StepBullet(0);  // age 78: freed, and a falling shot takes its slot
    ASSERT_EQ(bulletFree[0], 0);
    EXPECT_EQ(behaviour[0], 0);
    EXPECT_EQ(spriteCode[0], 112);
    EXPECT_EQ(bulletAge[0], 0);
    EXPECT_FLOAT_EQ(bulletSpeed[0], static_cast<float>(r1 % 150) / 100.0f + 2.5f);
    EXPECT_FLOAT_EQ(bulletAngle[0], static_cast<float>(r2 % 100) / 10.0f + 180.0f - 5.0f);
    EXPECT_GE(bulletAngle[0], 175);
    EXPECT_LT(bulletAngle[0], 185);
}

TEST(Behaviours, WallBurstRingsSixtyFourBulletsInOrder) {
    ResetCombatWorld();
    HslToRgb(0.3, 1.0, 0.5);  // the burst's flash keeps the last colour made
    SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16, .regionH = 16,
                 .x = 110, .y = 240, .angle = 0, .depth = 0.31f, .speed = 1, .behaviour = 5});
    StepBullet(0);
    EXPECT_EQ(LiveEffects(EFFECT_FLASH), 1);
    EXPECT_EQ(effectGreen[0], 255);
    ASSERT_EQ(LiveBullets(), 64);
    for (int k = 0; k < 64; k++) {
        EXPECT_FLOAT_EQ(bulletAngle[k], static_cast<float>((k / 16) * 90) + (k % 16) * 5.625f) << k;
        EXPECT_EQ(spriteCode[k], 48);
    }
    // Slot 0 holds the first bullet of the ring, which was drawn and moved in this step.
    EXPECT_FLOAT_EQ(bulletY[0], 240 - 1.8f);

    // With fewer free slots the ring is cut short.
    ResetCombatWorld();
    for (int i = 0; i < kBulletSlots - 10; i++) {
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16,
                     .regionH = 16, .x = 300, .y = 50, .angle = 0, .depth = 0.31f, .speed = 0,
                     .behaviour = 0});
    }
    SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16, .regionH = 16,
                 .x = 530, .y = 240, .angle = 0, .depth = 0.31f, .speed = 1, .behaviour = 5});
    StepBullet(kBulletSlots - 10);
    EXPECT_EQ(LiveBullets(), kBulletSlots);
    EXPECT_FLOAT_EQ(bulletAngle[kBulletSlots - 1], 9 * 5.625f);
}

TEST(Behaviours, SpeedBurstCurve) {
    ResetCombatWorld();
    SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16, .regionH = 16,
                 .x = 320, .y = 240, .angle = 0, .depth = 0.31f, .speed = 0, .behaviour = 0});
    struct Case { int age; float before, after; };
    const Case cases[] = {{1, 1, 2}, {2, 1, 0.75f}, {5, 1, 0.75f}, {6, 1, 1}};
    for (const Case& c : cases) {
        bulletAge[0] = c.age;
        bulletSpeed[0] = c.before;
        SpeedBurst(1.0f, 4, 0, 0);  // push at age 1, then -0.25 a frame up to age 5
        EXPECT_FLOAT_EQ(bulletSpeed[0], c.after) << c.age;
    }
}

}  // namespace
