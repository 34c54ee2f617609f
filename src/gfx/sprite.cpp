// sprite.cpp -- Sprite and Rect.
#include "gfx/sprite.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/det_math.h"

Engine* Sprite::engine = nullptr;

void Rect::Expand(float x, float y) {
    if (empty) {
        x1 = x2 = x;
        y1 = y2 = y;
        empty = false;
        return;
    }
    x1 = std::min(x1, x);
    x2 = std::max(x2, x);
    y1 = std::min(y1, y);
    y2 = std::max(y2, y);
}

bool Rect::Contains(float x, float y) const { return x >= x1 && x < x2 && y >= y1 && y < y2; }

bool Rect::Overlaps(const Rect& o) const {
    return std::fabs(x1 + x2 - o.x1 - o.x2) < (x2 - x1) + (o.x2 - o.x1) &&
           std::fabs(y1 + y2 - o.y1 - o.y2) < (y2 - y1) + (o.y2 - o.y1);
}

float Sprite::TextureSize(HTEXTURE texture, bool wide) const {
    if (texture == 0) return 1.0f;
    return static_cast<float>(wide ? engine->Texture_GetWidth(texture, false)
                                   : engine->Texture_GetHeight(texture, false));
}

Sprite::Sprite(HTEXTURE texture, float x, float y, float w, float h) {
    engine = hgeCreate(HGE_VERSION);
    regionX = x;
    regionY = y;
    width = w;
    height = h;
    textureWidth = TextureSize(texture, true);
    textureHeight = TextureSize(texture, false);
    quad.tex = texture;
    quad.blend = BLEND_DEFAULT;
    anchorX = anchorY = 0.0f;
    mirrorX = mirrorY = mirrorAnchor = false;
    SetTextureCoords(x, y, w, h);
    for (hgeVertex& v : quad.v) {
        v.x = v.y = 0.0f;
        v.z = 0.5f;
        v.col = 0xFFFFFFFF;
    }
}

Sprite::Sprite(const Sprite& other) {
    engine = hgeCreate(HGE_VERSION);
    CopyFrom(other);
}

Sprite& Sprite::operator=(const Sprite& other) {
    CopyFrom(other);  // both already hold their engine reference
    return *this;
}

void Sprite::CopyFrom(const Sprite& other) {
    quad = other.quad;
    regionX = other.regionX;
    regionY = other.regionY;
    width = other.width;
    height = other.height;
    textureWidth = other.textureWidth;
    textureHeight = other.textureHeight;
    anchorX = other.anchorX;
    anchorY = other.anchorY;
    mirrorX = other.mirrorX;
    mirrorY = other.mirrorY;
    mirrorAnchor = other.mirrorAnchor;
    coordsW = other.coordsW;
    coordsH = other.coordsH;
    coordsFresh = other.coordsFresh;
    lastRotation = other.lastRotation;
    lastCos = other.lastCos;
    lastSin = other.lastSin;
}

Sprite::~Sprite() { engine->Release(); }

void Sprite::SetTextureCoords(float x, float y, float w, float h) {
    float uLeft = x / textureWidth;
    float vTop = y / textureHeight;
    float uRight = (x + w) / textureWidth;
    float vBottom = (y + h) / textureHeight;
    quad.v[0].tx = uLeft;  quad.v[0].ty = vTop;
    quad.v[1].tx = uRight; quad.v[1].ty = vTop;
    quad.v[2].tx = uRight; quad.v[2].ty = vBottom;
    quad.v[3].tx = uLeft;  quad.v[3].ty = vBottom;
}

void Sprite::Draw(float x, float y) {
    if (engine->Gfx_DrawsNothing()) return;  // nobody would see the corners
    float left = x - anchorX;
    float top = y - anchorY;
    float right = x + width - anchorX;
    float bottom = y + height - anchorY;
    quad.v[0].x = left;  quad.v[0].y = top;
    quad.v[1].x = right; quad.v[1].y = top;
    quad.v[2].x = right; quad.v[2].y = bottom;
    quad.v[3].x = left;  quad.v[3].y = bottom;
    engine->Gfx_RenderQuad(&quad);
}

namespace {

// The four corners of a transformed sprite, in corner order; c and s are the cosine and sine of
// the rotation, used only when it is not 0.
void TransformCorners(float x, float y, float rotation, float c, float s, float a1, float b1,
                      float a2, float b2, float out[4][2]) {
    const float pairs[4][2] = {{a1, b1}, {a2, b1}, {a2, b2}, {a1, b2}};
    if (rotation != 0.0f) {
        for (int i = 0; i < 4; ++i) {
            float a = pairs[i][0];
            float b = pairs[i][1];
            out[i][0] = x + a * c - b * s;
            out[i][1] = y + a * s + b * c;
        }
    } else {
        for (int i = 0; i < 4; ++i) {
            out[i][0] = x + pairs[i][0];
            out[i][1] = y + pairs[i][1];
        }
    }
}

}  // namespace

void Sprite::DrawTransformed(float x, float y, float rotation, float hScale, float vScale) {
    if (engine->Gfx_DrawsNothing()) return;  // nobody would see the corners
    if (vScale == 0.0f) vScale = hScale;
    float a1 = -anchorX * hScale;
    float b1 = -anchorY * vScale;
    float a2 = (width - anchorX) * hScale;
    float b2 = (height - anchorY) * vScale;
    hgeVertex* v = quad.v;
    if (rotation == 0.0f) {
        v[0].x = x + a1; v[0].y = y + b1;
        v[1].x = x + a2; v[1].y = y + b1;
        v[2].x = x + a2; v[2].y = y + b2;
        v[3].x = x + a1; v[3].y = y + b2;
    } else {
        if (rotation != lastRotation) {
            lastRotation = rotation;
            detmath::SinCos(rotation, &lastSin, &lastCos);
        }
        // The same sums, in the same order, as TransformCorners.
        const float c = lastCos, s = lastSin;
        v[0].x = x + a1 * c - b1 * s; v[0].y = y + a1 * s + b1 * c;
        v[1].x = x + a2 * c - b1 * s; v[1].y = y + a2 * s + b1 * c;
        v[2].x = x + a2 * c - b2 * s; v[2].y = y + a2 * s + b2 * c;
        v[3].x = x + a1 * c - b2 * s; v[3].y = y + a1 * s + b2 * c;
    }
    engine->Gfx_RenderQuad(&quad);
}

Rect* Sprite::BoundsTransformed(float x, float y, float rotation, float hScale, float vScale,
                                Rect* rect) const {
    rect->empty = true;
    float a1 = -anchorX * hScale;
    float b1 = -anchorY * vScale;
    float a2 = (width - anchorX) * hScale;
    float b2 = (height - anchorY) * vScale;
    float c = 1.0f, s = 0.0f;
    if (rotation != 0.0f) detmath::SinCos(rotation, &s, &c);
    float corners[4][2];
    TransformCorners(x, y, rotation, c, s, a1, b1, a2, b2, corners);
    for (auto& corner : corners) rect->Expand(corner[0], corner[1]);
    return rect;
}

void Sprite::DrawStretched(float x1, float y1, float x2, float y2) {
    if (engine->Gfx_DrawsNothing()) return;  // nobody would see the corners
    quad.v[0].x = x1; quad.v[0].y = y1;
    quad.v[1].x = x2; quad.v[1].y = y1;
    quad.v[2].x = x2; quad.v[2].y = y2;
    quad.v[3].x = x1; quad.v[3].y = y2;
    engine->Gfx_RenderQuad(&quad);
}

void Sprite::DrawCorners(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                         float y3) {
    if (engine->Gfx_DrawsNothing()) return;  // nobody would see the corners
    quad.v[0].x = x0; quad.v[0].y = y0;
    quad.v[1].x = x1; quad.v[1].y = y1;
    quad.v[2].x = x2; quad.v[2].y = y2;
    quad.v[3].x = x3; quad.v[3].y = y3;
    engine->Gfx_RenderQuad(&quad);
}

void Sprite::ChangeTexture(HTEXTURE texture) {
    quad.tex = texture;
    float tw = TextureSize(texture, true);
    float th = TextureSize(texture, false);
    if (tw == textureWidth && th == textureHeight) return;
    coordsFresh = false;
    // Corners 0 and 2 are diagonal, so a mirrored sprite stays mirrored.
    float a = quad.v[0].tx * textureWidth / tw;
    float c = quad.v[2].tx * textureWidth / tw;
    float b = quad.v[0].ty * textureHeight / th;
    float d = quad.v[2].ty * textureHeight / th;
    textureWidth = tw;
    textureHeight = th;
    quad.v[0].tx = a; quad.v[0].ty = b;
    quad.v[1].tx = c; quad.v[1].ty = b;
    quad.v[2].tx = c; quad.v[2].ty = d;
    quad.v[3].tx = a; quad.v[3].ty = d;
}

void Sprite::SetRegion(float x, float y, float w, float h, bool adjustSize) {
    bool same = coordsFresh && x == regionX && y == regionY && w == coordsW && h == coordsH;
    regionX = x;
    regionY = y;
    if (adjustSize) {
        width = w;
        height = h;
    }
    if (same) return;  // the coordinates (mirroring included) would come out the same
    coordsW = w;
    coordsH = h;
    SetTextureCoords(x, y, w, h);
    // Mirroring again with both axis flags clear changes nothing: the game never mirrors.
    if (mirrorX || mirrorY) {
        bool mx = mirrorX, my = mirrorY, ma = mirrorAnchor;
        mirrorX = mirrorY = false;
        SetMirror(mx, my, ma);
    }
    coordsFresh = true;
}

void Sprite::SetMirror(bool mx, bool my, bool mirrorAnchorToo) {
    coordsFresh = false;
    if (mirrorAnchor && mirrorX) anchorX = width - anchorX;
    if (mirrorAnchor && mirrorY) anchorY = height - anchorY;
    mirrorAnchor = mirrorAnchorToo;
    if (mirrorAnchor && mirrorX) anchorX = width - anchorX;
    if (mirrorAnchor && mirrorY) anchorY = height - anchorY;
    if (mx != mirrorX) {
        std::swap(quad.v[0].tx, quad.v[1].tx); std::swap(quad.v[0].ty, quad.v[1].ty);
        std::swap(quad.v[3].tx, quad.v[2].tx); std::swap(quad.v[3].ty, quad.v[2].ty);
        mirrorX = !mirrorX;
    }
    if (my != mirrorY) {
        std::swap(quad.v[0].tx, quad.v[3].tx); std::swap(quad.v[0].ty, quad.v[3].ty);
        std::swap(quad.v[1].tx, quad.v[2].tx); std::swap(quad.v[1].ty, quad.v[2].ty);
        mirrorY = !mirrorY;
    }
}

void Sprite::SetTint(uint32_t colour, int corner) {
    if (corner == -1) {
        for (hgeVertex& v : quad.v) v.col = colour;
    } else {
        quad.v[corner].col = colour;
    }
}

void Sprite::SetDepth(float z, int corner) {
    if (corner == -1) {
        for (hgeVertex& v : quad.v) v.z = z;
    } else {
        quad.v[corner].z = z;
    }
}
