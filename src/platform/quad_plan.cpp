// quad_plan.cpp -- the least work that gives the same picture, decided per quad.
#include "platform/quad_plan.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this many pixels a quad is not worth cutting into pieces: each piece costs the
// rasteriser a set-up of its own.
constexpr int kSplitArea = 64 * 64;
// Narrower runs of clear or opaque texels are drawn with their neighbours, blended.
constexpr int kMinClearRun = 16;
constexpr int kMinOpaqueRun = 32;

// How far a corner may sit from a whole pixel or texel and still count as on it. Sampling at
// a pixel's centre then lands within 1/1000 of a texel of the texel's centre, where bilinear
// weights of any hardware or software sampler are 0.
constexpr float kPixelSlack = 1.0f / 1024;

bool NearWhole(float v, int& whole) {
    if (!(std::fabs(v) < 1e6f)) return false;  // also false for NaN
    float r = std::nearbyint(v);
    if (std::fabs(v - r) > kPixelSlack) return false;
    whole = int(r);
    return true;
}

// An unrotated, unmirrored quad drawn at its texture's own size on whole pixels: pixel
// (x, y) of the scene shows texel (x - dx, y - dy).
struct Aligned {
    int tx0, ty0, tx1, ty1;  // texel region
    int dx, dy;              // scene pixel minus texel
};

bool CheckAligned(const hgeQuad& q, int tw, int th, Aligned& a) {
    const hgeVertex* v = q.v;
    if (v[0].y != v[1].y || v[2].y != v[3].y || v[0].x != v[3].x || v[1].x != v[2].x) return false;
    if (v[0].tx != v[3].tx || v[1].tx != v[2].tx || v[0].ty != v[1].ty || v[2].ty != v[3].ty) {
        return false;
    }
    int x0, y0, x1, y1;
    if (!NearWhole(v[0].x, x0) || !NearWhole(v[0].y, y0) || !NearWhole(v[2].x, x1) ||
        !NearWhole(v[2].y, y1)) {
        return false;
    }
    if (!NearWhole(v[0].tx * float(tw), a.tx0) || !NearWhole(v[0].ty * float(th), a.ty0) ||
        !NearWhole(v[2].tx * float(tw), a.tx1) || !NearWhole(v[2].ty * float(th), a.ty1)) {
        return false;
    }
    if (x1 <= x0 || y1 <= y0) return false;
    if (a.tx1 - a.tx0 != x1 - x0 || a.ty1 - a.ty0 != y1 - y0) return false;  // scaled or mirrored
    // Outside the texture sampling keeps to its edge or repeats it: not one texel per pixel.
    if (a.tx0 < 0 || a.ty0 < 0 || a.tx1 > tw || a.ty1 > th) return false;
    a.dx = x0 - a.tx0;
    a.dy = y0 - a.ty0;
    return true;
}

// The span of a quad's texture coordinates.
struct CoordinateRange {
    float ulo, uhi, vlo, vhi;

    explicit CoordinateRange(const hgeQuad& q)
        : ulo(q.v[0].tx), uhi(q.v[0].tx), vlo(q.v[0].ty), vhi(q.v[0].ty) {
        for (const hgeVertex& v : q.v) {
            ulo = std::min(ulo, v.tx), uhi = std::max(uhi, v.tx);
            vlo = std::min(vlo, v.ty), vhi = std::max(vhi, v.ty);
        }
    }
    bool Tiles() const { return uhi - ulo > 1 || vhi - vlo > 1; }
};

// Texel index range a bilinear sampler may read for coordinates in [lo, hi] (0..1 units).
void Footprint(float lo, float hi, int size, int& first, int& end) {
    float s = float(size);
    lo = std::clamp(lo * s, -2.0f, s + 2.0f);
    hi = std::clamp(hi * s, -2.0f, s + 2.0f);
    if (!(lo <= hi)) {  // NaN
        first = 0;
        end = size;
        return;
    }
    first = int(std::floor(lo)) - 1;
    end = int(std::floor(hi)) + 2;
}

}  // namespace

void AlphaCells::Build(const uint32_t* pixels, int width, int height) {
    width_ = width;
    height_ = height;
    cellsX_ = (width + kCell - 1) / kCell;
    cellsY_ = (height + kCell - 1) / kCell;
    if (pixels == nullptr || width <= 0 || height <= 0) {
        cellsX_ = cellsY_ = 0;
        kinds_.clear();
        visible_.clear();
        seeThrough_.clear();
        return;
    }
    std::vector<uint8_t> anyVisible(size_t(cellsX_) * size_t(cellsY_), 0);
    std::vector<uint8_t> anySeeThrough(anyVisible.size(), 0);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + size_t(y) * size_t(width);
        size_t cellRow = size_t(y / kCell) * size_t(cellsX_);
        for (int x = 0; x < width; ++x) {
            uint32_t a = row[x] >> 24;
            size_t c = cellRow + size_t(x / kCell);
            anyVisible[c] |= a != 0;
            anySeeThrough[c] |= a != 255;
        }
    }
    kinds_.resize(anyVisible.size());
    size_t stride = size_t(cellsX_) + 1;
    visible_.assign(stride * (size_t(cellsY_) + 1), 0);
    seeThrough_.assign(visible_.size(), 0);
    for (int cy = 0; cy < cellsY_; ++cy) {
        for (int cx = 0; cx < cellsX_; ++cx) {
            size_t c = size_t(cy) * size_t(cellsX_) + size_t(cx);
            kinds_[c] = !anyVisible[c] ? Kind::Clear : !anySeeThrough[c] ? Kind::Opaque : Kind::Mixed;
            size_t at = (size_t(cy) + 1) * stride + size_t(cx) + 1;
            visible_[at] = anyVisible[c] + visible_[at - 1] + visible_[at - stride] -
                           visible_[at - stride - 1];
            seeThrough_[at] = anySeeThrough[c] + seeThrough_[at - 1] + seeThrough_[at - stride] -
                              seeThrough_[at - stride - 1];
        }
    }
}

uint32_t AlphaCells::Count(const std::vector<uint32_t>& sums, int x0, int y0, int x1,
                           int y1) const {
    int cx0 = x0 / kCell, cy0 = y0 / kCell;
    int cx1 = (x1 + kCell - 1) / kCell, cy1 = (y1 + kCell - 1) / kCell;
    size_t stride = size_t(cellsX_) + 1;
    return sums[size_t(cy1) * stride + size_t(cx1)] - sums[size_t(cy0) * stride + size_t(cx1)] -
           sums[size_t(cy1) * stride + size_t(cx0)] + sums[size_t(cy0) * stride + size_t(cx0)];
}

bool AlphaCells::NoCellIn(const std::vector<uint32_t>& sums, int x0, int y0, int x1,
                          int y1) const {
    if (!Built()) return false;
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width_);
    y1 = std::min(y1, height_);
    if (x1 <= x0 || y1 <= y0) return false;
    return Count(sums, x0, y0, x1, y1) == 0;
}

bool AlphaCells::AllClear(int x0, int y0, int x1, int y1) const {
    return NoCellIn(visible_, x0, y0, x1, y1);
}

bool AlphaCells::AllOpaque(int x0, int y0, int x1, int y1) const {
    return NoCellIn(seeThrough_, x0, y0, x1, y1);
}

AlphaCells::Kind AlphaCells::CellKind(int x, int y) const {
    return kinds_[size_t(y / kCell) * size_t(cellsX_) + size_t(x / kCell)];
}

bool TilesPicture(const hgeQuad& q) { return CoordinateRange(q).Tiles(); }

QuadPlan PlanQuad(const hgeQuad& q, const AlphaCells* cells, int tw, int th) {
    QuadPlan plan;
    uint32_t minAlpha = 255, maxAlpha = 0;
    for (const hgeVertex& v : q.v) {
        minAlpha = std::min(minAlpha, v.col >> 24);
        maxAlpha = std::max(maxAlpha, v.col >> 24);
    }
    // Whatever the colour mode, the fragment's alpha is the vertex alpha times the texel's (or
    // the vertex alpha alone), and both blend equations leave the screen alone at alpha 0.
    if (maxAlpha == 0) {
        plan.draw = false;
        return plan;
    }
    const bool alphaBlend = (q.blend & BLEND_ALPHABLEND) != 0;
    if (cells == nullptr || tw <= 0 || th <= 0) {
        plan.filter = false;  // nothing is sampled
        plan.blend = !(alphaBlend && minAlpha == 255);
        return plan;
    }
    const CoordinateRange range(q);
    plan.tile = range.Tiles();

    Aligned a{};
    const bool aligned = CheckAligned(q, tw, th, a);
    int x0, y0, x1, y1;
    if (aligned) {
        x0 = a.tx0, y0 = a.ty0, x1 = a.tx1, y1 = a.ty1;
    } else if (plan.tile) {
        x0 = 0, y0 = 0, x1 = tw, y1 = th;  // every texel, repeated
    } else {
        Footprint(range.ulo, range.uhi, tw, x0, x1);
        Footprint(range.vlo, range.vhi, th, y0, y1);
    }
    if (cells->AllClear(x0, y0, x1, y1)) {
        plan.draw = false;
        return plan;
    }
    plan.filter = !aligned;
    plan.blend = !(alphaBlend && minAlpha == 255 && cells->AllOpaque(x0, y0, x1, y1));
    if (aligned && plan.blend && cells->Built() && (x1 - x0) * (y1 - y0) >= kSplitArea) {
        uint32_t c = q.v[0].col;
        plan.split = q.v[1].col == c && q.v[2].col == c && q.v[3].col == c;
    }
    return plan;
}

void SplitAlignedQuad(const hgeQuad& q, const AlphaCells& cells, int tw, int th,
                      std::vector<QuadPiece>& out) {
    Aligned a{};
    if (!cells.Built() || !CheckAligned(q, tw, th, a)) return;
    const bool canBeOpaque = (q.blend & BLEND_ALPHABLEND) != 0 && (q.v[0].col >> 24) == 255;
    const int cell = AlphaCells::kCell;
    struct Run {
        int x0, x1;
        bool opaque;
        bool operator==(const Run& o) const { return x0 == o.x0 && x1 == o.x1 && opaque == o.opaque; }
    };
    struct KindRun {
        int x0, x1;
        AlphaCells::Kind kind;
    };
    // Kept between calls so that a frame allocates nothing (drawing runs on one thread).
    static std::vector<KindRun> runs;
    static std::vector<Run> band, previous;
    previous.clear();
    int previousY0 = a.ty0;
    auto emit = [&](const std::vector<Run>& runs, int ty0, int ty1) {
        for (const Run& r : runs) {
            out.push_back({float(r.x0 + a.dx), float(ty0 + a.dy), float(r.x1 + a.dx),
                           float(ty1 + a.dy), float(r.x0) / float(tw), float(ty0) / float(th),
                           float(r.x1) / float(tw), float(ty1) / float(th), r.opaque});
        }
    };
    using Kind = AlphaCells::Kind;
    for (int y = a.ty0; y < a.ty1;) {
        int yEnd = std::min((y / cell + 1) * cell, a.ty1);
        // Runs of one kind along the band; short clear or opaque runs count as mixed, as a
        // piece of their own would cost more than it saves.
        runs.clear();
        for (int x = a.tx0; x < a.tx1;) {
            int xEnd = std::min((x / cell + 1) * cell, a.tx1);
            Kind kind = cells.CellKind(x, y);
            if (kind == Kind::Opaque && !canBeOpaque) kind = Kind::Mixed;
            if (!runs.empty() && runs.back().kind == kind) runs.back().x1 = xEnd;
            else runs.push_back({x, xEnd, kind});
            x = xEnd;
        }
        band.clear();
        for (KindRun r : runs) {
            if (r.kind == Kind::Clear && r.x1 - r.x0 < kMinClearRun) r.kind = Kind::Mixed;
            if (r.kind == Kind::Opaque && r.x1 - r.x0 < kMinOpaqueRun) r.kind = Kind::Mixed;
            if (r.kind == Kind::Clear) continue;
            bool opaque = r.kind == Kind::Opaque;
            if (!band.empty() && band.back().x1 == r.x0 && band.back().opaque == opaque) {
                band.back().x1 = r.x1;
            } else {
                band.push_back({r.x0, r.x1, opaque});
            }
        }
        if (band != previous) {
            emit(previous, previousY0, y);
            previous.swap(band);
            previousY0 = y;
        }
        y = yEnd;
    }
    emit(previous, previousY0, a.ty1);
}
