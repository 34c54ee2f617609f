// screen_flow.cpp -- the screen state machine, the game frame, the pause and result overlays.
#include "core/screen_flow.h"

#include <cstdlib>

#include "assets/catalogue.h"
#include "core/callbacks.h"
#include "core/game_reset.h"
#include "core/sound_cues.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/panels.h"
#include "game/player.h"
#include "game/stage.h"
#include "game/world.h"
#include "input/input.h"
#include "replay/replay.h"
#include "replay/score_file.h"
#include "ui/hud.h"
#include "ui/title.h"

Screen screen = Screen::Title;
int32_t stage = 0;
PauseState pauseState = PauseState::Running;
int32_t pauseFade = 0;
int32_t pauseTicks = 0;
int32_t pauseCursor = 0;
int32_t pauseBump = 0;
int32_t frameCounter = 0;
int32_t switchCountdown = 0;
int32_t lives = 0;
int32_t resultCode = 0;
int64_t score = 0;
bool replayPlayback = false;
uint8_t inputBits[8] = {};
int32_t replayFrame = 0;
HTEXTURE snapshotTexture = 0;
HTEXTURE menuChoseTexture = 0;
HCHANNEL musicChannel = 0;
float resultRank = 0;
float resultTotal = 0;

int splitDigits(int64_t value, int digits[20]) {
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    int reversed[20];
    int count = 0;
    do {
        reversed[count++] = static_cast<int>(magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    for (int i = 0; i < count; ++i) digits[i] = reversed[count - 1 - i];
    return count;
}

namespace {

constexpr const char* kSnapshotFile = "snapshot.dat";
constexpr int32_t kPlayEnd = 99999;       // last frame of play; input is recorded up to here
constexpr int32_t kEndSequence = 100000;  // the boss's defeat sets frameCounter here
constexpr int32_t kResultStart = 100050;
constexpr int kPauseItems = 6;

bool InPlay() { return frameCounter >= 0 && frameCounter <= kPlayEnd; }

uint32_t Argb(int alpha, uint32_t rgb) { return (static_cast<uint32_t>(alpha) << 24) | rgb; }

void FreeTexture(HTEXTURE& texture) {
    hge->Texture_Free(texture);
    texture = 0;
}

void FreeMusic() {
    hge->Stream_Free(musicChannel);
    musicChannel = 0;
}

// The game frame, in its fixed order.
void GameFrame() {
    hge->Gfx_Clear(0xFF000000u);
    if (lifeLossTimer > 0) lifeLossTimer -= 1;
    ApplyLifeLoss();
    frameCounter += 1;
    if (InPlay()) replayFrame += 1;
    if (stage == 1) StageScript();
    DecodeReplayInputs();
    WorldStep();
    if (frameCounter < 0) {
        // The play field fades in from black over the 64 frames before play.
        overlaySprite->SetDepth(0.22f);
        overlaySprite->ChangeTexture(textures[5]);
        overlaySprite->SetRegion(120, 104, 8, 8);
        overlaySprite->SetTint(Argb((-4 * frameCounter) % 256, 0xFFFFFF));
        overlaySprite->DrawTransformed(80, 0, 0, 60);
    }
    frameSprite->SetTint(0xFFFFFFFFu);
    frameSprite->Draw(320, 240);
    DrawHud();
    RecordReplayInputs();
}

void GameEndChecks() {
    if (hge->Input_GetKeyState(VK_ESCAPE) && Latch(MenuKey::Cancel) == 0.0f) {
        Latch(MenuKey::Cancel) = 1.0f;
        TakeSnapshot();
        pauseState = PauseState::Paused;
    }
    if (!IsForeground() && pauseState == PauseState::Running) {
        Latch(MenuKey::Cancel) = 1.0f;
        TakeSnapshot();
        pauseState = PauseState::Paused;
        hge->Gfx_EndScene();
        return;
    }
    // A replay that reaches its game's end opens the pause menu: it records no score.
    const PauseState ended = replayPlayback ? PauseState::Paused : PauseState::Result;
    if (lives < 0) {
        Latch(MenuKey::Cancel) = 1.0f;
        Latch(MenuKey::Confirm) = 1.0f;
        TakeSnapshot();
        pauseState = ended;
        resultCode = lives;
        lives = 0;
    }
    if (frameCounter == kResultStart) {
        pauseState = ended;
        resultCode = lives;
        TakeSnapshot();
    }
    DrawScreenSwitch();
    hge->Gfx_EndScene();
}

// Empties every store of the battle.
void ClearPlayField() {
    FreeAllBullets();
    FreeAllBossSlots();
    FreeAllEffects();
    FreeAllItems();
    panelCount = 0;
    boss.freeFlag = 1;
    bossActive = 0;
    FreeTexture(menuChoseTexture);
    invulnTimer = 0;
}

void LeaveGame(Screen to, int32_t titleClock) {
    screen = to;
    pauseState = PauseState::Running;
    lives = 0;
    ClearPlayField();
    replayPlayback = false;
    FreeMusic();
    stage = 0;
    HSTREAM music = hge->Stream_Load("Music/title.mp3");
    musicChannel = hge->Stream_Play(music, true, 0);
    FreeTexture(snapshotTexture);
    // 200: the title's music fades in again; 1000: it plays at full volume at once.
    frameCounter = titleClock;
    Latch(MenuKey::Cancel) = 1.0f;
    Latch(MenuKey::Confirm) = 1.0f;
    Latch(MenuKey::Up) = 1.0f;
    Latch(MenuKey::Down) = 1.0f;
    menuBarY = 296;
    menuCursor = 0;
    DrawScreenSwitch();
    hge->Gfx_EndScene();
}

// Plays the same game again: a recorded game with a new seed, a replay from its own start.
void Retry() {
    FreeTexture(menuChoseTexture);
    FreeMusic();
    FreeTexture(snapshotTexture);
    pauseState = PauseState::Running;
    Latch(MenuKey::Cancel) = 1.0f;
    Latch(MenuKey::Confirm) = 1.0f;
    Latch(MenuKey::Up) = 1.0f;
    Latch(MenuKey::Down) = 1.0f;
    boss.freeFlag = 1;
    bossActive = 0;
    menuCursor = 0;
    invulnTimer = 0;
    NewGameLoadingFrame();
    DrawScreenSwitch();
    hge->Gfx_EndScene();
}

bool EndedReplay() { return replayPlayback && (resultCode < 0 || frameCounter > kPlayEnd); }

// The pause menu. True when the game was left (the scene is then ended).
bool PauseMenu() {
    const bool keysOpen = IsForeground() && switchCountdown == 0;
    if (keysOpen) {
        // Only the arrow keys move this cursor, not the key bindings.
        if (hge->Input_GetKeyState(VK_DOWN) && Latch(MenuKey::Down) == 0.0f) {
            Latch(MenuKey::Down) = 1.0f;
            pauseCursor = pauseCursor == kPauseItems - 1 ? 0 : pauseCursor + 1;
            pauseBump = 6;
            RaiseCue(CUE_SELECT00);
        }
        if (hge->Input_GetKeyState(VK_UP) && Latch(MenuKey::Up) == 0.0f) {
            Latch(MenuKey::Up) = 1.0f;
            pauseCursor = pauseCursor == 0 ? kPauseItems - 1 : pauseCursor - 1;
            pauseBump = 6;
            RaiseCue(CUE_SELECT00);
        }
    }

    const bool ended = EndedReplay();
    const int fade = pauseFade;
    const int alpha = 25 * fade;
    Sprite& s = *overlaySprite;
    s.ChangeTexture(menuChoseTexture);
    s.SetDepth(0.7f);
    s.SetAnchor(24, 104);
    s.SetRegion(0, 0, 48, 208);
    s.SetTint(Argb(alpha, ended ? 0xD1447Au : 0x27807Au));
    const float sway = -static_cast<float>(std::abs(pauseTicks % 150 - 75)) / 500.0f;
    s.DrawTransformed(static_cast<float>(164 + 3 * fade), static_cast<float>(284 + fade), sway, 1);
    s.SetAnchor(0, 0);
    s.SetTint(Argb(alpha, 0xFFFFFF));
    s.SetRegion(ended ? 183.0f : 48.0f, 0, 65, 32);
    s.Draw(160, static_cast<float>(170 + 2 * fade));
    for (int i = 0; i < kPauseItems; ++i) {
        int shift = 0;
        if (i == pauseCursor) {
            const uint32_t gb = static_cast<uint32_t>(255 - 2 * std::abs(pauseTicks % 120 - 60));
            s.SetTint(Argb(alpha, 0xFF0000u | gb << 8 | gb));
            shift = 9 - 3 * std::abs(pauseBump - 3);
        } else {
            s.SetTint(Argb(alpha, 0x555555u));
        }
        s.SetRegion(48, static_cast<float>(32 + 32 * i), 208, 32);
        s.Draw(static_cast<float>(215 - 3 * fade - shift), static_cast<float>(245 + 24 * i));
    }

    if (keysOpen) {
        const bool cancel = hge->Input_GetKeyState(VK_ESCAPE) || hge->Input_GetKeyState('X');
        // Cancelling leaves the latch at 0: Escape still held reopens the menu at once.
        if (cancel && Latch(MenuKey::Cancel) == 0.0f && pauseState == PauseState::Paused) {
            pauseState = PauseState::Resuming;
            RaiseCue(CUE_CANCEL00);
        }
        const bool confirm = hge->Input_GetKeyState('Z') || hge->Input_GetKeyState(VK_RETURN);
        if (confirm && Latch(MenuKey::Confirm) == 0.0f) {
            Latch(MenuKey::Confirm) = 1.0f;
            RaiseCue(CUE_OK00);
            switch (pauseCursor) {
                case 0:
                    // A replay that has ended cannot be resumed.
                    if (ended) RaiseCue(CUE_INVALID);
                    else pauseState = PauseState::Resuming;
                    break;
                case 1:
                case 5:
                    switchCountdown = 150;
                    break;
                default:
                    RaiseCue(CUE_INVALID);
                    break;
            }
        }
    }

    if (switchCountdown == 90) {
        if (pauseCursor == 1) LeaveGame(Screen::Title, 200);
        else Retry();
        return true;
    }
    return false;
}

void DrawNumber(int64_t value, float base, float y) {
    int digits[20];
    const int n = splitDigits(value, digits);
    for (int i = 0; i < n; ++i) {
        overlaySprite->SetRegion(static_cast<float>(16 * digits[i]), 208, 14, 24);
        const float x = base - (static_cast<float>(n) / 2.0f) * 14.0f + static_cast<float>(14 * i);
        overlaySprite->DrawTransformed(x, y, 0, 1.1f);
    }
}

// The result panel. True when the game was left (the scene is then ended).
bool ResultPanel() {
    if (frameCounter < kEndSequence) frameCounter = kResultStart;
    if (frameCounter <= 100200) frameCounter += 1;
    if (frameCounter == 100070) AppendScore();

    Sprite& s = *overlaySprite;
    if (frameCounter > 100059) {
        s.ChangeTexture(textures[37]);
        s.SetAnchor(24, 104);
        s.SetTint(0xFFFFFFFFu);
        const float rowY[3] = {160, 240, 320};
        for (int row = 0; row < 3; ++row) {
            s.SetRegion(470, static_cast<float>(150 + 120 * row), 450, 70);
            s.DrawTransformed(240, rowY[row], 0, 0.5f);
        }
    }
    if (frameCounter > 100069) {
        s.ChangeTexture(textures[8]);
        DrawNumber(score, 350, 250);
        const int64_t total = score * 8932;
        DrawNumber(total, 350, 330);
        int digits[20];
        const int n = splitDigits(total, digits);
        s.ChangeTexture(textures[37]);
        s.SetRegion(590, 500, 90, 80);
        s.DrawTransformed((static_cast<float>(n) / 2.0f) * 14.0f + 330.0f, 261, 0, 0.45f);
        s.ChangeTexture(textures[8]);
        DrawNumber(static_cast<int64_t>(resultRank), 300, 410);
        DrawNumber(static_cast<int64_t>(resultTotal), 400, 410);
        s.SetRegion(160, 208, 14, 24);
        s.DrawTransformed(342, 410, 0, 1.1f);
        s.SetAnchor(0, 0);
    }

    if (switchCountdown == 90) {
        // The replay-save screen makes its own name fields when it opens.
        LeaveGame(Screen::ReplaySave, 1000);
        return true;
    }
    // Works whether or not the window has focus; Confirm does nothing here.
    const bool cancel = hge->Input_GetKeyState(VK_ESCAPE) || hge->Input_GetKeyState('X');
    if (cancel && Latch(MenuKey::Cancel) == 0.0f && switchCountdown == 0) switchCountdown = 150;
    return false;
}

void OverlayFrame() {
    if (pauseFade == 0 && (pauseState == PauseState::Paused || pauseState == PauseState::Result)) {
        if (pauseState == PauseState::Paused) {
            hge->Channel_Pause(musicChannel);
            RaiseCue(CUE_PAUSE);
        }
        pauseCursor = 0;
        pauseTicks = 0;
        pauseBump = 0;
        FreeTexture(menuChoseTexture);
        menuChoseTexture = hge->Texture_Load("Graphics/menuchose.png");
    }
    pauseFade += 1;
    if (pauseFade > 10) pauseFade = 10;
    pauseTicks += 1;
    if (pauseBump > 0) pauseBump -= 1;
    if (pauseState == PauseState::Resuming) pauseFade -= 2;

    hge->Gfx_Clear(0xFF000000u);
    // The frozen frame, dimmed a step per fade: alpha by 15, red and green by 9, blue kept.
    Sprite& s = *overlaySprite;
    s.SetDepth(0.9f);
    s.ChangeTexture(snapshotTexture);
    s.SetAnchor(0, 0);
    s.SetRegion(80, 0, 480, 480);
    s.SetTint(0xFFFFFFFFu - static_cast<uint32_t>(pauseFade) * 0x0F090900u);
    s.Draw(80, 0);

    if (pauseState == PauseState::Paused && PauseMenu()) return;
    if (pauseState == PauseState::Result && ResultPanel()) return;

    s.SetAnchor(0, 0);
    s.SetDepth(0.6f);
    frameSprite->SetTint(0xFFFFFFFFu);
    frameSprite->Draw(320, 240);
    DrawHud();
    DrawScreenSwitch();
    hge->Gfx_EndScene();
    if (pauseFade < 1 && pauseState != PauseState::Running) {
        pauseFade = 0;
        pauseState = PauseState::Running;
        hge->Channel_Resume(musicChannel);
        FreeTexture(menuChoseTexture);
        FreeTexture(snapshotTexture);
    }
}

}  // namespace

void TakeSnapshot() {
    hge->System_Snapshot(kSnapshotFile);
    // One frozen frame at a time: a second snapshot replaces the first.
    FreeTexture(snapshotTexture);
    snapshotTexture = hge->Texture_Load(kSnapshotFile);
}

void ScreenFlowFrame() {
    const int32_t id = static_cast<int32_t>(screen);
    if (id >= 0 && id <= 9) {
        hge->Gfx_Clear(0xFF000000u);
        TitleFrame();
        DrawScreenSwitch();
        hge->Gfx_EndScene();
        return;
    }
    if (screen != Screen::Game) {
        hge->Gfx_EndScene();
        return;
    }
    if (pauseState != PauseState::Running) {
        OverlayFrame();
        return;
    }
    GameFrame();
    GameEndChecks();
}
