// world_test.cpp -- the direction tables, AngleTo, HslToRgb, the cycling clear colour, the
// spell backdrop and the world step's drawing passes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/callbacks.h"
#include "app/screen_flow.h"
#include "core/random.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/player.h"
#include "game/world.h"
#include "input/keys.h"
#include "support/combat_world.h"

namespace {

TEST(DirectionTables, CarryThe573FactorAndExactAxes) {
    ResetCombatWorld();
    struct Case { int i; float sin, negCos, tolerance; };
    const Case cases[] = {
        {0, 0.0f, -1.0f, 0},          {900, 1.0f, 0.0f, 0},        {1800, 0.0f, 1.0f, 0},
        {2700, -1.0f, 0.0f, 0},       {3600, 0.0f, -1.0f, 0},
        {450, 0.7071477f, -0.7070659f, 1e-7f},  // not +-0.7071068: 57.3 degrees to the radian
        {2250, -0.7071f, 0.7071f, 2e-4f},
        {300, 0.4998f, -0.8661f, 3e-4f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.i);
        if (c.tolerance == 0) {
            EXPECT_EQ(SinTable[c.i], c.sin);
            EXPECT_EQ(NegCosTable[c.i], c.negCos);
        } else {
            EXPECT_NEAR(SinTable[c.i], c.sin, c.tolerance);
            EXPECT_NEAR(NegCosTable[c.i], c.negCos, c.tolerance);
        }
    }
    // -cos is taken from the stored single-precision sine.
    float ts = static_cast<float>(std::tan((90.0 - 45.0) / 57.3));
    EXPECT_EQ(NegCosTable[450], -SinTable[450] * ts);
}

TEST(AngleTo, SnapsToAxesAndAddsOffset) {
    struct Case { float x1, y1, x2, y2, offset, expected; };
    const Case cases[] = {
        {100, 100, 100.5f, 50, 0, 0},       // same pixel column, target above
        {100, 100, 100.9f, 150, 0, 180},    // same column, below
        {100, 100, 150, 100.9f, 0, 90},     // same pixel row, right
        {100, 100, 50, 100, 0, 270},        // same row, left
        {100, 100, 100.3f, 100.7f, 0, 180}, // same pixel: straight down
        {0, 0, 10, 10, 0, 135.0033f},       // 45 degrees * 57.3 / (180 / pi) + 90
        {10, 10, 0, 0, 0, 315.0033f},
        {0, 0, 10, 10, 30, 165.0033f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2);
        EXPECT_NEAR(AngleTo(c.x1, c.y1, c.x2, c.y2, c.offset), c.expected, 1e-3);
    }
}

TEST(HslToRgb, StandardConversionWithUnwrappedLowHues) {
    struct Case { double h, s, l, r, g, b; };
    const Case cases[] = {
        {0.3, 0.0, 0.5, 127.5, 127.5, 127.5},  // grey: the caller truncates to 127
        {0.0, 1.0, 0.5, 255, 0, 0},
        {1.0 / 3.0, 1.0, 0.5, 0, 255, 0},
        {0.49, 0.6, 0.5, 51, 204, 194.82},
        // Hues below -2/3 wrap only once: blue goes below 0 and is passed on as -39.
        {-0.6925, 1.0, 0.5, 39.525, 255, -39.525},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.h);
        HslToRgb(c.h, c.s, c.l);
        EXPECT_NEAR(hslRed, c.r, 1e-3);
        EXPECT_NEAR(hslGreen, c.g, 1e-3);
        EXPECT_NEAR(hslBlue, c.b, 1e-3);
    }
    HslToRgb(-0.6925, 1.0, 0.5);
    EXPECT_EQ(static_cast<int>(hslBlue), -39);
}

TEST(WorldStep, ClearColourTurnsWithTheFrameCounter) {
    HeadlessEngine& engine = ResetCombatWorld();
    struct Case { int frame; uint32_t colour; };
    const Case cases[] = {
        {0, 0xFFCC323C},     // hue -0.01 (0.2 * 255 falls just short of 51)
        {1440, 0xFF32CCC2},  // hue 0.49
        {2880, 0xFFCC323C},  // a full turn
    };
    for (const Case& c : cases) {
        run.frameCounter = c.frame;
        hge->Gfx_BeginScene();
        WorldStep();
        hge->Gfx_EndScene();
        EXPECT_EQ(engine.LastClearColor(), c.colour) << c.frame;
    }
}

TEST(WorldStep, DoesNothingOnTitleSideScreensAbove10) {
    HeadlessEngine& engine = ResetCombatWorld();
    run.screen = static_cast<Screen>(11);
    hge->Gfx_BeginScene();
    WorldStep();
    EXPECT_EQ(engine.QuadsThisScene(), 0);
    hge->Gfx_EndScene();
    run.screen = Screen::Game;
}

// Each object is placed at its own x, so the recorded quads tell which object drew when.
struct Placed {
    std::string label;
    float x;
};

std::string LabelAt(const std::vector<Placed>& placed, const hgeQuad& q) {
    float cx = (q.v[0].x + q.v[1].x + q.v[2].x + q.v[3].x) / 4;
    for (const Placed& p : placed) {
        if (std::fabs(cx - p.x) < 0.5f) return p.label;
    }
    return "?";
}

TEST(WorldStep, DrawsInPassOrderByDepth) {
    HeadlessEngine& engine = ResetCombatWorld();
    playerX = 140;
    playerY = 450;
    std::vector<Placed> placed = {{"player", 140}};
    float x = 160;
    auto effect = [&](const char* label, float depth) {
        SpawnEffect({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 8, .regionH = 8,
                     .x = x, .y = 100, .depth = depth, .kind = EFFECT_GLOW, .blend = 0});
        placed.push_back({label, x});
        x += 20;
    };
    auto bullet = [&](const char* label, float depth) {
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 0, .regionY = 48, .regionW = 16,
                     .regionH = 16, .x = x, .y = 100, .angle = 0, .depth = depth, .speed = 0,
                     .behaviour = 0});
        placed.push_back({label, x});
        x += 20;
    };
    // Spawned in an order unlike the passes, so only the depths decide.
    effect("e0.21", 0.21f);
    bullet("b0.31", 0.31f);
    effect("e0.6", 0.6f);
    bullet("b0.5", 0.5f);
    bullet("b0.705", 0.705f);
    effect("e0.8", 0.8f);
    bullet("b0.75", 0.75f);
    effect("e0.85", 0.85f);
    bullet("b0.8", 0.8f);
    effect("e0.88", 0.88f);
    effect("e0.9", 0.9f);
    SpawnItem({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 8, .regionH = 8,
               .x = x, .y = 100, .angle = 0, .type = 1});
    placed.push_back({"item", x});
    x += 20;
    effect("e0.885", 0.885f);  // between 0.88 and 0.89: in no pass
    int unseen = lastEffect;

    engine.SetRecordQuads(true);
    engine.ClearRecordedQuads();
    hge->Gfx_BeginScene();
    WorldStep();
    hge->Gfx_EndScene();
    engine.SetRecordQuads(false);

    std::vector<std::string> order;
    for (const hgeQuad& q : engine.RecordedQuads()) {
        std::string label = LabelAt(placed, q);
        if (order.empty() || order.back() != label) order.push_back(label);
    }
    const std::vector<std::string> expected = {
        "e0.9", "e0.85", "e0.88", "b0.8", "item", "e0.8", "player", "b0.75",
        "b0.705", "e0.6", "b0.31", "b0.5", "e0.21"};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(effectAge[unseen], 0);
}

TEST(WorldStep, EffectSpawnedIntoAHigherSlotStepsInTheSamePass) {
    ResetCombatWorld();
    // Slots 0..4 hold idle effects except slot 2; the charge emitter sits in slot 5.
    for (int i = 0; i < 5; i++) {
        SpawnEffect({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 8, .regionH = 8,
                     .x = 0, .y = 0, .depth = 0.88f, .kind = 14, .alpha = 0, .red = 0, .green = 0,
                     .blue = 0, .blend = 2});
    }
    SpawnEffect({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 32, .regionH = 32,
                 .x = 320, .y = 160, .depth = 0.88f, .kind = EFFECT_EMITTER, .blend = 2, .age = 1});
    effectFree[2] = 1;
    SeedRandom(7);
    ASSERT_NE(Rand() % 9, 0) << "this seed must give the particles depth 0.88";
    SeedRandom(7);
    hge->Gfx_BeginScene();
    WorldStep();
    hge->Gfx_EndScene();
    // The emitter (age 2) emitted eight particles: the first into slot 2, below it, waits for
    // the next frame; the rest, above it, were stepped in the same pass.
    EXPECT_EQ(effectKind[2], EFFECT_PARTICLE);
    EXPECT_EQ(effectAge[2], 0);
    for (int i = 6; i <= 12; i++) {
        EXPECT_EQ(effectKind[i], EFFECT_PARTICLE) << i;
        EXPECT_EQ(effectAge[i], 1) << i;
    }
}

TEST(WorldStep, SpellBackdropDrawsOnlyWithTheBossDuringACard) {
    HeadlessEngine& engine = ResetCombatWorld();
    auto backdropQuads = [&]() {
        engine.SetRecordQuads(true);
        engine.ClearRecordedQuads();
        hge->Gfx_BeginScene();
        WorldStep();
        hge->Gfx_EndScene();
        engine.SetRecordQuads(false);
        int n = 0;
        for (const hgeQuad& q : engine.RecordedQuads()) n += q.v[0].z == 0.89f;
        return n;
    };
    spellBackdrop = true;
    EXPECT_EQ(backdropQuads(), 0);
    bossActive = 1;
    boss.freeFlag = 0;
    boss.x = 320;
    boss.y = 128;
    boss.attack = 2;
    EXPECT_EQ(backdropQuads(), 2);
    spellBackdrop = false;
    EXPECT_EQ(backdropQuads(), 0);
    bossActive = 0;
}

}  // namespace
