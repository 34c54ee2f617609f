// stage.cpp -- the stage timeline: the background scene at the start of a game, the boss's
// arrival with the stage music, the attack countdown and the depth order of the panels.
#include "game/stage.h"

#include "assets/catalogue.h"
#include "core/det_math.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/effects.h"
#include "game/panels.h"
#include "platform/preload.h"

namespace {

constexpr const char* kStageMusic = "Music/music1.mp3";

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
            float side = detmath::Sin(a) * 28.684116f;
            float z = detmath::Cos(a) * 28.684116f + d;
            PanelAdd({.texture = TEX_PILLAR, .regionX = 0, .regionY = 0, .regionW = 24,
                      .regionH = 512, .x = side - 192, .y = 2, .z = z, .yaw = a, .pitch = 0,
                      .kind = 2});
            PanelAdd({.texture = TEX_PILLAR, .regionX = 0, .regionY = 0, .regionW = 24,
                      .regionH = 512, .x = side + 192, .y = 2, .z = z, .yaw = a, .pitch = 0,
                      .kind = 2});
        }
    }
    const float upright = 90 / 57.3f;  // 1.5706806
    for (int j = 0; j <= 6; j++) {
        PanelAdd({.texture = TEX_FLOOR, .regionX = 0, .regionY = 0, .regionW = 384, .regionH = 384,
                  .x = 0, .y = 128, .z = static_cast<float>(j * 384 - 384), .yaw = upright,
                  .pitch = 0, .kind = 1});
    }
    for (int j = 0; j <= 6; j++) {
        float z = static_cast<float>(j * 384 - 384);
        PanelAdd({.texture = TEX_WALL, .regionX = 0, .regionY = 0, .regionW = 384, .regionH = 384,
                  .x = -192, .y = 128, .z = z, .yaw = upright, .pitch = 0, .kind = 1});
        PanelAdd({.texture = TEX_WALL, .regionX = 0, .regionY = 0, .regionW = 384, .regionH = 384,
                  .x = 192, .y = 128, .z = z, .yaw = upright, .pitch = 0, .kind = 1});
    }

    // The opening charge: particles stream in from the sides before the boss appears.
    SpawnEffect({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 32, .regionH = 32,
                 .x = 320, .y = 160, .angle = 330, .depth = 0.88f, .kind = EFFECT_EMITTER,
                 .blend = 2});
}

void BossArrives() {
    HSTREAM music = hge->Stream_Load(kStageMusic, 0);
    run.musicChannel = hge->Stream_Play(music, true, settings.musicVolume);
    bossActive = 1;
    RaiseCue(CUE_CAT00);
    attackTimer = 1320;
    attackLength = 1320;

    boss.freeFlag = 0;
    Sprite* sprite = bossSprites[kBossSlot];
    if (sprite != nullptr) {
        sprite->ChangeTexture(textures[TEX_BOSS]);
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
    SpawnEffect({.texture = TEX_BULLET3, .regionX = 256, .regionY = 1, .regionW = 128,
                 .regionH = 128, .x = 320, .y = 160, .scaleX = 0.86f, .scaleY = 0.86f,
                 .depth = 0.6f, .kind = EFFECT_AT_BOSS, .blend = 2});
    SpawnEffect({.texture = TEX_BULLET3, .regionX = 256, .regionY = 1, .regionW = 128,
                 .regionH = 128, .x = 320, .y = 160, .scaleX = 0.79f, .scaleY = 0.79f,
                 .depth = 0.6f, .kind = EFFECT_AT_BOSS, .blend = 2});
    SpawnEffect({.texture = TEX_BULLET1, .regionX = 65, .regionY = 192, .regionW = 4, .regionH = 1,
                 .x = 320, .y = 160, .depth = 0.6f, .kind = EFFECT_TIME_RING, .blend = 2});
}

// Pillars nearer than the one before them move forward in the list, so that the far ones are
// drawn first; floor and walls only move when a pillar overtakes them.
// A pass that swaps nothing leaves the list as it found it, so every later pass would too.
void OrderPanels() {
    for (int pass = 0; pass < panelCount; pass++) {
        bool swapped = false;
        for (int k = panelCount - 1; k >= 1; k--) {
            if (panelDistance[k - 1] > panelDistance[k] && panelKind[k] >= 2 &&
                panelDistance[k] > 270) {
                SwapPanels(k - 1, k);
                swapped = true;
            }
        }
        if (!swapped) break;
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

void PrepareStageMusic() { Engine_PreloadStream(kStageMusic); }
