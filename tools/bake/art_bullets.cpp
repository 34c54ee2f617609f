// art_bullets.cpp -- the bullet sheets: pellets, grains, glossy balls, the star, the big orb,
// the charge glows, the boss's time ring and aura, the graze spark and the defeat mote.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

constexpr float kPi = 3.14159265358979f;

float Smooth(float e0, float e1, float x) {
    float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// A bullet body: white-hot core, a rim in the column's hue, a thin darker edge that keeps it
// readable on bright flashes, and a soft glow in the hue. d is the normalised distance from
// the centre (1 at the rim's outer edge), px the size of one texel in the same unit.
Rgba BulletShade(float d, float px, float hue) {
    Rgba rim = Hue(hue);
    Rgba light = Mix(rim, pal::kWhite, 0.55f);
    Rgba deep = Mix(rim, RgbHex(0x000000), 0.35f);
    Rgba col;
    if (d < 0.42f) {
        col = pal::kWhite;
    } else if (d < 0.62f) {
        col = Mix(pal::kWhite, light, Smooth(0.42f, 0.62f, d));
    } else if (d < 0.86f) {
        col = Mix(light, rim, Smooth(0.62f, 0.8f, d));
    } else {
        col = Mix(rim, deep, Smooth(0.86f, 1.0f, d));
    }
    float body = std::clamp((1.0f - d) / px + 0.5f, 0.0f, 1.0f);
    float glow = 0.45f * std::pow(std::clamp(1.0f - (d - 1.0f) / 0.55f, 0.0f, 1.0f), 2.0f);
    if (body >= 1.0f) return col;
    // Outside the body: the glow in the rim's hue, blended under the body's edge.
    Rgba g = WithAlpha(Mix(rim, pal::kWhite, 0.15f), glow);
    float a = body + g.a * (1 - body);
    if (a <= 0) return {0, 0, 0, 0};
    Rgba out = Mix(g, col, body / a);
    out.a = a;
    return out;
}

// A round pellet centred in its cell.
void Pellet(Canvas& c, float cx, float cy, float radius, float hue) {
    c.Shade(int(cx - radius * 1.6f - 1), int(cy - radius * 1.6f - 1), int(cx + radius * 1.6f + 2),
            int(cy + radius * 1.6f + 2), [&](float x, float y) {
                float d = std::hypot(x - cx, y - cy) / radius;
                return BulletShade(d, 1.0f / radius, hue);
            });
}

// A grain: an egg pointing up (narrow top, rounder bottom), as rice-shaped bullets are.
void Grain(Canvas& c, float cx, float cy, float rx, float ry, float hue) {
    c.Shade(int(cx - rx * 1.7f - 1), int(cy - ry * 1.5f - 1), int(cx + rx * 1.7f + 2),
            int(cy + ry * 1.5f + 2), [&](float x, float y) {
                float u = (x - cx) / rx;
                float v = (y - cy) / ry;
                // Narrower towards the tip.
                float taper = 1.0f + 0.35f * std::clamp(-v, 0.0f, 1.0f);
                float d = std::hypot(u * taper, v);
                return BulletShade(d, 1.0f / std::min(rx, ry), hue);
            });
}

// A glossy ball: the bullet body plus a specular highlight towards the upper left.
void Ball(Canvas& c, float cx, float cy, float radius, float hue) {
    Pellet(c, cx, cy, radius, hue);
    Ellipse(c, cx - radius * 0.3f, cy - radius * 0.38f, radius * 0.32f, radius * 0.2f, -35,
            RgbHex(0xFFFFFF, 0.85f));
}

void PaintBullet1(std::vector<BakedFile>& out) {
    Canvas c(256, 256);
    // The invisible charge emitter: a faint glow, never drawn.
    Glow(c, 16, 16, 14, RgbHex(0xFFFFFF, 0.25f));
    for (int n = 0; n < 16; ++n) {
        Pellet(c, 16 * n + 8, 48 + 8, 5.6f, ColumnHue(16 * n));        // row A: R 6
        Grain(c, 16 * n + 8, 112 + 8.5f, 3.7f, 5.2f, ColumnHue(16 * n));  // row B: R 4
    }
    for (int m = 0; m < 32; ++m) Pellet(c, 8 * m + 4, 240 + 4, 3.0f, ColumnHue(8 * m));  // row C: R 3
    // Charge glows: soft round light, white core, rim in the hue a little before the column.
    for (int k = 1; k <= 7; ++k) {
        float cx = 32 * k + 16, cy = 209 + 15;
        Rgba rim = Hue(ColumnHue(32 * k - 8));
        c.Shade(32 * k, 209, 32 * k + 32, 239, [&](float x, float y) {
            float d = std::hypot(x - cx, y - cy) / 13.5f;
            if (d >= 1) return Rgba{0, 0, 0, 0};
            Rgba col = Mix(pal::kWhite, rim, Smooth(0.1f, 0.6f, d));
            return WithAlpha(col, std::pow(1 - d, 1.6f));
        });
    }
    // The time ring's cross-section, outer edge at x 65, inner at 68, kept solid by repeating
    // it one texel outwards in every direction.
    const uint32_t ring[6] = {0x5A0A28, 0x5A0A28, 0xFF4FA0, 0xFFFFFF, 0xFF8CC4, 0xFF8CC4};
    for (int y = 191; y <= 193; ++y) {
        for (int i = 0; i < 6; ++i) c.Set(64 + i, y, RgbHex(ring[i]));
    }
    AddPng(out, "Graphics/bullet1.png", c);
}

void PaintBullet2(std::vector<BakedFile>& out) {
    Canvas c(256, 256);
    // Graze spark: a small four-pointed sparkle.
    Polygon(c, StarPoints(200, 8, 7.2f, 1.3f, 4, 0), RgbHex(0xFFFFFF, 0.9f));
    Glow(c, 200, 8, 5, RgbHex(0xFFFFFF), 1.5f);
    Disc(c, 200, 8, 1.4f, RgbHex(0xFFFFFF));
    // Defeat mote: a white star-burst flare with six rays of two lengths.
    float cx = 208, cy = 240;
    for (int i = 0; i < 6; ++i) {
        float a = i * kPi / 3 + 0.2f;
        float len = (i % 2 == 0) ? 14.5f : 9.5f;
        Capsule(c, cx, cy, cx + len * std::sin(a), cy - len * std::cos(a), 1.6f, 0.2f,
                RgbHex(0xFFFFFF, 0.8f), 1);
    }
    Glow(c, cx, cy, 12, RgbHex(0xFFFFFF, 0.8f), 2.2f, 1);
    Glow(c, cx, cy, 5, RgbHex(0xFFFFFF), 1.2f, 1);
    AddPng(out, "Graphics/bullet2.png", c);
}

void PaintBullet3(std::vector<BakedFile>& out) {
    Canvas c(512, 256);
    for (int n = 0; n < 7; ++n) Ball(c, 32 * n + 16, 32 + 16, 8.2f, ColumnHue(32 * n));
    // The star: five points, pointing up, red with a light core.
    {
        float cx = 48, cy = 144.5f;
        Rgba red = Hue(ColumnHue(32));
        Polygon(c, StarPoints(cx, cy, 11.5f, 5.4f, 5, 0), Mix(red, RgbHex(0x000000), 0.35f));
        Polygon(c, StarPoints(cx, cy, 10.0f, 4.5f, 5, 0), red);
        Polygon(c, StarPoints(cx, cy, 6.0f, 2.9f, 5, 0), Mix(red, pal::kWhite, 0.6f));
        Disc(c, cx, cy, 2.2f, pal::kWhite);
    }
    // The big orb, drawn additively: a magenta sphere of light with a two-armed swirl, so its
    // spin shows.
    {
        float cx = 96, cy = 224;
        Rgba hue = Hue(ColumnHue(64));
        c.Shade(64, 192, 128, 256, [&](float x, float y) {
            float dx = x - cx, dy = y - cy;
            float r = std::hypot(dx, dy);
            float d = r / 20.0f;
            if (d > 1.55f) return Rgba{0, 0, 0, 0};
            float theta = std::atan2(dy, dx);
            float swirl = 0.5f + 0.5f * std::sin(2 * theta + r * 0.28f);
            float body = std::clamp((1.0f - d) * 20 + 0.5f, 0.0f, 1.0f);
            float glow = std::pow(std::clamp(1 - (d - 1) / 0.55f, 0.0f, 1.0f), 2.0f) * 0.55f;
            Rgba col = Mix(hue, pal::kWhite, std::pow(std::max(0.0f, 1 - d), 1.5f) * 0.9f);
            float bright = 0.55f + 0.45f * swirl * Smooth(0.15f, 0.7f, d);
            if (d < 0.3f) bright = 1;
            col = Scale(col, bright);
            float a = body + glow * (1 - body);
            return WithAlpha(col, a);
        }, 1);
    }
    // The boss's aura: a soft halo ring 52 to 58 texels from (320, 65), semi-transparent.
    {
        float cx = 320, cy = 65;
        c.Shade(256, 1, 384, 129, [&](float x, float y) {
            float r = std::hypot(x - cx, y - cy);
            float band = std::exp(-std::pow((r - 55.0f) / 2.6f, 2.0f));
            float theta = std::atan2(y - cy, x - cx);
            float flicker = 0.8f + 0.2f * std::sin(6 * theta);
            Rgba col = Mix(RgbHex(0xC9B8FF), pal::kWhite, band * 0.6f);
            float a = 0.55f * band * flicker;
            if (a < 0.004f) return Rgba{0, 0, 0, 0};
            return WithAlpha(col, a);
        });
    }
    AddPng(out, "Graphics/bullet3.png", c);
}

}  // namespace

void PaintBullets(std::vector<BakedFile>& out) {
    PaintBullet1(out);
    PaintBullet2(out);
    PaintBullet3(out);
    // Table textures the title screen loads but no screen draws.
    Canvas empty(32, 32);
    for (const char* name : {"bullet4", "bullet5", "bullet6", "bullet7", "enemy1", "font5", "font6",
                             "font7", "font8", "shadow", "player"}) {
        AddPng(out, std::string("Graphics/") + name + ".png", empty);
    }
}
