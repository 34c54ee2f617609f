// game_reset.cpp -- the game reset and the new-game loading frame.
#include "app/game_reset.h"

#include <ctime>

#include "app/screen_flow.h"
#include "core/random.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/player.h"
#include "game/stage.h"
#include "game/world.h"
#include "ui/overlays.h"
#include "ui/screen_switch.h"

void GameReset() {
    hge->Stream_Free(run.musicChannel);
    run.musicChannel = 0;
    // A replay keeps the seed it was recorded with, so the same numbers come out again.
    if (!record.replayPlayback) record.randomSeed = static_cast<int32_t>(std::time(nullptr));
    SeedRandom(static_cast<uint32_t>(record.randomSeed));
    run.resultCode = 0;

    menus.rebindLatch = 0;
    for (float& latch : menus.menuKeyLatch) latch = 0;
    bombX = 0;
    bombY = 0;
    // Every boss field (position included), the attack timer, the shake and the attack
    // scripts' own values.
    ResetBossState();

    for (uint8_t& bit : record.inputBits) bit = 0;

    menus.menuCursor = 0;
    menus.menuBarY = 0;
    playerX = 320;
    playerY = 412;
    slowGauge = 0;
    playerBank = 0;
    bombTimer = 0;
    invulnTimer = 0;
    lifeLossTimer = 0;
    shakeLevel = 0;
    record.replayFrame = 0;
    run.frameCounter = -64;

    ClearPlayField();
    overlay.pauseFade = 0;
    overlay.resultRank = 0;
    overlay.resultTotal = 0;
}

void NewGameLoadingFrame() {
    hge->Gfx_BeginScene(0);
    hge->Gfx_Clear(0xFF000000u);
    run.stage = 1;
    run.score = 0;
    slowGauge = 0;
    spellBackdrop = false;
    bossActive = 0;
    run.lives = 5;
    GameReset();
    invulnTimer = 0;
    lifeLossTimer = 0;
    ClearPlayField();
    overlay.pauseFade = 0;
    PrepareStageMusic();
    WarmUpGameDrawing();
    DrawScreenSwitch();
    hge->Gfx_EndScene();
}
