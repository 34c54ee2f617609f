// boss_test.cpp -- the boss's movement curve, its per-frame step (lean, tint, frames, mirror,
// body contact), the stage script's set-up and arrival, the panel ordering and the defeat's
// frame rate.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "app/callbacks.h"
#include "app/screen_flow.h"
#include "assets/catalogue.h"
#include "core/random.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/attacks.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/panels.h"
#include "game/player.h"
#include "game/stage.h"
#include "game/world.h"
#include "input/keys.h"
#include "support/combat_world.h"
#include "support/headless.h"
#include "ui/hud.h"

namespace {

// The boss as it arrives, but in attack 5 before its first move (age below 120 the script
// only updates the life bar), so the step's own rules can be watched.
void QuietBoss(float heading, float speed) {
    StartBattle(1);
    run.frameCounter = 10;
    bossActive = 1;
    boss = BossSlot{};
    boss.attack = 5;
    boss.age = 1;
    boss.x = 320;
    boss.y = 160;
    boss.heading = heading;
    boss.speed = speed;
    boss.life = boss.maxLife = 1;
    boss.alpha = 255;
    boss.frameWidth = 64;
    boss.frameHeight = 80;
    boss.scaleX = boss.scaleY = 1;
    boss.spin = 360;
    attackTimer = 1000;
    attackLength = 1140;
    playerX = 320;
    playerY = 412;
}

void StepBoss(int frames = 1) {
    for (int i = 0; i < frames; i++) {
        hge->Gfx_BeginScene(0);
        BossStep(boss.attack);
        hge->Gfx_EndScene();
    }
}

}  // namespace

TEST(BossImpulse, PushAtStartPlusOneThenSlowsToAStop) {
    StartBattle(1);
    boss = BossSlot{};
    // Called every frame from age 180 with (1, 215, 181).
    float previous = 0;
    for (int age = 180; age <= 216; age++) {
        boss.age = age;
        BossImpulse(1, 215, 181);
        if (age <= 181) {
            EXPECT_EQ(boss.speed, 0) << "age " << age;  // before the push it is held at 0
        } else if (age == 182) {
            EXPECT_EQ(boss.speed, 1);
        } else if (age <= 209) {
            EXPECT_NEAR(previous - boss.speed, 1.0f / 34, 1e-6) << "age " << age;
        } else {
            EXPECT_EQ(boss.speed, 0) << "age " << age;  // 1 - 28/34 is at or below 0.2
        }
        previous = boss.speed;
    }
    // Past endAge + 1 the curve leaves the speed alone.
    boss.age = 217;
    boss.speed = 3;
    BossImpulse(1, 215, 181);
    EXPECT_EQ(boss.speed, 3);
}

TEST(BossStep, HeadingWrapsKeepingTheFraction) {
    const float cases[][2] = {{365.5f, 5.5f}, {-30, 330}, {720, 0}, {359.25f, 359.25f}};
    for (const auto& c : cases) {
        QuietBoss(c[0], 0);
        StepBoss();
        EXPECT_FLOAT_EQ(boss.heading, c[1]) << c[0];
    }
}

TEST(BossStep, LeansIntoSidewaysMovesAndMirrorsWhenFacingLeft) {
    HeadlessEngine& engine = UseHeadlessEngine();
    const struct {
        float heading;
        float lean;
        bool mirrored;
    } cases[] = {{90, 16, false}, {270, -16, true}, {0, 0, false}, {180, 0, false}};
    for (const auto& c : cases) {
        QuietBoss(c.heading, 1);
        StepBoss(16);
        EXPECT_EQ(boss.lean, c.lean) << c.heading;
        engine.SetRecordQuads(true);
        engine.ClearRecordedQuads();
        StepBoss();
        engine.SetRecordQuads(false);
        ASSERT_EQ(engine.RecordedQuads().size(), 1u);
        const hgeQuad& q = engine.RecordedQuads()[0];
        EXPECT_EQ(q.v[1].x < q.v[0].x, c.mirrored) << c.heading;
        if (c.lean != 0) {
            // The strongest lean frame: column 3 of the lean row.
            EXPECT_EQ(bossSprites[kBossSlot]->RegionX(), 192);
            EXPECT_EQ(bossSprites[kBossSlot]->RegionY(), 80);
        }
    }
    // Stopping drops the lean at once and shows the idle row again.
    QuietBoss(90, 1);
    StepBoss(10);
    boss.speed = 0;
    StepBoss();
    EXPECT_EQ(boss.lean, 0);
    EXPECT_EQ(bossSprites[kBossSlot]->RegionY(), 0);
}

TEST(BossStep, AnimationFramesIdleAndCasting) {
    // frameCounter -> idle column, casting column (frames 3 2 1 0 1 2 3, 4 frames each).
    const int cases[][3] = {{0, 0, 3}, {7, 0, 2}, {8, 1, 1}, {12, 1, 0}, {24, 3, 3}, {31, 3, 3}};
    for (const auto& c : cases) {
        QuietBoss(0, 0);
        run.frameCounter = c[0];
        StepBoss();
        EXPECT_EQ(bossSprites[kBossSlot]->RegionX(), 64 * c[1]) << "idle " << c[0];
        QuietBoss(0, 0);
        boss.sheetRow = 160;
        run.frameCounter = c[0];
        StepBoss();
        EXPECT_EQ(bossSprites[kBossSlot]->RegionX(), 64 * c[2]) << "casting " << c[0];
        EXPECT_EQ(bossSprites[kBossSlot]->RegionY(), 160);
    }
}

TEST(BossStep, TintFlickersAtTheEdgesOfAnAttack) {
    const struct {
        float life;
        int age;  // before the step
        uint32_t tint;
    } cases[] = {
        {1, 5, 0xFFFFFFFF},
        {0.1f, 5, 0xFFFFC0C0},  // below an eighth: red towards white, (6 % 8) * 32 = 192
        {0.1f, 7, 0xFFFF0000},
        {0, 0, 0xFF191919},     // empty: grey, trunc(1 * 25.5) = 25
        {0, 9, 0xFF000000},
    };
    for (const auto& c : cases) {
        QuietBoss(0, 0);
        boss.age = c.age;
        boss.life = c.life;
        hge->Gfx_BeginScene(0);
        // Attack 0 runs no script, so the life bar stays as set.
        BossStep(0);
        hge->Gfx_EndScene();
        EXPECT_EQ(bossSprites[kBossSlot]->Tint(), c.tint) << c.life << " " << c.age;
    }
}

TEST(BossStep, TouchingTheBossHitsUnlessInvulnerableOrAlreadyHit) {
    const struct {
        float dx, dy;
        int invuln, lifeLoss;
        bool hit;
    } cases[] = {
        {0, 0, 0, 0, true},
        {15.8f, 0, 0, 0, true},   // 31.6^2 = 998.6
        {15.9f, 0, 0, 0, false},  // 31.8^2 = 1011.2
        {11, 11, 0, 0, true},     // 484 + 484
        {12, 12, 0, 0, false},
        {0, 0, 5, 0, false},
        {0, 0, 0, 4, false},
    };
    for (const auto& c : cases) {
        QuietBoss(0, 0);
        playerX = 320 + c.dx;
        playerY = 160 + c.dy;
        invulnTimer = c.invuln;
        lifeLossTimer = c.lifeLoss;
        StepBoss();
        EXPECT_EQ(lifeLossTimer == 11, c.hit) << c.dx << ", " << c.dy;
        EXPECT_EQ(soundCue[CUE_PLDEAD00] == 1, c.hit);
        if (c.hit) {
            EXPECT_EQ(invulnTimer, 31);
        }
    }
}

TEST(StageScript, BuildsTheSceneThenBringsTheBossInWithTheMusic) {
    HeadlessEngine& engine = UseHeadlessEngine();
    // A stand-in music file where the engine looks for it.
    std::filesystem::create_directories("Music");
    std::ofstream("Music/music1.mp3") << "music";
    StartBattle(3);
    settings.musicVolume = 70;
    RunBattleFrame();  // -63
    EXPECT_EQ(panelCount, 0);
    RunBattleFrame();  // -62
    EXPECT_EQ(panelCount, 133);
    EXPECT_EQ(camZ, 256);
    EXPECT_FLOAT_EQ(camPitch, 0.5235602f);
    EXPECT_EQ(projectionDistance, 1000);
    // 112 pillar faces, 7 floor tiles and 14 wall tiles.
    int pillars = 0;
    int tiles = 0;
    for (int i = 0; i < panelCount; i++) {
        pillars += panelKind[i] == 2 && panelRegionW[i] == 24;
        tiles += panelKind[i] == 1 && panelRegionW[i] == 384;
    }
    EXPECT_EQ(pillars, 112);
    EXPECT_EQ(tiles, 21);
    int emitters = 0;
    for (int i = 0; i < kEffectSlots; i++) {
        emitters += effectFree[i] == 0 && effectKind[i] == EFFECT_EMITTER;
    }
    EXPECT_EQ(emitters, 1);

    engine.ClearPlayedSounds();
    while (run.frameCounter < 1) RunBattleFrame();
    EXPECT_EQ(bossActive, 0);
    RunBattleFrame();  // 2: the boss arrives
    EXPECT_EQ(bossActive, 1);
    EXPECT_EQ(boss.attack, 1);
    EXPECT_EQ(boss.age, 1);
    EXPECT_EQ(attackTimer, 1320);
    EXPECT_EQ(attackLength, 1320);
    EXPECT_EQ(soundCue[CUE_CAT00], 1);
    ASSERT_EQ(engine.PlayedSounds().size(), 1u);
    EXPECT_TRUE(engine.PlayedSounds()[0].loop);
    EXPECT_EQ(engine.PlayedSounds()[0].volume, 70);
    EXPECT_NE(run.musicChannel, 0u);
    // Life 0 at age 0: the boss is drawn in the grey of an empty bar.
    EXPECT_EQ(bossSprites[kBossSlot]->Tint(), 0xFF191919u);
    RunBattleFrame();
    EXPECT_EQ(attackTimer, 1319);
    std::filesystem::remove("Music/music1.mp3");
}

TEST(StageScript, PillarsMoveForwardOnlyWhenFarAndNearerThanTheirNeighbour) {
    StartBattle(1);
    bossActive = 1;  // only the countdown and the ordering run
    attackTimer = 100;
    // distance, kind -> the order expected afterwards (by original index).
    struct Panel {
        float distance;
        int kind;
    };
    const Panel panels[] = {{500, 1}, {300, 2}, {260, 2}, {900, 2}, {400, 1}};
    for (int i = 0; i < 5; i++) {
        PanelAdd({.texture = TEX_FLOOR, .regionX = 0, .regionY = 0, .regionW = 8, .regionH = 8,
                  .x = static_cast<float>(i), .y = 0, .z = 0, .yaw = 0, .pitch = 0,
                  .kind = panels[i].kind});
        panelDistance[i] = panels[i].distance;
    }
    float depths[5];
    for (int i = 0; i < 5; i++) depths[i] = panelSprite[i]->Depth(0);
    StageScript();
    EXPECT_EQ(attackTimer, 99);
    // The 300 pillar overtakes the 500 floor; the 260 pillar is too near to move; the floor
    // at 400 never moves forward by itself, and the far pillar has nothing larger before it.
    const int order[] = {1, 0, 2, 3, 4};
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(panelX[i], static_cast<float>(order[i])) << "position " << i;
        EXPECT_EQ(panelSprite[i]->Depth(0), depths[i]) << "position " << i;
    }
}

TEST(BossReset, ZeroesEveryFieldAndFreesEverySlot) {
    QuietBoss(90, 2);
    shakeLevel = 1;
    shakeX = 3;
    waveInterval = 20;
    ResetBossState();
    EXPECT_EQ(bossActive, 0);
    EXPECT_EQ(attackTimer, 0);
    EXPECT_EQ(shakeLevel, 0);
    EXPECT_EQ(shakeX, 0);
    EXPECT_EQ(waveInterval, 0);
    EXPECT_EQ(boss.x, 0);
    EXPECT_EQ(boss.attack, 0);
    EXPECT_EQ(boss.speed, 0);
    for (const BossSlot& slot : bossSlots) EXPECT_EQ(slot.freeFlag, 1);
}

TEST(DefeatFrameRate, SlowMotionThenBackToSixty) {
    StartBattle(1);
    // attack, age, bossActive -> rate (0: not the defeat, the usual rate applies).
    const int cases[][4] = {{7, 1, 1, 20}, {7, 40, 1, 20}, {7, 41, 1, 22}, {7, 60, 1, 60},
                            {6, 50, 1, 0},  {7, 50, 0, 0}};
    for (const auto& c : cases) {
        boss.attack = c[0];
        boss.age = c[1];
        bossActive = static_cast<uint8_t>(c[2]);
        EXPECT_EQ(DefeatFrameRate(), c[3]) << c[0] << " " << c[1] << " " << c[2];
    }
}
