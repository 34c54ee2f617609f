// panels_test.cpp -- the background panels: scrolling with wrap-round, the strips' fade and
// geometry, the view test, the shake, the projection's guard and exchanging records.
#include <gtest/gtest.h>

#include <cmath>

#include "app/callbacks.h"
#include "app/screen_flow.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/panels.h"
#include "gfx/sprite.h"
#include "input/keys.h"
#include "support/combat_world.h"

namespace {

// A plain camera at the origin looking down +z, so a panel's corners are easy to predict.
HeadlessEngine& PlainScene() {
    HeadlessEngine& engine = ResetCombatWorld();
    camX = camY = camZ = 0;
    camYaw = camPitch = camRoll = 0;
    projectionDistance = 1000;
    return engine;
}

const std::vector<hgeQuad>& StepRecorded(HeadlessEngine& engine, int n) {
    engine.SetRecordQuads(true);
    engine.ClearRecordedQuads();
    hge->Gfx_BeginScene();
    PanelStep(n);
    hge->Gfx_EndScene();
    engine.SetRecordQuads(false);
    return engine.RecordedQuads();
}

TEST(Panels, ScrollAndWrapAfterTakingTheCorners) {
    struct Case { int kind; float z, after; };
    const Case cases[] = {
        {1, -486, 2197},       // -491 wraps in the same step
        {1, -483, -488},       // -488 is not below -488
        {2, -570, -576.071429f + 2796.5f},
        {2, 100, 100 - 6.071429f},
        {101, 100, 100},       // hidden panels stand still
    };
    for (const Case& c : cases) {
        HeadlessEngine& engine = PlainScene();
        PanelAdd({.texture = TEX_FLOOR, .regionX = 0, .regionY = 0, .regionW = 100, .regionH = 100,
                  .x = 0, .y = 0, .z = c.z, .yaw = 0, .pitch = 0, .kind = c.kind});
        StepRecorded(engine, 0);
        EXPECT_FLOAT_EQ(panelZ[0], c.after) << c.kind << " at " << c.z;
        EXPECT_EQ(panelAge[0], 1);
    }
}

TEST(Panels, StripsFadeWithDepthAndTheGameStart) {
    // Strips faded out entirely are not drawn: they would leave the picture as it was.
    struct Case { int frame; float z; size_t drawn; uint32_t firstAlpha, lastAlpha; };
    const Case cases[] = {
        {0, 305, 3, 5, 1},        // a = 260 - 255; strip 2 is 19 deeper: 1281 / 5 - 255 = 1.2
        {100, 305, 41, 155, 78},  // lowered by 255 - 150 = 105
        {165, 305, 41, 255, 183}, // faded in: 260 clamps, strip 40 (1300 - 384) / 5 = 183.2
        {500, 1605, 0, 0, 0},     // 1600 and beyond: transparent
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        HeadlessEngine& engine = PlainScene();
        run.frameCounter = c.frame;
        PanelAdd({.texture = TEX_FLOOR, .regionX = 0, .regionY = 0, .regionW = 100, .regionH = 100,
                  .x = 0, .y = 0, .z = c.z, .yaw = 0, .pitch = 0, .kind = 1});
        const auto& quads = StepRecorded(engine, 0);
        ASSERT_EQ(quads.size(), c.drawn);
        if (c.drawn == 0) continue;
        EXPECT_EQ(quads.front().v[0].col >> 24, c.firstAlpha);
        EXPECT_EQ(quads.back().v[0].col >> 24, c.lastAlpha);
        EXPECT_EQ(quads.front().v[0].col & 0xFFFFFF, 0xFFFFFFu);
    }
}

TEST(Panels, FortyOneStripsReachJustPastTheLowerEdge) {
    HeadlessEngine& engine = PlainScene();
    run.frameCounter = 500;
    PanelAdd({.texture = TEX_FLOOR, .regionX = 0, .regionY = 0, .regionW = 100, .regionH = 100,
              .x = 0, .y = 0, .z = 305, .yaw = 0, .pitch = 0, .kind = 1});
    const auto& quads = StepRecorded(engine, 0);
    ASSERT_EQ(quads.size(), 41u);
    float s = 1000.0f / 1305.0f;
    EXPECT_NEAR(quads.front().v[0].x, 320 - 50 * s, 1e-3);
    EXPECT_NEAR(quads.front().v[0].y, 272 - 50 * s, 1e-3);
    EXPECT_NEAR(quads.front().v[1].x, 320 + 50 * s, 1e-3);
    // Vertical steps divide by 40.6, so strip 40 ends at 41 / 40.6 of the height.
    EXPECT_NEAR(quads.back().v[3].y, 272 - 50 * s + 41 * (100 * s) / 40.6f, 1e-3);
}

TEST(Panels, PillarFacesTurnedAwayAreDarker) {
    HeadlessEngine& engine = PlainScene();
    run.frameCounter = 500;
    PanelAdd({.texture = TEX_PILLAR, .regionX = 0, .regionY = 0, .regionW = 24, .regionH = 512,
              .x = 0, .y = 0, .z = 600, .yaw = 112 / 57.3f, .pitch = 0, .kind = 2});
    const auto& quads = StepRecorded(engine, 0);
    ASSERT_FALSE(quads.empty());
    EXPECT_EQ(quads.front().v[0].col & 0xFFFFFF, 0x373737u);
}

TEST(Panels, NotDrawnOutOfViewOrTooClose) {
    struct Case { const char* name; float size, z; };
    const Case cases[] = {
        {"all corners outside the view", 2400, 300},  // covers the screen, still skipped
        {"within 100 of the camera", 50, 95},
        {"hidden kind", 100, 300},
    };
    for (const Case& c : cases) {
        HeadlessEngine& engine = PlainScene();
        int size = static_cast<int>(c.size);
        PanelAdd({.texture = TEX_FLOOR, .regionX = 0, .regionY = 0, .regionW = size,
                  .regionH = size, .x = 0, .y = 0, .z = c.z, .yaw = 0, .pitch = 0,
                  .kind = c.size == 100 ? 150 : 1});
        EXPECT_TRUE(StepRecorded(engine, 0).empty()) << c.name;
    }
}

TEST(Panels, ShakeMovesEveryCorner) {
    HeadlessEngine& engine = PlainScene();
    run.frameCounter = 500;
    PanelAdd({.texture = TEX_FLOOR, .regionX = 0, .regionY = 0, .regionW = 100, .regionH = 100,
              .x = 0, .y = 0, .z = 305, .yaw = 0, .pitch = 0, .kind = 1});
    float x0 = StepRecorded(engine, 0).front().v[0].x;
    panelZ[0] = 305;
    shakeLevel = 3;
    shakeX = 10;
    shakeY = 4;
    const auto& quads = StepRecorded(engine, 0);
    EXPECT_NEAR(quads.front().v[0].x, x0 + 10, 1e-3);
    shakeLevel = 0;
    shakeX = shakeY = 0;
}

TEST(Panels, ProjectionRefusesPointsAtOrBehindTheEye) {
    PlainScene();
    float sx = 0, sy = 0;
    ASSERT_TRUE(Project(100, 50, 0, sx, sy));
    EXPECT_FLOAT_EQ(sx, 100);
    EXPECT_FLOAT_EQ(sy, 50);
    ASSERT_TRUE(Project(100, 50, 1000, sx, sy));
    EXPECT_FLOAT_EQ(sx, 50);
    EXPECT_FALSE(Project(100, 50, -1000, sx, sy));  // on the eye: would divide by zero
    EXPECT_FALSE(Project(100, 50, -1500, sx, sy));  // behind it: would come out mirrored
    // A panel reaching behind the eye is not drawn, and nothing turns into NaN.
    HeadlessEngine& engine = PlainScene();
    run.frameCounter = 500;
    PanelAdd({.texture = TEX_FLOOR, .regionX = 0, .regionY = 0, .regionW = 100, .regionH = 100,
              .x = 0, .y = 0, .z = -990, .yaw = 1.2f, .pitch = 0, .kind = 1});
    EXPECT_TRUE(StepRecorded(engine, 0).empty());
    EXPECT_TRUE(std::isfinite(panelDistance[0]));
}

TEST(Panels, SwapKeepsDepthsWithListPositions) {
    PlainScene();
    PanelAdd({.texture = TEX_FLOOR, .regionX = 0, .regionY = 0, .regionW = 100, .regionH = 100,
              .x = 1, .y = 0, .z = 300, .yaw = 0, .pitch = 0, .kind = 1});
    PanelAdd({.texture = TEX_PILLAR, .regionX = 0, .regionY = 0, .regionW = 24, .regionH = 512,
              .x = 2, .y = 0, .z = 600, .yaw = 0, .pitch = 0, .kind = 2});
    Sprite* second = panelSprite[1];
    float depth0 = panelSprite[0]->Depth(0), depth1 = panelSprite[1]->Depth(0);
    EXPECT_EQ(depth0, 0.899f);
    EXPECT_EQ(depth1, 0.899f + 0.00001f);
    SwapPanels(0, 1);
    EXPECT_EQ(panelSprite[0], second);
    EXPECT_EQ(panelX[0], 2);
    EXPECT_EQ(panelKind[0], 2);
    EXPECT_EQ(panelSprite[0]->Depth(0), depth0);
    EXPECT_EQ(panelSprite[1]->Depth(0), depth1);
}

TEST(Panels, AddReturnsTheCountAndStopsAtTheListsEnd) {
    PlainScene();
    const PanelSpawn floor = {.texture = TEX_FLOOR, .regionX = 0, .regionY = 0, .regionW = 8,
                              .regionH = 8, .x = 0, .y = 0, .z = 500, .yaw = 0, .pitch = 0,
                              .kind = 1};
    for (int i = 0; i < kPanelSlots; i++) ASSERT_EQ(PanelAdd(floor), i + 1);
    EXPECT_EQ(PanelAdd(floor), kPanelSlots);
    panelCount = 0;
}

}  // namespace
