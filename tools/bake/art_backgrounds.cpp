// art_backgrounds.cpp -- the corridor of mirror slabs (walls, centre panels, pillar faces), the
// frame around the play field, the screen-change shutter and the colour swatches.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

constexpr float kPi = 3.14159265358979f;

float Smooth(float e0, float e1, float x) {
    float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// A 384-texel tile of dark mirror slabs with glowing seams, seamless in both directions.
Rgba MirrorSlab(float x, float y, int seed, float seamHue) {
    const float kSlab = 96;  // four slabs to the tile
    float u = std::fmod(x, kSlab), v = std::fmod(y, kSlab);
    int sx = int(x / kSlab), sy = int(y / kSlab);
    float edge = std::min(std::min(u, kSlab - u), std::min(v, kSlab - v));
    // Each slab has its own tone and a soft diagonal sheen, like a dim reflection.
    float tone = 0.75f + 0.35f * Hash01(sx, sy, seed);
    float sheen = std::pow(0.5f + 0.5f * std::sin((u - v) * kPi / kSlab * 0.9f + Hash01(sx, sy, seed + 1) * 6), 6.0f);
    float vein = Fbm(x / 48, y / 48, 8, 4, seed + 5);
    float crack = std::pow(1 - std::fabs(vein * 2 - 1), 18.0f);
    Rgba base = Mix(RgbHex(0x141838), RgbHex(0x2A2C64), vein * 0.8f);
    base = Scale(base, tone);
    base = Mix(base, RgbHex(0x5A5AA8), sheen * 0.22f + crack * 0.35f);
    // Bevel: a light upper-left lip and a dark lower-right one.
    if (edge < 5) {
        bool lit = (u < 5 && u <= v) || (v < 5 && v < u);
        lit = lit && !(kSlab - u < 5) && !(kSlab - v < 5);
        base = Mix(base, lit ? RgbHex(0x6C74C8) : RgbHex(0x080A1C), 0.55f * (1 - edge / 5));
    }
    // The seam between slabs: a thin line of cold light.
    float seam = std::exp(-edge * edge / 1.2f);
    Rgba glow = Hue(seamHue, 1.0f);
    glow = Mix(glow, pal::kWhite, 0.35f);
    base = Mix(base, glow, seam * 0.75f);
    // A small diamond inlay where four slabs meet.
    float cu = std::fabs(u > kSlab / 2 ? kSlab - u : u), cv = std::fabs(v > kSlab / 2 ? kSlab - v : v);
    float diamond = cu + cv;
    if (diamond < 9) base = Mix(base, Mix(glow, pal::kWhite, 0.5f), Smooth(9, 6, diamond) * 0.85f);
    return WithAlpha(base, 1);
}

// Paints a 384 tile and repeats it over the whole canvas.
void TiledSlabs(Canvas& c, int seed, float seamHue) {
    Canvas tile(384, 384);
    tile.Shade(0, 0, 384, 384, [&](float x, float y) { return MirrorSlab(x, y, seed, seamHue); });
    for (int y = 0; y < c.Height(); ++y) {
        for (int x = 0; x < c.Width(); ++x) c.Set(x, y, tile.Get(x % 384, y % 384));
    }
}

void PaintPillar(std::vector<BakedFile>& out) {
    Canvas c(32, 512);
    c.Shade(0, 0, 24, 512, [](float x, float y) {
        // Across the face: rounded fluting, lighter in the middle, the same tone at both edges.
        float t = (x - 12) / 12;
        float round = 1 - t * t;
        float flute = 0.5f + 0.5f * std::cos(x * 2 * kPi / 6);
        Rgba stone = Mix(RgbHex(0x1C1E48), RgbHex(0x4A4E9A), round * 0.75f + flute * 0.12f);
        float n = Fbm(x / 12, y / 32, 16, 3, 21);
        stone = Scale(stone, 0.85f + 0.3f * n);
        // Mouldings every 128 texels: a bright band with a dark groove, so the tile repeats.
        float m = std::fmod(y, 128.0f);
        float band = std::exp(-std::pow((m - 8) / 3.0f, 2.0f));
        float groove = std::exp(-std::pow((m - 14) / 1.5f, 2.0f));
        stone = Mix(stone, RgbHex(0x9AA4F0), band * 0.6f);
        stone = Mix(stone, RgbHex(0x06081A), groove * 0.7f);
        // A thread of crystal light down the middle, between the mouldings.
        float inlay = std::exp(-t * t * 60) * Smooth(20, 30, m) * Smooth(124, 112, m);
        stone = Mix(stone, RgbHex(0x8FD8FF), inlay * 0.55f);
        return WithAlpha(stone, 1);
    });
    for (int y = 0; y < 512; ++y) {
        for (int x = 24; x < 32; ++x) c.Set(x, y, c.Get(x - 24, y));
    }
    AddPng(out, "Graphics/stg7bg3.png", c);
}

void PaintFrame(std::vector<BakedFile>& out) {
    Canvas c(1024, 512);
    auto panel = [&](float x, float y) {
        // Night-blue lacquer with a faint diamond lattice and mist, darker where the HUD sits.
        float n = Fbm(x / 40, y / 40, 0, 4, 33);
        Rgba col = Mix(RgbHex(0x080B22), RgbHex(0x1C1C4C), n);
        float lx = std::fabs(std::fmod(x + y, 24.0f) - 12), ly = std::fabs(std::fmod(x - y + 480, 24.0f) - 12);
        float lattice = std::exp(-std::min(lx, ly) * std::min(lx, ly) / 0.6f);
        col = Mix(col, RgbHex(0x3A3C7A), lattice * 0.25f);
        float vignette = Smooth(0, 240, std::min(y, 480 - y));
        col = Scale(col, 0.7f + 0.3f * vignette);
        return WithAlpha(col, 1);
    };
    c.Shade(0, 0, 80, 480, panel);
    c.Shade(560, 0, 640, 480, panel);
    // The inner borders: a gold line with a violet glow and a dark edge against the field.
    for (int side = 0; side < 2; ++side) {
        float edgeX = side == 0 ? 80 : 560;
        int x0 = side == 0 ? 64 : 560, x1 = side == 0 ? 80 : 576;
        c.Shade(x0, 0, x1, 480, [&](float x, float y) {
            float d = std::fabs(x - edgeX);
            float gold = std::exp(-std::pow((d - 4.5f) / 1.1f, 2.0f));
            float thin = std::exp(-std::pow((d - 8.5f) / 0.6f, 2.0f));
            float glow = std::exp(-std::pow((d - 5) / 4.0f, 2.0f)) * 0.5f;
            float shade = d < 2.5f ? 0.8f : 0.0f;
            Rgba col = Mix(RgbHex(0x6A4CC0), RgbHex(0xF2D27A), std::min(1.0f, gold + thin * 0.7f));
            float a = std::min(1.0f, gold + thin * 0.7f + glow);
            if (shade > 0) return Rgba{0.02f, 0.02f, 0.06f, shade};
            // Small diamonds along the border every 60 pixels.
            float dy = std::fabs(std::fmod(y + 30, 60.0f) - 30);
            float diamond = std::fabs(d - 4.5f) + dy;
            if (diamond < 4.5f) return Rgba{1.0f, 0.92f, 0.7f, 1};
            return WithAlpha(col, a);
        });
    }
    // Quiet ornaments where no HUD piece is drawn: mirror shards in the upper right and lower left.
    DrawShardCrest(c, 600, 150, 30, 0.35f);
    DrawShardCrest(c, 38, 320, 26, 0.35f);
    for (int i = 0; i < 3; ++i) {
        Capsule(c, 40, 200 + 18.0f * i, 40, 260 + 18.0f * i, 0.7f, 0.7f, RgbHex(0x8A8CD8, 0.25f));
    }
    AddPng(out, "Graphics/window.png", c);
}

void PaintShutter(std::vector<BakedFile>& out) {
    Canvas c(256, 256);
    c.Shade(0, 0, 256, 256, [](float x, float y) {
        float d1, d2;
        int id;
        Cells(x / 16, y / 16, 16, 61, d1, d2, id);
        float edge = std::clamp((d2 - d1) * 16 / 1.4f, 0.0f, 1.0f);
        float facet = Hash01(id, 1, 62);
        Rgba col = Mix(RgbHex(0x0A0926), RgbHex(0x221A50), facet);
        // A faint sheen across each facet, as on broken glass.
        float sheen = 0.5f + 0.5f * std::sin((x * 0.6f + y * 0.8f) * 0.25f + facet * 9);
        col = Mix(col, RgbHex(0x4C4AA0), sheen * 0.18f);
        col = Mix(RgbHex(0x6E68C0), col, 0.45f + 0.55f * edge);
        return WithAlpha(col, 1);
    });
    AddPng(out, "Graphics/eff_switchbg.png", c);
}

void PaintSwatches(std::vector<BakedFile>& out) {
    Canvas c(256, 128);
    // A palette of flat 8 × 8 swatches: hues across, lightness down.
    for (int sy = 0; sy < 16; ++sy) {
        for (int sx = 0; sx < 32; ++sx) {
            Rgba col = Hue(sx * 360.0f / 32);
            float l = sy / 15.0f;
            col = l < 0.5f ? Scale(col, l * 2) : Mix(col, pal::kWhite, (l - 0.5f) * 2);
            c.FillRect(sx * 8, sy * 8, 8, 8, col);
        }
    }
    // The swatches the game stretches: black for the fade and the composition box, white for
    // text fields, light blue for the selection mark.
    c.FillRect(120, 104, 16, 8, RgbHex(0x000000));
    c.FillRect(64, 96, 8, 8, RgbHex(0xFFFFFF));
    c.FillRect(72, 96, 8, 8, RgbHex(0x9CC8FF));
    AddPng(out, "Graphics/color.png", c);
}

}  // namespace

void PaintBackgrounds(std::vector<BakedFile>& out) {
    Canvas walls(512, 512);
    TiledSlabs(walls, 7, 250);
    AddPng(out, "Graphics/stg7bg2.png", walls);
    Canvas panel(512, 512);
    TiledSlabs(panel, 19, 285);
    AddPng(out, "Graphics/stg7bg.png", panel);
    PaintPillar(out);
    PaintFrame(out);
    PaintShutter(out);
    PaintSwatches(out);
}
