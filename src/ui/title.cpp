// title.cpp -- the start-up logo, the title picture and the main menu.
#include "ui/title.h"

#include <cmath>
#include <cstdlib>

#include "assets/catalogue.h"
#include "core/det_math.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "input/keys.h"
#include "input/settings.h"
#include "ui/options.h"
#include "ui/practice_screen.h"
#include "ui/replay_screens.h"

namespace {

// Start, Replay, Options, Quit, and Practice below them: the items keep their numbers, and the
// cursor wraps from Quit on to Practice and from Practice back to Start.
constexpr int kMenuItems = 5;
struct MenuItem {
    float labelY;  // in the menu labels texture
    int width;
};
constexpr MenuItem kMenuItem[kMenuItems] = {{0, 164}, {32, 100}, {96, 94}, {160, 62}, {64, 132}};

}  // namespace

void DrawLogo() {
    int alpha = 255;
    if (run.frameCounter <= 31) alpha = 8 * run.frameCounter;
    if (run.frameCounter >= 89) alpha = 8 * (kLogoEnd - run.frameCounter);
    screenSprite->SetDepth(0.9f);
    screenSprite->ChangeTexture(logoTexture);
    screenSprite->SetTint((static_cast<uint32_t>(alpha) << 24) | 0xFFFFFFu);
    screenSprite->SetRegion(0, 0, 640, 480);
    screenSprite->Draw(0, 0);
}

namespace {

void DrawTitlePicture() {
    const bool onMenu = run.screen == Screen::Title;

    // The music rises from silence to full volume over the first 100 title frames.
    int v = run.frameCounter < 300 ? run.frameCounter - kTitleStart : 100;
    int64_t volume = int64_t(v) * settings.musicVolume / 100;
    // A hand-edited volume outside 0..100 is still handed to the engine within its range.
    if (volume < 0) volume = 0;
    if (volume > 100) volume = 100;
    hge->Channel_SetVolume(run.musicChannel, static_cast<int>(volume));

    screenSprite->ChangeTexture(titleBackground);
    screenSprite->SetTint(onMenu ? 0xFFFFFFFFu : 0x7FFFFFFFu);
    screenSprite->SetRegion(0, 0, 640, 480);
    screenSprite->SetBlend(BLEND_DEFAULT);
    screenSprite->Draw(0, 0);

    // The tile pattern shrinks from 1.6 to 1 over 30 frames, then drifts one texel every three.
    // It is 7 x 6 tiles, tile (i, j) anchored at (128 i + scroll, 128 j): one quad over all of
    // them, anchored at tile (6, 5)'s anchor, in which the engine repeats the tile. (A quad per
    // tile would shade the pixels along every seam twice.)
    screenSprite->ChangeTexture(titleTile);
    screenSprite->SetTint(onMenu ? 0x87CDCD19u : 0x43CDCD19u);
    screenSprite->SetRegion(0, 0, 7 * 128, 6 * 128);
    const float scroll = static_cast<float>(run.frameCounter % 384) / 3.0f;
    float scale = 1.0f;
    if (run.frameCounter < 230) scale = 1.6f - static_cast<float>(run.frameCounter - kTitleStart) * 0.02f;
    screenSprite->SetAnchor(6 * 128 + scroll, 5 * 128);
    screenSprite->DrawTransformed(500, 600, 0.52356f, scale, scale);
    screenSprite->SetAnchor(0, 0);

    screenSprite->ChangeTexture(logoTexture);
    screenSprite->SetRegion(0, 0, 550, 210);
    screenSprite->SetTint(onMenu ? 0xFFFFFFFFu : 0x7FFFFFFFu);
    screenSprite->Draw(65, 67);
}

// The main menu's keys this frame, read only while the window has focus and no shutter runs.
struct MainMenuInput {
    bool open;     // keys are read at all
    bool confirm;  // a fresh Confirm press
    bool cancel;   // a fresh Cancel press
};

MainMenuInput ReadMainMenuInput() {
    MainMenuInput in{};
    in.open = IsForeground() && run.switchCountdown == 0;
    if (!in.open) return in;
    in.confirm = MenuKeyPressed(MenuKey::Confirm);
    in.cancel = MenuKeyPressed(MenuKey::Cancel);
    return in;
}

void DrawMainMenu() {
    const int pulse = std::abs(run.frameCounter % 40 - 20) * 3;
    screenSprite->ChangeTexture(menuLabelsTexture);
    screenSprite->SetTint(0xFFFFFFFFu);
    screenSprite->SetRegion(445, 445, 67, 67);
    screenSprite->SetAnchor(33.5f, 33.5f);
    screenSprite->DrawTransformed(320, static_cast<float>(menus.menuBarY + 16), 0,
                                  static_cast<float>(pulse) * 0.003f + 0.72f);
    // A tenth of the way each frame, the new position cut to whole pixels on the side of the
    // target, so it settles within a pixel of the item from either side. (Cutting towards zero
    // would leave it stuck up to nine pixels short whenever it moves down the screen.)
    const int32_t target = 296 + 32 * menus.menuCursor;
    if (std::abs(menus.menuBarY - target) > 1) {
        const float next = static_cast<float>(menus.menuBarY) +
                           static_cast<float>(target - menus.menuBarY) / 10.0f;
        menus.menuBarY = static_cast<int32_t>(target > menus.menuBarY ? detmath::Ceil(next) : detmath::Floor(next));
    }

    const uint32_t grey = static_cast<uint32_t>(255 - pulse);
    for (int i = 0; i < kMenuItems; ++i) {
        const bool selected = i == menus.menuCursor;
        screenSprite->SetTint(selected ? 0xFF000000u | grey << 16 | grey << 8 | grey : 0xFFFFFFFFu);
        screenSprite->SetRegion(selected ? 0.0f : 193.0f, kMenuItem[i].labelY,
                                static_cast<float>(kMenuItem[i].width), 32);
        screenSprite->SetAnchor(static_cast<float>(kMenuItem[i].width / 2), 0);
        screenSprite->Draw(320, static_cast<float>(296 + 32 * i));
    }
    screenSprite->SetAnchor(0, 0);
}

// The confirmed item: Start closes the shutter (the game starts under it), Replay and Options
// open their screens, Quit ends the program.
void ConfirmMainMenu() {
    Latch(MenuKey::Confirm) = 1.0f;
    // Settings edited by hand are picked up on every confirmed choice.
    LoadSettings();
    run.stage = 0;
    RaiseCue(CUE_OK00);
    switch (menus.menuCursor) {
        case 0:
            run.switchCountdown = 150;
            break;
        case 1:
            run.screen = Screen::ReplayList;
            break;
        case 2:
            run.screen = Screen::Options;
            overlaySprite->SetRegion(0, 0, 320, 160);
            LoadOptionsLabels();
            overlaySprite->ChangeTexture(optionsLabelsTexture);
            LoadSettings();
            break;
        case 3:
            run.quitRequested = 1;
            break;
        case kPracticeMenuItem:
            run.screen = Screen::Practice;
            break;
    }
    menus.menuCursor = 0;
}

// Cancel moves to Quit; on Quit it ends the program at the next frame callback.
void CancelMainMenu() {
    RaiseCue(CUE_CANCEL00);
    Latch(MenuKey::Cancel) = 1.0f;
    if (menus.menuCursor == 3) run.lives = -2;
    menus.menuCursor = 3;
}

// The main menu: read the keys, move the cursor, draw the menu as it stands, then act on a
// choice (the shutter's middle starts the game).
TitleRequest MainMenu() {
    const MainMenuInput in = ReadMainMenuInput();
    if (in.open) MoveMenuCursor(kMenuItems);
    DrawMainMenu();
    if (run.switchCountdown == 90) return TitleRequest::StartGame;
    if (in.confirm) ConfirmMainMenu();
    if (in.cancel) CancelMainMenu();
    return TitleRequest::None;
}

}  // namespace

void MoveMenuCursor(int rows) {
    if (TakeMenuKey(MenuKey::Down)) {
        menus.menuCursor = menus.menuCursor >= rows - 1 ? 0 : menus.menuCursor + 1;
        RaiseCue(CUE_SELECT00);
    }
    if (TakeMenuKey(MenuKey::Up)) {
        menus.menuCursor = menus.menuCursor <= 0 ? rows - 1 : menus.menuCursor - 1;
        RaiseCue(CUE_SELECT00);
    }
}

TitleRequest TitleFrame() {
    DrawTitlePicture();
    // A second release in the frame, as the render callback's; it changes nothing.
    ReleaseMenuLatches();
    TitleRequest request = TitleRequest::None;
    if (run.screen == Screen::Title) request = MainMenu();

    switch (run.screen) {
        case Screen::ReplayList:
        case Screen::ReplaySave:
            request = ReplayMenuFrame();
            break;
        case Screen::ScoreList:
            ScoreListFrame();
            break;
        case Screen::Practice:
            request = PracticeScreenFrame();
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
    return request;
}
