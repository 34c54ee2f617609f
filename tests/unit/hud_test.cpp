// hud_test.cpp -- the head-up display: the frame-rate row and its cap, the attack timer's
// digits and colour, the score row, the lives picture and the spell-card title's fading.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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

// The digit a digit sprite shows (its region's column over 16), or 11 for the separator.
int Shown(const Sprite* s) { return static_cast<int>(s->RegionX()) / 16; }

class HudTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartBattle(1);
        engine = &UseHeadlessEngine();
        run.frameCounter = 500;
    }
    // Draws the display once and keeps its quads.
    const std::vector<hgeQuad>& Draw() {
        engine->SetRecordQuads(true);
        engine->ClearRecordedQuads();
        hge->Gfx_BeginScene(0);
        DrawHud();
        hge->Gfx_EndScene();
        engine->SetRecordQuads(false);
        return engine->RecordedQuads();
    }
    // The boss present in the given attack at the given age.
    void Boss(int attack, int age, int timer) {
        bossActive = 1;
        boss = BossSlot{};
        boss.x = 320;
        boss.y = 160;
        boss.attack = attack;
        boss.age = age;
        attackTimer = timer;
    }
    // Recorded quads whose texture region starts at (x, y) (textures are absent, so the texture
    // coordinates are texels).
    std::vector<hgeQuad> WithRegion(float x, float y) {
        std::vector<hgeQuad> found;
        for (const hgeQuad& q : engine->RecordedQuads()) {
            if (q.v[0].tx == x && q.v[0].ty == y) found.push_back(q);
        }
        return found;
    }
    HeadlessEngine* engine = nullptr;
};

}  // namespace

TEST_F(HudTest, FrameRateReadsTwoMoreCappedAt61) {
    // engine frame rate -> the two digits shown
    const int cases[][3] = {{0, 0, 2}, {30, 3, 2}, {58, 6, 0}, {59, 6, 1}, {60, 6, 1}, {240, 6, 1}};
    for (const auto& c : cases) {
        hge->System_SetState(HGE_FPS, c[0]);
        Draw();
        EXPECT_EQ(Shown(fpsDigits[3]), c[1]) << c[0];
        EXPECT_EQ(Shown(fpsDigits[4]), c[2]) << c[0];
    }
    hge->System_SetState(HGE_FPS, 60);
}

TEST_F(HudTest, AttackTimerShowsSecondsAndEightiethsRedForTheLastTenSeconds) {
    const struct {
        int timer;
        int digits[4];  // tens, seconds, fraction tens, fraction ones
        bool red;
    } cases[] = {
        {1319, {2, 1, 7, 8}, false},  // 59 * 1.334 = 78.7
        {601, {1, 0, 0, 1}, false},
        {600, {1, 0, 0, 0}, true},
        {59, {0, 0, 7, 8}, true},
        {2, {0, 0, 0, 2}, true},
    };
    for (const auto& c : cases) {
        Boss(1, 100, c.timer);
        Draw();
        EXPECT_EQ(Shown(timerDigits[0]), c.digits[0]) << c.timer;
        EXPECT_EQ(Shown(timerDigits[1]), c.digits[1]) << c.timer;
        EXPECT_EQ(Shown(timerDigits[2]), 11) << c.timer;
        EXPECT_EQ(Shown(timerDigits[3]), c.digits[2]) << c.timer;
        EXPECT_EQ(Shown(timerDigits[4]), c.digits[3]) << c.timer;
        // The five timer quads are the only ones at depth 0.1 besides the frame-rate row.
        int red = 0;
        int white = 0;
        for (const hgeQuad& q : engine->RecordedQuads()) {
            if (q.v[0].z != 0.1f || q.v[0].y < 0 || q.v[0].y > 40) continue;
            red += q.v[0].col == 0xFFFF6E6E;
            white += q.v[0].col == 0xFFFFFFFF;
        }
        EXPECT_EQ(red, c.red ? 5 : 0) << c.timer;
        EXPECT_EQ(white, c.red ? 0 : 5) << c.timer;
    }
}

TEST_F(HudTest, NoBossNoTimerAndMarkerOnlyWhileTheBossIsOnScreen) {
    bossActive = 0;
    Draw();
    EXPECT_TRUE(WithRegion(216, 240).empty());
    // boss x, y -> marker drawn
    const struct {
        float x, y;
        bool marker;
    } cases[] = {{320, 160, true}, {80, 12, true}, {79, 160, false}, {561, 160, false},
                 {320, 11, false}};
    for (const auto& c : cases) {
        Boss(1, 100, 900);
        boss.x = c.x;
        boss.y = c.y;
        Draw();
        auto marker = WithRegion(216, 240);
        ASSERT_EQ(marker.size(), c.marker ? 1u : 0u) << c.x << ", " << c.y;
        if (c.marker) {
            EXPECT_FLOAT_EQ(marker[0].v[0].x, c.x - 20);
        }
    }
}

TEST_F(HudTest, ScoreDigitsCentredNearX59) {
    // score -> x of the first digit
    const struct {
        int64_t score;
        float firstX;
        int digits;
    } cases[] = {{0, 50, 1}, {12345, 10, 5}, {1234567890, -40, 10}};
    for (const auto& c : cases) {
        run.score = c.score;
        Draw();
        int drawn = 0;
        float firstX = 1000;
        for (const hgeQuad& q : engine->RecordedQuads()) {
            // Score digits: digit cells at y 140, scale 1.3.
            if (q.v[0].ty == 208 && q.v[0].y == 140) {
                drawn++;
                firstX = std::min(firstX, q.v[0].x);
            }
        }
        EXPECT_EQ(drawn, c.digits) << c.score;
        EXPECT_FLOAT_EQ(firstX, c.firstX) << c.score;
    }
}

TEST_F(HudTest, LivesPictureFromAFourColumnGridAndTheLastLifeBlinks) {
    const struct {
        int lives;
        int frame;
        float cellX, cellY;
        uint32_t tint;
    } cases[] = {{5, 500, 64, 64, 0xFFFFFFFF}, {4, 500, 0, 64, 0xFFFFFFFF},
                 {0, 500, 0, 0, 0xFFFF0000},   {0, 509, 0, 0, 0xFFFFFFFF},
                 {-1, 500, 0, 0, 0xFFFF0000}};  // the losing frame shows 0, not cell (-64, 0)
    for (const auto& c : cases) {
        run.lives = c.lives;
        run.frameCounter = c.frame;
        Draw();
        bool found = false;
        for (const hgeQuad& q : engine->RecordedQuads()) {
            // The lives picture is the only 64 x 64 cell drawn at scale 0.4.
            if (q.v[0].tx == c.cellX && q.v[0].ty == c.cellY && std::fabs(q.v[1].x - q.v[0].x - 25.6f) < 0.01f) {
                found = true;
                EXPECT_EQ(q.v[0].col, c.tint) << c.lives;
            }
        }
        EXPECT_TRUE(found) << c.lives;
    }
}

TEST_F(HudTest, SpellTitleSlidesInRisesAndFadesUnderThePlayer) {
    spellBackdrop = true;
    // age, playerY -> title position and alpha (attack 4: title row y 38, width 220)
    const struct {
        int age;
        float playerY;
        float x, y;
        uint32_t alpha;
    } cases[] = {
        {1, 412, 210 - 220 + 10, 400, 255},
        {45, 412, 290, 400, 255},
        {90, 412, 290, 400 - 6.1f * 30, 255},
        {200, 412, 290, 33, 255},
        {200, 40, 290, 33, 55},
    };
    for (const auto& c : cases) {
        Boss(4, c.age, 900);
        playerY = c.playerY;
        Draw();
        auto title = WithRegion(0, 38);
        ASSERT_EQ(title.size(), 1u) << c.age;
        EXPECT_FLOAT_EQ(title[0].v[0].x, c.x) << c.age;
        EXPECT_FLOAT_EQ(title[0].v[0].y, c.y) << c.age;
        EXPECT_EQ(title[0].v[0].col >> 24, c.alpha) << c.age;
        auto banner = WithRegion(0, 88);
        ASSERT_EQ(banner.size(), 1u);
        if (c.age >= 121) {
            EXPECT_EQ(banner[0].v[0].col >> 24, c.alpha);
        }
    }
    // The declaration's strips and stars only during the first two seconds.
    Boss(2, 120, 700);
    Draw();
    EXPECT_EQ(WithRegion(96, 0).size(), 6u * 10 + 16);
    Boss(2, 121, 700);
    Draw();
    EXPECT_TRUE(WithRegion(96, 0).empty());
    // No title outside a spell card.
    spellBackdrop = false;
    Draw();
    EXPECT_TRUE(WithRegion(0, 76).empty());
}
