// quad_plan.h -- how the SDL backend draws a quad for the least work that still gives the same
// picture. A software rasteriser pays for every covered pixel, and most for blending and
// bilinear filtering; many of the game's quads need neither everywhere they cover: opaque
// pictures drawn 1:1 on whole pixels, frames whose middle is transparent, glyphs in empty cells.
// Everything here is plain arithmetic on the quad and on a summary of its texture's alpha, so
// it is tested without a window.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/engine.h"

// Which parts of a texture are fully transparent or fully opaque, in cells of kCell x kCell
// texels. Answers are conservative: a cell counts as clear (or opaque) only when every texel in
// it is, so a region is reported clear only when it really is.
class AlphaCells {
public:
    static constexpr int kCell = 4;

    // pixels: width x height, 0xAARRGGBB, rows top to bottom.
    void Build(const uint32_t* pixels, int width, int height);
    bool Built() const { return cellsX_ > 0; }

    // Every texel of [x0, x1) x [y0, y1), clamped to the texture, has alpha 0 / alpha 255.
    // An empty region is neither.
    bool AllClear(int x0, int y0, int x1, int y1) const;
    bool AllOpaque(int x0, int y0, int x1, int y1) const;

    enum class Kind : uint8_t { Clear, Opaque, Mixed };
    // The kind of the cell holding texel (x, y); the caller keeps x and y inside the texture.
    Kind CellKind(int x, int y) const;

private:
    // Number of cells with the property in [cx0, cx1) x [cy0, cy1), from the prefix sums.
    uint32_t Count(const std::vector<uint32_t>& sums, int x0, int y0, int x1, int y1) const;
    // No cell counted in sums touches the region clamped to the texture (false when empty).
    bool NoCellIn(const std::vector<uint32_t>& sums, int x0, int y0, int x1, int y1) const;

    int width_ = 0;
    int height_ = 0;
    int cellsX_ = 0;
    int cellsY_ = 0;
    std::vector<Kind> kinds_;
    // Prefix sums over (cellsX_ + 1) x (cellsY_ + 1): cells with a visible texel, cells with a
    // texel that is not fully opaque.
    std::vector<uint32_t> visible_;
    std::vector<uint32_t> seeThrough_;
};

struct QuadPlan {
    bool draw = true;     // false: every pixel it covers stays as it was
    bool blend = true;    // false: blending gives exactly what writing the colour gives
    bool filter = true;   // false: nearest sampling gives exactly what bilinear gives
    bool split = false;   // large, aligned, one colour: SplitAlignedQuad may leave parts out
    bool tile = false;    // TilesPicture: sampled with the picture repeated
};

// A quad whose texture coordinates span more than the whole picture, across or down, can only
// mean to tile it (a pattern over the screen in one quad, not one quad per copy), and its
// picture repeats past the edges. Every other quad samples the picture up to its edge texels
// and no further; the corridor's last strips, which reach a little past a picture's lower
// edge, keep that edge.
bool TilesPicture(const hgeQuad& quad);

// texture: the quad's texture size and alpha summary, or nullptr for an untextured quad.
QuadPlan PlanQuad(const hgeQuad& quad, const AlphaCells* cells, int textureWidth,
                  int textureHeight);

// One axis-aligned piece of a split quad, in scene pixels and texture coordinates.
struct QuadPiece {
    float x0, y0, x1, y1;
    float u0, v0, u1, v1;
    bool opaque;  // drawn without blending
};

// Cuts a quad that PlanQuad marked split into bands of cells, leaves out runs of clear cells and
// marks runs of opaque cells (when the quad's blending allows it). Bands with the same runs are
// merged. The pieces are whole-pixel rectangles that never overlap, so they may be drawn in any
// order. Appends to out.
void SplitAlignedQuad(const hgeQuad& quad, const AlphaCells& cells, int textureWidth,
                      int textureHeight, std::vector<QuadPiece>& out);
