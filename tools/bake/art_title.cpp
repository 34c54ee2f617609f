// art_title.cpp -- the start-up logo, the title background (a moonlit hall where mirror shards
// fall), the golden lattice tile and the "Mirrorfall" logo.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

constexpr float kPi = 3.14159265358979f;

// A thin falling shard: a long narrow diamond of pale glass with a bright edge.
void Shard(Canvas& c, float cx, float cy, float len, float width, float angleDeg, Rgba col) {
    float a = angleDeg * kPi / 180;
    float ux = std::sin(a), uy = -std::cos(a), vx = -uy, vy = ux;
    std::vector<float> pts = {cx + ux * len, cy + uy * len, cx + vx * width, cy + vy * width,
                              cx - ux * len * 0.6f, cy - uy * len * 0.6f, cx - vx * width, cy - vy * width};
    Polygon(c, pts, col);
    Polygon(c, {pts[0], pts[1], pts[2], pts[3], cx, cy}, Mix(col, pal::kWhite, 0.5f));
}

void PaintStartupLogo(std::vector<BakedFile>& out) {
    Canvas c(640, 480);
    c.Fill(RgbHex(0x000000));
    Glow(c, 320, 200, 150, RgbHex(0x2A1E6A, 0.6f), 2.0f);
    DrawShardCrest(c, 320, 200, 78, 1.0f);
    TextStyle st;
    st.font = kSerifBold;
    st.size = 30;
    st.tracking = 9;
    st.outlineWidth = 0;
    st.top = RgbHex(0xF0ECFF);
    st.bottom = RgbHex(0xA8A0E8);
    DrawText(c, "MIRRORFALL", st, 120, 310, 400, 40, kAlignCentre, kAlignMiddle);
    Capsule(c, 230, 362, 410, 362, 0.6f, 0.6f, RgbHex(0xF2D27A, 0.8f));
    Polygon(c, {320, 357, 325, 362, 320, 367, 315, 362}, RgbHex(0xF2D27A));
    AddFile(out, "Graphics/logo.jpg", EncodeJpeg(c, 92));
}

void PaintTitleBackground(std::vector<BakedFile>& out) {
    Canvas c(640, 480);
    // Night sky of the hall, deep violet below; a moon behind the upper right.
    c.Shade(0, 0, 640, 480, [](float x, float y) {
        float t = y / 480;
        Rgba col = Mix(RgbHex(0x05071A), RgbHex(0x1E1248), t);
        float haze = Fbm(x / 90, y / 90, 0, 4, 71);
        col = Mix(col, RgbHex(0x3A2C7A), haze * 0.25f * t);
        float moon = std::hypot(x - 500, y - 110);
        col = Mix(col, RgbHex(0x6E74C8), std::exp(-moon / 90) * 0.55f);
        return WithAlpha(col, 1);
    });
    Disc(c, 500, 110, 34, RgbHex(0xE8ECFF, 0.92f));
    Disc(c, 512, 102, 30, RgbHex(0x1A1650, 0.35f));
    Glow(c, 500, 110, 70, RgbHex(0xB8C4FF, 0.35f), 2.0f, 1);
    // Columns receding into the dark on both sides.
    for (int i = 0; i < 6; ++i) {
        float depth = i / 5.0f;
        float w = 44 - 30 * depth;
        float h = 480;
        float shade = 0.9f - 0.6f * depth;
        for (int side = 0; side < 2; ++side) {
            float x = side == 0 ? 14 + 80 * depth * 1.6f : 626 - w - 80 * depth * 1.6f;
            c.Shade(int(x), 0, int(x + w) + 1, int(h), [&](float px, float py) {
                float u = (px - x) / w;
                if (u < 0 || u > 1) return Rgba{0, 0, 0, 0};
                float lit = std::pow(std::max(0.0f, std::sin(std::clamp(u, 0.0f, 1.0f) * kPi)), 0.6f);
                Rgba col = Mix(RgbHex(0x0A0A24), RgbHex(0x3C3C86), lit * shade * 0.8f);
                float fade = std::clamp(1.2f - py / 480 * 0.4f, 0.0f, 1.0f);
                return WithAlpha(col, fade * (0.85f - 0.35f * depth));
            });
        }
    }
    // A floor of dark glass catching the light.
    c.Shade(0, 380, 640, 480, [](float x, float y) {
        float t = (y - 380) / 100;
        float streak = std::pow(0.5f + 0.5f * std::sin(x * 0.05f + t * 3), 8.0f);
        return WithAlpha(Mix(RgbHex(0x140E38), RgbHex(0x4C48A0), streak * 0.4f), 0.5f * t);
    });
    // Falling shards: few and faint in the upper left, where other screens draw their lists.
    for (int i = 0; i < 90; ++i) {
        float x = Hash01(i, 1, 90) * 640, y = Hash01(i, 2, 90) * 480;
        bool quiet = x < 330 && y < 260;
        if (quiet && Hash01(i, 3, 90) < 0.8f) continue;
        float size = 4 + 14 * std::pow(Hash01(i, 4, 90), 2.5f);
        float angle = Hash01(i, 5, 90) * 360;
        Rgba col = Mix(RgbHex(0x8FD8FF), RgbHex(0xC8A8FF), Hash01(i, 6, 90));
        col.a = 0.35f + 0.45f * Hash01(i, 7, 90);
        Glow(c, x, y, size * 1.8f, WithAlpha(col, col.a * 0.25f), 2.0f, 1);
        Shard(c, x, y, size, size * 0.28f, angle, col);
    }
    // Darker behind the menu, so its labels read.
    c.Shade(0, 0, 640, 480, [](float x, float y) {
        float d = std::hypot((x - 320) / 220, (y - 360) / 90);
        return Rgba{0.01f, 0.01f, 0.04f, 0.55f * std::exp(-d * d)};
    });
    AddFile(out, "Graphics/title_bk00.jpg", EncodeJpeg(c, 90));
}

// A fine diamond lattice with small diamonds at the crossings, tiling at 128 texels.
void PaintTitleTile(std::vector<BakedFile>& out) {
    Canvas c(128, 128);
    c.Shade(0, 0, 128, 128, [](float x, float y) {
        auto line = [](float v) {
            float d = std::fabs(std::fmod(v + 1024, 32.0f) - 16);
            return std::exp(-(16 - d) * (16 - d) / 0.45f);
        };
        float a = std::max(line(x + y), line(x - y));
        float cx = std::fabs(std::fmod(x + 1024, 32.0f) - 16), cy = std::fabs(std::fmod(y + 1024, 32.0f) - 16);
        float dot = std::clamp(4.5f - (cx + cy), 0.0f, 1.0f);
        float sparkle = std::clamp(2.5f - (std::fabs(cx - 16) + std::fabs(cy - 16)), 0.0f, 1.0f);
        a = std::max({a * 0.5f, dot * 0.75f, sparkle * 0.9f});
        return Rgba{1, 1, 1, a};
    });
    AddPng(out, "Graphics/title_bk4.png", c);
}

void PaintTitleLogo(std::vector<BakedFile>& out) {
    Canvas c(1024, 256);
    TextStyle st;
    st.font = kSerifBoldItalic;
    st.size = 130;
    st.top = RgbHex(0xFFFFFF);
    st.bottom = RgbHex(0x8C7CFF);
    st.outline = RgbHex(0x0A0622);
    st.outlineWidth = 5;
    st.glow = RgbHex(0x6A4CFF, 0.9f);
    st.glowRadius = 7;
    st.tracking = 1;
    InkBox box = DrawText(c, "Mirrorfall", st, 12, 14, 526, 150, kAlignCentre, kAlignMiddle);
    // A cold gleam across the upper half of the letters.
    c.Shade(int(box.x0), int(box.y0), int(box.x1) + 1, int(box.y1) + 1, [&](float x, float y) {
        Rgba p = c.Get(int(x), int(y));
        float stripe = std::exp(-std::pow((y - box.y0 - (box.y1 - box.y0) * 0.3f + (x - box.x0) * 0.08f) / 6, 2.0f));
        if (p.a < 0.9f || p.r < 0.5f) return Rgba{0, 0, 0, 0};
        return WithAlpha(RgbHex(0xBFF4FF), stripe * 0.5f);
    });
    // An ornament below: a gold rule with a mirror shard in the middle and sparkles.
    Capsule(c, 120, 184, 430, 184, 0.9f, 0.9f, RgbHex(0xF2D27A, 0.9f));
    Capsule(c, 170, 191, 380, 191, 0.5f, 0.5f, RgbHex(0xF2D27A, 0.6f));
    Polygon(c, {275, 172, 283, 184, 275, 198, 267, 184}, RgbHex(0x9FF0FF));
    Polygon(c, {275, 172, 283, 184, 275, 184}, RgbHex(0xFFFFFF));
    const float sparkles[4][3] = {{box.x0 + 30, box.y0 + 8, 11}, {box.x1 - 20, box.y0 + 20, 9},
                                  {box.x0 + (box.x1 - box.x0) * 0.55f, box.y1 + 2, 7}, {120, 184, 6}};
    for (const auto& s : sparkles) {
        Polygon(c, StarPoints(s[0], s[1], s[2], s[2] * 0.18f, 4, 0), RgbHex(0xFFFFFF, 0.95f));
        Glow(c, s[0], s[1], s[2] * 0.8f, RgbHex(0xBFD8FF, 0.8f), 2.0f, 1);
    }
    AddPng(out, "Graphics/title_logo.png", c);
}

}  // namespace

void PaintTitle(std::vector<BakedFile>& out) {
    PaintStartupLogo(out);
    PaintTitleBackground(out);
    PaintTitleTile(out);
    PaintTitleLogo(out);
}
