// The renderer's draw queue: quads of one state gather into few runs, but never so that two
// quads that may share a pixel are drawn in another order than they came.
#include "platform/draw_queue.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

namespace {

// A quad of the given bounds; its number travels in the colour, to follow it through the runs.
bool AddQuad(DrawQueue& queue, int number, HTEXTURE tex, QuadBounds b, bool needBlend = true,
             bool needFilter = true, bool big = false, int blend = BLEND_DEFAULT,
             bool tiles = false) {
    const uint32_t c = static_cast<uint32_t>(number);
    const QueuedVertex corners[4] = {{b.x0, b.y0, c, 0, 0}, {b.x1, b.y0, c, 1, 0},
                                     {b.x1, b.y1, c, 1, 1}, {b.x0, b.y1, c, 0, 1}};
    return queue.Add(tex, blend,
                     {.blend = needBlend, .filter = needFilter, .tiles = tiles, .big = big},
                     corners, b);
}

// The quad numbers of each run, in drawing order.
std::vector<std::vector<int>> RunsOf(const DrawQueue& queue) {
    std::vector<std::vector<int>> runs;
    for (int i = 0; i < queue.Runs(); ++i) {
        std::vector<int> numbers;
        const auto& v = queue.RunAt(i).vertices;
        for (size_t k = 0; k < v.size(); k += 4) numbers.push_back(static_cast<int>(v[k].col));
        runs.push_back(numbers);
    }
    return runs;
}

using Runs = std::vector<std::vector<int>>;

TEST(DrawQueue, QuadsOfAStateGatherWhileNothingBetweenOverlapsThem) {
    DrawQueue queue;
    queue.SetScene(640, 480);
    // Two textures taking turns, like a particle drawn with one picture and then another.
    // Apart, they make two runs; once a quad overlaps one queued after its run, a new run
    // starts.
    const QuadBounds apart[4] = {{0, 0, 10, 10}, {100, 0, 110, 10}, {200, 0, 210, 10},
                                 {300, 0, 310, 10}};
    AddQuad(queue, 0, 1, apart[0]);
    AddQuad(queue, 1, 2, apart[0]);
    AddQuad(queue, 2, 1, apart[1]);
    AddQuad(queue, 3, 2, apart[1]);
    AddQuad(queue, 4, 1, apart[2]);
    AddQuad(queue, 5, 2, apart[2]);
    EXPECT_EQ(RunsOf(queue), (Runs{{0, 2, 4}, {1, 3, 5}}));
    AddQuad(queue, 6, 1, {205, 5, 215, 15});  // overlaps 5, in the last run
    AddQuad(queue, 7, 2, apart[3]);
    EXPECT_EQ(RunsOf(queue), (Runs{{0, 2, 4}, {1, 3, 5, 7}, {6}}));

    // With no look-back (the plain drawing) every change of state is a run of its own.
    queue.Clear();
    queue.SetLookBack(0);
    for (int i = 0; i < 4; ++i) AddQuad(queue, i, 1 + i % 2, apart[i]);
    EXPECT_EQ(RunsOf(queue), (Runs{{0}, {1}, {2}, {3}}));
}

TEST(DrawQueue, BlendingAndFilteringRunsTakeSmallQuadsThatNeedNeither) {
    DrawQueue queue;
    queue.SetScene(640, 480);
    AddQuad(queue, 0, 1, {0, 0, 8, 8});
    AddQuad(queue, 1, 1, {10, 0, 18, 8}, false, false);          // small: joins
    AddQuad(queue, 2, 1, {20, 0, 120, 100}, false, false, true);  // big: a run without them
    AddQuad(queue, 3, 1, {200, 0, 208, 8});                       // needs both: back to run 0
    AddQuad(queue, 4, 1, {0, 0, 8, 8}, true, true, false, BLEND_DEFAULT | BLEND_COLORADD);
    EXPECT_EQ(RunsOf(queue), (Runs{{0, 1, 3}, {2}, {4}}));  // another colouring: another run
    EXPECT_FALSE(queue.RunAt(1).state.blending);
    EXPECT_FALSE(queue.RunAt(1).state.filtering);
    EXPECT_EQ(queue.RunAt(2).state.blend, BLEND_DEFAULT | BLEND_COLORADD);
}

// A tiled picture is sampled repeating, every other one clamped at its edges: they never share
// a run, even where a quad that needs neither blending nor filtering could join one.
TEST(DrawQueue, TiledPicturesHaveRunsOfTheirOwn) {
    DrawQueue queue;
    queue.SetScene(640, 480);
    AddQuad(queue, 0, 1, {0, 0, 8, 8});
    AddQuad(queue, 1, 1, {100, 0, 108, 8}, true, true, false, BLEND_DEFAULT, true);
    AddQuad(queue, 2, 1, {200, 0, 208, 8}, false, false);
    AddQuad(queue, 3, 1, {300, 0, 308, 8}, true, true, false, BLEND_DEFAULT, true);
    EXPECT_EQ(RunsOf(queue), (Runs{{0, 2}, {1, 3}}));
    EXPECT_FALSE(queue.RunAt(0).state.tiling);
    EXPECT_TRUE(queue.RunAt(1).state.tiling);
}

// A picture blended over the screen and then added to it, again and again in one place, as
// some effects draw: one mixed run whose vertices say which each quad is, where the two blend
// modes would need a run each time.
TEST(DrawQueue, BlendedOverAndAddedQuadsShareAMixedRun) {
    DrawQueue queue;
    queue.SetScene(640, 480);
    const QuadBounds spot{50, 50, 90, 90};
    for (int i = 0; i < 6; ++i) {
        AddQuad(queue, i, 1, spot, true, true, false, i % 2 == 0 ? BLEND_DEFAULT : BLEND_ALPHAADD);
    }
    AddQuad(queue, 6, 1, spot, false, true);  // opaque, blended over: it may join too
    ASSERT_EQ(RunsOf(queue), (Runs{{0, 1, 2, 3, 4, 5, 6}}));
    EXPECT_TRUE(queue.RunAt(0).state.mixed);
    std::vector<float> over;
    for (size_t k = 0; k < queue.RunAt(0).vertices.size(); k += 4) {
        over.push_back(queue.RunAt(0).vertices[k].over);
    }
    EXPECT_EQ(over, (std::vector<float>{1, 0, 1, 0, 1, 0, 1}));

    // Other textures and colourings, and runs drawn without blending, do not mix.
    AddQuad(queue, 7, 2, spot, true, true, false, BLEND_ALPHAADD);
    AddQuad(queue, 8, 1, spot, true, true, false, BLEND_ALPHAADD | BLEND_COLORADD);
    AddQuad(queue, 9, 1, {200, 0, 300, 100}, false, false, true);  // big and opaque: unblended
    AddQuad(queue, 10, 1, {200, 0, 300, 100}, true, true, false, BLEND_ALPHAADD);
    EXPECT_EQ(RunsOf(queue), (Runs{{0, 1, 2, 3, 4, 5, 6}, {7}, {8}, {9}, {10}}));
    EXPECT_FALSE(queue.RunAt(4).state.mixed);

    // A run of the quad's own blend mode within reach comes before one that would turn mixed.
    queue.Clear();
    AddQuad(queue, 0, 1, {0, 0, 10, 10}, true, true, false, BLEND_ALPHAADD);
    AddQuad(queue, 1, 2, {100, 0, 110, 10});
    AddQuad(queue, 2, 1, {100, 0, 110, 10});  // over 1: a run of its own
    AddQuad(queue, 3, 1, {200, 0, 210, 10}, true, true, false, BLEND_ALPHAADD);
    EXPECT_EQ(RunsOf(queue), (Runs{{0, 3}, {1}, {2}}));
    for (int i = 0; i < queue.Runs(); ++i) EXPECT_FALSE(queue.RunAt(i).state.mixed);

    // The plain drawing keeps the two modes apart.
    queue.Clear();
    queue.SetMixing(false);
    for (int i = 0; i < 3; ++i) {
        AddQuad(queue, i, 1, spot, true, true, false, i % 2 == 0 ? BLEND_DEFAULT : BLEND_ALPHAADD);
    }
    EXPECT_EQ(RunsOf(queue), (Runs{{0}, {1}, {2}}));
}

TEST(DrawQueue, QuadsOffTheSceneAreLeftOut) {
    DrawQueue queue;
    queue.SetScene(640, 480);
    const QuadBounds off[] = {{-20, 0, 0, 10}, {640, 0, 650, 10}, {0, -9, 10, 0},
                              {0, 480, 10, 500}};
    for (const QuadBounds& b : off) EXPECT_FALSE(AddQuad(queue, 0, 1, b));
    EXPECT_EQ(queue.Quads(), 0);
    // Partly on, or not a number: queued, and a NaN quad counts as covering everything.
    EXPECT_TRUE(AddQuad(queue, 1, 1, {-5, -5, 3, 3}));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(AddQuad(queue, 2, 2, {nan, 0, nan, 10}));
    EXPECT_TRUE(AddQuad(queue, 3, 1, {600, 400, 610, 410}));
    EXPECT_EQ(RunsOf(queue), (Runs{{1}, {2}, {3}}));
}

// Many random quads of a few states: at every pixel, the quads whose bounds hold its centre
// come in the same order drawn run by run as they were queued.
TEST(DrawQueue, EveryPixelSeesItsQuadsInTheOrderTheyCame) {
    const int width = 200, height = 120;
    std::mt19937 random(7);
    for (int round = 0; round < 10; ++round) {
        DrawQueue queue;
        queue.SetScene(width, height);
        queue.SetLookBack(round % 4 == 0 ? 3 : 64);
        std::vector<QuadBounds> bounds;
        const int count = 200;
        for (int i = 0; i < count; ++i) {
            float x = static_cast<float>(random() % 230) - 15.0f;
            float y = static_cast<float>(random() % 150) - 15.0f;
            float w = static_cast<float>(random() % 30) + 0.5f;
            float h = static_cast<float>(random() % 30) + 0.5f;
            QuadBounds b{x, y, x + w, y + h};
            HTEXTURE tex = 1 + static_cast<HTEXTURE>(random() % 3);
            // Added quads always blend; quads blended over may not need to.
            const bool added = random() % 3 == 0;
            const bool needBlend = added || random() % 2 == 0;
            if (AddQuad(queue, i, tex, b, needBlend, true, w * h > 400,
                        added ? BLEND_ALPHAADD : BLEND_DEFAULT)) {
                bounds.push_back(b);
            } else {
                bounds.push_back({-1, -1, -1, -1});
            }
        }
        std::vector<int> drawn;
        for (const auto& run : RunsOf(queue)) drawn.insert(drawn.end(), run.begin(), run.end());
        ASSERT_EQ(static_cast<int>(drawn.size()), queue.Quads());
        EXPECT_LT(queue.Runs(), count / 2);
        for (int py = 0; py < height; ++py) {
            for (int px = 0; px < width; ++px) {
                const float cx = static_cast<float>(px) + 0.5f, cy = static_cast<float>(py) + 0.5f;
                auto holds = [&](int i) {
                    const QuadBounds& b = bounds[static_cast<size_t>(i)];
                    return cx >= b.x0 && cx < b.x1 && cy >= b.y0 && cy < b.y1;
                };
                std::vector<int> queued, asDrawn;
                for (int i = 0; i < count; ++i) {
                    if (holds(i)) queued.push_back(i);
                }
                for (int i : drawn) {
                    if (holds(i)) asDrawn.push_back(i);
                }
                ASSERT_EQ(queued, asDrawn) << "pixel " << px << "," << py << " round " << round;
            }
        }
    }
}

}  // namespace
