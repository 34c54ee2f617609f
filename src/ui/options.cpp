// options.cpp -- the options menu and the key configuration.
#include "ui/options.h"

#include <cstring>

#include "assets/catalogue.h"
#include "core/digits.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "input/keys.h"
#include "input/settings.h"
#include "ui/title.h"

// Positional by key code: 9 TAB, 13 ENTER, 16..20 SHIFT CTRL ALT PAUSE CAPSLK, 37..40 the arrows.
const char* const keyNames[256] = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "TAB",
    nullptr, nullptr, nullptr, "ENTER", nullptr, nullptr, "SHIFT", "CTRL", "ALT", "PAUSE",
    "CAPSLK", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "LEFT", "UP", "RIGHT",
    "DOWN",
};

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

// The key cap grid of the options labels: five 36 x 36 cells to a row.
void DigitCell(int d) { overlaySprite->SetRegion(70 + 36 * (d % 5), 216 + 36 * (d / 5), 36, 36); }
void LetterCell(int k) { overlaySprite->SetRegion(70 + 36 * (k % 5), 288 + 36 * (k / 5), 36, 36); }

// The eight action labels and their keys, on the options labels, slid by menuSlide.
void DrawKeyNames() {
    const float slide = static_cast<float>(menus.menuSlide);
    for (int i = 0; i < kActionCount; ++i) {
        const float y = static_cast<float>(100 + 40 * i);
        const int64_t c = settings.KeyBindings[i];
        overlaySprite->SetTint(menus.waitingForKey && i == menus.menuCursor ? 0xFFFFFFFFu : 0x9BFFFFFFu);
        if (c >= 'A' && c <= 'Z') {
            LetterCell(static_cast<int>(c - 'A'));
            overlaySprite->DrawTransformed(slide - 426, y, 0, 0.8f, 0.8f);
        } else if (c >= '0' && c <= '9') {
            DigitCell(static_cast<int>(c - '0'));
            overlaySprite->DrawTransformed(slide - 426, y, 0, 0.8f, 0.8f);
        } else {
            DigitCell(50);  // the blank key cap
            overlaySprite->DrawTransformed(slide - 426, y, 0, 0.8f, 0.8f);
            const char* name = c >= 0 && c < 256 ? keyNames[c] : nullptr;
            if (name != nullptr) {
                const int n = static_cast<int>(std::strlen(name));
                for (int j = 0; j < n; ++j) {
                    LetterCell(name[j] - 'A');
                    overlaySprite->DrawTransformed(slide - 410 - 10 * n + 20 * j, y, 0, 0.8f,
                                                   0.8f);
                }
            }
        }
    }
    for (int i = 0; i < kActionCount; ++i) {
        overlaySprite->SetTint(i == menus.menuCursor ? 0xFFFFFFFFu : 0x9BFFFFFFu);
        overlaySprite->SetRegion(0, 504 + 36 * i, 320, 36);
        overlaySprite->DrawTransformed(slide - 666, static_cast<float>(100 + 40 * i), 0, 0.8f,
                                       0.8f);
    }
}

void PrepareSprite() {
    overlaySprite->ChangeTexture(optionsLabelsTexture);
    overlaySprite->SetDepth(0.1f);
    overlaySprite->SetAnchor(0, 0);
}

// Steps a volume by 5, wrapping from 0 down to 100 and from 100 up to 0. A hand-edited value
// outside 0..100 is brought into it first (and a step never overflows); one off the grid of
// fives is kept inside 0..100 on its way.
int32_t VolumeInRange(int32_t v) { return v < 0 ? 0 : v > 100 ? 100 : v; }
int32_t VolumeDown(int32_t v) {
    v = VolumeInRange(v);
    if (v == 0) return 100;
    return v - 5 < 0 ? 0 : v - 5;
}
int32_t VolumeUp(int32_t v) {
    v = VolumeInRange(v);
    if (v == 100) return 0;
    return v + 5 > 100 ? 100 : v + 5;
}

void LeaveToTitle(bool keepSlide) {
    run.screen = Screen::Title;
    // Keys held as the menu closes must not act again on the title (Escape and Enter together
    // would reopen the options at once).
    SetAllMenuLatches();
    menus.menuCursor = 2;  // the main menu's Options item
    RaiseCue(CUE_CANCEL00);
    FreeOptionsLabels();
    if (!keepSlide) menus.menuSlide = 0;
    SaveSettings();
    // The engine changes the display mode only between scenes.
    hge->Gfx_EndScene();
    hge->System_SetState(HGE_WINDOWED, settings.windowed == 1);
    hge->Gfx_BeginScene(0);
}

}  // namespace

void OptionsFrame() {
    PrepareSprite();
    DrawKeyNames();

    if (menus.menuSlide < 300) menus.menuSlide += 20;
    if (menus.menuSlide > 300) menus.menuSlide -= 20;

    const bool focused = IsForeground();
    if (focused) {
        MoveMenuCursor(kOptionRows);
        if (TakeMenuKey(MenuKey::Left)) {
            RaiseCue(CUE_SELECT00);
            if (menus.menuCursor == 1) settings.musicVolume = VolumeDown(settings.musicVolume);
            if (menus.menuCursor == 2) settings.seVolume = VolumeDown(settings.seVolume);
            if (menus.menuCursor == 3) settings.windowed = settings.windowed == 1 ? 0 : 1;
        }
        if (TakeMenuKey(MenuKey::Right)) {
            RaiseCue(CUE_SELECT00);
            if (menus.menuCursor == 1) settings.musicVolume = VolumeUp(settings.musicVolume);
            if (menus.menuCursor == 2) settings.seVolume = VolumeUp(settings.seVolume);
            if (menus.menuCursor == 3) settings.windowed = settings.windowed == 1 ? 0 : 1;
        }
    }

    const float slide = static_cast<float>(menus.menuSlide);
    const float labelY[kOptionRows] = {110, 160, 210, 260, 310};
    const float labelRegionY[kOptionRows] = {0, 36, 72, 792, 180};
    for (int row = 0; row < kOptionRows; ++row) {
        overlaySprite->SetTint(row == menus.menuCursor ? kLit : kDim);
        if (row == 3) {
            Piece(0, 792, 140, 36, slide - 266, labelY[row]);
            if (settings.windowed == 1) Piece(140, 792, 180, 36, slide - 130, labelY[row]);
            else Piece(0, 828, 320, 36, slide - 190, labelY[row]);
        } else {
            Piece(0, labelRegionY[row], 320, 36, slide - 276, labelY[row]);
        }
        if (row == 1) DrawVolume(settings.musicVolume, slide - 6, slide - 10, labelY[row]);
        if (row == 2) DrawVolume(settings.seVolume, slide - 6, slide - 10, labelY[row]);
    }

    if (!focused) return;
    if (TakeMenuKey(MenuKey::Cancel)) {
        LeaveToTitle(false);
    }
    if (run.screen == Screen::Options && TakeMenuKey(MenuKey::Confirm)) {
        if (menus.menuCursor == 4) {
            RaiseCue(CUE_OK00);
            // Left this way, the next visit shows the panel at rest without sliding in.
            LeaveToTitle(true);
        } else if (menus.menuCursor == 0) {
            RaiseCue(CUE_OK00);
            run.screen = Screen::KeyConfig;
            menus.menuCursor = 0;
        }
    }
}

void KeyConfigFrame() {
    PrepareSprite();
    if (menus.menuSlide < 900) menus.menuSlide += 20;

    // The options panel slides away to the right, every row dimmed.
    const float slide = static_cast<float>(menus.menuSlide);
    overlaySprite->SetTint(kDim);
    for (int i = 0; i <= 5; ++i) {
        const float y = static_cast<float>(110 + 50 * i);
        if (i == 4) {
            Piece(0, 792, 145, 36, slide - 236, y);
            if (settings.windowed == 1) Piece(140, 792, 180, 36, slide - 100, y);
            else Piece(0, 828, 320, 36, slide - 160, y);
        } else {
            Piece(0, static_cast<float>(36 * i), 320, 36, slide - 246, y);
        }
    }
    DrawVolume(settings.musicVolume, slide + 24, slide + 20, 160);
    DrawVolume(settings.seVolume, slide + 24, slide + 20, 210);
    if (settings.autoBomb == 1) {
        Piece(214, 360, 36, 36, slide - 10, 260);
        Piece(178, 360, 36, 36, slide + 10, 260);
    } else {
        Piece(214, 360, 36, 36, slide - 20, 260);
        Piece(70, 324, 36, 36, slide, 260);
        Piece(70, 324, 36, 36, slide + 20, 260);
    }

    const bool focused = IsForeground();
    if (focused && !menus.waitingForKey) {
        MoveMenuCursor(kKeyRows);
    }

    DrawKeyNames();

    if (!focused) return;
    if (menus.waitingForKey) {
        CaptureKey();
        return;
    }
    if (TakeMenuKey(MenuKey::Cancel)) {
        run.screen = Screen::Options;
        // Keys held as the key list closes must not act again on the options menu.
        SetAllMenuLatches();
        menus.menuCursor = 0;
        RaiseCue(CUE_CANCEL00);
        return;
    }
    if (MenuKeyPressed(MenuKey::Confirm)) {
        menus.rebindLatch = 1.0f;
        SetAllMenuLatches();
        RaiseCue(CUE_OK00);
        menus.waitingForKey = true;
    }
}

void CaptureKey() {
    // Confirming the row set every latch; wait until both Confirm keys are up again.
    if (Latch(MenuKey::Confirm) == 1.0f) return;
    int key = -1;
    for (int k = 0; k <= 221; ++k) {
        if (hge->Input_GetKeyState(k)) {
            key = k;
            break;
        }
    }
    if (key < 0) return;
    if (key == VK_ESCAPE) {
        RaiseCue(CUE_CANCEL00);
    } else {
        RaiseCue(CUE_OK00);
        if (menus.menuCursor >= 0 && menus.menuCursor < kActionCount) settings.KeyBindings[menus.menuCursor] = key;
    }
    menus.waitingForKey = false;
    menus.rebindLatch = 1.0f;
    SetAllMenuLatches();
}
