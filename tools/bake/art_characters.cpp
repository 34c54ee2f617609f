// art_characters.cpp -- the player (a small hooded figure in a night-blue cloak with a crimson
// scarf, seen from behind) and the boss (a robed sorceress with silver hair and a mirror-shard
// crown, facing the player), in every frame the game animates.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

constexpr float kPi = 3.14159265358979f;

// Local figure coordinates (y down) turned about a pivot, scaled and moved onto the canvas.
struct Pose {
    float cx, cy, scale, angle, pivotY;
    void Map(float x, float y, float& ox, float& oy) const {
        float a = angle * kPi / 180;
        float ly = y - pivotY;
        float rx = x * std::cos(a) - ly * std::sin(a);
        float ry = x * std::sin(a) + ly * std::cos(a) + pivotY;
        ox = cx + rx * scale;
        oy = cy + ry * scale;
    }
    std::vector<float> Poly(std::initializer_list<float> pts) const {
        std::vector<float> out;
        const float* p = pts.begin();
        for (size_t i = 0; i + 1 < pts.size(); i += 2) {
            float x, y;
            Map(p[i], p[i + 1], x, y);
            out.push_back(x);
            out.push_back(y);
        }
        return out;
    }
    void Circle(Canvas& c, float x, float y, float r, Rgba col) const {
        float ox, oy;
        Map(x, y, ox, oy);
        Disc(c, ox, oy, r * scale, col);
    }
    void Stroke(Canvas& c, float x0, float y0, float x1, float y1, float r0, float r1, Rgba col,
                int mode = 0) const {
        float a, b, d, e;
        Map(x0, y0, a, b);
        Map(x1, y1, d, e);
        Capsule(c, a, b, d, e, r0 * scale, r1 * scale, col, mode);
    }
    void Bezier(Canvas& c, std::initializer_list<float> pts, float r0, float r1, Rgba c0, Rgba c1) const {
        float q[8];
        const float* p = pts.begin();
        for (int i = 0; i < 4; ++i) Map(p[2 * i], p[2 * i + 1], q[2 * i], q[2 * i + 1]);
        Curve(c, q, r0 * scale, r1 * scale, c0, c1);
    }
};

}  // namespace

void DrawPlayerFigure(Canvas& c, float cx, float cy, float scale, float lean, float phase) {
    float bob = 0.6f * std::sin(phase * 2 * kPi);
    Pose p{cx, cy + bob * scale, scale, lean * 13.0f, 6.0f};
    float sway = std::sin(phase * 2 * kPi);
    float trail = -lean * 5.0f;  // the cloak and scarf stream away from the way it leans

    const Rgba cloakDark = RgbHex(0x1E1F5C), cloak = RgbHex(0x3A3C9A), cloakLight = RgbHex(0x7D86E8);
    const Rgba scarf = RgbHex(0xE8386A), scarfLight = RgbHex(0xFF8AA8);
    // Boots below the hem, stepping slightly with the lean.
    p.Stroke(c, -2.6f, 13, -2.8f + lean, 18.2f, 1.5f, 1.7f, RgbHex(0x15122E));
    p.Stroke(c, 2.6f, 13, 2.8f + lean, 18.2f, 1.5f, 1.7f, RgbHex(0x15122E));
    // Sleeves hanging at the sides, with pale hands.
    for (int side = -1; side <= 1; side += 2) {
        float swing = side * (0.6f * sway) - lean * 1.5f;
        p.Stroke(c, side * 5.2f, -7.5f, side * 8.6f + swing, 2.5f, 2.3f, 2.0f, RgbHex(0x0A0B26));
        p.Stroke(c, side * 5.2f, -7.5f, side * 8.6f + swing, 2.5f, 1.7f, 1.5f, RgbHex(0x4548B0));
        p.Circle(c, side * 8.9f + swing, 3.9f, 1.3f, RgbHex(0xF2E2EA));
    }
    // Cloak: shoulders to a flared hem that ripples.
    float h1 = 1.2f * sway + trail, h2 = -1.0f * sway + trail;
    Polygon(c, p.Poly({-5.5f, -9, 5.5f, -9, 7.4f, 2, 8.8f + h2 * 0.6f, 12.5f, 5 + h2, 14.6f,
                       1 + h1 * 0.5f, 13.2f, -3.5f + h1, 14.8f, -8.8f + h1 * 0.6f, 12.5f, -7.4f, 2}),
            RgbHex(0x0A0B26));
    Polygon(c, p.Poly({-4.8f, -8.4f, 4.8f, -8.4f, 6.7f, 2, 8.0f + h2 * 0.6f, 12, 5 + h2, 13.8f,
                       1 + h1 * 0.5f, 12.4f, -3.5f + h1, 14, -8.0f + h1 * 0.6f, 12, -6.7f, 2}),
            cloak);
    // Light from the upper left: a lighter panel and dark folds.
    Polygon(c, p.Poly({-4.2f, -7.5f, -1, -7.5f, -2 + h1 * 0.4f, 12.5f, -7.2f + h1 * 0.6f, 11.6f, -5.9f, 2}),
            WithAlpha(cloakLight, 0.45f));
    p.Stroke(c, 2.5f, -3, 3.2f + h2 * 0.5f, 13, 0.35f, 0.6f, WithAlpha(cloakDark, 0.8f));
    p.Stroke(c, -1, 0, -1.3f + h1 * 0.4f, 12.8f, 0.3f, 0.5f, WithAlpha(cloakDark, 0.6f));
    p.Stroke(c, 5.2f, 1, 6.8f + h2 * 0.6f, 11.8f, 0.3f, 0.5f, WithAlpha(cloakDark, 0.7f));
    // Silver trim along the hem.
    Rgba trim = WithAlpha(pal::kSilver, 0.85f);
    p.Stroke(c, -8.0f + h1 * 0.6f, 12.2f, -3.5f + h1, 13.9f, 0.45f, 0.45f, trim);
    p.Stroke(c, -3.5f + h1, 13.9f, 1 + h1 * 0.5f, 12.4f, 0.45f, 0.45f, trim);
    p.Stroke(c, 1 + h1 * 0.5f, 12.4f, 5 + h2, 13.7f, 0.45f, 0.45f, trim);
    p.Stroke(c, 5 + h2, 13.7f, 8.0f + h2 * 0.6f, 12, 0.45f, 0.45f, trim);
    // Scarf tails fluttering down the back.
    float s = 2.2f * std::sin(phase * 2 * kPi + 1.2f);
    p.Bezier(c, {-1, -7, -3 + trail * 0.3f, -1, -2 + s + trail, 5, -5 + s * 1.5f + trail * 1.6f, 11}, 1.5f, 0.7f,
             scarf, scarfLight);
    p.Bezier(c, {1, -7, 3 + trail * 0.3f, -2, 4 - s + trail, 3, 5 - s * 1.2f + trail * 1.5f, 8.5f}, 1.4f, 0.6f,
             scarf, scarfLight);
    // Silver hair spilling from the hood over the shoulders.
    p.Bezier(c, {-2.5f, -10, -4.5f, -8, -5 + trail * 0.3f, -5, -5.5f + trail * 0.5f, -2.5f}, 1.3f, 0.5f,
             RgbHex(0xE4E6FA), RgbHex(0xA8ACE0));
    p.Bezier(c, {2.5f, -10, 4.5f, -8, 5 + trail * 0.3f, -5, 5.5f + trail * 0.5f, -2.5f}, 1.3f, 0.5f,
             RgbHex(0xE4E6FA), RgbHex(0xA8ACE0));
    // Hood and head: a rounded hood drawn to a point at the top.
    Polygon(c, p.Poly({-5.6f, -12, -4.6f, -16.2f, -1.2f, -19.6f, 0.4f, -21.4f, 1.6f, -19.4f, 4.8f, -16, 5.6f, -12,
                       4, -8.4f, -4, -8.4f}),
            RgbHex(0x0A0B26));
    Polygon(c, p.Poly({-4.9f, -12, -4.0f, -15.8f, -1.0f, -18.9f, 0.4f, -20.3f, 1.4f, -18.8f, 4.2f, -15.6f, 4.9f, -12,
                       3.5f, -9, -3.5f, -9}),
            RgbHex(0x2E3088));
    p.Circle(c, -1.6f, -14.5f, 2.4f, WithAlpha(cloakLight, 0.5f));
    // A wisp of silver hair at the nape and the scarf knot.
    p.Stroke(c, -2, -8.5f, 2, -8.5f, 1.6f, 1.6f, scarf);
    p.Circle(c, 0, -8.4f, 1.2f, scarfLight);
    // A small mirror-shard clasp glinting on the hood.
    p.Circle(c, 0.3f, -17.6f, 0.9f, RgbHex(0xBFF4FF));
}

void DrawShardCrest(Canvas& c, float cx, float cy, float radius, float brightness) {
    Rgba ring = Scale(RgbHex(0xF2D27A), brightness);
    Rgba glass = Scale(RgbHex(0x8FE8FF), brightness);
    Rgba violet = Scale(RgbHex(0x8A6CFF), brightness);
    // The backing disc of deep night glass.
    Disc(c, cx, cy, radius, RgbHex(0x0C1030, 0.9f));
    c.Shade(int(cx - radius - 1), int(cy - radius - 1), int(cx + radius + 2), int(cy + radius + 2),
            [&](float x, float y) {
                float d = std::hypot(x - cx, y - cy) / radius;
                if (d > 1) return Rgba{0, 0, 0, 0};
                return WithAlpha(violet, 0.45f * (1 - d) * (1 - d));
            });
    // Eight mirror shards bursting from the middle, alternating long and short.
    for (int i = 0; i < 8; ++i) {
        float a = (i * 45) * kPi / 180;
        float len = radius * (i % 2 == 0 ? 0.92f : 0.62f);
        float w = radius * (i % 2 == 0 ? 0.16f : 0.12f);
        float ca = std::cos(a), sa = std::sin(a);
        float tipx = cx + len * sa, tipy = cy - len * ca;
        float bx = cx + radius * 0.18f * sa, by = cy - radius * 0.18f * ca;
        Polygon(c, {bx - w * ca, by - w * sa, tipx, tipy, bx + w * ca, by + w * sa}, glass);
        // One bright face per shard.
        Polygon(c, {bx, by, tipx, tipy, bx + w * ca, by + w * sa}, Mix(glass, pal::kWhite, 0.6f));
    }
    Ring(c, cx, cy, radius * 0.96f, radius * 0.07f, ring);
    Ring(c, cx, cy, radius * 0.84f, radius * 0.025f, WithAlpha(ring, 0.8f));
    Disc(c, cx, cy, radius * 0.16f, Mix(ring, pal::kWhite, 0.5f));
    Glow(c, cx, cy, radius * 0.4f, WithAlpha(pal::kWhite, 0.6f * brightness), 2.0f, 1);
}

namespace {

// The boss, facing down the screen. lean 0..1 tilts it towards the right; arms 0..1 raises the
// arms from rest to the peak of a casting gesture; phase animates the robe and hair.
void DrawBoss(Canvas& c, float cx, float cy, float lean, float arms, float phase) {
    float bob = 1.3f * std::sin(phase * 2 * kPi);
    Pose p{cx, cy + bob, 1.0f, lean * 11.0f, 4.0f};
    float wave = std::sin(phase * 2 * kPi);
    float trail = -lean * 7.0f;
    const Rgba robeDark = RgbHex(0x1A0F3A), robe = RgbHex(0x4B2E96), robeLight = RgbHex(0x8A6CE0);
    const Rgba lining = RgbHex(0xB0204E), gold = RgbHex(0xF2C65A), skin = RgbHex(0xF4E4EC);
    const Rgba hair = RgbHex(0xD6D4F4), hairDark = RgbHex(0x8C88C8);

    // Hair falling behind the shoulders.
    Polygon(c, p.Poly({-7, -30, 7, -30, 10 + trail * 0.4f, -12, 9 + trail + wave, 2, 4 + trail * 0.6f, -4,
                       -4 + trail * 0.6f, -4, -9 + trail - wave, 2, -10 + trail * 0.4f, -12}),
            hairDark);
    // Robe: shoulders to a wide hem that dissolves into wisps.
    float h = 1.5f * wave;
    Polygon(c, p.Poly({-8, -16, 8, -16, 14, 4, 21 + trail * 0.5f + h, 33, 10 + trail, 36 - h, 0 + trail * 0.8f,
                       34 + h, -10 + trail, 36 + h, -21 + trail * 0.5f - h, 33, -14, 4}),
            robeDark);
    Polygon(c, p.Poly({-7.2f, -15.2f, 7.2f, -15.2f, 13, 4, 19.5f + trail * 0.5f + h, 32, 10 + trail, 34.6f - h,
                       0 + trail * 0.8f, 32.8f + h, -10 + trail, 34.6f + h, -19.5f + trail * 0.5f - h, 32, -13, 4}),
            robe);
    // The open front shows the crimson lining; gold trim runs down both edges.
    Polygon(c, p.Poly({-2, -10, 2, -10, 5 + trail * 0.7f, 33.5f + h, -5 + trail * 0.7f, 33.5f + h}), lining);
    p.Stroke(c, -2, -10, -5 + trail * 0.7f, 33.5f + h, 0.8f, 0.9f, gold);
    p.Stroke(c, 2, -10, 5 + trail * 0.7f, 33.5f + h, 0.8f, 0.9f, gold);
    // Light from the upper left, folds to the right.
    Polygon(c, p.Poly({-6.5f, -14, -3, -9, -7 + trail * 0.6f, 32, -17 + trail * 0.5f - h, 31, -12, 4}),
            WithAlpha(robeLight, 0.35f));
    p.Stroke(c, 9, 2, 14 + trail * 0.6f + h, 31, 0.5f, 0.9f, WithAlpha(robeDark, 0.7f));
    p.Stroke(c, 6, 6, 8 + trail * 0.8f, 32, 0.4f, 0.7f, WithAlpha(robeDark, 0.5f));
    // Gold hem.
    p.Stroke(c, -19.5f + trail * 0.5f - h, 32, -10 + trail, 34.6f + h, 0.9f, 0.9f, gold);
    p.Stroke(c, 10 + trail, 34.6f - h, 19.5f + trail * 0.5f + h, 32, 0.9f, 0.9f, gold);
    // A belt with a mirror gem.
    p.Stroke(c, -7.5f, 2, 7.5f, 2, 1.1f, 1.1f, gold);
    p.Circle(c, 0, 2, 2.0f, RgbHex(0x9FF0FF));
    p.Circle(c, -0.6f, 1.4f, 0.7f, pal::kWhite);

    // Sleeves and hands: from rest at the sides to raised high and wide.
    for (int side = -1; side <= 1; side += 2) {
        float hx = side * (13 + 7 * arms), hy = 5 - 33 * arms;
        float sx = side * 7.0f, sy = -13;
        float mx = side * (14 + 2 * arms), my = -2 - 16 * arms;
        // The wide sleeve: a quad from the shoulder to the cuff, flaring.
        Polygon(c, p.Poly({sx - side * 1.5f, sy, sx + side * 3.5f, sy + 2, mx + side * 4, my, hx + side * 3, hy + 2,
                           hx - side * 3.5f, hy + 3, mx - side * 3.5f, my + 1}),
                robeDark);
        Polygon(c, p.Poly({sx - side * 1, sy + 0.6f, sx + side * 2.8f, sy + 2.4f, mx + side * 3.2f, my, hx + side * 2.2f,
                           hy + 1.6f, hx - side * 2.8f, hy + 2.4f, mx - side * 2.8f, my + 0.8f}),
                robe);
        // Raised arms let the wide sleeve hang from the forearm like a banner.
        if (arms > 0.05f) {
            Polygon(c, p.Poly({mx - side * 1.5f, my + 1, hx - side * 2.5f, hy + 2.5f,
                               hx - side * 4.5f, hy + 2.5f + 12 * arms, mx - side * 3.5f, my + 4 + 9 * arms}),
                    robeDark);
            Polygon(c, p.Poly({mx - side * 1.5f, my + 1.2f, hx - side * 2.5f, hy + 2.8f,
                               hx - side * 4.0f, hy + 2.2f + 11 * arms, mx - side * 3.0f, my + 3.5f + 8.5f * arms}),
                    Mix(robe, lining, 0.35f));
        }
        p.Stroke(c, hx + side * 2.2f, hy + 1.6f, hx - side * 2.8f, hy + 2.4f, 0.9f, 0.9f, gold);
        p.Circle(c, hx - side * 0.4f, hy - 0.2f, 2.1f, skin);
        if (arms > 0.05f) {
            float ox, oy;
            p.Map(hx, hy - 2, ox, oy);
            Glow(c, ox, oy, 5 + 8 * arms, WithAlpha(RgbHex(0xFF7AE0), 0.85f * arms), 1.6f);
            Glow(c, ox, oy, 2 + 3 * arms, WithAlpha(pal::kWhite, arms), 1.2f);
        }
    }
    // Head: face, hair framing it, eyes looking down at the player, a shard crown.
    p.Circle(c, 0, -24, 7.4f, RgbHex(0x2A1E50));
    p.Circle(c, 0, -24, 6.7f, skin);
    Polygon(c, p.Poly({-7.2f, -25, -6.5f, -30, -2, -32.5f, 3, -32.5f, 7, -29.5f, 7.4f, -24, 5, -27.8f,
                       1, -29, -3, -28.5f, -5.5f, -26.5f}),
            hair);
    p.Stroke(c, -6.8f, -25, -7.5f + trail * 0.3f, -14, 1.6f, 0.9f, hair);
    p.Stroke(c, 6.8f, -25, 7.5f + trail * 0.3f, -14, 1.6f, 0.9f, hair);
    p.Circle(c, -2.4f, -22.6f, 0.95f, RgbHex(0x5A1E6E));
    p.Circle(c, 2.4f, -22.6f, 0.95f, RgbHex(0x5A1E6E));
    p.Stroke(c, -1, -19.2f, 1, -19.2f, 0.35f, 0.35f, RgbHex(0xC07088));
    // Crown: three mirror shards standing above the brow.
    Polygon(c, p.Poly({-1.6f, -31.5f, 0, -38.5f, 1.6f, -31.5f}), RgbHex(0x9FF0FF));
    Polygon(c, p.Poly({-4.6f, -30.5f, -4.2f, -35.5f, -2.2f, -31}), RgbHex(0x7FD8F4));
    Polygon(c, p.Poly({4.6f, -30.5f, 4.2f, -35.5f, 2.2f, -31}), RgbHex(0x7FD8F4));
    p.Stroke(c, -5, -30.6f, 5, -30.6f, 0.7f, 0.7f, gold);
}

void PaintPlayer(std::vector<BakedFile>& out) {
    Canvas c(256, 256);
    for (int k = 0; k < 8; ++k) DrawPlayerFigure(c, 32 * k + 16, 24, 1.0f, 0, k / 8.0f);
    // Starting to lean (frames 0..3 grow stronger), then a full-lean loop.
    for (int k = 0; k < 4; ++k) {
        float lean = 0.25f + 0.25f * k;
        DrawPlayerFigure(c, 32 * k + 16, 48 + 24, 1.0f, -lean, k / 8.0f);
        DrawPlayerFigure(c, 32 * k + 16, 96 + 24, 1.0f, lean, k / 8.0f);
        DrawPlayerFigure(c, 128 + 32 * k + 16, 48 + 24, 1.0f, -1.0f, k / 4.0f);
        DrawPlayerFigure(c, 128 + 32 * k + 16, 96 + 24, 1.0f, 1.0f, k / 4.0f);
    }
    AddPng(out, "Graphics/pl00.png", c);
}

void PaintBoss(std::vector<BakedFile>& out) {
    Canvas c(256, 256);
    for (int k = 0; k < 4; ++k) {
        DrawBoss(c, 64 * k + 32, 40, 0, 0, k / 4.0f);
        DrawBoss(c, 64 * k + 32, 80 + 40, 0.25f + 0.25f * k, 0, k / 4.0f);
        // Casting: frame 0 is the peak, frame 3 the held stance.
        static const float kArms[4] = {1.0f, 0.78f, 0.56f, 0.38f};
        DrawBoss(c, 64 * k + 32, 160 + 40, 0, kArms[k], k / 4.0f);
    }
    AddPng(out, "Graphics/boss.png", c);
}

}  // namespace

void PaintCharacters(std::vector<BakedFile>& out) {
    PaintPlayer(out);
    PaintBoss(out);
}
