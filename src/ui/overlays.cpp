// overlays.cpp -- the fade-in, the frame with the head-up display, the frozen frame, the pause
// menu and the result panel.
#include "ui/overlays.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "assets/catalogue.h"
#include "core/digits.h"
#include "core/state.h"
#include "ui/hud.h"

namespace {

uint32_t Argb(int alpha, uint32_t rgb) { return (static_cast<uint32_t>(alpha) << 24) | rgb; }

void DrawNumber(int64_t value, float base, float y) {
    int digits[20];
    const int n = splitDigits(value, digits);
    for (int i = 0; i < n; ++i) {
        overlaySprite->SetRegion(static_cast<float>(16 * digits[i]), 208, 14, 24);
        const float x = base - (static_cast<float>(n) / 2.0f) * 14.0f + static_cast<float>(14 * i);
        overlaySprite->DrawTransformed(x, y, 0, 1.1f);
    }
}

}  // namespace

SeenColumns FrameSeenColumns(const uint32_t* pixels, int pitch, int width, int height) {
    if (height <= 0) return {0, width};
    SeenColumns seen{width, 0};  // widened to every row's see-through span
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        int left = 0;
        while (left < width && (row[left] >> 24) == 255) ++left;
        int right = width;
        while (right > left && (row[right - 1] >> 24) == 255) --right;
        seen.left = std::min(seen.left, left);
        seen.right = std::max(seen.right, right);
    }
    return seen;
}

void ClipToFrameWindow() {
    if (hge->Gfx_DrawsNothing()) return;  // and the picture need not be decoded
    // The frame's region covers the screen 1:1 from the picture's top-left corner; it is
    // measured once per loaded picture.
    constexpr int kWidth = 640, kHeight = 480;
    static HTEXTURE measured = 0;
    static SeenColumns seen{0, kWidth};
    HTEXTURE frame = textures[TEX_WINDOW];
    if (frame != measured) {
        measured = frame;
        seen = {0, kWidth};
        const int w = hge->Texture_GetWidth(frame);
        const int h = hge->Texture_GetHeight(frame);
        if (w >= kWidth && h >= kHeight) {
            if (const uint32_t* pixels = hge->Texture_Lock(frame, true)) {
                seen = FrameSeenColumns(pixels, w, kWidth, kHeight);
                hge->Texture_Unlock(frame);
                hge->System_Log("The frame picture leaves columns %d..%d of the screen to be seen",
                                seen.left, seen.right - 1);
            }
        }
    }
    hge->Gfx_SetClipping(seen.left, 0, seen.right - seen.left, kHeight);
}

void DrawFadeIn(int32_t clock) {
    overlaySprite->SetDepth(0.22f);
    overlaySprite->ChangeTexture(textures[TEX_COLOR]);
    overlaySprite->SetRegion(120, 104, 8, 8);
    overlaySprite->SetTint(Argb((-4 * clock) % 256, 0xFFFFFF));
    overlaySprite->DrawTransformed(80, 0, 0, 60);
}

void DrawFrameAndHud() {
    frameSprite->SetTint(0xFFFFFFFFu);
    frameSprite->Draw(320, 240);
    DrawHud();
}

void DrawFrameAndHudOverFrozenFrame() {
    overlaySprite->SetAnchor(0, 0);
    overlaySprite->SetDepth(0.6f);
    DrawFrameAndHud();
}

void WarmUpGameDrawing() {
    if (frameSprite == nullptr || overlaySprite == nullptr || hge->Gfx_DrawsNothing()) return;
    const Sprite kept = *overlaySprite;
    ClipToFrameWindow();
    DrawFadeIn(-63);
    hge->Gfx_SetClipping(0, 0, 0, 0);
    DrawFrameAndHud();
    *overlaySprite = kept;
    hge->Gfx_Clear(0xFF000000u);
}

void DrawFrozenFrame(HTEXTURE snapshot, int32_t fade) {
    // Alpha falls by 15 a step, red and green by 9, blue is kept.
    Sprite& s = *overlaySprite;
    s.SetDepth(0.9f);
    s.ChangeTexture(snapshot);
    s.SetAnchor(0, 0);
    s.SetRegion(80, 0, 480, 480);
    s.SetTint(0xFFFFFFFFu - static_cast<uint32_t>(fade) * 0x0F090900u);
    s.Draw(80, 0);
}

void DrawPauseMenu(const PauseMenuView& view) {
    const int fade = view.fade;
    const int alpha = 25 * fade;
    Sprite& s = *overlaySprite;
    s.ChangeTexture(view.pictures);
    s.SetDepth(0.7f);
    s.SetAnchor(24, 104);
    s.SetRegion(0, 0, 48, 208);
    s.SetTint(Argb(alpha, view.endedReplay ? 0xD1447Au : 0x27807Au));
    const float sway = -static_cast<float>(std::abs(view.ticks % 150 - 75)) / 500.0f;
    s.DrawTransformed(static_cast<float>(164 + 3 * fade), static_cast<float>(284 + fade), sway, 1);
    s.SetAnchor(0, 0);
    s.SetTint(Argb(alpha, 0xFFFFFF));
    s.SetRegion(view.endedReplay ? 183.0f : 48.0f, 0, 65, 32);
    s.Draw(160, static_cast<float>(170 + 2 * fade));
    for (int i = 0; i < kPauseItems; ++i) {
        int shift = 0;
        if (i == view.cursor) {
            const uint32_t gb = static_cast<uint32_t>(255 - 2 * std::abs(view.ticks % 120 - 60));
            s.SetTint(Argb(alpha, 0xFF0000u | gb << 8 | gb));
            shift = 9 - 3 * std::abs(view.bump - 3);
        } else {
            s.SetTint(Argb(alpha, 0x555555u));
        }
        s.SetRegion(48, static_cast<float>(32 + 32 * i), 208, 32);
        s.Draw(static_cast<float>(215 - 3 * fade - shift), static_cast<float>(245 + 24 * i));
    }
}

void DrawResultPanel(int32_t clock, int64_t gameScore, float rank, float outOf) {
    Sprite& s = *overlaySprite;
    if (clock > 100059) {
        s.ChangeTexture(textures[TEX_TOTAL]);
        s.SetAnchor(24, 104);
        s.SetTint(0xFFFFFFFFu);
        const float rowY[3] = {160, 240, 320};
        for (int row = 0; row < 3; ++row) {
            s.SetRegion(470, static_cast<float>(150 + 120 * row), 450, 70);
            s.DrawTransformed(240, rowY[row], 0, 0.5f);
        }
    }
    if (clock > 100069) {
        s.ChangeTexture(textures[TEX_FONT1]);
        DrawNumber(gameScore, 350, 250);
        const int64_t total = gameScore * 8932;
        DrawNumber(total, 350, 330);
        int digits[20];
        const int n = splitDigits(total, digits);
        s.ChangeTexture(textures[TEX_TOTAL]);
        s.SetRegion(590, 500, 90, 80);
        s.DrawTransformed((static_cast<float>(n) / 2.0f) * 14.0f + 330.0f, 261, 0, 0.45f);
        s.ChangeTexture(textures[TEX_FONT1]);
        DrawNumber(static_cast<int64_t>(rank), 300, 410);
        DrawNumber(static_cast<int64_t>(outOf), 400, 410);
        s.SetRegion(160, 208, 14, 24);
        s.DrawTransformed(342, 410, 0, 1.1f);
        s.SetAnchor(0, 0);
    }
}
