// art_effects.cpp -- light effects: the cancel-flash animation, particles, the bomb's blast ring,
// swing streaks and score coin, the spell-card veil, magic circle and declaration streak, and
// the focus ring.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

constexpr float kPi = 3.14159265358979f;

// One frame of the cancel flash, white on transparent (the game tints it), centred in its cell.
void FlashFrame(Canvas& c, int k, float cx, float cy) {
    if (k == 0) {
        Polygon(c, StarPoints(cx, cy, 15, 2.2f, 4, 0), RgbHex(0xFFFFFF, 0.95f), 1);
        Polygon(c, StarPoints(cx, cy, 8, 1.6f, 4, 45), RgbHex(0xFFFFFF, 0.7f), 1);
        Glow(c, cx, cy, 11, RgbHex(0xFFFFFF), 1.3f, 1);
        return;
    }
    // The ring widens and thins; sparks fly out ahead of it and fade.
    float t = k / 7.0f;
    float radius = 8 + 21 * std::pow(t, 0.8f);
    float width = 6.5f * (1 - t) + 1.2f;
    float strength = k == 7 ? 0.28f : 1.0f - 0.55f * t;
    c.Shade(int(cx - 32), int(cy - 32), int(cx + 32), int(cy + 32), [&](float x, float y) {
        float r = std::hypot(x - cx, y - cy);
        float band = std::exp(-std::pow((r - radius) / (width * 0.6f), 2.0f));
        float inner = std::clamp(1 - r / radius, 0.0f, 1.0f);
        float core = k < 4 ? std::pow(inner, 2.0f) * (0.9f - 0.25f * k) : 0.0f;
        float v = std::min(1.0f, (band + core) * strength);
        if (std::hypot(x - cx, y - cy) > 31) v = 0;
        return Rgba{1, 1, 1, v};
    }, 1);
    if (k <= 5) {
        for (int i = 0; i < 8; ++i) {
            float a = (i * 45 + 22.5f * (k % 2) + Hash01(i, k, 5) * 14) * kPi / 180;
            float r0 = radius + 1.5f, r1 = std::min(30.0f, radius + 5.5f - k * 0.4f);
            if (r1 <= r0) continue;
            Capsule(c, cx + r0 * std::sin(a), cy - r0 * std::cos(a), cx + r1 * std::sin(a),
                    cy - r1 * std::cos(a), 1.2f, 0.3f, RgbHex(0xFFFFFF, 0.9f * strength), 1);
        }
    }
}

void PaintEtbreak(std::vector<BakedFile>& out) {
    Canvas c(256, 128);
    for (int k = 0; k < 8; ++k) FlashFrame(c, k, 64 * (k % 4) + 32, 64 * (k / 4) + 32);
    AddPng(out, "Graphics/etbreak.png", c);
}

void PaintParticles(std::vector<BakedFile>& out) {
    Canvas c(128, 128);
    // Charge particle: opaque centre fading smoothly to the cell's edge.
    c.Shade(0, 0, 32, 32, [](float x, float y) {
        float d = std::hypot(x - 16, y - 16) / 15.0f;
        if (d >= 1) return Rgba{0, 0, 0, 0};
        float a = d < 0.25f ? 1.0f : std::pow((1 - d) / 0.75f, 1.8f);
        return Rgba{1, 1, 1, a};
    });
    // Blast core: a soft radial glow with no hard edge.
    c.Shade(96, 64, 128, 96, [](float x, float y) {
        float d = std::hypot(x - 112, y - 80) / 15.5f;
        if (d >= 1) return Rgba{0, 0, 0, 0};
        float a = std::pow(1 - d, 2.2f);
        return Rgba{1, 1, 1, a};
    }, 1);
    AddPng(out, "Graphics/particles.png", c);
}

void PaintBlastRing(std::vector<BakedFile>& out) {
    Canvas c(256, 256);
    float cx = 114.5f, cy = 114.5f;
    c.Shade(0, 0, 229, 229, [&](float x, float y) {
        float dx = x - cx, dy = y - cy;
        float r = std::hypot(dx, dy);
        if (r > 113) return Rgba{0, 0, 0, 0};
        float theta = std::atan2(dy, dx);
        // A shock front at radius 100 with a wake of rays inside it.
        float rim = std::exp(-std::pow((r - 100) / 4.0f, 2.0f));
        float wake = r < 100 ? std::pow(r / 100, 4.0f) * 0.45f : 0.0f;
        float rays = 0.5f + 0.5f * std::sin(theta * 24 + std::sin(theta * 7) * 2);
        float streak = wake * (0.5f + 0.5f * rays);
        float outer = r > 100 ? std::clamp(1 - (r - 100) / 13, 0.0f, 1.0f) : 1.0f;
        float v = std::min(1.0f, (rim + streak) * outer);
        return Rgba{1, 1, 1, v};
    }, 1);
    AddPng(out, "Graphics/item09.png", c);
}

// A slash of light shaped like a crescent, thickest halfway along: a wide faint cyan trail under
// a narrow white-hot blade. The curve is split in two halves so each can taper its own way.
void Streak(Canvas& c, const float p[8], float width) {
    float a[8], b[8];
    // de Casteljau at t = 0.5.
    float m01x = (p[0] + p[2]) / 2, m01y = (p[1] + p[3]) / 2, m12x = (p[2] + p[4]) / 2, m12y = (p[3] + p[5]) / 2;
    float m23x = (p[4] + p[6]) / 2, m23y = (p[5] + p[7]) / 2;
    float qx = (m01x + m12x) / 2, qy = (m01y + m12y) / 2, rx = (m12x + m23x) / 2, ry = (m12y + m23y) / 2;
    float mx = (qx + rx) / 2, my = (qy + ry) / 2;
    const float first[8] = {p[0], p[1], m01x, m01y, qx, qy, mx, my};
    const float second[8] = {mx, my, rx, ry, m23x, m23y, p[6], p[7]};
    std::copy(first, first + 8, a);
    std::copy(second, second + 8, b);
    Curve(c, a, width * 0.35f, width * 0.9f, RgbHex(0x3FA8FF, 0.35f), RgbHex(0x5FD8FF, 0.55f), 1);
    Curve(c, b, width * 0.9f, width * 0.2f, RgbHex(0x5FD8FF, 0.55f), RgbHex(0x3FA8FF, 0.2f), 1);
    Curve(c, a, width * 0.12f, width * 0.45f, RgbHex(0xDFFAFF, 0.9f), RgbHex(0xFFFFFF, 1.0f), 0);
    Curve(c, b, width * 0.45f, width * 0.08f, RgbHex(0xFFFFFF, 1.0f), RgbHex(0xBFF4FF, 0.6f), 0);
}

void PaintItem09b(std::vector<BakedFile>& out) {
    Canvas c(256, 128);
    // The coin: a gold token with a cut-crystal face and a white four-pointed emblem.
    {
        float cx = 16, cy = 30;
        Disc(c, cx, cy, 13.5f, RgbHex(0x8A5A10, 0.95f));
        c.Shade(0, 12, 32, 48, [&](float x, float y) {
            float d = std::hypot(x - cx, y - cy);
            if (d > 12.2f) return Rgba{0, 0, 0, 0};
            float shine = std::clamp(0.6f - ((x - cx) + (y - cy)) / 24.0f, 0.0f, 1.0f);
            Rgba col = Mix(RgbHex(0xF0A520), RgbHex(0xFFF0A0), shine);
            return WithAlpha(col, std::clamp(12.7f - d, 0.0f, 1.0f));
        });
        Ring(c, cx, cy, 9.0f, 1.3f, RgbHex(0xB87812, 0.9f));
        Polygon(c, StarPoints(cx, cy, 7.5f, 2.2f, 4, 0), RgbHex(0xFFFFFF, 0.95f));
        Disc(c, cx - 4.5f, cy - 6, 1.6f, RgbHex(0xFFFFFF, 0.8f));
    }
    // The bomb's swing, four pictures: the blade's root lies next to the player on the right,
    // sweeping from shoulder height over the head.
    const float s1[8] = {53, 66, 40, 72, 16, 70, 3, 58};
    Streak(c, s1, 6);
    const float s2[8] = {94, 57, 84, 48, 70, 28, 58, 6};
    Streak(c, s2, 6);
    const float s3[8] = {142, 74, 138, 50, 134, 26, 131, 5};
    Streak(c, s3, 6.5f);
    const float s4[8] = {190, 62, 178, 30, 180, 4, 198, 10};
    Streak(c, s4, 5.5f);
    // Texels shared by the first two regions stay clear.
    for (int y = 48; y < 60; ++y) {
        c.Set(52, y, {0, 0, 0, 0});
        c.Set(53, y, {0, 0, 0, 0});
    }
    AddPng(out, "Graphics/item09b.png", c);
}

void PaintEffLine(std::vector<BakedFile>& out) {
    Canvas c(128, 128);
    c.Shade(96, 0, 116, 128, [](float x, float y) {
        float across = std::fabs(x - 106) / 10.0f;
        float along = std::fabs(y - 64) / 64.0f;
        float core = across < 0.3f ? 1.0f : std::pow(std::max(0.0f, 1 - (across - 0.3f) / 0.7f), 2.0f);
        float ends = std::pow(std::max(0.0f, 1 - along), 0.7f);
        return Rgba{1, 1, 1, core * ends};
    });
    AddPng(out, "Graphics/eff_line.png", c);
}

// The spell-card veil: a cracked-mirror mosaic in light greys, opaque.
void PaintVeil(std::vector<BakedFile>& out) {
    Canvas c(256, 256);
    c.Shade(0, 0, 256, 256, [](float x, float y) {
        float d1, d2;
        int id;
        Cells(x / 32.0f, y / 32.0f, 8, 41, d1, d2, id);
        float edge = std::clamp((d2 - d1) * 32 / 2.2f, 0.0f, 1.0f);
        float facet = 0.45f + 0.25f * Hash01(id, 3, 9);
        float grain = 0.08f * Fbm(x / 16, y / 16, 16, 3, 12);
        float diamond = 0.5f + 0.5f * std::cos((x + y) * kPi / 16) * std::cos((x - y) * kPi / 16);
        float v = facet + grain + 0.12f * diamond * diamond;
        v = v * edge + 1.0f * (1 - edge);
        return Rgba{v, v, v * 1.02f, 1};
    });
    AddPng(out, "Graphics/eff04.png", c);
}

// The magic circle: rings, a band of glyphs, two interlaced triangles and a pentagram, in white
// lines within 128 texels of the centre.
void PaintMagicCircle(std::vector<BakedFile>& out) {
    Canvas c(256, 256);
    const float cx = 128, cy = 128;
    Rgba line = RgbHex(0xFFFFFF, 0.95f);
    Rgba faint = RgbHex(0xFFFFFF, 0.55f);
    Ring(c, cx, cy, 124, 2.2f, line);
    Ring(c, cx, cy, 118, 1.2f, faint);
    Ring(c, cx, cy, 100, 2.0f, line);
    Ring(c, cx, cy, 95, 1.0f, faint);
    // Glyph band between radius 102 and 116: small strokes turned with the circle.
    for (int i = 0; i < 48; ++i) {
        float a = i * 2 * kPi / 48;
        float ca = std::cos(a), sa = std::sin(a);
        auto P = [&](float r, float t) { return std::pair<float, float>{cx + r * sa + t * ca, cy - r * ca + t * sa}; };
        int kind = int(Hash01(i, 0, 77) * 4);
        auto [x0, y0] = P(103, 0);
        auto [x1, y1] = P(115, 0);
        if (kind == 0) {
            Capsule(c, x0, y0, x1, y1, 0.9f, 0.9f, line);
            auto [x2, y2] = P(109, -3);
            auto [x3, y3] = P(109, 3);
            Capsule(c, x2, y2, x3, y3, 0.8f, 0.8f, line);
        } else if (kind == 1) {
            auto [xa, ya] = P(104, -3);
            auto [xb, yb] = P(114, 0);
            auto [xc, yc] = P(104, 3);
            Capsule(c, xa, ya, xb, yb, 0.8f, 0.8f, line);
            Capsule(c, xb, yb, xc, yc, 0.8f, 0.8f, line);
        } else if (kind == 2) {
            auto [xm, ym] = P(109, 0);
            Ring(c, xm, ym, 3.2f, 1.4f, line);
        } else {
            auto [xa, ya] = P(104, -3);
            auto [xb, yb] = P(114, 3);
            Capsule(c, xa, ya, xb, yb, 0.8f, 0.8f, line);
            Capsule(c, x0, y0, x1, y1, 0.7f, 0.7f, faint);
        }
    }
    // Two triangles (a hexagram) on radius 95, with small rings at their points.
    for (int t = 0; t < 2; ++t) {
        for (int i = 0; i < 3; ++i) {
            float a0 = (t * 60 + i * 120) * kPi / 180, a1 = (t * 60 + (i + 1) * 120) * kPi / 180;
            Capsule(c, cx + 95 * std::sin(a0), cy - 95 * std::cos(a0), cx + 95 * std::sin(a1),
                    cy - 95 * std::cos(a1), 1.1f, 1.1f, line);
        }
    }
    for (int i = 0; i < 6; ++i) {
        float a = i * 60 * kPi / 180;
        Ring(c, cx + 95 * std::sin(a), cy - 95 * std::cos(a), 6, 1.4f, line);
    }
    Ring(c, cx, cy, 55, 1.8f, line);
    Ring(c, cx, cy, 50, 1.0f, faint);
    for (int i = 0; i < 5; ++i) {
        float a0 = i * 144 * kPi / 180, a1 = (i + 1) * 144 * kPi / 180;
        Capsule(c, cx + 50 * std::sin(a0), cy - 50 * std::cos(a0), cx + 50 * std::sin(a1),
                cy - 50 * std::cos(a1), 1.0f, 1.0f, line);
    }
    Ring(c, cx, cy, 20, 1.5f, line);
    Ring(c, cx, cy, 12, 1.0f, faint);
    // Marks on the ring between 55 and 95 so the turning shows everywhere.
    for (int i = 0; i < 12; ++i) {
        float a = (i * 30 + 15) * kPi / 180;
        Disc(c, cx + 75 * std::sin(a), cy - 75 * std::cos(a), 2.0f, faint);
    }
    AddPng(out, "Graphics/eff04b.png", c);
}

void PaintFocusRing(std::vector<BakedFile>& out) {
    Canvas c(64, 64);
    const float cx = 32, cy = 32;
    Ring(c, cx, cy, 28.5f, 1.4f, RgbHex(0xE8F0FF, 0.95f));
    Ring(c, cx, cy, 25.5f, 0.8f, RgbHex(0xA8C0FF, 0.6f));
    // Uneven marks: long and short ticks, two diamonds, so the turning is plain to see.
    for (int i = 0; i < 16; ++i) {
        float a = i * 22.5f * kPi / 180;
        float r1 = (i % 4 == 0) ? 21.5f : 24.0f;
        Capsule(c, cx + r1 * std::sin(a), cy - r1 * std::cos(a), cx + 27.5f * std::sin(a),
                cy - 27.5f * std::cos(a), 0.7f, 0.7f, RgbHex(0xE8F0FF, 0.9f));
    }
    for (int i = 0; i < 2; ++i) {
        float a = (i * 180 + 45) * kPi / 180;
        float x = cx + 28.5f * std::sin(a), y = cy - 28.5f * std::cos(a);
        Polygon(c, {x, y - 3.5f, x + 2.5f, y, x, y + 3.5f, x - 2.5f, y}, RgbHex(0xFFFFFF));
    }
    // The hit point: a bright dot with a red rim at the exact centre.
    Disc(c, cx, cy, 2.4f, RgbHex(0xFF3050));
    Disc(c, cx, cy, 1.5f, RgbHex(0xFFFFFF));
    AddPng(out, "Graphics/slowmode.png", c);
}

}  // namespace

void PaintEffects(std::vector<BakedFile>& out) {
    PaintEtbreak(out);
    PaintParticles(out);
    PaintBlastRing(out);
    PaintItem09b(out);
    PaintEffLine(out);
    PaintVeil(out);
    PaintMagicCircle(out);
    PaintFocusRing(out);
}
