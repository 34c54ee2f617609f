// combat_world.cpp -- test set-up for the battle.
#include "support/combat_world.h"

#include <cstring>

#include "app/callbacks.h"
#include "app/game_reset.h"
#include "app/loading.h"
#include "app/screen_flow.h"
#include "assets/catalogue.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/bullets.h"
#include "game/player.h"
#include "game/stage.h"
#include "game/world.h"
#include "input/keys.h"
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
    TitleLoadingFrame();
}

}  // namespace

HeadlessEngine& StartBattle(uint32_t seed) {
    HeadlessEngine& engine = UseHeadlessEngine();
    MakeStores();
    ResetSharedState();
    // The reset takes a replay's seed instead of the clock's.
    record.replayPlayback = true;
    record.randomSeed = static_cast<int32_t>(seed);
    NewGameLoadingFrame();
    record.replayPlayback = false;
    run.screen = Screen::Game;
    std::memset(soundCue, 0, sizeof soundCue);
    return engine;
}

HeadlessEngine& ResetCombatWorld() {
    HeadlessEngine& engine = StartBattle(12345);
    run.frameCounter = 100;
    record.replayPlayback = true;
    record.replayEnd = kReplayMaxEnd;
    return engine;
}

void HoldActions(std::initializer_list<int> actions) {
    std::memset(record.inputBits, 0, sizeof record.inputBits);
    for (int a : actions) record.inputBits[a] = 1;
}

void RunWorldFrame() {
    hge->Gfx_BeginScene();
    run.frameCounter += 1;
    WorldStep();
    hge->Gfx_EndScene();
}

void RunBattleFrame() {
    hge->Gfx_BeginScene(0);
    std::memset(soundCue, 0, sizeof soundCue);
    if (lifeLossTimer > 0) lifeLossTimer -= 1;
    ApplyLifeLoss();
    run.frameCounter += 1;
    if (InPlay()) record.replayFrame += 1;
    StageScript();
    WorldStep();
    hge->Gfx_EndScene();
}

int LiveBullets() {
    int n = 0;
    for (int i = 0; i < kBulletSlots; i++) n += bulletFree[i] == 0;
    return n;
}
