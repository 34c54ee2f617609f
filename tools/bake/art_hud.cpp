// art_hud.cpp -- the head-up display: digits and small labels, the spell-card banner, the boss
// marker, the mouse pointer, the margin headings, the life and bomb emblems, the ∞ mark and the
// lives numerals.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

// Margin headings: tall serif capitals, white shading to lavender, with a violet halo.
TextStyle Heading(float size) {
    TextStyle st = InkedText(kSerifBold, size, RgbHex(0xC4BCFF), 3.0f);
    st.glow = RgbHex(0x5A3CD0, 0.75f);
    st.glowRadius = 3.0f;
    st.tracking = 2.0f;
    return st;
}

// Numbers: narrow bold figures, white with a dark outline.
TextStyle Figures(float size, float outline) {
    TextStyle st = InkedText(kSansCondBold, size, RgbHex(0xD8DEFF), outline);
    st.stretchX = 0.82f;
    return st;
}

void PaintFont1(std::vector<BakedFile>& out) {
    Canvas c(256, 256);
    // Digits, slash and point share one size and one baseline, so the point sits low.
    TextStyle fig = Figures(27, 1.5f);
    fig.stretchX = 0.72f;
    const char* glyphs[12] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "/", "."};
    for (int d = 0; d < 12; ++d) {
        DrawText(c, glyphs[d], fig, 16.0f * d, 208, 14, 21, kAlignCentre, kAlignBaseline);
    }
    // A row of capitals from D at x 0, 14 texels a cell: F, P and S label the frame rate.
    TextStyle caps = Figures(15.5f, 1.2f);
    for (int i = 0; i < 16; ++i) {
        std::string letter(1, char('D' + i));
        DrawText(c, letter, caps, 14.0f * i, 28, 14, 14, kAlignCentre, kAlignMiddle);
    }
    TextStyle life = Figures(11, 1.0f);
    life.stretchX = 1.0f;
    life.tracking = 0.5f;
    DrawText(c, "LIFE", life, 190, 190, 32, 12, kAlignCentre, kAlignMiddle);

    // The spell-card banner: a dark translucent ribbon, solid at the right, fading to the left,
    // with a thin bright line along its lower edge.
    c.Shade(0, 88, 256, 128, [](float x, float y) {
        float fade = std::clamp((x - 4) / 130.0f, 0.0f, 1.0f);
        fade = fade * fade * (3 - 2 * fade);
        float v = (y - 88) / 40.0f;
        Rgba band = Mix(RgbHex(0x1A1040), RgbHex(0x2C1858), v);
        float a = 0.72f * fade;
        if (y > 119 && y < 123) {
            float line = 1 - std::fabs(y - 121) / 2;
            band = Mix(band, RgbHex(0xFFB0E0), line);
            a = std::max(a, line * std::clamp((x - 4) / 90.0f, 0.0f, 1.0f));
        }
        if (y > 123) a *= 0.3f;
        if (y < 90) a *= 0.5f;
        return WithAlpha(band, a);
    });

    // The boss marker: a dark tab with an upward pointer and "BOSS" in pink.
    Polygon(c, {236, 240.5f, 240.5f, 244, 231.5f, 244}, RgbHex(0xFF5A8C));
    c.Shade(216, 243, 256, 256, [](float x, float y) {
        float dx = std::max(0.0f, std::fabs(x - 236) - 17), dy = std::max(0.0f, std::fabs(y - 249.5f) - 4.5f);
        float d = std::hypot(dx, dy) - 1.5f;
        float a = std::clamp(0.5f - d, 0.0f, 1.0f);
        float rim = std::clamp(1.2f - std::fabs(d + 0.6f), 0.0f, 1.0f);
        Rgba col = Mix(RgbHex(0x200818), RgbHex(0xFF5A8C), rim);
        return WithAlpha(col, a * 0.95f);
    });
    TextStyle boss = Figures(10, 0.0f);
    boss.stretchX = 1.0f;
    boss.top = RgbHex(0xFFD0E0);
    boss.bottom = RgbHex(0xFF6A9A);
    boss.tracking = 0.6f;
    DrawText(c, "BOSS", boss, 218, 245, 36, 9, kAlignCentre, kAlignMiddle);
    AddPng(out, "Graphics/font1.png", c);
}

void PaintPointer(std::vector<BakedFile>& out) {
    Canvas c(512, 512);
    // The arrow's tip is the region's top-left texel.
    Polygon(c, {420, 422, 420, 445.5f, 425.6f, 440.4f, 430, 449.5f, 434.4f, 447.5f, 430.2f, 438.6f,
                437.6f, 438.6f},
            RgbHex(0x000000));
    Polygon(c, {421.4f, 425.3f, 421.4f, 442.2f, 426.1f, 437.9f, 430.7f, 447.6f, 432.5f, 446.8f,
                427.9f, 437.2f, 434.2f, 437.2f},
            RgbHex(0xFFFFFF));
    AddPng(out, "Graphics/font2.png", c);
}

void PaintItem(std::vector<BakedFile>& out) {
    Canvas c(256, 128);
    DrawText(c, "BOMB", Heading(40), 90, 1, 140, 42, kAlignCentre, kAlignMiddle);
    DrawText(c, "LIVES", Heading(32), 0, 61, 99, 36, kAlignRight, kAlignMiddle);
    TextStyle left = Heading(16);
    left.outlineWidth = 2;
    left.glowRadius = 0;
    left.tracking = 1;
    DrawText(c, "LEFT", left, 0, 100, 40, 20, kAlignCentre, kAlignMiddle);
    // The life emblem: the player in a pale moon-glow.
    Glow(c, 197, 88, 26, RgbHex(0x8C9CFF, 0.6f), 1.4f);
    Ring(c, 197, 88, 23, 1.4f, RgbHex(0xDDE4FF, 0.7f));
    DrawPlayerFigure(c, 197, 92, 1.45f, 0, 0.1f);
    AddPng(out, "Graphics/item.png", c);
}

void PaintWeapon(std::vector<BakedFile>& out) {
    Canvas c(256, 256);
    DrawShardCrest(c, 86, 91.5f, 82, 1.0f);
    AddPng(out, "Graphics/weapon.png", c);
}

void PaintLim(std::vector<BakedFile>& out) {
    Canvas c(256, 128);
    TextStyle inf = Heading(80);
    inf.font = kSansBold;
    inf.tracking = 0;
    DrawText(c, "\xE2\x88\x9E", inf, 8, 0, 122, 54, kAlignCentre, kAlignMiddle);
    TextStyle cap = Heading(17);
    cap.font = kSansBold;
    cap.outlineWidth = 2;
    cap.glowRadius = 0;
    cap.tracking = 1.5f;
    DrawText(c, "NO LIMIT", cap, 8, 53, 122, 21, kAlignCentre, kAlignMiddle);
    AddPng(out, "Graphics/lim.png", c);
}

void PaintWord(std::vector<BakedFile>& out) {
    Canvas c(512, 128);
    DrawText(c, "SCORE", Heading(54), 44, 2, 148, 62, kAlignCentre, kAlignMiddle);
    AddPng(out, "Graphics/word.png", c);
}

void PaintLivesNumerals(std::vector<BakedFile>& out) {
    Canvas c(256, 128);
    TextStyle st = Figures(66, 4.0f);
    st.stretchX = 0.95f;
    st.glow = RgbHex(0x5A3CD0, 0.7f);
    st.glowRadius = 2.5f;
    for (int n = 0; n < 6; ++n) {
        DrawText(c, std::to_string(n), st, 64.0f * (n % 4) + 2, 64.0f * (n / 4) + 2, 60, 60,
                 kAlignCentre, kAlignMiddle);
    }
    AddPng(out, "Graphics/item_num.png", c);
}

}  // namespace

void PaintHud(std::vector<BakedFile>& out) {
    PaintFont1(out);
    PaintPointer(out);
    PaintItem(out);
    PaintWeapon(out);
    PaintLim(out);
    PaintWord(out);
    PaintLivesNumerals(out);
}
