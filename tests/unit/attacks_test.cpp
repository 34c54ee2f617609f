// attacks_test.cpp -- the boss's attacks driven through the stage script and the world step
// for a whole game: how long each attack runs, what each volley holds, and the defeat.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

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
#include "ui/hud.h"

namespace {

// A bullet in its first step after the frame: spawned during that frame.
struct Spawn {
    int regionX, regionY, script;
    float x, y;
};

struct FrameLog {
    int frame;      // frameCounter
    int attack;     // the attack whose script ran (0: no boss)
    int age;        // the boss's age as the script saw it
    std::vector<Spawn> spawns;
    bool tick;      // the tick sound was raised
};

// One whole game, player standing still at the start position, recorded frame by frame.
struct GameLog {
    std::vector<FrameLog> frames;
    int arrivalFrame = 0;
    int panelsAtStart = 0;
    int endFrame = 0;           // the frame that set frameCounter to 100000
    int bulletsAtEnd = -1;
    bool defeatSound = false;
    std::map<int, int> defeatRates;  // age before the frame -> frame rate
};

const GameLog& Game() {
    static GameLog log;
    if (!log.frames.empty()) return log;
    StartBattle(12345);
    for (int n = 0; n < 8000 && run.frameCounter < 100000; n++) {
        FrameLog f{};
        f.attack = bossActive ? boss.attack : 0;
        f.age = bossActive ? boss.age : 0;
        if (bossActive && boss.attack == 7) log.defeatRates[boss.age] = DefeatFrameRate();
        // Keep the player alive and out of the way: only the boss's script is under test.
        invulnTimer = 100;
        RunBattleFrame();
        f.frame = run.frameCounter;
        if (f.attack == 0 && bossActive) {
            log.arrivalFrame = run.frameCounter;
            f.attack = 1;
        }
        for (int i = 0; i < kBulletSlots; i++) {
            if (bulletFree[i] == 0 && bulletAge[i] == 1) {
                f.spawns.push_back({bulletRegionX[i], bulletRegionY[i], behaviour[i], bulletX[i],
                                    bulletY[i]});
            }
        }
        f.tick = soundCue[CUE_TAN00] != 0;
        if (run.frameCounter == -62) log.panelsAtStart = panelCount;
        if (run.frameCounter == 100000) {
            log.endFrame = f.frame;
            log.bulletsAtEnd = LiveBullets();
            log.defeatSound = soundCue[CUE_ENEP01] != 0;
        }
        log.frames.push_back(std::move(f));
    }
    return log;
}

int Count(const FrameLog& f, int regionX, int regionY, int script) {
    int n = 0;
    for (const Spawn& s : f.spawns) {
        n += s.regionX == regionX && s.regionY == regionY && s.script == script;
    }
    return n;
}

// Frames of one attack whose script saw the given age (attacks 3 and 4 revisit ages).
std::vector<const FrameLog*> At(int attack, int age) {
    std::vector<const FrameLog*> found;
    for (const FrameLog& f : Game().frames) {
        if (f.attack == attack && f.age == age) found.push_back(&f);
    }
    return found;
}

}  // namespace

TEST(AttackTimeline, EachAttackRunsItsLengthAndTheDefeatEndsTheGame) {
    const GameLog& log = Game();
    EXPECT_EQ(log.panelsAtStart, 133);
    EXPECT_EQ(log.arrivalFrame, 2);
    std::map<int, int> framesRun;
    for (const FrameLog& f : log.frames) framesRun[f.attack]++;
    // Attack 1 runs ages 0..1319; every later attack of length L runs L - 1 frames.
    const int expected[][2] = {{1, 1320}, {2, 779}, {3, 1139}, {4, 1319},
                               {5, 1139}, {6, 1379}, {7, 60}};
    for (const auto& row : expected) EXPECT_EQ(framesRun[row[0]], row[1]) << "attack " << row[0];
    EXPECT_EQ(log.endFrame, 100000);
    EXPECT_EQ(log.frames.back().frame, 100000);
    EXPECT_EQ(log.bulletsAtEnd, 0);
    EXPECT_TRUE(log.defeatSound);
    EXPECT_EQ(bossActive, 0);
    EXPECT_EQ(boss.freeFlag, 1);
    EXPECT_EQ(shakeLevel, 0);
}

TEST(AttackTimeline, DefeatSlowsTheFrameRateAndClimbsBack) {
    const std::map<int, int>& rates = Game().defeatRates;
    ASSERT_EQ(rates.size(), 60u);
    const int table[][2] = {{1, 20}, {40, 20}, {41, 22}, {50, 40}, {60, 60}};
    for (const auto& row : table) EXPECT_EQ(rates.at(row[0]), row[1]) << "age " << row[0];
}

TEST(AttackOne, VolleysWidenAndRingsHold180Pellets) {
    // Volley at age a: five fans of 2k + 1 pellets, k = 3 * trunc(a / 30).
    const int volleys[][2] = {{1, 5}, {31, 35}, {151, 155}, {450, 5}, {600, 155}, {690, 125},
                              {810, 245}, {870, 185}, {1020, 285}};
    for (const auto& row : volleys) {
        auto frames = At(1, row[0]);
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(Count(*frames[0], 64, 112, 1), row[1]) << "age " << row[0];
    }
    for (int age : {360, 370, 380, 1260, 1270, 1280}) {
        EXPECT_EQ(Count(*At(1, age)[0], 96, 112, 1), 180) << "age " << age;
    }
    // Nothing between the volleys.
    EXPECT_TRUE(At(1, 2)[0]->spawns.empty());
    EXPECT_TRUE(At(1, 152)[0]->spawns.empty());
}

TEST(AttackTwo, ColourRingsShrinkFrom59To46Pellets) {
    for (int age = 100; age <= 360; age += 20) {
        int n = (age - 90) / 20;
        auto frames = At(2, age);
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(Count(*frames[0], 16 + 16 * n, 112, 2), 59 - (age - 100) / 20) << "age " << age;
    }
    EXPECT_EQ(Count(*At(2, 360)[0], 224, 112, 2), 46);
    // From 480 on: an orb every 10 frames and pellets on even ages while age % 60 <= 40.
    EXPECT_EQ(Count(*At(2, 480)[0], 64, 192, 3), 1);
    EXPECT_EQ(Count(*At(2, 480)[0], 32, 48, 0), 1);
    EXPECT_EQ(Count(*At(2, 480)[0], 16, 240, 0), 1);
    EXPECT_TRUE(At(2, 521)[0]->spawns.empty());  // odd, not a multiple of 3
    EXPECT_TRUE(At(2, 530)[0]->spawns.empty());  // 530 % 60 = 50: the pause
}

TEST(AttackThree, StarWavesRepeatEvery281Frames) {
    // Waves at 360, 390, 420 and 450 (15 lines each); the cycle repeats until the time runs out.
    const int waves[][2] = {{360, 15}, {390, 90}, {420, 150}, {450, 210}};
    for (const auto& row : waves) {
        auto frames = At(3, row[0]);
        ASSERT_GE(frames.size(), 4u) << "age " << row[0];
        for (const FrameLog* f : frames) EXPECT_EQ(Count(*f, 32, 128, 1), row[1]) << "age " << row[0];
        EXPECT_EQ(frames[1]->frame - frames[0]->frame, 281);
    }
    // Ages 60 to 358 are skipped.
    EXPECT_TRUE(At(3, 200).empty());
}

TEST(AttackFour, CurtainHasOneGapOfNineAndWavesCloseIn) {
    std::vector<const FrameLog*> waves;
    for (const FrameLog& f : Game().frames) {
        if (f.attack == 4 && Count(f, 208, 48, 4) > 0) waves.push_back(&f);
    }
    ASSERT_GT(waves.size(), 30u);
    EXPECT_EQ(waves[0]->age, 120);  // the first wave comes in the frame age reaches 120
    // Sixty curtain columns from x 80 and sixteen rain pellets from x 80 are fired; those left of
    // x 100 or right of 540 leave the field in their first step, so 46 curtain pellets (columns
    // 3 to 57 less the gap) and 15 rain pellets remain.
    for (const FrameLog* w : waves) {
        EXPECT_EQ(Count(*w, 96, 112, 0), 15);
        std::vector<int> columns;
        for (const Spawn& s : w->spawns) {
            if (s.regionX == 208) columns.push_back(static_cast<int>(s.x - 80) / 8);
        }
        ASSERT_EQ(columns.size(), 46u);
        std::sort(columns.begin(), columns.end());
        EXPECT_EQ(columns.front(), 3);
        EXPECT_EQ(columns.back(), 57);
        int gaps = 0;
        for (size_t i = 1; i < columns.size(); i++) {
            if (columns[i] - columns[i - 1] != 1) {
                gaps++;
                EXPECT_EQ(columns[i] - columns[i - 1], 10);  // nine columns left out
            }
        }
        EXPECT_EQ(gaps, 1);
    }
    // 61, 59, ... 17 frames apart, then 15 for good.
    for (size_t i = 1; i < waves.size(); i++) {
        int expected = i <= 23 ? 63 - 2 * static_cast<int>(i) : 15;
        EXPECT_EQ(waves[i]->frame - waves[i - 1]->frame, expected) << "wave " << i;
    }
}

TEST(AttackFive, FanOfFiveOrbsEightFramesApartEarlyInEachCycle) {
    std::map<int, int> fansPerCycle;
    for (const FrameLog& f : Game().frames) {
        if (f.attack != 5) continue;
        int orbs = Count(f, 64, 192, 5);
        if (orbs == 0) continue;
        EXPECT_EQ(orbs, 5) << "age " << f.age;
        int phase = (f.age - 120) % 90;
        EXPECT_LE(phase, 35);
        EXPECT_EQ((f.age - 120) % 8, 0);
        fansPerCycle[(f.age - 120) / 90]++;
    }
    ASSERT_GT(fansPerCycle.size(), 10u);
    EXPECT_EQ(fansPerCycle[0], 5);
    EXPECT_EQ(fansPerCycle[1], 4);
    for (const auto& cycle : fansPerCycle) {
        EXPECT_GE(cycle.second, 4);
        EXPECT_LE(cycle.second, 5);
    }
}

TEST(AttackSix, SpiralOfFifteenOnEvenAgesWithATickEveryFour) {
    auto even = At(6, 200);
    ASSERT_EQ(even.size(), 1u);
    // (200 % 360) / 60 = 3: the fourth colour column.
    EXPECT_EQ(Count(*even[0], 32 + 32 * 3, 32, 0), 15);
    EXPECT_TRUE(even[0]->tick);
    EXPECT_TRUE(At(6, 201)[0]->spawns.empty());
    EXPECT_FALSE(At(6, 202)[0]->tick);
    EXPECT_TRUE(At(6, 118)[0]->spawns.empty());
}

namespace {

// The boss alone at the centre, in attack 6 at the given age, with time to spare.
void BossInAttackSix(int age) {
    StartBattle(7);
    bossActive = 1;
    boss = BossSlot{};
    boss.attack = 6;
    boss.age = age;
    boss.x = 320;
    boss.y = 160;
    boss.maxLife = 1;
    boss.frameWidth = 64;
    boss.frameHeight = 80;
    boss.scaleX = boss.scaleY = 1;
    boss.alpha = 255;
    attackTimer = 500;
    attackLength = 1380;
}

}  // namespace

TEST(AttackSix, CancelFlashOnTheBossSilencesTheSpiralButNotTheTick) {
    // Flash offset from the boss -> whether the spiral still fires.
    const struct {
        float dx, dy;
        int kind;
        bool fires;
    } cases[] = {
        {0, 0, EFFECT_CANCEL, false},
        {6, 0, EFFECT_CANCEL, false},   // 36: still on the boss
        {4.2f, 4.2f, EFFECT_CANCEL, false},  // 35.28
        {4.3f, 4.3f, EFFECT_CANCEL, true},   // 36.98
        {6.1f, 0, EFFECT_CANCEL, true},
        {0, 0, EFFECT_FLASH, true},     // a plain flash does not
    };
    for (const auto& c : cases) {
        BossInAttackSix(200);
        SpawnEffect({.texture = TEX_ETBREAK, .regionX = 0, .regionY = 0, .regionW = 64,
                     .regionH = 64, .x = 320 + c.dx, .y = 160 + c.dy, .depth = 0.21f,
                     .kind = c.kind, .blend = 0});
        hge->Gfx_BeginScene(0);
        BossStep(6);
        hge->Gfx_EndScene();
        EXPECT_EQ(LiveBullets(), c.fires ? 15 : 0) << c.dx << ", " << c.dy << " kind " << c.kind;
        EXPECT_EQ(soundCue[CUE_TAN00], 1);
    }
}
