// attacks.cpp -- the boss's attack scripts: three ordinary attacks, three spell cards and the
// defeat sequence, each a timeline of the boss's age, and the tail that hands over to the next.
#include "game/attacks.h"

#include <cmath>

#include "core/random.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/player.h"
#include "game/world.h"

float waveInterval = 0;

void ResetAttackState() { waveInterval = 0; }

namespace {

constexpr float kBulletDepth = 0.31f;

// --- Shared pieces ----------------------------------------------------------------------

void ShotSound() { RaiseCue(CUE_TAN01); }

// A glow at the boss as it fires; column picks the colour.
void ChargeFlash(int column) {
    SpawnEffect({.texture = TEX_BULLET1, .regionX = column, .regionY = 209, .regionW = 32,
                 .regionH = 30, .x = boss.x, .y = boss.y, .scaleX = 3, .scaleY = 3, .depth = 0.21f,
                 .kind = EFFECT_GLOW, .blend = 0});
}

// An invisible emitter over the centre that streams charge particles into the boss.
void CentreBurst() {
    SpawnEffect({.texture = TEX_BULLET1, .regionX = 0, .regionY = 0, .regionW = 32, .regionH = 32,
                 .x = 320, .y = 160, .angle = 330, .depth = 0.88f, .kind = EFFECT_EMITTER,
                 .blend = 2});
}

// A bullet fired from the boss at scale 1, depth 0.31, full opacity.
void FireFromBoss(TextureId texture, int regionX, int regionY, int size, float angle, float speed,
                  int script) {
    SpawnBullet({.texture = texture, .regionX = regionX, .regionY = regionY, .regionW = size,
                 .regionH = size, .x = boss.x, .y = boss.y, .angle = angle, .depth = kBulletDepth,
                 .speed = speed, .behaviour = script});
}

void FanPellet(float angle) { FireFromBoss(TEX_BULLET1, 64, 112, 16, angle, 2, 1); }
void RingPellet(float angle) { FireFromBoss(TEX_BULLET1, 96, 112, 16, angle, 2, 1); }
void ColourRingPellet(int n, float angle) {
    FireFromBoss(TEX_BULLET1, 16 + 16 * n, 112, 16, angle, 3.2f, 2);
}
void BigOrb(float angle, float speed, int script) {
    FireFromBoss(TEX_BULLET3, 64, 192, 64, angle, speed, script);
}
void AimedPellet(float angle) { FireFromBoss(TEX_BULLET1, 32, 48, 16, angle, 3, 0); }
void AimedGrain(float angle) { FireFromBoss(TEX_BULLET1, 16, 240, 8, angle, 3, 0); }
void Star(float angle, float speed) { FireFromBoss(TEX_BULLET3, 32, 128, 32, angle, speed, 1); }
void SpiralBall(int n, float angle) { FireFromBoss(TEX_BULLET3, 32 + 32 * n, 32, 32, angle, 5, 0); }

float AimAtPlayer(float offset) { return AngleTo(boss.x, boss.y, playerX, playerY, offset); }

// Five fans 72 degrees apart, each 2k + 1 pellets wide with d degrees between pellets.
void Volley(int k, float d) {
    ShotSound();
    ChargeFlash(32);
    int r = Rand() % 360;
    for (int i = 0; i <= 4; i++) {
        for (int j = -k; j <= k; j++) {
            FanPellet(static_cast<float>(i * 72 + r) + static_cast<float>(j) * d);
        }
    }
}

// 180 pellets two degrees apart, turned by a random fraction.
void Ring() {
    ChargeFlash(64);
    int r = Rand();
    float q = static_cast<float>(r % 100) / 10;
    for (int i = 0; i <= 179; i++) RingPellet(static_cast<float>(2 * i) + q);
}

// One of the four diagonals: rightwards (60 or 120) on an even draw, leftwards otherwise.
void RandomHeading() {
    int r = Rand();
    int side = Rand();
    if (r % 2 == 0) {
        boss.heading = static_cast<float>((side % 2) * 60 + 60);
    } else {
        boss.heading = static_cast<float>((side % 2) * 60 + 240);
    }
}

// The spell cards open by gliding to the centre of the field during their first second.
void MoveToCentre(float impulse) {
    boss.heading = AngleTo(boss.x, boss.y, 320, 160, 0);
    BossImpulse(impulse, 60, 0);
    if (std::fabs(boss.x - 320) + std::fabs(boss.y - 160) <= 2) boss.speed = 0;
}

// A new movement starting now: every frame after, BossImpulse shapes it from moveStart.
void StartMove() { boss.moveStart = static_cast<float>(boss.age); }
void KeepMoving(float impulse, int length) {
    int start = static_cast<int>(boss.moveStart);
    BossImpulse(impulse, start + length, start + 1);
}

void SendItemsToPlayer() {
    for (int i = 0; i < kItemSlots; i++) attracted[i] = 1;
}

// --- Attack 1: fans and rings -------------------------------------------------------------

void Attack1() {
    int age = boss.age;
    if (age == 1) boss.sheetRow = 160;
    if (age <= 151 && age % 30 == 1) Volley(3 * (age / 30), 1);
    if (age == 180) boss.sheetRow = 0;
    if (age >= 180 && age <= 250) {
        if (age == 180 || age == 215 || age == 250) {
            boss.heading += 120;
            StartMove();
        }
        KeepMoving(1, 35);
    }
    if (age == 250) CentreBurst();
    if (age == 360 || age == 370 || age == 380) {
        ShotSound();
        Ring();
    }
    if (age == 450) boss.sheetRow = 160;
    if (age >= 450 && age <= 600 && (age - 450) % 30 == 0) Volley(3 * ((age - 450) / 30), 1);
    if (age == 600) boss.sheetRow = 0;
    if (age >= 630 && age <= 689) {
        if (age == 630) {
            boss.heading = 120;
            StartMove();
        }
        KeepMoving(1, 60);
    }
    if (age == 690) boss.sheetRow = 160;
    if (age >= 690 && age <= 810 && (age - 690) % 30 == 0) Volley(3 * ((age - 570) / 30), 1);
    if (age == 840) boss.sheetRow = 0;
    if (age >= 840 && age <= 869) {
        if (age == 840) {
            boss.heading = 30;
            StartMove();
        }
        KeepMoving(1, 30);
    }
    if (age == 870) boss.sheetRow = 160;
    if (age >= 870 && age <= 1020 && (age - 870) % 30 == 0) Volley(2 * ((age - 600) / 30), 1.5f);
    if (age == 1050) {
        boss.sheetRow = 0;
        boss.heading = 0;
    }
    if (age >= 1050 && age <= 1170) {
        if (age == 1050 || age == 1110 || age == 1170) {
            boss.heading += 120;
            StartMove();
        }
        KeepMoving(1, 60);
    }
    if (age == 1160) CentreBurst();
    if (age == 1260 || age == 1270 || age == 1280) Ring();
}

// --- Attack 2 (spell card): shrinking colour rings, then orbs and aimed pellets -----------

void Attack2() {
    int age = boss.age;
    if (age <= 60) MoveToCentre(4);
    if (age == 60) boss.sheetRow = 160;
    if (age == 120) boss.sheetRow = 0;
    if (age >= 120 && age <= 419) {
        if (age % 30 == 0) {
            RandomHeading();
            StartMove();
        }
        KeepMoving(0.6f, 40);
    }
    if (age >= 100 && age <= 360 && (age - 100) % 20 == 0) {
        ShotSound();
        ChargeFlash(32 + 32 * ((age - 90) / 40));
        int r = Rand();
        float q = static_cast<float>(r % 100) / 10;
        // Each ring has half a pellet fewer than the last; the whole part is fired, so the gap
        // between the last pellet and the first is a little wider than the others.
        float t = 60 - static_cast<float>(age - 90) / 20;
        int n = (age - 90) / 20;
        int count = static_cast<int>(t);
        for (int i = 0; i < count; i++) {
            ColourRingPellet(n, static_cast<float>(i) * (360 / t) + q);
        }
    }
    if (age == 360) CentreBurst();
    if (age == 420) {
        boss.speed = 0;
        boss.heading = 0;
    }
    if (age >= 480) {
        if (age % 30 == 0) {
            RandomHeading();
            StartMove();
        }
        KeepMoving(0.6f, 40);
        if (age % 60 <= 40) {
            if (age % 10 == 0) BigOrb(AimAtPlayer(0), 4, 3);
            if (age % 2 == 0) {
                int r = Rand();
                AimedPellet(AimAtPlayer(static_cast<float>(r % 200) / 10 - 10));
            }
            if (age % 3 == 0) {
                int r = Rand();
                AimedGrain(AimAtPlayer(static_cast<float>(r % 200) / 10 - 10));
            }
        }
    }
}

// --- Attack 3: waves of stars -------------------------------------------------------------

// One pair of stars either side of the line at angle base, `spread` degrees off it.
void StarPair(float base, float spread, float speed) {
    Star(base + spread, speed);
    Star(base - spread, speed);
}

void StarWave(int age, float r) {
    for (int i = 0; i <= 14; i++) {
        float base = r + static_cast<float>(24 * i);
        if (age == 360) {
            Star(base, 4);
        } else if (age == 390) {
            for (int j = 0; j <= 2; j++) {
                StarPair(base, 1.2f * static_cast<float>(j) + 0.5f, 4 - 0.5f * static_cast<float>(j));
            }
        } else if (age == 420) {
            for (int j = 0; j <= 4; j++) {
                StarPair(base, 1.2f * static_cast<float>(j) + 0.5f, 4 - 0.3f * static_cast<float>(j));
            }
        } else {
            // 450 fires every other line; 480 and 510 all thirteen, opening wider each time.
            int step = age == 450 ? 2 : 1;
            float widen = 1 + 0.007f * static_cast<float>(age - 420);
            for (int j = 0; j <= 12; j += step) {
                float fj = static_cast<float>(j);
                StarPair(base, 0.6f * fj * widen + 0.5f, 4 - 0.1f * fj);
            }
        }
    }
}

void Attack3() {
    if (boss.age == 60) {
        boss.sheetRow = 160;
        boss.age = 359;
    }
    int age = boss.age;
    if (age >= 360 && age <= 510 && (age - 360) % 30 == 0) {
        ShotSound();
        ChargeFlash(32);
        int draw = Rand();
        float r = static_cast<float>(draw % 360);
        StarWave(age, r);
    }
    if (age == 540) boss.sheetRow = 0;
    if (age >= 540 && age <= 639) {
        if (age % 30 == 0) {
            RandomHeading();
            StartMove();
        }
        KeepMoving(1, 30);
    }
    if (age == 640) {
        boss.age = 359;
        boss.sheetRow = 160;
        boss.speed = 0;
    }
}

// --- Attack 4 (spell card): rain and a falling curtain with one gap ------------------------

void RainWave() {
    for (int i = 0; i <= 15; i++) {
        int r1 = Rand();
        float s = static_cast<float>(r1 % 50) / 100 + 2;
        int r2 = Rand();
        float a = static_cast<float>(r2 % 100) / 10 + 180 - 5;
        SpawnBullet({.texture = TEX_BULLET1, .regionX = 96, .regionY = 112, .regionW = 16,
                     .regionH = 16, .x = static_cast<float>(i * 30 + 80), .y = 0, .angle = a,
                     .depth = kBulletDepth, .speed = s, .behaviour = 0});
    }
    // Sixty columns with nine left out at a random place: a wall of 51 pellets.
    int r3 = Rand();
    int g = r3 % 30 + 10;
    for (int i = 0; i <= 59; i++) {
        if (i <= g || i >= g + 10) {
            int r4 = Rand();
            float y = -(static_cast<float>(r4 % 100) / 10);
            SpawnBullet({.texture = TEX_BULLET1, .regionX = 208, .regionY = 48, .regionW = 16,
                         .regionH = 16, .x = static_cast<float>(i * 8 + 80), .y = y, .angle = 180,
                         .depth = kBulletDepth, .speed = 2, .behaviour = 4});
        }
    }
}

void Attack4() {
    if (boss.age <= 60) MoveToCentre(4);
    if (boss.age == 120) {
        boss.sheetRow = 160;
        boss.age = 300;
        waveInterval = 60;
    }
    if (boss.age == 300) RainWave();
    // The waves come closer together until they are 15 frames apart.
    if (static_cast<float>(boss.age) >= 300 + waveInterval) {
        if (waveInterval > 14) waveInterval -= 2;
        boss.age = 299;
    }
}

// --- Attack 5: the boss darts about firing fans of orbs at the player --------------------

void Attack5() {
    int age = boss.age;
    if (age < 120) return;
    int phase = (age - 120) % 90;
    if (phase == 0) {
        // Away from the walls and the top; in between the heading is kept.
        if (boss.x < 160) {
            int r = Rand();
            boss.heading = static_cast<float>((r % 2) * 40 + 70);
        }
        if (boss.x > 480) {
            int r = Rand();
            boss.heading = static_cast<float>((r % 2) * 40 + 250);
        }
        if (std::fabs(boss.x - 320) < 50) {
            if (boss.y > 80) {
                int r = Rand();
                boss.heading = static_cast<float>((r % 2) * 140 - 70);
            }
            if (boss.y < 80) {
                int r = Rand();
                boss.heading = static_cast<float>((r % 2) * 140 + 110);
            }
        }
        StartMove();
    }
    KeepMoving(4, 90);
    if (phase <= 35 && (age - 120) % 8 == 0) {
        ShotSound();
        float a = AimAtPlayer(0);
        for (int i = -2; i <= 2; i++) BigOrb(a + static_cast<float>(45 * i), 5, 5);
    }
}

// --- Attack 6 (spell card): a turning spiral ----------------------------------------------

// A chain of cancel flashes passing over the boss silences it.
bool CancelFlashOnBoss() {
    for (int i = 0; i < kEffectSlots; i++) {
        if (effectFree[i] != 0 || effectKind[i] != EFFECT_CANCEL) continue;
        float dx = effectX[i] - boss.x;
        float dy = effectY[i] - boss.y;
        if (dx * dx + dy * dy <= 36) return true;
    }
    return false;
}

void Attack6() {
    int age = boss.age;
    if (age <= 60) MoveToCentre(5);
    if (age >= 120 && age % 4 == 0) RaiseCue(CUE_TAN00);
    if (age >= 120 && age % 2 == 0 && !CancelFlashOnBoss()) {
        int n = (age % 360) / 60;
        for (int i = 0; i <= 14; i++) {
            SpiralBall(n, 3.1f * static_cast<float>(age) + static_cast<float>(24 * i));
        }
    }
}

// --- Attack 7: the defeat -----------------------------------------------------------------

void Defeat() {
    for (int blast = 0; blast < 4; blast++) {
        int r1 = Rand();
        (void)r1;  // only advances the generator
        int r2 = Rand();
        int r3 = Rand();
        int r4 = Rand();
        float x = (boss.x + static_cast<float>(r4 % 256)) - 128;
        float y = (boss.y + static_cast<float>(r3 % 256)) - 128;
        SpawnEffect({.texture = TEX_BULLET2, .regionX = 192, .regionY = 224, .regionW = 32,
                     .regionH = 32, .x = x, .y = y, .scaleX = 1.5f, .scaleY = 1.5f,
                     .angle = static_cast<float>(r2 % 360), .depth = 0.21f, .kind = EFFECT_MOTE,
                     .red = 21, .green = 0, .blue = 169, .blend = 0});
    }
    SendItemsToPlayer();
    // Held against the stage script's countdown, so the timer keeps showing what attack 6 left.
    attackTimer += 1;
    int r5 = Rand();
    shakeLevel = static_cast<float>(r5 % 32);
    int r6 = Rand();
    shakeX = static_cast<float>(r6 % 240) / 10;
    int r7 = Rand();
    shakeY = static_cast<float>(r7 % 240) / 10;
    if (boss.age == 60) {
        shakeLevel = 0;
        run.frameCounter = 100000;  // the ending begins
        bossActive = 0;
        ClearAllBullets();
        boss.freeFlag = 1;
        RaiseCue(CUE_ENEP01);
    }
}

// --- Attack tails -------------------------------------------------------------------------

// The hand-over to the next attack: new timer, resets, a cleared screen, and for a spell card
// its declaration sound and backdrop.
void EndAttack(int attack) {
    switch (attack) {
    case 1:
        attackTimer = attackLength = 780;
        ClearAllBullets();
        break;
    case 2:
        attackTimer = attackLength = 1140;
        ClearAllBullets();
        break;
    case 3:
        attackTimer = attackLength = 1320;
        boss.speed = 0;
        boss.heading = 0;
        ClearAllBullets();
        break;
    case 4:
        attackTimer = attackLength = 1140;
        boss.sheetRow = 0;
        ClearAllBullets();
        break;
    case 5:
        attackTimer = attackLength = 1380;
        boss.speed = 0;
        boss.heading = 0;
        ClearAllBullets();
        break;
    default:
        // The last card: no clearing; the defeat sequence takes over with the shake on.
        SendItemsToPlayer();
        boss.age = 0;
        attackTimer = 2;
        shakeLevel = 1.0f;
        boss.attack += 1;
        spellBackdrop = false;
        return;
    }
    boss.attack += 1;
    boss.age = 0;
    bool spellCardNext = attack % 2 == 1;
    if (spellCardNext) RaiseCue(CUE_CAT00);
    spellBackdrop = spellCardNext;
}

}  // namespace

void AttackScript(int attack) {
    if (attack < 1 || attack > 7) return;
    if (attack == 7) {
        Defeat();
        return;
    }

    // The life bar fills during the first second, then drains with the time left.
    if (boss.age <= 60) boss.life = static_cast<float>(boss.age) * boss.maxLife / 60;
    if (boss.age >= 60) {
        boss.life = static_cast<float>(attackTimer) * boss.maxLife /
                    static_cast<float>(attackLength - 60);
    }

    switch (attack) {
    case 1: Attack1(); break;
    case 2: Attack2(); break;
    case 3: Attack3(); break;
    case 4: Attack4(); break;
    case 5: Attack5(); break;
    case 6: Attack6(); break;
    }

    if (attackTimer <= 1) EndAttack(attack);
}
