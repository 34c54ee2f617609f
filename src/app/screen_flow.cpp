// screen_flow.cpp -- the screen state machine, the game frame, the pause and result overlays.
#include "app/screen_flow.h"

#include <cinttypes>

#include "app/game_reset.h"
#include "app/loading.h"
#include "app/practice.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/player.h"
#include "game/stage.h"
#include "game/world.h"
#include "input/actions.h"
#include "input/keys.h"
#include "replay/attack_history.h"
#include "replay/score_file.h"
#include "ui/overlays.h"
#include "ui/replay_screens.h"
#include "ui/screen_switch.h"
#include "ui/title.h"

PauseOverlay overlay;

namespace {

constexpr const char* kSnapshotFile = "snapshot.dat";
constexpr int32_t kResultStart = 100050;

void FreeTexture(HTEXTURE& texture) {
    hge->Texture_Free(texture);
    texture = 0;
}

void FreeMusic() {
    hge->Stream_Free(run.musicChannel);
    run.musicChannel = 0;
}

// The end of a watched replay, in the log: how far it played and how it ended, as
// mirrorfall-sim verify reports a replay.
void LogReplayEnd(int32_t result) {
    hge->System_Log("Replay ended: %d frames of play, result %d, score %" PRId64,
                    int(record.replayFrame), int(result), run.score);
}

// Freezes the game screen under the pause menu or the result panel.
void OpenOverlay(PauseState state) {
    TakeSnapshot();
    run.pauseState = state;
}

// The game frame, in its fixed order.
void GameFrame() {
    hge->Gfx_Clear(0xFF000000u);
    if (lifeLossTimer > 0) lifeLossTimer -= 1;
    ApplyLifeLoss();
    run.frameCounter += 1;
    if (run.stage == 1) StageScript();
    BeginFrameActions();
    ClipToFrameWindow();
    WorldStep();
    // The end of a replay freezes the frame under the pause menu; resuming pauses again.
    if (ReplayEnded()) {
        LogReplayEnd(run.lives);
        LatchMenuKeys({MenuKey::Cancel, MenuKey::Confirm});
        overlay.pauseCursor = 1;
        OpenOverlay(PauseState::Paused);
    }
    if (run.frameCounter < 0) DrawFadeIn(run.frameCounter);
    hge->Gfx_SetClipping(0, 0, 0, 0);
    DrawFrameAndHud();
    EndFrameActions();
    WatchAttacks();
}

void GameEndChecks() {
    if (hge->Input_GetKeyState(VK_ESCAPE) && Latch(MenuKey::Cancel) == 0.0f) {
        Latch(MenuKey::Cancel) = 1.0f;
        OpenOverlay(PauseState::Paused);
    }
    if (!IsForeground() && run.pauseState == PauseState::Running) {
        Latch(MenuKey::Cancel) = 1.0f;
        OpenOverlay(PauseState::Paused);
        hge->Gfx_EndScene();
        return;
    }
    // A replay that reaches its game's end opens the pause menu: it records no score.
    const PauseState ended = record.replayPlayback ? PauseState::Paused : PauseState::Result;
    if (run.lives < 0) {
        LatchMenuKeys({MenuKey::Cancel, MenuKey::Confirm});
        OpenOverlay(ended);
        run.resultCode = run.lives;
        run.lives = 0;
        if (record.replayPlayback) LogReplayEnd(run.resultCode);
    }
    if (run.frameCounter == kResultStart) {
        run.pauseState = ended;
        run.resultCode = run.lives;
        TakeSnapshot();
        if (record.replayPlayback) LogReplayEnd(run.resultCode);
    }
    DrawScreenSwitch();
    hge->Gfx_EndScene();
}

void LeaveGame(Screen to, int32_t titleClock) {
    run.screen = to;
    run.pauseState = PauseState::Running;
    run.lives = 0;
    ClearPlayField();
    bossActive = 0;
    FreeTexture(overlay.menuChoseTexture);
    invulnTimer = 0;
    record.replayPlayback = false;
    FreeMusic();
    run.stage = 0;
    HSTREAM music = hge->Stream_Load("Music/title.mp3");
    run.musicChannel = hge->Stream_Play(music, true, 0);
    FreeTexture(overlay.snapshotTexture);
    // 200: the title's music fades in again; 1000: it plays at full volume at once.
    run.frameCounter = titleClock;
    LatchMenuKeys({MenuKey::Cancel, MenuKey::Confirm, MenuKey::Up, MenuKey::Down});
    menus.menuBarY = 296;
    menus.menuCursor = 0;
    DrawScreenSwitch();
    hge->Gfx_EndScene();
}

// Plays the same game again: a recorded game with a new seed, a replay from its own start.
void Retry() {
    FreeTexture(overlay.menuChoseTexture);
    FreeMusic();
    FreeTexture(overlay.snapshotTexture);
    run.pauseState = PauseState::Running;
    LatchMenuKeys({MenuKey::Cancel, MenuKey::Confirm, MenuKey::Up, MenuKey::Down});
    boss.freeFlag = 1;
    bossActive = 0;
    menus.menuCursor = 0;
    invulnTimer = 0;
    NewGameLoadingFrame();
    DrawScreenSwitch();
    hge->Gfx_EndScene();
}

bool EndedReplay() {
    return record.replayPlayback && (run.resultCode < 0 || run.frameCounter > kPlayEnd);
}

// The pause menu's keys this frame, read only while the window has focus and no shutter runs.
// Only the arrow keys move its cursor, not the key bindings.
struct PauseMenuInput {
    bool down, up, cancel, confirm;
};

PauseMenuInput ReadPauseMenuInput() {
    PauseMenuInput in{};
    if (!IsForeground() || run.switchCountdown != 0) return in;
    in.down = hge->Input_GetKeyState(VK_DOWN) && Latch(MenuKey::Down) == 0.0f;
    in.up = hge->Input_GetKeyState(VK_UP) && Latch(MenuKey::Up) == 0.0f;
    in.cancel = (hge->Input_GetKeyState(VK_ESCAPE) || hge->Input_GetKeyState('X')) &&
                Latch(MenuKey::Cancel) == 0.0f;
    in.confirm = (hge->Input_GetKeyState('Z') || hge->Input_GetKeyState(VK_RETURN)) &&
                 Latch(MenuKey::Confirm) == 0.0f;
    return in;
}

void DecidePauseMenu(const PauseMenuInput& in, bool ended) {
    if (in.down) {
        Latch(MenuKey::Down) = 1.0f;
        overlay.pauseCursor = overlay.pauseCursor == kPauseItems - 1 ? 0 : overlay.pauseCursor + 1;
        overlay.pauseBump = 6;
        RaiseCue(CUE_SELECT00);
    }
    if (in.up) {
        Latch(MenuKey::Up) = 1.0f;
        overlay.pauseCursor = overlay.pauseCursor == 0 ? kPauseItems - 1 : overlay.pauseCursor - 1;
        overlay.pauseBump = 6;
        RaiseCue(CUE_SELECT00);
    }
    // Cancelling leaves the latch at 0: Escape still held reopens the menu at once.
    if (in.cancel && run.pauseState == PauseState::Paused) {
        run.pauseState = PauseState::Resuming;
        RaiseCue(CUE_CANCEL00);
    }
    if (in.confirm) {
        Latch(MenuKey::Confirm) = 1.0f;
        RaiseCue(CUE_OK00);
        switch (overlay.pauseCursor) {
            case 0:
                // A replay that has ended cannot be resumed.
                if (ended) RaiseCue(CUE_INVALID);
                else run.pauseState = PauseState::Resuming;
                break;
            case 1:
            case 5:
                run.switchCountdown = 150;
                break;
            default:
                RaiseCue(CUE_INVALID);
                break;
        }
    }
}

// The pause menu: read, decide, draw, then leave under the closed shutter. True when the game
// was left (the scene is then ended).
bool PauseMenu() {
    const bool ended = EndedReplay();
    DecidePauseMenu(ReadPauseMenuInput(), ended);
    DrawPauseMenu({.pictures = overlay.menuChoseTexture,
                   .fade = overlay.pauseFade,
                   .ticks = overlay.pauseTicks,
                   .cursor = overlay.pauseCursor,
                   .bump = overlay.pauseBump,
                   .endedReplay = ended});
    if (run.switchCountdown != 90) return false;
    if (overlay.pauseCursor == 1) LeaveGame(Screen::Title, 200);
    else Retry();
    return true;
}

// The result panel. True when the game was left (the scene is then ended).
bool ResultPanel() {
    if (run.frameCounter < kEndSequence) run.frameCounter = kResultStart;
    if (run.frameCounter <= 100200) run.frameCounter += 1;
    if (run.frameCounter == 100070) {
        // A score file that cannot be opened shows 0 / 0, never the previous game's rank.
        overlay.resultRank = 0;
        overlay.resultTotal = 0;
        const ScoreRank rank = AppendScore(run.score);
        overlay.resultRank = rank.rank;
        overlay.resultTotal = rank.total;
    }
    DrawResultPanel(run.frameCounter, run.score, overlay.resultRank, overlay.resultTotal);

    if (run.switchCountdown == 90) {
        LeaveGame(Screen::ReplaySave, 1000);
        CreateNameFields();
        return true;
    }
    // Works whether or not the window has focus; Confirm does nothing here.
    const bool cancel = hge->Input_GetKeyState(VK_ESCAPE) || hge->Input_GetKeyState('X');
    if (cancel && Latch(MenuKey::Cancel) == 0.0f && run.switchCountdown == 0) {
        run.switchCountdown = 150;
    }
    return false;
}

// A practice's result panel in place of the game's: it records no score.
bool PracticeResult() {
    switch (PracticeResultPanel()) {
        case PracticeExit::Stay:
            return false;
        case PracticeExit::Retry:
            Retry();
            return true;
        case PracticeExit::ToPracticeScreen:
            LeaveGame(Screen::Practice, 1000);
            menus.menuCursor = record.practiceAttack - 1;
            return true;
    }
    return false;
}

void OverlayFrame() {
    if (overlay.pauseFade == 0 &&
        (run.pauseState == PauseState::Paused || run.pauseState == PauseState::Result)) {
        if (run.pauseState == PauseState::Paused) {
            hge->Channel_Pause(run.musicChannel);
            RaiseCue(CUE_PAUSE);
        }
        overlay.pauseCursor = 0;
        overlay.pauseTicks = 0;
        overlay.pauseBump = 0;
        FreeTexture(overlay.menuChoseTexture);
        overlay.menuChoseTexture = hge->Texture_Load("Graphics/menuchose.png");
    }
    overlay.pauseFade += 1;
    if (overlay.pauseFade > 10) overlay.pauseFade = 10;
    overlay.pauseTicks += 1;
    if (overlay.pauseBump > 0) overlay.pauseBump -= 1;
    if (run.pauseState == PauseState::Resuming) overlay.pauseFade -= 2;

    hge->Gfx_Clear(0xFF000000u);
    DrawFrozenFrame(overlay.snapshotTexture, overlay.pauseFade);

    if (run.pauseState == PauseState::Paused && PauseMenu()) return;
    if (run.pauseState == PauseState::Result &&
        (record.practiceAttack != 0 ? PracticeResult() : ResultPanel())) {
        return;
    }

    DrawFrameAndHudOverFrozenFrame();
    DrawScreenSwitch();
    hge->Gfx_EndScene();
    if (overlay.pauseFade < 1 && run.pauseState != PauseState::Running) {
        overlay.pauseFade = 0;
        run.pauseState = PauseState::Running;
        hge->Channel_Resume(run.musicChannel);
        FreeTexture(overlay.menuChoseTexture);
        FreeTexture(overlay.snapshotTexture);
    }
}

// Screens 0..9: the start-up logo until its end, the loading frame, then the title picture
// with whichever title-side screen is open.
void TitleSideFrame() {
    if (run.pauseState == PauseState::Running) ++run.frameCounter;
    if (run.frameCounter <= kLogoEnd) {
        DrawLogo();
        if (run.frameCounter < kLogoEnd) return;
        run.frameCounter = kTitleStart;
        TitleLoadingFrame();
    }
    const TitleRequest request = TitleFrame();
    if (request == TitleRequest::None) return;
    run.screen = Screen::Game;
    // A replay's game keeps the seed it was recorded with (the reset reads replayPlayback).
    PrepareTitleRequest(request);
    NewGameLoadingFrame();
}

}  // namespace

void TakeSnapshot() {
    hge->System_Snapshot(kSnapshotFile);
    // One frozen frame at a time: a second snapshot replaces the first.
    FreeTexture(overlay.snapshotTexture);
    overlay.snapshotTexture = hge->Texture_Load(kSnapshotFile);
}

void ScreenFlowFrame() {
    // The attack history waits for a moment the game is not running to be saved.
    if (run.screen != Screen::Game || run.pauseState != PauseState::Running) SaveHistoryIfChanged();
    const int32_t id = static_cast<int32_t>(run.screen);
    if (id >= 0 && id <= 9) {
        hge->Gfx_Clear(0xFF000000u);
        TitleSideFrame();
        DrawScreenSwitch();
        hge->Gfx_EndScene();
        return;
    }
    if (run.screen != Screen::Game) {
        hge->Gfx_EndScene();
        return;
    }
    if (run.pauseState != PauseState::Running) {
        OverlayFrame();
        return;
    }
    GameFrame();
    GameEndChecks();
}
