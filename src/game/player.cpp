// player.cpp -- the player: steering, slow mode and focus ring, tilt and picture, the bomb and
// its blast, hits and the delayed life loss.
#include "game/player.h"

#include <cmath>

#include "assets/catalogue.h"
#include "core/det_math.h"
#include "core/random.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "gfx/sprite.h"
#include "input/actions.h"

float playerX = 320, playerY = 412;
int32_t invulnTimer = 0;
int32_t lifeLossTimer = 0;
int32_t slowGauge = 0;
int32_t playerBank = 0;
int32_t bombTimer = 0;
float bombX = 0, bombY = 0;

Sprite* playerSprite = nullptr;
Sprite* focusSprite = nullptr;

namespace {

constexpr float kBlastReach = 60;      // added to half a bullet's size
constexpr float kBlastBossReach = 80;

struct SwingPicture {
    float x, y, w, h;      // region on texture 27
    float offX, offY;      // top-left corner relative to the player
};
// The arm's swing, by phase 5 down to 2 (phase 6 shows nothing).
const SwingPicture kSwing[4] = {
    {144, 0, 56, 64, -46, -70},  // phase 2
    {96, 0, 48, 76, -46, -70},   // phase 3
    {52, 0, 44, 60, -50, -46},   // phase 4
    {0, 48, 54, 48, -56, -18},   // phase 5
};

float Distance(float dx, float dy) { return detmath::Sqrt(dx * dx + dy * dy); }

// The blast: every bullet close enough is cancelled into a flash and an item, and a boss in
// reach drops an item of its own.
void Blast() {
    for (int b = 0; b < kBulletSlots; b++) {
        if (bulletFree[b] != 0) continue;
        float d = Distance(std::fabs(bombX - bulletX[b]), std::fabs(bombY - bulletY[b]));
        if (d < static_cast<float>(bulletRegionW[b] / 2) + kBlastReach) CancelBullet(b, false);
    }
    if (bossActive && Distance(std::fabs(bombX - boss.x), std::fabs(bombY - boss.y)) < kBlastBossReach) {
        int r1 = Rand();
        SpawnItem({.texture = TEX_ITEM09B, .regionX = 0, .regionY = 12, .regionW = 32,
                   .regionH = 36, .x = boss.x, .y = boss.y, .angle = static_cast<float>(r1 % 360),
                   .type = 4});
        int r2 = Rand();
        if (lastItem >= 0 && lastItem < kItemSlots) itemPhase[lastItem] = r2 % 60;
    }
}

void BombSequence() {
    bombTimer -= 1;
    int phase = bombTimer / 4 - 5;
    // A bomb lasts 40 frames; a held key starts the next one in this same frame.
    if (bombTimer == 8) bombTimer = 0;
    if (bombTimer == 45) {
        RaiseCue(CUE_LAZER02);
        // The blast stays where it was set while the player moves on.
        bombX = playerX;
        bombY = playerY - 60;
    }
    if (bombTimer == 42) Blast();

    Sprite& s = *overlaySprite;
    if (phase >= 2) {
        s.SetDepth(0.8f);
        s.SetAnchor(0, 0);
        s.SetBlend(0);
        s.ChangeTexture(textures[TEX_ITEM09B]);
        if (phase <= 5) {
            const SwingPicture& p = kSwing[phase - 2];
            s.SetRegion(p.x, p.y, p.w, p.h);
            s.DrawTransformed(playerX + p.offX, playerY + p.offY, 0, 1);
        }
        s.SetBlend(2);
    }
    if (phase <= 4 && bombTimer >= 32) {
        s.SetDepth(0.8f);
        s.SetBlend(0);
        s.ChangeTexture(textures[TEX_PARTICLES]);
        s.SetAnchor(16, 16);
        s.SetRegion(96, 64, 32, 32);
        s.SetTint(0xFFFF3232);
        s.DrawTransformed(bombX, bombY, 0, static_cast<float>(44 - bombTimer) * 0.15f + 2.5f);
        s.ChangeTexture(textures[TEX_ITEM09]);
        s.SetAnchor(114, 114);
        s.SetRegion(0, 0, 229, 229);
        s.SetTint(0xFFFF5050);
        s.DrawTransformed(bombX, bombY, 0, 0.6f);
        s.SetBlend(2);
        s.SetAnchor(0, 0);
    }
}

// Movement, slow mode and the bomb; only while no hit is pending and the game has begun.
void Control() {
    float v = 4.5f;
    if (ReadAction(ACT_SLOW)) {
        if (slowGauge < 10) slowGauge += 1;
        v = 2.0f;
    } else if (slowGauge > 0) {
        slowGauge -= 1;
    }
    bool vertical = ReadAction(ACT_UP) || ReadAction(ACT_DOWN);
    bool horizontal = ReadAction(ACT_LEFT) || ReadAction(ACT_RIGHT);
    if (vertical && horizontal) v = v / 1.41f;
    // Opposite directions held together cancel: each is applied in turn with its own clamp.
    if (ReadAction(ACT_UP)) {
        playerY -= v;
        if (playerY < 24) playerY = 24;
    }
    if (ReadAction(ACT_DOWN)) {
        playerY += v;
        if (playerY > 452) playerY = 452;
    }
    if (ReadAction(ACT_LEFT)) {
        playerX -= v;
        if (playerBank > -16) playerBank -= 1;
        if (playerX < 136) playerX = 136;
    }
    if (ReadAction(ACT_RIGHT)) {
        playerX += v;
        if (playerBank < 16) playerBank += 1;
        if (playerX > 504) playerX = 504;
    }
    if (bombTimer > 0) BombSequence();
    // The player has no shot: the SHOOT binding sets off the bomb. Bombs are unlimited; only
    // one runs at a time.
    if (ReadAction(ACT_SHOOT) && bombTimer == 0) {
        bombTimer = 48;
        RaiseCue(CUE_TAN00_SECOND);
    }
}

void SelectPicture() {
    int c = run.frameCounter % 32;
    float x, y;
    if (playerBank == 0) {
        x = static_cast<float>((c / 4) * 32);
        y = 0;
    } else if (playerBank > 0) {
        x = playerBank == 16 ? static_cast<float>((c / 8) * 32 + 128)
                             : static_cast<float>((playerBank / 4) * 32);
        y = 96;
    } else {
        x = playerBank == -16 ? static_cast<float>((c / 8) * 32 + 128)
                              : static_cast<float>((-playerBank / 4) * 32);
        y = 48;
    }
    playerSprite->SetRegion(x, y, 32, 48);
}

}  // namespace

void CreatePlayerSprites() {
    delete playerSprite;
    delete focusSprite;
    playerSprite = new Sprite(textures[TEX_PLAYER], 0, 0, 32, 48);
    playerSprite->SetAnchor(16, 24);
    playerSprite->SetDepth(0.8f);
    focusSprite = new Sprite(textures[TEX_SLOWMODE], 0, 0, 64, 64);
    focusSprite->SetAnchor(32, 32);
    focusSprite->SetDepth(0.3f);
}

void PlayerStep() {
    if (invulnTimer > 0) invulnTimer -= 1;
    if (lifeLossTimer == 0 && run.frameCounter >= 0) Control();
    if (!ReadAction(ACT_LEFT) && !ReadAction(ACT_RIGHT)) {
        if (playerBank > 0) playerBank -= 1;
        else if (playerBank < 0) playerBank += 1;
    }
    SelectPicture();

    float ring = static_cast<float>(slowGauge) / 10.0f;
    focusSprite->SetDepth(0.8f);
    focusSprite->DrawTransformed(playerX, playerY,
                                 static_cast<float>(run.frameCounter) / 57.3f * 3.0f, ring, ring);
    // An invulnerable player flickers towards blue.
    uint32_t k = static_cast<uint32_t>(255 - 32 * (invulnTimer % 8));
    playerSprite->SetTint(0xFF0000FFu + k * 65536u + k * 256u);
    playerSprite->DrawTransformed(playerX, playerY, 0, 1, 1);
    focusSprite->SetDepth(0.31f);
    focusSprite->DrawTransformed(playerX, playerY,
                                 static_cast<float>(-run.frameCounter) / 57.3f * 3.0f, ring, ring);
}

void PlayerHit() {
    if (invulnTimer != 0 || lifeLossTimer != 0) return;
    RaiseCue(CUE_PLDEAD00);
    lifeLossTimer = 11;
    invulnTimer = 31;
}

void ApplyLifeLoss() {
    if (lifeLossTimer != 1) return;
    lifeLossTimer = 0;
    run.lives -= 1;
    if (run.lives >= 0) {
        // The lives left, over the player: a label and the digit.
        SpawnEffect({.texture = TEX_FONT1, .regionX = 190, .regionY = 190, .regionW = 32,
                     .regionH = 12, .x = playerX - 8, .y = playerY - 24, .depth = 0.85f,
                     .kind = EFFECT_LIVES, .blend = 1, .age = 8});
        SpawnEffect({.texture = TEX_FONT1, .regionX = run.lives * 16, .regionY = 208, .regionW = 14,
                     .regionH = 24, .x = playerX + 12, .y = playerY - 26, .scaleX = 0.6f,
                     .scaleY = 0.6f, .depth = 0.85f, .kind = EFFECT_LIVES, .blend = 1, .age = 8});
    }
    invulnTimer = 48;
}
