// sprite.h -- Sprite, one textured and coloured quad with an anchor, and Rect for bounds and
// hit tests. Every picture the game shows is a Sprite.
#pragma once

#include "platform/engine.h"

struct Rect {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // left, top, right, bottom
    bool empty = true;                      // no point yet

    Rect() = default;
    Rect(float left, float top, float right, float bottom)
        : x1(left), y1(top), x2(right), y2(bottom), empty(false) {}

    void Expand(float x, float y);
    // Left and top edges are inside, right and bottom edges outside.
    bool Contains(float x, float y) const;
    // Rectangles that only touch do not overlap.
    bool Overlaps(const Rect& other) const;
};

class Sprite {
public:
    // Region (x, y, w, h) of texture `texture` in texels; 0 and an empty region are valid and
    // filled in later with ChangeTexture and SetRegion.
    Sprite(HTEXTURE texture, float x, float y, float w, float h);
    Sprite(const Sprite& other);
    Sprite& operator=(const Sprite& other);
    ~Sprite();

    void Draw(float x, float y);
    // rotation in radians, clockwise on screen; vScale 0 means the same as hScale.
    void DrawTransformed(float x, float y, float rotation, float hScale, float vScale = 0.0f);
    void DrawStretched(float x1, float y1, float x2, float y2);
    void DrawCorners(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                     float y3);
    // What DrawTransformed would cover (a vScale of 0 is taken as 0 here).
    Rect* BoundsTransformed(float x, float y, float rotation, float hScale, float vScale,
                            Rect* rect) const;

    void ChangeTexture(HTEXTURE texture);
    void SetRegion(float x, float y, float w, float h, bool adjustSize = true);
    void SetMirror(bool mx, bool my, bool mirrorAnchorToo);
    void SetAnchor(float x, float y) { anchorX = x; anchorY = y; }
    void SetTint(uint32_t colour, int corner = -1);
    void SetDepth(float z, int corner = -1);
    float Depth(int corner = 0) const { return quad.v[corner].z; }
    void SetBlend(int mode) { quad.blend = mode; }

    HTEXTURE Texture() const { return quad.tex; }
    uint32_t Tint(int corner = 0) const { return quad.v[corner].col; }
    int Blend() const { return quad.blend; }
    float Width() const { return width; }
    float Height() const { return height; }
    float AnchorX() const { return anchorX; }
    float AnchorY() const { return anchorY; }
    float RegionX() const { return regionX; }
    float RegionY() const { return regionY; }
    const hgeQuad& Quad() const { return quad; }

private:
    void CopyFrom(const Sprite& other);
    void SetTextureCoords(float x, float y, float w, float h);
    float TextureSize(HTEXTURE texture, bool wide) const;

    hgeQuad quad;
    float regionX, regionY;
    float width, height;
    float textureWidth, textureHeight;
    float anchorX, anchorY;
    bool mirrorX, mirrorY;
    bool mirrorAnchor;

    // Thousands of sprites are drawn a frame, most with the region and rotation they had on
    // the previous frame: remember the last of each so that neither is worked out again.
    float coordsW = -1, coordsH = -1;  // region size the texture coordinates were made for
    bool coordsFresh = false;          // coordinates still those SetRegion made
    float lastRotation = 0, lastCos = 1, lastSin = 0;

    static Engine* engine;  // shared by all sprites; one reference per live sprite
};
