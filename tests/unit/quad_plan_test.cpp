// The renderer's per-quad shortcuts: a quad may skip blending, filtering or drawing only where
// the picture provably stays the same, and a split quad covers exactly its visible texels.
#include "platform/quad_plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// 64 x 64: the left half fully transparent, the right half opaque, except a soft (half
// transparent) column at x = 40..43.
std::vector<uint32_t> HalfClearPicture() {
    std::vector<uint32_t> p(64 * 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            uint32_t a = x < 32 ? 0 : (x >= 40 && x < 44) ? 0x80 : 0xFF;
            p[size_t(y * 64 + x)] = (a << 24) | 0x336699;
        }
    }
    return p;
}

// A quad as Sprite draws it: region (rx, ry, w, h) of a 64 x 64 texture, corners from (x, y)
// with size (dw, dh), turned by rot radians about its top-left corner.
hgeQuad MakeQuad(float rx, float ry, float w, float h, float x, float y, float dw, float dh,
                 float rot = 0, uint32_t colour = 0xFFFFFFFF, int blend = BLEND_DEFAULT) {
    hgeQuad q{};
    q.tex = 1;
    q.blend = blend;
    const float u0 = rx / 64, v0 = ry / 64, u1 = (rx + w) / 64, v1 = (ry + h) / 64;
    const float corner[4][4] = {{0, 0, u0, v0}, {dw, 0, u1, v0}, {dw, dh, u1, v1}, {0, dh, u0, v1}};
    const float c = std::cos(rot), s = std::sin(rot);
    for (int i = 0; i < 4; ++i) {
        float a = corner[i][0], b = corner[i][1];
        q.v[i] = {rot == 0 ? x + a : x + a * c - b * s, rot == 0 ? y + b : y + a * s + b * c, 0.5f,
                  colour, corner[i][2], corner[i][3]};
    }
    return q;
}

TEST(AlphaCellsTest, AnswersOnlyForRegionsThatAreWhollyClearOrOpaque) {
    std::vector<uint32_t> picture = HalfClearPicture();
    AlphaCells cells;
    cells.Build(picture.data(), 64, 64);
    struct Case {
        int x0, y0, x1, y1;
        bool clear, opaque;
    } cases[] = {
        {0, 0, 32, 64, true, false},    // the clear half
        {0, 0, 33, 64, false, false},   // one visible column
        {32, 0, 40, 64, false, true},   // opaque up to the soft column
        {32, 0, 41, 64, false, false},  // the soft column is not opaque
        {44, 10, 64, 20, false, true},
        {-10, -10, 8, 8, true, false},  // clamped to the texture
        {20, 20, 20, 30, false, false}, // empty region: neither
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x0 << "," << c.y0 << " - " << c.x1 << "," << c.y1);
        EXPECT_EQ(cells.AllClear(c.x0, c.y0, c.x1, c.y1), c.clear);
        EXPECT_EQ(cells.AllOpaque(c.x0, c.y0, c.x1, c.y1), c.opaque);
    }
}

TEST(PlanQuadTest, TakesAShortcutOnlyWhereThePictureStaysTheSame) {
    std::vector<uint32_t> picture = HalfClearPicture();
    AlphaCells cells;
    cells.Build(picture.data(), 64, 64);
    struct Case {
        const char* what;
        hgeQuad quad;
        bool textured;
        bool draw, blend, filter;
    } cases[] = {
        {"opaque texels 1:1 on whole pixels", MakeQuad(44, 0, 16, 16, 100, 50, 16, 16), true,
         true, false, false},
        {"opaque texels half a pixel off", MakeQuad(48, 0, 12, 16, 100.5f, 50, 12, 16), true,
         true, false, true},
        {"opaque texels scaled twofold", MakeQuad(48, 0, 12, 16, 100, 50, 24, 32), true, true,
         false, true},
        {"bilinear reach into the soft column", MakeQuad(44, 0, 16, 16, 100.5f, 50, 16, 16), true,
         true, true, true},
        {"tint not fully opaque", MakeQuad(44, 0, 16, 16, 100, 50, 16, 16, 0, 0xFEFFFFFF), true,
         true, true, false},
        {"additive never drops blending", MakeQuad(44, 0, 16, 16, 100, 50, 16, 16, 0, 0xFFFFFFFF,
                                                   BLEND_COLORMUL | BLEND_ALPHAADD),
         true, true, true, false},
        {"clear texels, turned", MakeQuad(4, 4, 16, 16, 200, 200, 16, 16, 0.7f), true, false,
         true, true},
        {"turned quad reaching visible texels", MakeQuad(16, 4, 15, 16, 200, 200, 15, 16, 0.7f),
         true, true, true, true},
        {"vertex alpha 0 everywhere", MakeQuad(44, 0, 16, 16, 100, 50, 16, 16, 0, 0x00FFFFFF),
         true, false, true, true},
        {"untextured opaque colour", MakeQuad(0, 0, 0, 0, 10, 10, 30, 30, 0.3f, 0xFF123456),
         false, true, false, false},
        {"untextured translucent colour", MakeQuad(0, 0, 0, 0, 10, 10, 30, 30, 0, 0x80123456),
         false, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QuadPlan plan = c.textured ? PlanQuad(c.quad, &cells, 64, 64) : PlanQuad(c.quad, nullptr, 0, 0);
        EXPECT_EQ(plan.draw, c.draw);
        if (!plan.draw) continue;
        EXPECT_EQ(plan.blend, c.blend);
        EXPECT_EQ(plan.filter, c.filter);
    }
}

// A quad whose coordinates span more than its picture repeats the picture, so texels far from
// its corners' coordinates are in reach; one that only reaches a little past an edge keeps to
// the edge texels, as the corridor's last strips do.
TEST(PlanQuadTest, AQuadSpanningMoreThanItsPictureTilesIt) {
    std::vector<uint32_t> picture = HalfClearPicture();
    AlphaCells cells;
    cells.Build(picture.data(), 64, 64);
    // u from -0.70 to 0.45: clamped, every texel in reach would be clear; repeated, the
    // stretch below 0 shows the visible right half.
    const hgeQuad tiled = MakeQuad(-45, 0, 74, 16, 100, 50, 74, 16);
    EXPECT_TRUE(TilesPicture(tiled));
    QuadPlan plan = PlanQuad(tiled, &cells, 64, 64);
    EXPECT_TRUE(plan.tile);
    EXPECT_TRUE(plan.draw);
    EXPECT_TRUE(plan.filter);  // never taken for a 1:1 copy of texels

    const hgeQuad pastTheEdge = MakeQuad(-10, 0, 20, 16, 100, 50, 20, 16);
    EXPECT_FALSE(TilesPicture(pastTheEdge));
    plan = PlanQuad(pastTheEdge, &cells, 64, 64);
    EXPECT_FALSE(plan.tile);
    EXPECT_FALSE(plan.draw);  // clamped: only clear texels in reach

    EXPECT_TRUE(TilesPicture(MakeQuad(0, 0, 64, 130, 0, 0, 64, 130)));  // down, too
    EXPECT_FALSE(TilesPicture(MakeQuad(0, 0, 64, 64, 0, 0, 640, 640)));  // scaled, not tiled
}

TEST(PlanQuadTest, ATextureNotYetSummarisedGetsNoShortcut) {
    AlphaCells cells;  // never built
    QuadPlan plan = PlanQuad(MakeQuad(0, 0, 16, 16, 0, 0, 16, 16), &cells, 64, 64);
    EXPECT_TRUE(plan.draw);
    EXPECT_TRUE(plan.blend);
    EXPECT_FALSE(plan.split);
}

// A frame picture: an 8-texel opaque border around a transparent middle.
TEST(SplitAlignedQuadTest, LeavesOutTheClearMiddleAndCoversTheRestOnce) {
    std::vector<uint32_t> frame(64 * 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            bool border = x < 8 || x >= 56 || y < 8 || y >= 56;
            frame[size_t(y * 64 + x)] = border ? 0xFF203040u : 0x00000000u;
        }
    }
    AlphaCells cells;
    cells.Build(frame.data(), 64, 64);
    for (int blend : {BLEND_DEFAULT, BLEND_COLORMUL | BLEND_ALPHAADD}) {
        SCOPED_TRACE(blend);
        hgeQuad q = MakeQuad(0, 0, 64, 64, 10, 20, 64, 64, 0, 0xFFFFFFFF, blend);
        QuadPlan plan = PlanQuad(q, &cells, 64, 64);
        ASSERT_TRUE(plan.split);
        std::vector<QuadPiece> pieces;
        SplitAlignedQuad(q, cells, 64, 64, pieces);
        EXPECT_EQ(pieces.size(), 4u);  // top, left, right, bottom: bands with equal runs merge
        std::vector<int> covered(64 * 64, 0);
        for (const QuadPiece& p : pieces) {
            // Opaque where blending allows it, except runs too narrow to be worth a piece.
            EXPECT_EQ(p.opaque, blend == BLEND_DEFAULT && p.x1 - p.x0 >= 32);
            // Texture coordinates follow the pixels one to one.
            EXPECT_FLOAT_EQ(p.u0 * 64, p.x0 - 10);
            EXPECT_FLOAT_EQ(p.v1 * 64, p.y1 - 20);
            for (int y = int(p.y0) - 20; y < int(p.y1) - 20; ++y) {
                for (int x = int(p.x0) - 10; x < int(p.x1) - 10; ++x) ++covered[size_t(y * 64 + x)];
            }
        }
        for (int i = 0; i < 64 * 64; ++i) {
            ASSERT_EQ(covered[size_t(i)], frame[size_t(i)] != 0 ? 1 : 0) << "texel " << i;
        }
    }
}

}  // namespace
