// title.cpp -- the start-up logo, the title picture and the main menu.
#include "ui/title.h"

#include <cmath>
#include <cstdlib>

#include "assets/catalogue.h"
#include "core/callbacks.h"
#include "core/game_reset.h"
#include "core/screen_flow.h"
#include "core/sound_cues.h"
#include "input/input.h"
#include "input/settings.h"
#include "replay/replay_menu.h"
#include "ui/options.h"

int32_t menuCursor = 0;
int32_t menuBarY = 0;

namespace {

constexpr int kMenuItems = 4;
struct MenuItem {
    float labelY;  // in the menu labels texture
    int width;
};
constexpr MenuItem kMenuItem[kMenuItems] = {{0, 164}, {32, 100}, {96, 94}, {160, 62}};

constexpr int32_t kLogoEnd = 120;
constexpr int32_t kTitleStart = 200;

void DrawLogo() {
    int alpha = 255;
    if (frameCounter <= 31) alpha = 8 * frameCounter;
    if (frameCounter >= 89) alpha = 8 * (kLogoEnd - frameCounter);
    screenSprite->SetDepth(0.9f);
    screenSprite->ChangeTexture(logoTexture);
    screenSprite->SetTint((static_cast<uint32_t>(alpha) << 24) | 0xFFFFFFu);
    screenSprite->SetRegion(0, 0, 640, 480);
    screenSprite->Draw(0, 0);
}

void DrawTitlePicture() {
    const bool onMenu = screen == Screen::Title;

    // The music rises from silence to full volume over the first 100 title frames.
    int v = frameCounter < 300 ? frameCounter - kTitleStart : 100;
    int64_t volume = int64_t(v) * musicVolume / 100;
    // A hand-edited volume outside 0..100 is still handed to the engine within its range.
    if (volume < 0) volume = 0;
    if (volume > 100) volume = 100;
    hge->Channel_SetVolume(musicChannel, static_cast<int>(volume));

    screenSprite->ChangeTexture(titleBackground);
    screenSprite->SetTint(onMenu ? 0xFFFFFFFFu : 0x7FFFFFFFu);
    screenSprite->SetRegion(0, 0, 640, 480);
    screenSprite->SetBlend(BLEND_DEFAULT);
    screenSprite->Draw(0, 0);

    // The tile pattern shrinks from 1.6 to 1 over 30 frames, then drifts one texel every three.
    screenSprite->ChangeTexture(titleTile);
    screenSprite->SetTint(onMenu ? 0x87CDCD19u : 0x43CDCD19u);
    screenSprite->SetRegion(0, 0, 128, 128);
    const float scroll = static_cast<float>(frameCounter % 384) / 3.0f;
    float scale = 1.0f;
    if (frameCounter < 230) scale = 1.6f - static_cast<float>(frameCounter - kTitleStart) * 0.02f;
    for (int i = 0; i <= 6; ++i) {
        for (int j = 0; j <= 5; ++j) {
            screenSprite->SetAnchor(static_cast<float>(128 * i) + scroll, static_cast<float>(128 * j));
            screenSprite->DrawTransformed(500, 600, 0.52356f, scale, scale);
        }
    }
    screenSprite->SetAnchor(0, 0);

    screenSprite->ChangeTexture(logoTexture);
    screenSprite->SetRegion(0, 0, 550, 210);
    screenSprite->SetTint(onMenu ? 0xFFFFFFFFu : 0x7FFFFFFFu);
    screenSprite->Draw(65, 67);
}

void MainMenu() {
    const bool keysOpen = IsForeground() && switchCountdown == 0;
    if (keysOpen) {
        MoveMenuCursor(kMenuItems);
    }

    const int pulse = std::abs(frameCounter % 40 - 20) * 3;
    screenSprite->ChangeTexture(menuLabelsTexture);
    screenSprite->SetTint(0xFFFFFFFFu);
    screenSprite->SetRegion(445, 445, 67, 67);
    screenSprite->SetAnchor(33.5f, 33.5f);
    screenSprite->DrawTransformed(320, static_cast<float>(menuBarY + 16), 0,
                                  static_cast<float>(pulse) * 0.003f + 0.72f);
    // A tenth of the way each frame, the new position cut to whole pixels on the side of the
    // target, so it settles within a pixel of the item from either side. (Cutting towards zero
    // would leave it stuck up to nine pixels short whenever it moves down the screen.)
    const int32_t target = 296 + 32 * menuCursor;
    if (std::abs(menuBarY - target) > 1) {
        const float next = static_cast<float>(menuBarY) + static_cast<float>(target - menuBarY) / 10.0f;
        menuBarY = static_cast<int32_t>(target > menuBarY ? std::ceil(next) : std::floor(next));
    }

    const uint32_t grey = static_cast<uint32_t>(255 - pulse);
    for (int i = 0; i < kMenuItems; ++i) {
        const bool selected = i == menuCursor;
        screenSprite->SetTint(selected ? 0xFF000000u | grey << 16 | grey << 8 | grey : 0xFFFFFFFFu);
        screenSprite->SetRegion(selected ? 0.0f : 193.0f, kMenuItem[i].labelY,
                                static_cast<float>(kMenuItem[i].width), 32);
        screenSprite->SetAnchor(static_cast<float>(kMenuItem[i].width / 2), 0);
        screenSprite->Draw(320, static_cast<float>(296 + 32 * i));
    }
    screenSprite->SetAnchor(0, 0);

    if (switchCountdown == 90) {
        screen = Screen::Game;
        replayPlayback = false;
        NewGameLoadingFrame();
    }

    if (!keysOpen) return;
    if (MenuKeyPressed(MenuKey::Confirm)) {
        Latch(MenuKey::Confirm) = 1.0f;
        // Settings edited by hand are picked up on every confirmed choice.
        LoadSettings();
        stage = 0;
        RaiseCue(CUE_OK00);
        switch (menuCursor) {
            case 0:
                switchCountdown = 150;
                break;
            case 1:
                screen = Screen::ReplayList;
                break;
            case 2:
                screen = Screen::Options;
                overlaySprite->SetRegion(0, 0, 320, 160);
                LoadOptionsLabels();
                overlaySprite->ChangeTexture(optionsLabelsTexture);
                LoadSettings();
                break;
            case 3:
                quitRequested = 1;
                break;
        }
        menuCursor = 0;
    }
    if (MenuKeyPressed(MenuKey::Cancel)) {
        RaiseCue(CUE_CANCEL00);
        Latch(MenuKey::Cancel) = 1.0f;
        // Cancel on Quit ends the program at the next frame callback.
        if (menuCursor == 3) lives = -2;
        menuCursor = 3;
    }
}

}  // namespace

void MoveMenuCursor(int rows) {
    if (MenuKeyPressed(MenuKey::Down)) {
        Latch(MenuKey::Down) = 1.0f;
        menuCursor = menuCursor >= rows - 1 ? 0 : menuCursor + 1;
        RaiseCue(CUE_SELECT00);
    }
    if (MenuKeyPressed(MenuKey::Up)) {
        Latch(MenuKey::Up) = 1.0f;
        menuCursor = menuCursor <= 0 ? rows - 1 : menuCursor - 1;
        RaiseCue(CUE_SELECT00);
    }
}

void TitleFrame() {
    if (pauseState == PauseState::Running) ++frameCounter;

    if (frameCounter <= kLogoEnd) {
        DrawLogo();
        if (frameCounter == kLogoEnd) {
            frameCounter = kTitleStart;
            LoadCatalogue();
        }
    }
    if (frameCounter <= kLogoEnd) return;

    DrawTitlePicture();
    // A second release in the frame, as the render callback's; it changes nothing.
    ReleaseMenuLatches();
    if (screen == Screen::Title) MainMenu();

    switch (screen) {
        case Screen::ReplayList:
        case Screen::ReplaySave:
            ReplayMenuFrame();
            break;
        case Screen::ScoreList:
            ScoreListFrame();
            break;
        case Screen::Options:
            OptionsFrame();
            break;
        case Screen::KeyConfig:
            KeyConfigFrame();
            break;
        default:
            break;
    }
}
