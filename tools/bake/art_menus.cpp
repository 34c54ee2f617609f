// art_menus.cpp -- the menu sheets: main-menu labels with their highlight, the options and
// key-configuration sheet (labels, digit and letter cells, key caps), and the pause menu.
#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

TextStyle MenuText(float size) {
    return InkedText(kSansBold, size, RgbHex(0xD4D8FF), 2.5f);
}

void PaintMainMenu(std::vector<BakedFile>& out) {
    Canvas c(512, 512);
    // PRACTICE, drawn below QUIT, takes the free row at 64.
    const char* texts[5] = {"GAME START", "REPLAY", "OPTIONS", "QUIT", "PRACTICE"};
    const int rows[5] = {0, 32, 96, 160, 64};
    const int widths[5] = {164, 100, 94, 62, 132};
    for (int i = 0; i < 5; ++i) {
        // Every item at the same letter height, narrowed to its width.
        TextStyle sel = MenuText(24);
        sel.font = kSerifBold;
        sel.outlineWidth = 2;
        float iw, ih;
        MeasureText(texts[i], sel, iw, ih);
        sel.stretchX = std::clamp((widths[i] - 2 * sel.outlineWidth - 4) / iw, 0.6f, 1.0f);
        TextStyle plain = sel;
        // Selected: bright gold-white with a magenta halo.
        sel.top = RgbHex(0xFFFFFF);
        sel.bottom = RgbHex(0xFFD870);
        sel.glow = RgbHex(0xE040A0, 0.9f);
        sel.glowRadius = 2.5f;
        DrawText(c, texts[i], sel, 0, float(rows[i]), float(widths[i]), 32, kAlignCentre, kAlignMiddle);
        // Unselected: plain light grey.
        plain.top = RgbHex(0xE4E4EC);
        plain.bottom = RgbHex(0xB4B4C4);
        DrawText(c, texts[i], plain, 193, float(rows[i]), float(widths[i]), 32, kAlignCentre, kAlignMiddle);
    }
    // The highlight behind the chosen item: a soft violet glow with a four-pointed glint.
    Glow(c, 478.5f, 478.5f, 32, RgbHex(0xA050FF, 0.75f), 1.6f);
    Ring(c, 478.5f, 478.5f, 21, 1.2f, RgbHex(0xE0B0FF, 0.5f));
    Polygon(c, StarPoints(478.5f, 478.5f, 27, 3, 4, 0), RgbHex(0xF0D8FF, 0.45f));
    AddPng(out, "Graphics/title01.png", c);
}

// A key cap: a rounded square outline, light, with an empty face.
void KeyCap(Canvas& c, float x, float y) {
    float cx = x + 18, cy = y + 18;
    c.Shade(int(x), int(y), int(x) + 36, int(y) + 36, [&](float px, float py) {
        float dx = std::max(0.0f, std::fabs(px - cx) - 10.5f), dy = std::max(0.0f, std::fabs(py - cy) - 10.5f);
        float d = std::hypot(dx, dy) - 5;
        float rim = std::clamp(1.6f - std::fabs(d + 1.6f), 0.0f, 1.0f);
        float face = std::clamp(-d - 2.5f, 0.0f, 1.0f) * 0.18f;
        float lower = py > cy + 10 && d < 0 && d > -4 ? 0.35f : 0.0f;  // the cap's front lip
        float a = std::max({rim, face, lower});
        if (a <= 0) return Rgba{0, 0, 0, 0};
        Rgba col = rim >= face ? RgbHex(0xE8EAF8) : RgbHex(0x9AA0D0);
        return WithAlpha(col, a);
    });
}

void PaintOptionsSheet(std::vector<BakedFile>& out) {
    Canvas c(512, 1024);
    TextStyle st = MenuText(28);
    st.font = kSansCondBold;
    struct Row {
        const char* text;
        int x, y, w;
    };
    const Row rows[] = {{"KEY CONFIG", 4, 0, 300},   {"MUSIC VOLUME", 4, 36, 246},
                        {"SOUND VOLUME", 4, 72, 246}, {"AUTO BOMB", 4, 108, 262},
                        {"RETURN", 4, 180, 300},      {"SCREEN", 4, 792, 124},
                        {"WINDOW", 152, 792, 160},    {"FULL SCREEN", 87, 828, 228}};
    // WINDOW and FULL SCREEN begin at the same screen x (their regions are drawn 60 pixels
    // apart at 0.8 scale), and the FULL SCREEN row stays empty over the SCREEN label.
    for (const Row& r : rows) {
        // Text starts at its x: the outline lies just left of it.
        DrawText(c, r.text, st, float(r.x) - st.outlineWidth, float(r.y), float(r.w), 36, kAlignLeft, kAlignMiddle);
    }
    // Digit and letter cells: the glyph centred on x 11 of its cell, transparent around it.
    // One size for every glyph, so spelled key names read evenly: capitals 26 texels tall.
    TextStyle cell = MenuText(35);
    cell.font = kSansCondBold;
    cell.stretchX = 0.8f;
    cell.outlineWidth = 2;
    auto glyph = [&](const std::string& s, int index) {
        float x = 70 + 36.0f * (index % 5), y = 216 + 36.0f * (index / 5);
        DrawText(c, s, cell, x - 5, y, 32, 36, kAlignCentre, kAlignMiddle);
    };
    for (int d = 0; d < 10; ++d) glyph(std::string(1, char('0' + d)), d);
    for (int k = 0; k < 26; ++k) glyph(std::string(1, char('A' + k)), 10 + k);
    glyph("%", 36);
    // Action labels, each with a key-cap icon at 70..106 and its name from 112; the cap of the
    // LEFT row is the blank key cap itself.
    const char* actions[8] = {"UP", "DOWN", "LEFT", "RIGHT", "SLOW", "BOMB / OK", "CANCEL", "SKIP"};
    for (int i = 0; i < 8; ++i) {
        float y = 504 + 36.0f * i;
        KeyCap(c, 70, y);
        DrawText(c, actions[i], st, 112 - st.outlineWidth, y, 130, 36, kAlignLeft, kAlignMiddle);
    }
    AddPng(out, "Graphics/chose3.png", c);
}

void PaintPauseSheet(std::vector<BakedFile>& out) {
    Canvas c(256, 256);
    // The ribbon: a pale sash with diamond motifs, fading towards its ends (the tint colours it).
    c.Shade(0, 0, 48, 208, [](float x, float y) {
        float across = std::fabs(x - 24) / 20;
        if (across > 1) return Rgba{0, 0, 0, 0};
        float ends = std::min(1.0f, std::min(y, 208 - y) / 50);
        float edge = across > 0.82f ? 1.0f : 0.0f;
        float dy = std::fmod(y + 12, 24.0f) - 12;
        float diamond = std::fabs(x - 24) + std::fabs(dy);
        float motif = std::clamp(9.5f - diamond, 0.0f, 1.0f) - std::clamp(6.5f - diamond, 0.0f, 1.0f) * 0.6f;
        float v = 0.68f + 0.32f * std::max(edge, motif);
        float a = (0.55f + 0.4f * std::max(edge, motif)) * ends * std::clamp((1 - across) * 20, 0.0f, 1.0f);
        return Rgba{v, v, v * 1.02f, a};
    });
    TextStyle title = MenuText(26);
    title.font = kSerifBold;
    title.outlineWidth = 2;
    DrawText(c, "PAUSE", title, 48, 0, 65, 32, kAlignCentre, kAlignMiddle);
    DrawText(c, "ENDED", title, 183, 0, 65, 32, kAlignCentre, kAlignMiddle);
    const char* items[6] = {"RESUME", "RETURN TO TITLE", "SAVE REPLAY", "OPTIONS", "MANUAL", "RETRY"};
    for (int i = 0; i < 6; ++i) {
        TextStyle st = MenuText(21);
        st.outlineWidth = 2;
        if (i >= 2 && i <= 4) {  // always refused: they read as unavailable
            st.top = RgbHex(0xB4B4B4);
            st.bottom = RgbHex(0xA0A0A8);
        }
        DrawText(c, items[i], st, 48, 32 + 32.0f * i + 5, 206, 22, kAlignLeft, kAlignMiddle);
    }
    AddPng(out, "Graphics/menuchose.png", c);
}

}  // namespace

void PaintMenus(std::vector<BakedFile>& out) {
    PaintMainMenu(out);
    PaintOptionsSheet(out);
    PaintPauseSheet(out);
}
