// bullets.cpp -- the enemy-bullet store: spawning, the per-frame step (graze, hit, behaviour,
// off-screen, pop-in, move), cancelling into flashes and items, and clearing.
#include "game/bullets.h"

#include <cmath>
#include <cstring>
#include <cstdlib>

#include "assets/catalogue.h"
#include "core/det_math.h"
#include "core/random.h"
#include "core/sound_cues.h"
#include "game/behaviours.h"
#include "game/boss.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/player.h"
#include "game/world.h"
#include "gfx/sprite.h"

uint8_t bulletFree[kBulletSlots];
Sprite* bulletSprite[kBulletSlots];
float bulletX[kBulletSlots];
float bulletY[kBulletSlots];
float bulletAngle[kBulletSlots];
float bulletSpeed[kBulletSlots];
float bulletScaleX[kBulletSlots];
float bulletScaleY[kBulletSlots];
int32_t bulletRegionX[kBulletSlots];
int32_t bulletRegionY[kBulletSlots];
int32_t bulletRegionW[kBulletSlots];
int32_t bulletRegionH[kBulletSlots];
int32_t spriteCode[kBulletSlots];
int32_t behaviour[kBulletSlots];
int32_t bulletAlpha[kBulletSlots];
int32_t bulletAge[kBulletSlots];
uint8_t grazed[kBulletSlots];

namespace {

// Every slot starts free, so a world step before the catalogue has made the sprites finds
// nothing to step.
struct StartFree {
    StartFree() { std::memset(bulletFree, 1, sizeof bulletFree); }
} startFree;

constexpr int kSpinningOrb = 2192;  // the big orb spins instead of pointing along its flight

// Hit radius by bullet picture; a picture without an entry never touches.
int HitRadius(int code) {
    switch (code) {
        case 48: return 6;
        case 112: return 4;
        case 240: return 3;
        case 2032: return 7;
        case 2128: return 6;
        case kSpinningOrb: return 20;
        default: return 0;
    }
}

}  // namespace

void CreateBulletPool() {
    for (int i = 0; i < kBulletSlots; i++) {
        delete bulletSprite[i];
        bulletSprite[i] = new Sprite(0, 0, 0, 0, 0);
        bulletFree[i] = 1;
    }
}

void FreeAllBullets() {
    for (int i = 0; i < kBulletSlots; i++) bulletFree[i] = 1;
}

float NormaliseAngle(float angle) {
    // The plain rule below only reaches [0, 360) from -360 upwards; anything further round
    // (or beyond what an int holds) is first brought into one turn exactly, so the direction
    // tables are never read outside their ends.
    if (!std::isfinite(angle)) return 0.0f;
    if (angle < -360.0f || angle >= 2147483520.0f) angle = detmath::Fmod(angle, 360.0f);
    if (angle < 0) angle = 360.0f - std::fabs(angle);
    int t = static_cast<int>(angle);
    return angle + static_cast<float>(t % 360) - static_cast<float>(t);
}

void SpawnBullet(const BulletSpawn& spawn) {
    const float angle = NormaliseAngle(spawn.angle);
    // The lowest free slot; memchr scans the flags many at a time.
    const void* found = std::memchr(bulletFree, 1, sizeof bulletFree);
    int i = found ? static_cast<int>(static_cast<const uint8_t*>(found) - bulletFree) : kBulletSlots;
    if (i == kBulletSlots) return;  // a full store drops the bullet; the pattern goes on
    if (bulletSprite[i] == nullptr) return;  // the catalogue has not made the pool yet

    Sprite& s = *bulletSprite[i];
    s.ChangeTexture(TextureAt(spawn.texture));
    s.SetRegion(static_cast<float>(spawn.regionX), static_cast<float>(spawn.regionY),
                static_cast<float>(spawn.regionW), static_cast<float>(spawn.regionH));
    bulletRegionX[i] = spawn.regionX;
    bulletRegionY[i] = spawn.regionY;
    bulletRegionW[i] = spawn.regionW;
    bulletRegionH[i] = spawn.regionH;
    bulletX[i] = spawn.x;
    bulletY[i] = spawn.y;
    bulletScaleX[i] = spawn.scaleX;
    bulletScaleY[i] = spawn.scaleY;
    behaviour[i] = spawn.behaviour;
    bulletAngle[i] = angle;
    bulletSpeed[i] = spawn.speed;
    bulletAlpha[i] = spawn.alpha;
    s.SetDepth(spawn.depth);
    spriteCode[i] = spawn.texture * 1000 + spawn.regionY;
    s.SetBlend(spriteCode[i] == kSpinningOrb ? 0 : 2);
    s.SetAnchor(static_cast<float>(spawn.regionW) / 2, static_cast<float>(spawn.regionH) / 2);
    bulletAge[i] = 0;
    grazed[i] = 0;
    bulletFree[i] = 0;
}

bool BulletTouches(float a, float b, int i) {
    int r = HitRadius(spriteCode[i]);
    if (r == 0) return false;
    float a1 = a / std::fabs(bulletScaleX[i]);
    float b1 = b / std::fabs(bulletScaleY[i]);
    return a1 * a1 + b1 * b1 <= static_cast<float>(r * r);
}

void BulletStep(int i) {
    bulletAngle[i] = NormaliseAngle(bulletAngle[i]);
    bulletAge[i] += 1;
    float dx = std::fabs(bulletX[i] - playerX);
    float dy = std::fabs(bulletY[i] - playerY);

    // The graze zone is the hit shape eight times larger; it counts once per bullet, also
    // while the player is invulnerable.
    if (BulletTouches(dx / 8, dy / 8, i)) {
        if (grazed[i] == 0) {
            grazed[i] = 1;
            RaiseCue(CUE_GRAZE);
            int r = Rand();
            SpawnEffect({.texture = TEX_BULLET2, .regionX = 192, .regionY = 0, .regionW = 16,
                         .regionH = 16, .x = playerX, .y = playerY, .scaleX = 0.8f, .scaleY = 0.8f,
                         .angle = static_cast<float>(r % 360), .depth = 0.6f, .kind = EFFECT_SPARK,
                         .alpha = 155, .blend = 0});
        }
        if (BulletTouches(dx, dy, i)) PlayerHit();
    }

    // The script may free this slot and spawn into it; what follows then acts on the new
    // bullet, which is drawn and moved once in the frame of its birth.
    RunBehaviour(i);

    float margin = (spriteCode[i] / 1000 == 2) ? 96.0f : 0.0f;
    if (bulletX[i] < 100 - margin || bulletY[i] < -32 - margin || bulletX[i] > 540 + margin ||
        bulletY[i] > 512 + margin)
        bulletFree[i] = 1;

    Sprite& s = *bulletSprite[i];
    s.SetRegion(static_cast<float>(bulletRegionX[i]), static_cast<float>(bulletRegionY[i]),
                static_cast<float>(bulletRegionW[i]), static_cast<float>(bulletRegionH[i]));
    s.SetTint(static_cast<uint32_t>(bulletAlpha[i]) * 16777216u + 0xFFFFFFu);

    // A new bullet pops in 1.42 times larger and shrinks to its size over 15 frames. The
    // stored scales are multiplied and divided again, so rounding may linger in them.
    bool popping = bulletAge[i] <= 15;
    float f = 0;
    if (popping) {
        f = 1.45f - 0.03f * static_cast<float>(bulletAge[i]);
        bulletScaleX[i] *= f;
        bulletScaleY[i] *= f;
    }
    double turn = spriteCode[i] == kSpinningOrb ? bulletAge[i] / 15.3 : bulletAngle[i] / 57.3;
    s.DrawTransformed(bulletX[i], bulletY[i], static_cast<float>(turn), bulletScaleX[i],
                      bulletScaleY[i]);

    int k = DirectionIndex(bulletAngle[i]);
    bulletX[i] += SinTable[k] * bulletSpeed[i];
    bulletY[i] += NegCosTable[k] * bulletSpeed[i];

    if (popping) {
        bulletScaleX[i] /= f;
        bulletScaleY[i] /= f;
    }
}

void CancelBullet(int i, bool chain) {
    bulletFree[i] = 1;
    HslToRgb(static_cast<float>(-bulletRegionX[i]) / 256.0f + 0.12f, 1.0, 0.5);
    float size = (static_cast<float>(bulletRegionW[i] / 32) * 0.5f + 1.0f) * 0.8f;
    int r1 = Rand();
    SpawnEffect({.texture = TEX_ETBREAK, .regionX = 0, .regionY = 0, .regionW = 64, .regionH = 64,
                 .x = bulletX[i], .y = bulletY[i], .scaleX = size, .scaleY = size,
                 .angle = static_cast<float>(r1 % 360), .depth = 0.21f, .kind = EFFECT_CANCEL,
                 .red = static_cast<int>(hslRed), .green = static_cast<int>(hslGreen),
                 .blue = static_cast<int>(hslBlue), .blend = 0});
    // Chain flashes spread faster than fresh ones: from a flashing bullet after two steps, and
    // during the last spell card after four, whatever the bullet. The newest effect is the one
    // adjusted (the one before it when the store was full).
    if (chain && lastEffect >= 0 && lastEffect < kEffectSlots) {
        if (behaviour[i] == 4) effectAge[lastEffect] = 3;
        if (boss.attack == 6) effectAge[lastEffect] = 1;
    }
    int r2 = Rand();
    SpawnItem({.texture = TEX_ITEM09B, .regionX = 0, .regionY = 12, .regionW = 32, .regionH = 36,
               .x = bulletX[i], .y = bulletY[i], .angle = static_cast<float>(r2 % 360),
               .type = bulletRegionW[i] / 16});
    int r3 = Rand();
    if (lastItem >= 0 && lastItem < kItemSlots) itemPhase[lastItem] = r3 % 60;
}

void ClearAllBullets() {
    for (int i = 0; i < kBulletSlots; i++) {
        if (bulletFree[i] != 0) continue;
        bulletFree[i] = 1;
        HslToRgb(static_cast<float>(-bulletRegionX[i]) / 256.0f + 0.05f, 1.0, 0.5);
        int r = Rand();
        SpawnEffect({.texture = TEX_ETBREAK, .regionX = 0, .regionY = 0, .regionW = 64,
                     .regionH = 64, .x = bulletX[i], .y = bulletY[i], .scaleX = 0.8f,
                     .scaleY = 0.8f, .angle = static_cast<float>(r % 360), .depth = 0.21f,
                     .kind = EFFECT_FLASH, .red = static_cast<int>(hslRed),
                     .green = static_cast<int>(hslGreen), .blue = static_cast<int>(hslBlue),
                     .blend = 0});
    }
}
