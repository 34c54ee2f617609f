// playback.cpp -- a loaded replay played to its end.
#include "app/playback.h"

#include "app/game_reset.h"
#include "app/screen_flow.h"
#include "core/state.h"
#include "game/player.h"

void PrepareGameStart() {
    if (overlay.snapshotTexture != 0) hge->Texture_Free(overlay.snapshotTexture);
    if (overlay.menuChoseTexture != 0) hge->Texture_Free(overlay.menuChoseTexture);
    overlay.snapshotTexture = 0;
    overlay.menuChoseTexture = 0;
    run.pauseState = PauseState::Running;
    run.switchCountdown = 0;
    run.screen = Screen::Game;
}

void StartPlayback() {
    PrepareGameStart();
    record.replayPlayback = true;
    NewGameLoadingFrame();
}

bool PlaybackFrame(bool immortal, const std::function<bool()>& runFrame, bool* running) {
    int32_t livesBefore = run.lives;
    // A pending life loss is taken in this frame's ApplyLifeLoss when the timer reads 2 before
    // the frame counts it down. Lending the life beforehand lets ApplyLifeLoss run as it always
    // does (effects showing the unchanged count) while leaving `lives` where it was.
    if (immortal && run.screen == Screen::Game && run.pauseState == PauseState::Running &&
        lifeLossTimer == 2) {
        run.lives = livesBefore + 1;
    }
    bool more = runFrame();
    if (immortal) run.lives = livesBefore;
    *running = run.screen == Screen::Game && run.pauseState == PauseState::Running;
    return more;
}

PlaybackEnd PlayBack(bool immortal, const std::function<bool()>& runFrame,
                     const std::function<void()>& afterFrame) {
    StartPlayback();
    PlaybackEnd end;
    for (long n = 0; n < kPlaybackFrameCap; ++n) {
        int32_t livesBefore = run.lives;
        int64_t scoreBefore = run.score;
        bool running = false;
        bool more = PlaybackFrame(immortal, runFrame, &running);
        end.framesRun = n + 1;
        if (afterFrame) afterFrame();
        if (running && more) continue;
        if (running) {
            end.stopped = true;
            break;
        }
        if (record.replayFrame >= record.replayEnd) {
            // The player step paused at the end of the record; the game it recorded stopped
            // after the frame before.
            end.ranOut = true;
            end.result = livesBefore;
            end.score = scoreBefore;
            end.framesOfPlay = record.replayEnd - 1;
        } else {
            end.endedByItself = true;
            end.result = run.resultCode;
            end.score = run.score;
            end.framesOfPlay = record.replayFrame;
        }
        return end;
    }
    end.result = run.lives;
    end.score = run.score;
    end.framesOfPlay = record.replayFrame;
    return end;
}
