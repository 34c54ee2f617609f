// combat_world.cpp -- test set-up for the battle.
#include "support/combat_world.h"

#include <cstring>

#include "assets/catalogue.h"
#include "core/callbacks.h"
#include "core/random.h"
#include "core/screen_flow.h"
#include "core/sound_cues.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/panels.h"
#include "game/player.h"
#include "game/world.h"
#include "replay/replay.h"
#include "support/headless.h"

HeadlessEngine& ResetCombatWorld() {
    HeadlessEngine& engine = UseHeadlessEngine();
    static bool made = false;
    if (!made) {
        BuildDirectionTables();
        CreateBulletPool();
        CreateBossPool();
        CreateEffectPool();
        CreateItemPool();
        CreatePanelPool();
        CreatePlayerSprites();
        if (overlaySprite == nullptr) overlaySprite = new Sprite(0, 0, 0, 0, 0);
        made = true;
    }
    FreeAllBullets();
    FreeAllEffects();
    FreeAllItems();
    ResetBossState();
    panelCount = 0;
    lastEffect = 0;
    lastItem = 0;
    playerX = 320;
    playerY = 412;
    slowGauge = 0;
    playerBank = 0;
    bombTimer = 0;
    invulnTimer = 0;
    lifeLossTimer = 0;
    bombX = bombY = 0;
    spellBackdrop = false;
    screen = Screen::Game;
    stage = 1;
    pauseState = PauseState::Running;
    frameCounter = 100;
    lives = 5;
    score = 0;
    // Inputs come from inputBits, as in playback, and the replay never ends.
    replayPlayback = true;
    replayFrame = 0;
    replayEnd = kReplayMaxEnd;
    std::memset(inputBits, 0, sizeof inputBits);
    std::memset(soundCue, 0, sizeof soundCue);
    SeedRandom(12345);
    return engine;
}

void HoldActions(std::initializer_list<int> actions) {
    std::memset(inputBits, 0, sizeof inputBits);
    for (int a : actions) inputBits[a] = 1;
}

void RunWorldFrame() {
    hge->Gfx_BeginScene();
    frameCounter += 1;
    WorldStep();
    hge->Gfx_EndScene();
}
