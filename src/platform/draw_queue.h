// draw_queue.h -- a scene's quads gathered into runs that share a draw state, so that a
// software renderer gets few draw calls: each one costs it about as much as a few hundred
// small quads. A quad joins the last run of its state, or an earlier one when nothing queued
// since that run touches its bounds; so at every pixel the quads still come in the order they
// were given, and the picture is the same as drawing them one by one. Quads blended over the
// screen and quads added to it may share a run (a mixed run), each vertex saying which it is:
// effects that draw the same picture both ways by turns then take one draw call, not one each
// (the renderer's blend for such a run may round a pixel a level apart; see sdl_render.cpp).
// Plain bookkeeping, tested without a window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/engine.h"

struct QueuedVertex {
    float x, y;
    uint32_t col;
    float u, v;
    float over = 1;  // 1: blended over the screen, 0: added to it; the queue fills it in
};

// How a run is drawn.
struct DrawState {
    HTEXTURE tex = 0;
    int blend = 0;
    bool blending = true;   // blending on
    bool filtering = true;  // bilinear sampling
    bool mixed = false;     // blended over and added by turns, as each vertex says; blend's
                            // BLEND_ALPHABLEND bit is then that of the run's first quad
    bool tiling = false;    // the picture repeats past its edges (TilesPicture)
};

// What a quad asks of the run it joins.
struct QuadNeeds {
    bool blend = true;   // blending changes its picture
    bool filter = true;  // bilinear filtering changes its picture
    bool tiles = false;  // its picture repeats past its edges (TilesPicture)
    bool big = false;    // worth a run of its own rather than one doing work it does not need
};

// Screen rectangle [x0, x1) x [y0, y1), in scene pixels.
struct QuadBounds {
    float x0, y0, x1, y1;
};

class DrawQueue {
public:
    struct Run {
        DrawState state;
        std::vector<QueuedVertex> vertices;  // four per quad
        std::vector<uint64_t> cells;         // one row of cell bits per cell row it may touch
    };

    // Sizes the grid of cells that tracks where each run draws; clears the queue.
    void SetScene(int width, int height);
    // How many runs back a quad may look for one of its state; 0 keeps the order as given.
    void SetLookBack(int runs) { lookBack_ = runs; }
    // Whether runs may be mixed (on by default).
    void SetMixing(bool on) { mixing_ = on; }

    // Queues a quad of texture tex and blend mode blend. A quad that needs neither blending nor
    // filtering joins a run that has them, unless it is big, when it is worth a run without
    // them. A quad that tiles its picture shares runs only with others that do. A quad wholly
    // off the scene draws nothing and is left out; the return value says whether it was queued.
    bool Add(HTEXTURE tex, int blend, const QuadNeeds& needs, const QueuedVertex (&corners)[4],
             const QuadBounds& bounds);

    int Quads() const { return quads_; }
    int Runs() const { return runCount_; }
    const Run& RunAt(int i) const { return runs_[static_cast<size_t>(i)]; }
    // Empties the queue; the runs keep their storage for the next scene.
    void Clear();

private:
    struct CellSpan {
        int row0, row1;  // inclusive
        uint64_t bits;   // the columns, the same in every row
    };
    bool Span(const QuadBounds& bounds, CellSpan& span) const;
    static bool Fits(const DrawState& run, const QuadNeeds& needs);
    bool Touches(const Run& run, const CellSpan& span) const;

    int width_ = 0;
    int height_ = 0;
    int cell_ = 16;
    int rows_ = 0;
    int lookBack_ = 64;
    bool mixing_ = true;
    std::vector<Run> runs_;  // runs_[0, runCount_) hold this scene's runs, in drawing order
    int runCount_ = 0;
    int quads_ = 0;
};
