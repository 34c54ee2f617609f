// options.cpp -- the options menu and the key configuration.
#include "ui/options.h"

#include "assets/catalogue.h"
#include "core/callbacks.h"
#include "core/screen_flow.h"
#include "core/sound_cues.h"
#include "input/input.h"
#include "input/settings.h"
#include "ui/title.h"

int32_t menuSlide = 0;
bool waitingForKey = false;

namespace {

constexpr int kOptionRows = 5;
constexpr int kKeyRows = 8;
constexpr uint32_t kLit = 0xFFFFFFFFu;
constexpr uint32_t kDim = 0x9BFFFFFFu;

void Piece(float rx, float ry, float rw, float rh, float x, float y) {
    overlaySprite->SetRegion(rx, ry, rw, rh);
    overlaySprite->DrawTransformed(x, y, 0, 0.8f, 0.8f);
}

// A volume as up to three digit glyphs ending at `right`, then the percent glyph at `percentX`.
void DrawVolume(int32_t value, float right, float percentX, float y) {
    int digits[20];
    const int n = splitDigits(value, digits);
    for (int k = 0; k < 3; ++k) {
        const float x = right + static_cast<float>(20 * k - 20 * n);
        if (k < n) {
            const int d = digits[k];
            Piece(static_cast<float>(70 + (d % 5) * 36), static_cast<float>(216 + (d / 5) * 36),
                  36, 36, x, y);
        } else {
            Piece(0, 0, 0, 0, x, y);
        }
    }
    Piece(106, 468, 36, 36, percentX, y);
}

void PrepareSprite() {
    overlaySprite->ChangeTexture(optionsLabelsTexture);
    overlaySprite->SetDepth(0.1f);
    overlaySprite->SetAnchor(0, 0);
}

// Steps a volume by 5, wrapping from 0 down to 100 and from 100 up to 0. A hand-edited value
// off the grid of fives is kept inside 0..100 on its way.
int32_t VolumeDown(int32_t v) {
    if (v <= 0) return 100;
    return v - 5 < 0 ? 0 : v - 5;
}
int32_t VolumeUp(int32_t v) {
    if (v >= 100) return 0;
    return v + 5 > 100 ? 100 : v + 5;
}

void LeaveToTitle(bool keepSlide) {
    screen = Screen::Title;
    menuCursor = 2;  // the main menu's Options item
    RaiseCue(CUE_CANCEL00);
    FreeOptionsLabels();
    if (!keepSlide) menuSlide = 0;
    SaveSettings();
    // The engine changes the display mode only between scenes.
    hge->Gfx_EndScene();
    hge->System_SetState(HGE_WINDOWED, windowed == 1);
    hge->Gfx_BeginScene(0);
}

}  // namespace

void OptionsFrame() {
    PrepareSprite();
    DrawKeyNames();

    if (menuSlide < 300) menuSlide += 20;
    if (menuSlide > 300) menuSlide -= 20;

    const bool focused = IsForeground();
    if (focused) {
        MoveMenuCursor(kOptionRows);
        if (MenuKeyPressed(MenuKey::Left)) {
            Latch(MenuKey::Left) = 1.0f;
            RaiseCue(CUE_SELECT00);
            if (menuCursor == 1) musicVolume = VolumeDown(musicVolume);
            if (menuCursor == 2) seVolume = VolumeDown(seVolume);
            if (menuCursor == 3) windowed = windowed == 1 ? 0 : 1;
        }
        if (MenuKeyPressed(MenuKey::Right)) {
            Latch(MenuKey::Right) = 1.0f;
            RaiseCue(CUE_SELECT00);
            if (menuCursor == 1) musicVolume = VolumeUp(musicVolume);
            if (menuCursor == 2) seVolume = VolumeUp(seVolume);
            if (menuCursor == 3) windowed = windowed == 1 ? 0 : 1;
        }
    }

    const float slide = static_cast<float>(menuSlide);
    const float labelY[kOptionRows] = {110, 160, 210, 260, 310};
    const float labelRegionY[kOptionRows] = {0, 36, 72, 792, 180};
    for (int row = 0; row < kOptionRows; ++row) {
        overlaySprite->SetTint(row == menuCursor ? kLit : kDim);
        if (row == 3) {
            Piece(0, 792, 140, 36, slide - 266, labelY[row]);
            if (windowed == 1) Piece(140, 792, 180, 36, slide - 130, labelY[row]);
            else Piece(0, 828, 320, 36, slide - 190, labelY[row]);
        } else {
            Piece(0, labelRegionY[row], 320, 36, slide - 276, labelY[row]);
        }
        if (row == 1) DrawVolume(musicVolume, slide - 6, slide - 10, labelY[row]);
        if (row == 2) DrawVolume(seVolume, slide - 6, slide - 10, labelY[row]);
    }

    if (!focused) return;
    if (MenuKeyPressed(MenuKey::Cancel)) {
        Latch(MenuKey::Cancel) = 1.0f;
        LeaveToTitle(false);
    }
    if (screen == Screen::Options && MenuKeyPressed(MenuKey::Confirm)) {
        Latch(MenuKey::Confirm) = 1.0f;
        if (menuCursor == 4) {
            RaiseCue(CUE_OK00);
            // Left this way, the next visit shows the panel at rest without sliding in.
            LeaveToTitle(true);
        } else if (menuCursor == 0) {
            RaiseCue(CUE_OK00);
            screen = Screen::KeyConfig;
            menuCursor = 0;
        }
    }
}

void KeyConfigFrame() {
    PrepareSprite();
    if (menuSlide < 900) menuSlide += 20;

    // The options panel slides away to the right, every row dimmed.
    const float slide = static_cast<float>(menuSlide);
    overlaySprite->SetTint(kDim);
    for (int i = 0; i <= 5; ++i) {
        const float y = static_cast<float>(110 + 50 * i);
        if (i == 4) {
            Piece(0, 792, 145, 36, slide - 236, y);
            if (windowed == 1) Piece(140, 792, 180, 36, slide - 100, y);
            else Piece(0, 828, 320, 36, slide - 160, y);
        } else {
            Piece(0, static_cast<float>(36 * i), 320, 36, slide - 246, y);
        }
    }
    DrawVolume(musicVolume, slide + 24, slide + 20, 160);
    DrawVolume(seVolume, slide + 24, slide + 20, 210);
    if (autoBomb == 1) {
        Piece(214, 360, 36, 36, slide - 10, 260);
        Piece(178, 360, 36, 36, slide + 10, 260);
    } else {
        Piece(214, 360, 36, 36, slide - 20, 260);
        Piece(70, 324, 36, 36, slide, 260);
        Piece(70, 324, 36, 36, slide + 20, 260);
    }

    const bool focused = IsForeground();
    if (focused && !waitingForKey) {
        MoveMenuCursor(kKeyRows);
    }

    DrawKeyNames();

    if (!focused) return;
    if (waitingForKey) {
        CaptureKey();
        return;
    }
    if (MenuKeyPressed(MenuKey::Cancel)) {
        Latch(MenuKey::Cancel) = 1.0f;
        screen = Screen::Options;
        menuCursor = 0;
        RaiseCue(CUE_CANCEL00);
        return;
    }
    if (MenuKeyPressed(MenuKey::Confirm)) {
        rebindLatch = 1.0f;
        SetAllMenuLatches();
        RaiseCue(CUE_OK00);
        waitingForKey = true;
    }
}
