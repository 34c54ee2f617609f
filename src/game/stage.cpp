// stage.cpp -- the stage timeline: the background scene at the start of a game, the boss's
// arrival with the stage music, the attack countdown and the depth order of the panels.
#include "game/stage.h"

#include <cmath>

#include "assets/catalogue.h"
#include "core/state.h"
#include "core/sound_cues.h"
#include "game/boss.h"
#include "game/effects.h"
#include "game/panels.h"
#include "input/settings.h"

namespace {

// The corridor: rows of pillars on both sides, then the floor, then the side walls. Seven rows
// of each, one 384-unit tile apart, wrapping round as they scroll.
void BuildScene() {
    panelCount = 0;
    camX = 0;
    camY = 0;
    camZ = 256;
    camYaw = 0;
    camPitch = 30 / 57.3f;
    camRoll = 0;
    projectionDistance = 1000;

    for (int j = 0; j <= 6; j++) {
        float d = static_cast<float>(j * 384 / 7) * 8.5f - 576;
        for (int k = 0; k <= 7; k++) {
            float a = static_cast<float>(k * 45) / 57.3f;
            float side = std::sin(a) * 28.684116f;
            float z = std::cos(a) * 28.684116f + d;
            PanelAdd(18, 0, 0, 24, 512, side - 192, 2, z, a, 0, 2);
            PanelAdd(18, 0, 0, 24, 512, side + 192, 2, z, a, 0, 2);
        }
    }
    const float upright = 90 / 57.3f;  // 1.5706806
    for (int j = 0; j <= 6; j++) {
        PanelAdd(16, 0, 0, 384, 384, 0, 128, static_cast<float>(j * 384 - 384), upright, 0, 1);
    }
    for (int j = 0; j <= 6; j++) {
        float z = static_cast<float>(j * 384 - 384);
        PanelAdd(17, 0, 0, 384, 384, -192, 128, z, upright, 0, 1);
        PanelAdd(17, 0, 0, 384, 384, 192, 128, z, upright, 0, 1);
    }

    // The opening charge: particles stream in from the sides before the boss appears.
    SpawnEffect(0, 0, 0, 32, 32, 320, 160, 1, 1, 330, 0.88f, EFFECT_EMITTER, 255, 255, 255, 255,
                2, 0);
}

void BossArrives() {
    HSTREAM music = hge->Stream_Load("Music/music1.mp3", 0);
    run.musicChannel = hge->Stream_Play(music, true, settings.musicVolume);
    bossActive = 1;
    RaiseCue(CUE_CAT00);
    attackTimer = 1320;
    attackLength = 1320;

    boss.freeFlag = 0;
    Sprite* sprite = bossSprites[kBossSlot];
    if (sprite != nullptr) {
        sprite->ChangeTexture(textures[26]);
        sprite->SetRegion(0, 0, 64, 80);
        sprite->SetAnchor(32, 40);
        sprite->SetDepth(0.7f);
    }
    boss.x = 320;
    boss.y = 128;
    boss.heading = 0;
    boss.speed = 0;
    boss.age = 0;
    boss.attack = 1;
    boss.life = 1.0f;
    boss.maxLife = 1.0f;
    boss.alpha = 255;
    boss.frameWidth = 64;
    boss.frameHeight = 80;
    boss.sheetRow = 0;
    boss.scaleX = 1;
    boss.scaleY = 1;
    boss.spin = 360;
    boss.lean = 0;
    boss.moveStart = 0;

    // The double aura and the time ring follow the boss until it is gone.
    SpawnEffect(2, 256, 1, 128, 128, 320, 160, 0.86f, 0.86f, 0, 0.6f, EFFECT_AT_BOSS, 255, 255,
                255, 255, 2, 0);
    SpawnEffect(2, 256, 1, 128, 128, 320, 160, 0.79f, 0.79f, 0, 0.6f, EFFECT_AT_BOSS, 255, 255,
                255, 255, 2, 0);
    SpawnEffect(0, 65, 192, 4, 1, 320, 160, 1, 1, 0, 0.6f, EFFECT_TIME_RING, 255, 255, 255, 255,
                2, 0);
}

// Pillars nearer than the one before them move forward in the list, so that the far ones are
// drawn first; floor and walls only move when a pillar overtakes them.
void OrderPanels() {
    for (int pass = 0; pass < panelCount; pass++) {
        for (int k = panelCount - 1; k >= 1; k--) {
            if (panelDistance[k - 1] > panelDistance[k] && panelKind[k] >= 2 &&
                panelDistance[k] > 270) {
                SwapPanels(k - 1, k);
            }
        }
    }
}

}  // namespace

void StageScript() {
    if (bossActive) {
        attackTimer -= 1;
    } else if (run.frameCounter == -62) {
        BuildScene();
    } else if (run.frameCounter == 2) {
        BossArrives();
    }
    OrderPanels();
}
