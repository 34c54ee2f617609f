// items_test.cpp -- score items: rise and fall, attraction, collection and worth, a full store.
#include <gtest/gtest.h>

#include <cmath>

#include "app/callbacks.h"
#include "app/screen_flow.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/items.h"
#include "game/player.h"
#include "input/keys.h"
#include "support/combat_world.h"

namespace {

void StepItem(int i) {
    hge->Gfx_BeginScene();
    ItemStep(i);
    hge->Gfx_EndScene();
}

TEST(Items, RiseThenFallAndLeaveAtTheBottom) {
    ResetCombatWorld();
    playerX = 450;
    playerY = 412;
    SpawnItem({.texture = TEX_ITEM09B, .regionX = 0, .regionY = 12, .regionW = 32, .regionH = 36,
               .x = 200, .y = 300, .angle = 0, .type = 1});
    StepItem(0);
    EXPECT_FLOAT_EQ(itemY[0], 300 - 0.98f);
    float highest = itemY[0];
    int highestAge = 1;
    int age = 1;
    while (itemFree[0] == 0 && age < 400) {
        float before = itemY[0];
        StepItem(0);
        age = itemAge[0];
        if (itemY[0] <= highest) {
            highest = itemY[0];
            highestAge = age;
        }
        if (age > 80) {
            EXPECT_FLOAT_EQ(itemY[0] - before, 2) << age;
        }
    }
    EXPECT_EQ(highestAge, 50);
    EXPECT_NEAR(300 - highest, 24.5f, 1e-3);
    EXPECT_GE(itemY[0], 480);
    EXPECT_LT(itemY[0], 482);
    EXPECT_EQ(attracted[0], 0);
}

TEST(Items, FlyToAHighOrNearbyPlayer) {
    ResetCombatWorld();
    playerX = 320;
    playerY = 144;  // high on the field: every item comes
    SpawnItem({.texture = TEX_ITEM09B, .regionX = 0, .regionY = 12, .regionW = 32, .regionH = 36,
               .x = 320, .y = 400, .angle = 0, .type = 1});
    StepItem(0);
    EXPECT_EQ(attracted[0], 1);
    EXPECT_NEAR(itemY[0], 394, 1e-4);
    EXPECT_NEAR(itemAngle[0], 0.8f, 1e-5);  // up, then the slow turn
    playerY = 412;
    StepItem(0);  // attraction is never cleared
    EXPECT_NEAR(itemY[0], 400, 1e-4);
}

TEST(Items, CollectedWithinEighteenPixelsAddingTheirWorth) {
    struct Case { float dx, dy; int type; bool collected; int64_t worth; };
    const Case cases[] = {
        {-12, -6, 1, true, 1},  {-12, -7, 1, false, 0}, {18, 0, 2, true, 2},
        {0, 10, 4, true, 10},   {5, 5, 0, true, 0},     {5, 5, 3, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy << " type " << c.type);
        ResetCombatWorld();
        run.score = 2147483647;  // 64-bit: no wrap at 2^31
        SpawnItem({.texture = TEX_ITEM09B, .regionX = 0, .regionY = 12, .regionW = 32,
                   .regionH = 36, .x = playerX + c.dx, .y = playerY + c.dy, .angle = 0,
                   .type = c.type});
        StepItem(0);
        EXPECT_EQ(itemFree[0], c.collected ? 1 : 0);
        EXPECT_EQ(soundCue[CUE_ITEM00], c.collected ? 1 : 0);
        EXPECT_EQ(run.score, 2147483647 + c.worth);
        EXPECT_EQ(attracted[0], 1);  // within 40 pixels either way
    }
}

TEST(Items, FullStoreReturns1500AndKeepsLastItem) {
    ResetCombatWorld();
    for (int i = 0; i < kItemSlots; i++) ASSERT_EQ(SpawnItem({.texture = TEX_ITEM09B, .regionX = 0,
                                                              .regionY = 12, .regionW = 32,
                                                              .regionH = 36, .x = 200, .y = 200,
                                                              .angle = 0, .type = 1}), i);
    EXPECT_EQ(lastItem, kItemSlots - 1);
    itemFree[10] = 1;
    EXPECT_EQ(SpawnItem({.texture = TEX_ITEM09B, .regionX = 0, .regionY = 12, .regionW = 32,
                         .regionH = 36, .x = 100, .y = 100, .angle = 0, .type = 2}), 10);
    EXPECT_EQ(lastItem, 10);
    EXPECT_EQ(SpawnItem({.texture = TEX_ITEM09B, .regionX = 0, .regionY = 12, .regionW = 32,
                         .regionH = 36, .x = 100, .y = 100, .angle = 0, .type = 2}), kItemSlots);
    EXPECT_EQ(lastItem, 10);
}

}  // namespace
