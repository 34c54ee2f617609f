// Sprite and Rect: placement, transforms, regions, mirroring and bounds.
#include "gfx/sprite.h"

#include <gtest/gtest.h>

#include "support/headless.h"

namespace {

struct Corners { float x0, y0, x2, y2; };

Corners Drawn(HeadlessEngine& engine) {
    const hgeQuad& q = engine.RecordedQuads().back();
    return {q.v[0].x, q.v[0].y, q.v[2].x, q.v[2].y};
}

using SpriteTest = RecordedSceneTest;

TEST_F(SpriteTest, AnchorPlacesTheRegionAroundTheDrawingPoint) {
    Sprite s(0, 0, 0, 32, 32);
    s.SetAnchor(16, 16);
    s.Draw(100, 100);
    Corners c = Drawn(*engine);
    EXPECT_FLOAT_EQ(c.x0, 84);
    EXPECT_FLOAT_EQ(c.y0, 84);
    EXPECT_FLOAT_EQ(c.x2, 116);
    EXPECT_FLOAT_EQ(c.y2, 116);
}

TEST_F(SpriteTest, TransformedWithoutRotationOrScaleEqualsPlainDraw) {
    Sprite s(0, 0, 0, 20, 10);
    s.SetAnchor(5, 3);
    s.Draw(50.25f, 60.5f);
    hgeQuad plain = engine->RecordedQuads().back();
    s.DrawTransformed(50.25f, 60.5f, 0.0f, 1.0f);
    hgeQuad transformed = engine->RecordedQuads().back();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(plain.v[i].x, transformed.v[i].x);
        EXPECT_EQ(plain.v[i].y, transformed.v[i].y);
    }
}

TEST_F(SpriteTest, ZeroVerticalScaleFollowsHorizontalAndRotationTurnsClockwise) {
    Sprite s(0, 0, 0, 10, 10);
    s.DrawTransformed(0, 0, 0.0f, 2.0f, 0.0f);
    EXPECT_FLOAT_EQ(Drawn(*engine).y2, 20);
    // A quarter turn clockwise takes the top-right corner (10, 0) to (0, 10).
    s.DrawTransformed(0, 0, 1.5707964f, 1.0f);
    const hgeQuad& q = engine->RecordedQuads().back();
    EXPECT_NEAR(q.v[1].x, 0, 1e-5);
    EXPECT_NEAR(q.v[1].y, 10, 1e-5);
}

TEST_F(SpriteTest, SetRegionWithoutAdjustingKeepsTheDrawnSize) {
    Sprite s(0, 0, 0, 32, 32);
    s.SetRegion(0, 0, 16, 16, false);
    s.Draw(0, 0);
    EXPECT_FLOAT_EQ(Drawn(*engine).x2, 32);
    EXPECT_FLOAT_EQ(s.Quad().v[2].tx, 16);  // no texture: texel units
}

TEST_F(SpriteTest, MirroringSwapsTextureCoordinates) {
    Sprite s(0, 0, 0, 8, 4);
    s.SetAnchor(2, 1);
    // The anchor follows the axis flags as they stood before this call: not yet mirrored.
    s.SetMirror(true, false, true);
    EXPECT_FLOAT_EQ(s.AnchorX(), 2);
    EXPECT_FLOAT_EQ(s.Quad().v[0].tx, 8);
    EXPECT_FLOAT_EQ(s.Quad().v[1].tx, 0);
    // A new region keeps the mirroring and leaves the anchor alone.
    s.SetRegion(0, 0, 4, 4);
    EXPECT_FLOAT_EQ(s.Quad().v[0].tx, 4);
    EXPECT_FLOAT_EQ(s.AnchorX(), 2);
}

TEST_F(SpriteTest, ARegionSetAgainFollowsANewTextureSizeAndMirroring) {
    HTEXTURE small = engine->Texture_Create(64, 64);
    HTEXTURE large = engine->Texture_Create(128, 128);
    Sprite s(small, 0, 0, 16, 16);
    s.SetRegion(16, 0, 16, 16);
    s.ChangeTexture(large);
    s.SetRegion(16, 0, 16, 16);  // the same region again, on a texture twice the size
    EXPECT_FLOAT_EQ(s.Quad().v[0].tx, 16.0f / 128);
    EXPECT_FLOAT_EQ(s.Quad().v[1].tx, 32.0f / 128);
    s.SetMirror(true, false, false);
    s.SetRegion(16, 0, 16, 16);
    EXPECT_FLOAT_EQ(s.Quad().v[0].tx, 32.0f / 128);  // still mirrored
    // A rotation drawn twice lands in the same place both times.
    s.DrawTransformed(50, 50, 0.5f, 1.0f);
    hgeQuad first = engine->RecordedQuads().back();
    s.DrawTransformed(50, 50, 0.25f, 1.0f);
    s.DrawTransformed(50, 50, 0.5f, 1.0f);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(engine->RecordedQuads().back().v[i].x, first.v[i].x);
    engine->Texture_Free(small);
    engine->Texture_Free(large);
}

TEST_F(SpriteTest, TintAndDepthReachOneCornerOrAll) {
    Sprite s(0, 0, 0, 1, 1);
    s.SetTint(0x80FF0000);
    s.SetDepth(0.3f, 2);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s.Tint(i), 0x80FF0000u);
    EXPECT_FLOAT_EQ(s.Depth(2), 0.3f);
    EXPECT_FLOAT_EQ(s.Depth(0), 0.5f);
}

TEST(RectTest, EdgesExpandAndOverlap) {
    Rect r(0, 0, 10, 10);
    EXPECT_TRUE(r.Contains(0, 0));
    EXPECT_FALSE(r.Contains(10, 5));
    EXPECT_FALSE(r.Contains(5, 10));
    Rect point;
    point.Expand(3, 4);
    EXPECT_FALSE(point.empty);
    EXPECT_EQ(point.x2 - point.x1, 0);
    EXPECT_FALSE(r.Overlaps(Rect(10, 0, 20, 10)));  // touching only
    EXPECT_TRUE(r.Overlaps(Rect(9, 9, 20, 20)));
}

TEST_F(SpriteTest, BoundsOfARotatedSquareGrowByTheDiagonal) {
    Sprite s(0, 0, 0, 10, 10);
    s.SetAnchor(5, 5);
    Rect r;
    s.BoundsTransformed(0, 0, 0.7853982f, 1, 1, &r);
    EXPECT_NEAR(r.x2 - r.x1, 14.142f, 1e-3);
}

// The bounds are what a draw would cover, to the last bit, whatever the turn and scales.
TEST_F(SpriteTest, BoundsMatchTheDrawnCornersExactly) {
    Sprite s(0, 0, 0, 24, 10);
    s.SetAnchor(7, 3);
    const float cases[][5] = {{100, 50, 0, 1, 1},      {100.25f, 49.5f, 0.3f, 1, 0},
                              {33, 12, -2.0f, 1.5f, 0.5f}, {320, 240, 3.1415927f, 2, 3},
                              {0.1f, 0.7f, 1e-7f, 1, 1}};
    for (const auto& c : cases) {
        s.DrawTransformed(c[0], c[1], c[2], c[3], c[4]);
        const hgeQuad& q = engine->RecordedQuads().back();
        Rect bounds;
        s.BoundsTransformed(c[0], c[1], c[2], c[3], c[4] == 0 ? c[3] : c[4], &bounds);
        Rect drawn;
        for (const hgeVertex& v : q.v) drawn.Expand(v.x, v.y);
        EXPECT_EQ(drawn.x1, bounds.x1);
        EXPECT_EQ(drawn.y1, bounds.y1);
        EXPECT_EQ(drawn.x2, bounds.x2);
        EXPECT_EQ(drawn.y2, bounds.y2);
    }
}

TEST_F(SpriteTest, StretchedAndCornerDrawsIgnoreTheAnchor) {
    Sprite s(0, 0, 0, 10, 10);
    s.SetAnchor(5, 5);
    s.DrawStretched(1, 2, 30, 40);
    Corners c = Drawn(*engine);
    EXPECT_FLOAT_EQ(c.x0, 1);
    EXPECT_FLOAT_EQ(c.y0, 2);
    EXPECT_FLOAT_EQ(c.x2, 30);
    EXPECT_FLOAT_EQ(c.y2, 40);
    s.DrawCorners(0, 0, 8, 1, 9, 9, 1, 8);
    const hgeQuad& q = engine->RecordedQuads().back();
    EXPECT_FLOAT_EQ(q.v[1].x, 8);
    EXPECT_FLOAT_EQ(q.v[1].y, 1);
    EXPECT_FLOAT_EQ(q.v[3].x, 1);
    EXPECT_FLOAT_EQ(q.v[3].y, 8);
}

TEST_F(SpriteTest, ChangeTextureKeepsTheRegionInTexels) {
    HTEXTURE small = engine->Texture_Create(64, 32);
    HTEXTURE sameSize = engine->Texture_Create(64, 32);
    HTEXTURE large = engine->Texture_Create(128, 64);
    Sprite s(small, 16, 8, 16, 8);
    s.SetMirror(true, false, false);
    s.ChangeTexture(sameSize);  // same size: only the handle changes
    EXPECT_EQ(s.Texture(), sameSize);
    EXPECT_FLOAT_EQ(s.Quad().v[0].tx, 0.5f);
    s.ChangeTexture(large);
    EXPECT_FLOAT_EQ(s.Quad().v[0].tx, 0.25f);  // still mirrored: corner 0 holds the right edge
    EXPECT_FLOAT_EQ(s.Quad().v[1].tx, 0.125f);
    EXPECT_FLOAT_EQ(s.Quad().v[2].ty, 0.25f);
    s.ChangeTexture(0);  // no texture: texel units
    EXPECT_FLOAT_EQ(s.Quad().v[0].tx, 32);
    for (HTEXTURE t : {small, sameSize, large}) engine->Texture_Free(t);
}

}  // namespace
