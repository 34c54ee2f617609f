// screen_switch.cpp -- the screen-change shutter and its loading label.
#include "ui/screen_switch.h"

#include <cstdlib>

#include "assets/catalogue.h"
#include "core/state.h"

namespace {

// Shutter alpha of column i at countdown c: closing from the middle outwards while c falls
// from 150 to 91, closed from 90 to 61, opening from the middle outwards from 60 to 1.
int ShutterAlpha(int c, int i) {
    int a = 255;
    if (c > 90) a = (150 - c) * 9 - 3 * (79 - i);
    if (c < 61) a = 9 * c - 3 * i;
    if (a < 0) a = 0;
    if (a > 255) a = 255;
    return a;
}

uint32_t White(int alpha) { return (static_cast<uint32_t>(alpha) << 24) | 0xFFFFFFu; }

}  // namespace

void DrawScreenSwitch() {
    const int c = run.switchCountdown;
    if (c <= 0) return;
    Sprite& s = *overlaySprite;
    s.SetDepth(0.05f);
    s.ChangeTexture(switchTexture);
    s.SetAnchor(0, 0);

    // Each column is 4 pixels wide and 512 high: an 8 x 256 strip at half scale, four rows.
    for (int i = 0; i <= 79; ++i) {
        s.SetRegion(static_cast<float>((i % 32) * 8), 0, 8, 256);
        s.SetTint(White(ShutterAlpha(c, i)));
        for (int j = 0; j <= 3; ++j) {
            s.DrawTransformed(static_cast<float>(4 * i), static_cast<float>(128 * j), 0, 0.5f);
        }
    }
    for (int i = 80; i >= 0; --i) {
        s.SetRegion(static_cast<float>(((97 - i) % 32) * 8), 0, 8, 256);
        s.SetTint(White(ShutterAlpha(c, i)));
        for (int j = 0; j <= 3; ++j) {
            s.DrawTransformed(static_cast<float>(640 - 4 * i), static_cast<float>(128 * j), 0, 0.5f);
        }
    }

    if (c > 40) {
        s.ChangeTexture(textures[TEX_LOADING]);
        float k = 1;
        int slide = 0;
        if (c > 140) slide = (c - 140) * 6;
        if (c < 60) {
            slide = (60 - c) * 2;
            k = static_cast<float>(c - 40) / 20.0f;
        }
        const int blink = std::abs(c % 20 - 10) * 10 + 155;
        s.SetRegion(0, 0, 256, 64);
        s.SetTint(White(static_cast<int>(static_cast<float>(blink) * k)));
        s.DrawTransformed(400, 370, 0, 0.5f);
        s.SetRegion(0, 64, 256, 64);
        s.SetTint(White(static_cast<int>(255.0f * k)));
        s.DrawTransformed(static_cast<float>(440 + slide), 390, 0, 0.5f);
        s.SetAnchor(0, 0);
    }
    run.switchCountdown -= 1;
}
