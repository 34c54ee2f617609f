// behaviours.cpp -- the per-frame scripts of enemy bullets: launch burst, walls, glow, flash and
// fall, wall burst. They keep no state of their own; everything follows from age and position.
#include "game/behaviours.h"

#include <cmath>

#include "core/det_math.h"
#include "core/random.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/world.h"
#include "gfx/sprite.h"

namespace {

float Distance(float dx, float dy) { return detmath::Sqrt(dx * dx + dy * dy); }

// The flash a bullet leaves when it changes or bursts, sized by the bullet, in the colour of
// the last HSL conversion.
void BulletFlash(int i) {
    float size = (static_cast<float>(bulletRegionW[i] / 32) * 0.5f + 1.0f) * 0.8f;
    int r = Rand();
    SpawnEffect({.texture = TEX_ETBREAK, .regionX = 0, .regionY = 0, .regionW = 64, .regionH = 64,
                 .x = bulletX[i], .y = bulletY[i], .scaleX = size, .scaleY = size,
                 .angle = static_cast<float>(r % 360), .depth = 0.21f, .kind = EFFECT_FLASH,
                 .red = static_cast<int>(hslRed), .green = static_cast<int>(hslGreen),
                 .blue = static_cast<int>(hslBlue), .blend = 0});
}

void Stop(int i, float targetX, float targetY) {
    bulletSpeed[i] = 0;
    behaviour[i] = 0;
    bulletAngle[i] = AngleTo(bulletX[i], bulletY[i], targetX, targetY, 0);
}

// Each colour column stops 10, 14 or 8 pixels further inside than the one before, so bullets
// of different colours build separate layers of wall along the field's edges.
void Walls(int i) {
    if (bulletAge[i] < 6) return;
    int k = bulletRegionX[i] / 16;
    float x = bulletX[i], y = bulletY[i];
    if (y < static_cast<float>(10 * k)) {
        Stop(i, 320, -80);
    } else if (Distance(std::fabs(x - 320), std::fabs(y - 1080)) < static_cast<float>(600 + 14 * k)) {
        Stop(i, 320, 1080);
    } else if (Distance(std::fabs(x + 600), std::fabs(y - 240)) < static_cast<float>(730 + 8 * k)) {
        Stop(i, -600, 240);
    } else if (Distance(std::fabs(x - 1240), std::fabs(y - 240)) < static_cast<float>(730 + 8 * k)) {
        Stop(i, 1240, 240);
    }
}

void FlashAndFall(int i) {
    if (bulletAge[i] == 72) {
        HslToRgb(static_cast<float>(-bulletRegionX[i]) / 256.0f, 1.0, 0.5);
        BulletFlash(i);
    } else if (bulletAge[i] == 78) {
        float x = bulletX[i], y = bulletY[i];
        behaviour[i] = 0;
        bulletFree[i] = 1;
        int r1 = Rand();
        int r2 = Rand();
        float angle = static_cast<float>(r2 % 100) / 10.0f + 180.0f - 5.0f;
        float speed = static_cast<float>(r1 % 150) / 100.0f + 2.5f;
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 64, .regionY = 112, .regionW = 16,
                     .regionH = 16, .x = x, .y = y, .angle = angle, .depth = 0.31f, .speed = speed,
                     .behaviour = 0});
    }
}

void WallBurst(int i) {
    if (!(bulletX[i] < 120 || bulletX[i] > 520)) return;
    float x = bulletX[i], y = bulletY[i];
    bulletFree[i] = 1;
    BulletFlash(i);  // keeps whatever colour the last conversion left
    for (int ring = 0; ring < 4; ring++) {
        for (int j = 0; j < 16; j++) {
            float angle = static_cast<float>(ring * 90) + static_cast<float>(j) * 5.625f;
            SpawnBullet({.texture = TEX_BULLET1, .regionX = 32, .regionY = 48, .regionW = 16,
                         .regionH = 16, .x = x, .y = y, .angle = angle, .depth = 0.31f,
                         .speed = 1.8f, .behaviour = 0});
        }
    }
}

}  // namespace

void SpeedBurst(float burst, int end, int start, int i) {
    int a = bulletAge[i];
    if (a > end + 1) return;
    if (a == start + 1) {
        bulletSpeed[i] += burst;
    } else {
        bulletSpeed[i] -= burst / static_cast<float>(end - start);
    }
}

void RunBehaviour(int i) {
    switch (behaviour[i]) {
        case 1:
            SpeedBurst(5.0f, 15, 0, i);
            break;
        case 2:
            SpeedBurst(5.0f, 15, 0, i);
            Walls(i);
            break;
        case 3:
            bulletSprite[i]->SetBlend(0);
            break;
        case 4:
            FlashAndFall(i);
            break;
        case 5:
            WallBurst(i);
            break;
        default:
            break;
    }
}
