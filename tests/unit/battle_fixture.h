// battle_fixture.h -- a game's battle without the screen flow, for the boss, attack and HUD
// tests: the stores made, a fresh game state, and the game frame's own order of calls.
#pragma once

#include "assets/catalogue.h"
#include "core/callbacks.h"
#include "core/random.h"
#include "core/screen_flow.h"
#include "core/sound_cues.h"
#include "game/attacks.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/panels.h"
#include "game/player.h"
#include "game/stage.h"
#include "game/world.h"
#include "support/headless.h"
#include "ui/hud.h"

// Makes what the catalogue makes at its loading frame (textures stay 0) once per process.
inline void MakeBattleStores() {
    static bool made = false;
    if (made) return;
    made = true;
    if (overlaySprite == nullptr) overlaySprite = new Sprite(0, 0, 0, 0, 0);
    BuildDirectionTables();
    CreatePlayerSprites();
    CreateHudSprites();
    CreateBulletPool();
    CreateBossPool();
    CreateEffectPool();
    CreateItemPool();
    CreatePanelPool();
}

// A new game as the game reset leaves it, seeded with `seed`.
inline void StartBattle(uint32_t seed) {
    UseHeadlessEngine();
    MakeBattleStores();
    SeedRandom(seed);
    ResetBossState();
    FreeAllBullets();
    FreeAllEffects();
    FreeAllItems();
    panelCount = 0;
    screen = Screen::Game;
    stage = 1;
    lives = 5;
    score = 0;
    spellBackdrop = false;
    replayPlayback = false;
    playerX = 320;
    playerY = 412;
    invulnTimer = 0;
    lifeLossTimer = 0;
    bombTimer = 0;
    slowGauge = 0;
    playerBank = 0;
    frameCounter = -64;
    replayFrame = 0;
    for (uint8_t& cue : soundCue) cue = 0;
}

// One running game frame: the life loss, the clock, the stage script and the world step.
inline void RunBattleFrame() {
    hge->Gfx_BeginScene(0);
    for (uint8_t& cue : soundCue) cue = 0;
    if (lifeLossTimer > 0) lifeLossTimer -= 1;
    ApplyLifeLoss();
    frameCounter += 1;
    if (frameCounter >= 0 && frameCounter <= 99999) replayFrame += 1;
    StageScript();
    WorldStep();
    hge->Gfx_EndScene();
}

inline int LiveBullets() {
    int n = 0;
    for (int i = 0; i < kBulletSlots; i++) n += bulletFree[i] == 0;
    return n;
}
