// combat_world.cpp -- test set-up for the battle.
#include "support/combat_world.h"

#include <cstring>

#include "assets/catalogue.h"
#include "core/callbacks.h"
#include "core/game_reset.h"
#include "core/screen_flow.h"
#include "core/sound_cues.h"
#include "game/bullets.h"
#include "game/player.h"
#include "game/stage.h"
#include "game/world.h"
#include "replay/replay.h"
#include "support/headless.h"

namespace {

// The catalogue's loading frame, once per process: every pool, the shared sprites and the
// direction tables. No data files are present, so every texture is 0.
void MakeStores() {
    static bool made = false;
    if (made) return;
    made = true;
    CreateStartupSprites();
    LoadCatalogue();
}

}  // namespace

HeadlessEngine& StartBattle(uint32_t seed) {
    HeadlessEngine& engine = UseHeadlessEngine();
    MakeStores();
    // The reset takes a replay's seed instead of the clock's.
    replayPlayback = true;
    randomSeed = static_cast<int32_t>(seed);
    switchCountdown = 0;
    NewGameLoadingFrame();
    replayPlayback = false;
    screen = Screen::Game;
    pauseState = PauseState::Running;
    std::memset(soundCue, 0, sizeof soundCue);
    return engine;
}

HeadlessEngine& ResetCombatWorld() {
    HeadlessEngine& engine = StartBattle(12345);
    frameCounter = 100;
    replayPlayback = true;
    replayEnd = kReplayMaxEnd;
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

void RunBattleFrame() {
    hge->Gfx_BeginScene(0);
    std::memset(soundCue, 0, sizeof soundCue);
    if (lifeLossTimer > 0) lifeLossTimer -= 1;
    ApplyLifeLoss();
    frameCounter += 1;
    if (frameCounter >= 0 && frameCounter <= 99999) replayFrame += 1;
    StageScript();
    WorldStep();
    hge->Gfx_EndScene();
}

int LiveBullets() {
    int n = 0;
    for (int i = 0; i < kBulletSlots; i++) n += bulletFree[i] == 0;
    return n;
}
