// boss_defeat_test.cpp -- a game won through the real screen flow: the boss arrives, runs its
// six attacks, explodes in slow motion, and fifty frames later the result panel opens.
#include "flow_harness.h"

#include <map>

#include "game/boss.h"
#include "game/bullets.h"
#include "game/player.h"

TEST_F(FlowTest, OutlastingEveryAttackWinsTheGame) {
    ToGame();
    std::map<int, int> defeatRates;  // boss age at the frame's start -> engine frame rate
    int frames = 0;
    while (run.frameCounter < 100000 && frames < 8000) {
        invulnTimer = 100;  // the player is not under test: nothing may hit it
        int age = boss.age;
        bool defeat = bossActive && boss.attack == 7;
        Run();
        if (defeat) defeatRates[age] = hge->System_GetState(HGE_FPS);
        frames++;
    }
    ASSERT_EQ(run.frameCounter, 100000);
    EXPECT_EQ(frames, 64 + 7136);  // the start-up fade, then the boss from play frame 2 to 7136
    EXPECT_EQ(bossActive, 0);
    EXPECT_EQ(run.pauseState, PauseState::Running);
    for (int i = 0; i < kBulletSlots; i++) ASSERT_EQ(bulletFree[i], 1) << "bullet " << i;

    ASSERT_EQ(defeatRates.size(), 60u);
    EXPECT_EQ(defeatRates[1], 20);
    EXPECT_EQ(defeatRates[40], 20);
    EXPECT_EQ(defeatRates[41], 22);
    EXPECT_EQ(defeatRates[60], 60);
    Run();
    EXPECT_EQ(hge->System_GetState(HGE_FPS), 60);

    Run(49);
    EXPECT_EQ(run.frameCounter, 100050);
    EXPECT_EQ(run.pauseState, PauseState::Result);
    EXPECT_EQ(run.resultCode, 5);
}
