// draw_queue.cpp -- runs of quads and the cells they cover.
#include "platform/draw_queue.h"

#include <algorithm>
#include <cmath>

void DrawQueue::SetScene(int width, int height) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    // Cells of 16 pixels, larger if that is needed to keep a row in 64 bits and 64 rows.
    int longest = std::max(width_, height_);
    cell_ = std::max(16, (longest + 63) / 64);
    rows_ = (height_ + cell_ - 1) / cell_;
    for (Run& run : runs_) run.cells.assign(static_cast<size_t>(rows_), 0);
    Clear();
}

void DrawQueue::Clear() {
    for (int i = 0; i < runCount_; ++i) {
        Run& run = runs_[static_cast<size_t>(i)];
        run.vertices.clear();
        std::fill(run.cells.begin(), run.cells.end(), 0);
    }
    runCount_ = 0;
    quads_ = 0;
}

bool DrawQueue::Span(const QuadBounds& b, CellSpan& span) const {
    // A pixel is drawn when its centre is inside the quad, so nothing outside the bounds is.
    if (b.x1 <= 0 || b.y1 <= 0 || b.x0 >= static_cast<float>(width_) ||
        b.y0 >= static_cast<float>(height_)) {
        return false;
    }
    float x0 = b.x0, y0 = b.y0, x1 = b.x1, y1 = b.y1;
    if (!(x0 <= x1 && y0 <= y1)) {  // not a number: anywhere
        x0 = y0 = 0;
        x1 = static_cast<float>(width_);
        y1 = static_cast<float>(height_);
    }
    // The cell holding coordinate v, kept inside the scene's `limit` pixels.
    auto cellOf = [this](float v, int limit) {
        float clamped = std::clamp(v, 0.0f, static_cast<float>(limit - 1));
        return static_cast<int>(std::floor(clamped / static_cast<float>(cell_)));
    };
    int c0 = cellOf(x0, width_);
    int c1 = cellOf(x1, width_);
    span.row0 = cellOf(y0, height_);
    span.row1 = cellOf(y1, height_);
    uint64_t upTo = c1 >= 63 ? ~uint64_t{0} : (uint64_t{1} << (c1 + 1)) - 1;
    span.bits = upTo & ~((uint64_t{1} << c0) - 1);
    return true;
}

bool DrawQueue::Fits(const DrawState& run, const QuadNeeds& needs) {
    bool fits = (run.blending || !needs.blend) && (run.filtering || !needs.filter) &&
                run.tiling == needs.tiles;
    bool wasteful = (run.blending && !needs.blend) || (run.filtering && !needs.filter);
    return fits && !(needs.big && wasteful);
}

bool DrawQueue::Touches(const Run& run, const CellSpan& span) const {
    for (int row = span.row0; row <= span.row1; ++row) {
        if ((run.cells[static_cast<size_t>(row)] & span.bits) != 0) return true;
    }
    return false;
}

bool DrawQueue::Add(HTEXTURE tex, int blend, const QuadNeeds& needs,
                    const QueuedVertex (&corners)[4], const QuadBounds& bounds) {
    CellSpan span{};
    if (!Span(bounds, span)) return false;

    // The latest run of this state the quad can reach without passing one it overlaps; failing
    // that, the latest it can reach that would only need to turn mixed.
    Run* into = nullptr;
    Run* mixes = nullptr;
    const int oldest = std::max(0, runCount_ - 1 - lookBack_);
    for (int i = runCount_ - 1; i >= oldest; --i) {
        Run& run = runs_[static_cast<size_t>(i)];
        if (run.state.tex == tex && Fits(run.state, needs)) {
            // A mixed run takes either mode; a blending run could turn mixed for the other.
            const bool otherMode = (run.state.blend ^ blend) == BLEND_ALPHABLEND;
            if (run.state.blend == blend || (run.state.mixed && otherMode)) {
                into = &run;
                break;
            }
            if (mixes == nullptr && mixing_ && run.state.blending && otherMode) mixes = &run;
        }
        if (Touches(run, span)) break;
    }
    if (into == nullptr && mixes != nullptr) {
        into = mixes;
        into->state.mixed = true;
    }
    if (into == nullptr) {
        if (static_cast<size_t>(runCount_) == runs_.size()) {
            runs_.emplace_back();
            runs_.back().cells.assign(static_cast<size_t>(rows_), 0);
        }
        into = &runs_[static_cast<size_t>(runCount_++)];
        into->state = {.tex = tex, .blend = blend, .blending = needs.blend,
                       .filtering = needs.filter, .tiling = needs.tiles};
    }
    const float over = (blend & BLEND_ALPHABLEND) != 0 ? 1.0f : 0.0f;
    for (const QueuedVertex& corner : corners) {
        into->vertices.push_back(corner);
        into->vertices.back().over = over;
    }
    for (int row = span.row0; row <= span.row1; ++row) {
        into->cells[static_cast<size_t>(row)] |= span.bits;
    }
    ++quads_;
    return true;
}
