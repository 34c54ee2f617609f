// player_test.cpp -- steering with its clamps and the diagonal rule, the bomb frame by frame
// and its blast, hits and the delayed life loss, the end of a replay.
#include <gtest/gtest.h>

#include <cmath>

#include "app/callbacks.h"
#include "app/screen_flow.h"
#include "core/random.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/player.h"
#include "gfx/sprite.h"
#include "input/keys.h"
#include "replay/replay.h"
#include "support/combat_world.h"

namespace {

enum { UP = 0, DOWN, LEFT, RIGHT, SLOW, BOMB };

void StepPlayer() {
    hge->Gfx_BeginScene();
    run.frameCounter += 1;
    PlayerStep();
    hge->Gfx_EndScene();
}

TEST(Player, MovesWithDiagonalRuleAndClamps) {
    struct Case {
        const char* name;
        std::initializer_list<int> held;
        float startX, startY, dx, dy;
    };
    const float diagonal = 4.5f / 1.41f, slowDiagonal = 2.0f / 1.41f;
    const Case cases[] = {
        {"up", {UP}, 320, 300, 0, -4.5f},
        {"up right", {UP, RIGHT}, 320, 300, diagonal, -diagonal},
        {"slow up right", {SLOW, UP, RIGHT}, 320, 300, slowDiagonal, -slowDiagonal},
        {"slow left", {SLOW, LEFT}, 320, 300, -2, 0},
        // Up and down cancel but still count as vertical input for the diagonal rule.
        {"up down right", {UP, DOWN, RIGHT}, 320, 300, diagonal, 0},
        {"left clamp", {LEFT}, 138, 300, -2, 0},
        {"right clamp", {RIGHT}, 502, 300, 2, 0},
        {"top clamp", {UP}, 320, 26, 0, -2},
        {"bottom clamp", {DOWN}, 320, 450, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetCombatWorld();
        playerX = c.startX;
        playerY = c.startY;
        HoldActions(c.held);
        StepPlayer();
        EXPECT_FLOAT_EQ(playerX, c.startX + c.dx);
        EXPECT_FLOAT_EQ(playerY, c.startY + c.dy);
    }
}

TEST(Player, FrozenBeforeTheStartAndWhileAHitIsPending) {
    ResetCombatWorld();
    HoldActions({UP, BOMB});
    run.frameCounter = -10;
    StepPlayer();
    EXPECT_EQ(playerY, 412);
    EXPECT_EQ(bombTimer, 0);
    run.frameCounter = 100;
    lifeLossTimer = 5;
    StepPlayer();
    EXPECT_EQ(playerY, 412);
    EXPECT_EQ(bombTimer, 0);
}

TEST(Player, TiltsAndSlowGaugeFollowTheKeys) {
    ResetCombatWorld();
    HoldActions({LEFT, SLOW});
    for (int f = 0; f < 20; f++) StepPlayer();
    EXPECT_EQ(playerBank, -16);
    EXPECT_EQ(slowGauge, 10);
    HoldActions({});
    for (int f = 0; f < 3; f++) StepPlayer();
    EXPECT_EQ(playerBank, -13);
    EXPECT_EQ(slowGauge, 7);
    // Tilt -13 shows picture 3 of the left row.
    EXPECT_EQ(playerSprite->RegionX(), 96);
    EXPECT_EQ(playerSprite->RegionY(), 48);
}

TEST(Player, BombRunsFortyFramesAndRestartsWhileHeld) {
    ResetCombatWorld();
    playerX = 200;
    playerY = 400;
    HoldActions({BOMB});
    StepPlayer();  // frame f
    EXPECT_EQ(bombTimer, 48);
    EXPECT_EQ(soundCue[CUE_TAN00_SECOND], 1);
    HoldActions({RIGHT});
    int expected = 48;
    for (int f = 1; f <= 39; f++) {
        soundCue[CUE_LAZER02] = 0;
        StepPlayer();
        expected -= 1;
        ASSERT_EQ(bombTimer, expected) << "frame f+" << f;
        if (f == 3) {
            // The blast's centre is fixed 60 pixels above the player at f + 3.
            EXPECT_EQ(soundCue[CUE_LAZER02], 1);
            EXPECT_EQ(bombX, playerX);
            EXPECT_EQ(bombY, playerY - 60);
        } else {
            EXPECT_EQ(soundCue[CUE_LAZER02], 0) << f;
        }
    }
    // f + 40: 9 counts down to 8, which ends the bomb; a held key starts the next one at once.
    HoldActions({BOMB});
    soundCue[CUE_TAN00_SECOND] = 0;
    StepPlayer();
    EXPECT_EQ(bombTimer, 48);
    EXPECT_EQ(soundCue[CUE_TAN00_SECOND], 1);
    EXPECT_LT(bombX, playerX);  // the blast stayed while the player moved right
}

TEST(Player, BlastCancelsBulletsWithinHalfTheirSizePlus60) {
    ResetCombatWorld();
    bombX = 300;
    bombY = 200;
    struct Case { int size; float distance; bool cancelled; };
    const Case cases[] = {
        {32, 75.0f, true}, {32, 76.0f, false}, {16, 67.9f, true}, {16, 68.0f, false},
        {8, 63.9f, true},  {64, 91.9f, true},  {64, 92.0f, false},
    };
    int slot = 0;
    for (const Case& c : cases) {
        // Diagonal placements: the distance is the straight line, not the sum of the axes.
        float d = c.distance / std::sqrt(2.0f);
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = c.size,
                     .regionH = c.size, .x = bombX + d, .y = bombY - d, .angle = 0, .depth = 0.31f,
                     .speed = 0, .behaviour = 0});
        slot++;
    }
    bombTimer = 43;  // counts down to 42: the blast
    HoldActions({});
    uint32_t before = RandomState();
    StepPlayer();
    int cancelled = 0;
    for (int i = 0; i < slot; i++) {
        EXPECT_EQ(bulletFree[i] == 1, cases[i].cancelled) << i;
        cancelled += cases[i].cancelled;
    }
    // Each cancel leaves a flash and an item and draws three numbers.
    int flashes = 0, items = 0;
    for (int i = 0; i < kEffectSlots; i++) flashes += effectFree[i] == 0 && effectKind[i] == EFFECT_CANCEL;
    for (int i = 0; i < kItemSlots; i++) items += itemFree[i] == 0;
    EXPECT_EQ(flashes, cancelled);
    EXPECT_EQ(items, cancelled);
    uint32_t after = RandomState();
    SeedRandom(before);
    for (int k = 0; k < 3 * cancelled; k++) Rand();
    EXPECT_EQ(RandomState(), after);
}

TEST(Player, BlastNearTheBossDropsABigItemWithTwoDraws) {
    ResetCombatWorld();
    bossActive = 1;
    boss.x = 300;
    boss.y = 150;
    bombX = 300;
    bombY = 229;  // 79 pixels: in reach
    bombTimer = 43;
    SeedRandom(99);
    int r1 = Rand();
    int r2 = Rand();
    SeedRandom(99);
    StepPlayer();
    ASSERT_EQ(itemFree[0], 0);
    EXPECT_EQ(itemType[0], 4);
    EXPECT_EQ(itemX[0], 300);
    EXPECT_EQ(itemPhase[0], r2 % 60);
    EXPECT_FLOAT_EQ(itemAngle[0], static_cast<float>(r1 % 360));
    bossActive = 0;
}

TEST(Player, HitStartsTheLifeLossOnlyWhenNotProtected) {
    struct Case { int invuln, pending; bool hit; };
    const Case cases[] = {{0, 0, true}, {5, 0, false}, {0, 3, false}};
    for (const Case& c : cases) {
        ResetCombatWorld();
        invulnTimer = c.invuln;
        lifeLossTimer = c.pending;
        PlayerHit();
        EXPECT_EQ(soundCue[CUE_PLDEAD00], c.hit ? 1 : 0);
        EXPECT_EQ(lifeLossTimer, c.hit ? 11 : c.pending);
        EXPECT_EQ(invulnTimer, c.hit ? 31 : c.invuln);
    }
}

TEST(Player, LifeLossTakesALifeAtOneAndShowsWhatIsLeft) {
    ResetCombatWorld();
    lifeLossTimer = 2;
    ApplyLifeLoss();
    EXPECT_EQ(run.lives, 5);
    EXPECT_EQ(lifeLossTimer, 2);
    lifeLossTimer = 1;
    ApplyLifeLoss();
    EXPECT_EQ(run.lives, 4);
    EXPECT_EQ(lifeLossTimer, 0);
    EXPECT_EQ(invulnTimer, 48);
    ASSERT_EQ(effectFree[1], 0);
    EXPECT_EQ(effectKind[1], EFFECT_LIVES);
    EXPECT_EQ(effectAge[1], 8);
    EXPECT_EQ(effectSprite[1]->RegionX(), 64);  // the digit 4
    EXPECT_EQ(effectX[1], playerX + 12);

    ResetCombatWorld();
    run.lives = 0;
    lifeLossTimer = 1;
    ApplyLifeLoss();
    EXPECT_EQ(run.lives, -1);
    EXPECT_EQ(effectFree[0], 1);  // no display for the last life
    EXPECT_EQ(invulnTimer, 48);
}

}  // namespace
