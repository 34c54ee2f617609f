// art_labels.cpp -- text sheets: the result-panel labels, the loading label, the spell-card
// titles, and the bitmap font with its description file.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "art.h"

namespace {

TextStyle Label(const char* font, float size) {
    TextStyle st = InkedText(font, size, RgbHex(0xCFD6FF), 3.0f);
    st.glow = RgbHex(0x4A34B0, 0.7f);
    st.glowRadius = 3.0f;
    return st;
}

void PaintTotal(std::vector<BakedFile>& out) {
    Canvas c(1024, 1024);
    TextStyle st = Label(kSerifBold, 56);
    st.tracking = 4;
    const char* labels[3] = {"COINS", "TOTAL", "RANK"};
    for (int i = 0; i < 3; ++i) {
        // Top 50 rows of each band, centred on texel 662, above the number.
        DrawText(c, labels[i], st, 662 - 160, 150 + 120.0f * i, 320, 50, kAlignCentre, kAlignMiddle);
    }
    // The unit after the total: lower case, its left 14 texels empty, baseline on row 562.
    TextStyle unit = Label(kSerifBold, 50);
    unit.glowRadius = 2;
    DrawText(c, "pts", unit, 609, 500, 70, 62, kAlignLeft, kAlignBaseline);
    AddPng(out, "Graphics/total.png", c);
}

void PaintLoading(std::vector<BakedFile>& out) {
    Canvas c(256, 128);
    TextStyle top = Label(kSansBold, 40);
    top.tracking = 1;
    DrawText(c, "NOW LOADING", top, 0, 4, 254, 32, kAlignLeft, kAlignMiddle);
    TextStyle bottom = Label(kSerifBoldItalic, 36);
    bottom.top = RgbHex(0xE8ECFF);
    bottom.bottom = RgbHex(0xB8C4FF);
    DrawText(c, "please wait\xE2\x80\xA6", bottom, 0, 72, 220, 40, kAlignLeft, kAlignMiddle);
    AddPng(out, "Graphics/loading.png", c);
}

// A spell-card title fills its region's width: the letters are set at the height asked for and
// narrowed or widened to the width.
void Title(Canvas& c, const char* text, int y, int w) {
    TextStyle st = Label(kSerifBold, 22);
    st.outlineWidth = 2;
    st.glowRadius = 0;
    st.glow.a = 0;
    st.top = pal::kWhite;
    st.bottom = RgbHex(0xFFD6EC);
    float iw, ih;
    MeasureText(text, st, iw, ih);
    st.stretchX = std::clamp((w - 2 * st.outlineWidth - 1) / iw, 0.55f, 1.4f);
    DrawText(c, text, st, 0, float(y), float(w), 25, kAlignRight, kAlignMiddle);
}

void PaintSpellTitles(std::vector<BakedFile>& out) {
    Canvas c(256, 128);
    Title(c, "Prism Wall", 0, 100);
    Title(c, "Curtain of Endless Rain", 38, 220);
    Title(c, "Mirror Vortex", 76, 120);
    AddPng(out, "Graphics/scname.png", c);
}

// The bitmap font: printable ASCII in 16 × 16 cells, each glyph in a 10 × 16 box at x + 3 with
// its baseline on row 12, and the description file naming each box.
void PaintBitmapFont(std::vector<BakedFile>& out) {
    Canvas c(256, 128);
    TextStyle st;
    st.font = kMonoBold;
    st.size = 12.5f;
    st.outlineWidth = 0;
    std::string fnt = "[HGEFONT]\r\nBitmap=font0.png\r\n";
    for (int code = 0x20; code <= 0x7E; ++code) {
        int i = code - 0x20;
        int x = 16 * (i % 16) + 3, y = 16 * (i / 16);
        if (code != 0x20) {
            DrawText(c, std::string(1, char(code)), st, float(x), float(y), 10, 12, kAlignCentre,
                     kAlignBaseline);
        }
        char line[64];
        std::snprintf(line, sizeof line, "Char=%02X,%d,%d,10,16,0,1\r\n", code, x, y);
        fnt += line;
    }
    AddPng(out, "Graphics/font0.png", c);
    AddFile(out, "Graphics/font0.fnt", std::vector<unsigned char>(fnt.begin(), fnt.end()));
}

}  // namespace

void PaintLabels(std::vector<BakedFile>& out) {
    PaintTotal(out);
    PaintLoading(out);
    PaintSpellTitles(out);
    PaintBitmapFont(out);
}
