// effects.cpp -- the effect store and the step of every effect kind: glows, the charge emitter
// and its particles, sparks, flashes and the cancel flash, motes, the lives display, the boss's
// time ring and boss-bound pictures.
#include "game/effects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "assets/catalogue.h"
#include "core/det_math.h"
#include "core/random.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/world.h"
#include "gfx/sprite.h"

uint8_t effectFree[kEffectSlots];
Sprite* effectSprite[kEffectSlots];
int32_t effectKind[kEffectSlots];
float effectX[kEffectSlots];
float effectY[kEffectSlots];
float effectScaleX[kEffectSlots];
float effectScaleY[kEffectSlots];
float effectAngle[kEffectSlots];
int32_t effectAlpha[kEffectSlots];
int32_t effectRed[kEffectSlots];
int32_t effectGreen[kEffectSlots];
int32_t effectBlue[kEffectSlots];
int32_t effectAge[kEffectSlots];
int32_t effectValue[kEffectSlots];
int32_t lastEffect = 0;

namespace {

// Every slot starts free, so a world step before the catalogue has made the sprites finds
// nothing to step.
struct StartFree {
    StartFree() { std::memset(effectFree, 1, sizeof effectFree); }
} startFree;

struct ChargeSource {
    float offX, offY;   // from the emitter
    float angle;
    int colour;         // 0 red, 2 blue
    bool randomShade;   // the shade is drawn before the position
};
// Eight particles per emitting frame, from four points below and beside the boss, in pairs:
// one of a random shade, one of a fixed dim shade.
const ChargeSource kChargeSources[8] = {
    {70, 300, 30, 0, true},    {70, 300, 30, 0, false},
    {-70, 300, 330, 2, true},  {-70, 300, 330, 2, false},
    {230, 150, 0, 0, true},    {230, 150, 0, 0, false},
    {-230, 150, 0, 2, true},   {-230, 150, 0, 2, false},
};

void Draw(int i) {
    effectSprite[i]->DrawTransformed(effectX[i], effectY[i], effectAngle[i] / 57.3f,
                                     effectScaleX[i], effectScaleY[i]);
}

void MoveAlong(int i, float angle, float distance) {
    int k = DirectionIndex(angle);
    effectX[i] += SinTable[k] * distance;
    effectY[i] += NegCosTable[k] * distance;
}

void ChargeEmitter(int i) {
    int age = effectAge[i];
    if (age == 1) RaiseCue(CUE_CH00);
    if (age <= 60 && (age % 2 == 0 || age >= 30)) {
        int rd = Rand();
        float depth = (rd % 9 == 0) ? 0.21f : 0.88f;
        for (const ChargeSource& c : kChargeSources) {
            int shade = 20;
            if (c.randomShade) {
                int rc = Rand();
                shade = rc % 30 + 20;
            }
            int ry = Rand();
            int rx = Rand();
            float x = effectX[i] + c.offX + static_cast<float>(rx % 80) - 40.0f;
            float y = effectY[i] + c.offY + static_cast<float>(ry % 80) - 40.0f;
            int red = c.colour == 0 ? shade : 0;
            int blue = c.colour == 2 ? shade : 0;
            SpawnEffect({.texture = TEX_PARTICLES, .regionX = 0, .regionY = 0, .regionW = 32,
                         .regionH = 32, .x = x, .y = y, .angle = c.angle, .depth = depth,
                         .kind = EFFECT_PARTICLE, .red = red, .green = 0, .blue = blue,
                         .blend = 2});
        }
    }
    if (age >= 60) effectFree[i] = 1;
}

// A particle swings round towards the boss, slowly at first, and slows as it arrives.
void ChargeParticle(int i) {
    Sprite& s = *effectSprite[i];
    int age = effectAge[i];
    float grow = std::min(static_cast<float>(age) * 0.025f, 1.0f);
    effectScaleX[i] = grow;
    effectScaleY[i] = grow;
    s.SetBlend(2);
    Draw(i);
    s.SetBlend(0);

    float a = AngleTo(effectX[i], effectY[i], boss.x, boss.y, 0);
    if (a < effectAngle[i]) a += 360.0f;
    float rate = age < 50 ? 1.0f : 4.5f;
    if (std::fabs(a - effectAngle[i]) > 1.0f) {
        if (a - effectAngle[i] > 180.0f) effectAngle[i] -= rate;
        if (a - effectAngle[i] < 180.0f) effectAngle[i] += rate;
    }
    if (effectAngle[i] > 360.0f) effectAngle[i] -= 360.0f;
    if (effectAngle[i] < 0.0f) effectAngle[i] += 360.0f;

    float dx = std::fabs(effectX[i] - boss.x);
    float dy = std::fabs(effectY[i] - boss.y);
    float d2 = dx * dx + dy * dy;
    if (d2 > 2500.0f) {
        MoveAlong(i, effectAngle[i], 5.0f);
    } else {
        MoveAlong(i, effectAngle[i], 0.9f);
        if (d2 <= 100.0f) effectFree[i] = 1;
    }
    Draw(i);
    if (age >= 400) effectFree[i] = 1;
}

void Spark(int i) {
    effectSprite[i]->SetBlend(0);
    effectScaleX[i] -= 0.025f;
    effectScaleY[i] -= 0.025f;
    int k = DirectionIndex(effectAngle[i]);
    float v = static_cast<float>(40 - effectAge[i]) / 10.0f;
    effectX[i] -= SinTable[k] * v;
    effectY[i] += NegCosTable[k] * v;
    Draw(i);
    if (effectScaleX[i] <= 0.0f) effectFree[i] = 1;
}

// A sheet of 64 x 64 pictures, four to a row, advancing every 4 ages.
void Flash(int i, bool cancels) {
    Sprite& s = *effectSprite[i];
    int age = effectAge[i];
    s.SetBlend(0);
    s.SetRegion(static_cast<float>(64 * ((age % 16) / 4)), static_cast<float>(64 * (age / 16)), 64,
                64);
    Draw(i);
    if (cancels && age == 5) {
        // The flash eats the bullets next to it, whose own flashes go on to eat theirs.
        for (int b = 0; b < kBulletSlots; b++) {
            if (bulletFree[b] != 0) continue;
            float dx = std::fabs(effectX[i] - bulletX[b]);
            float dy = std::fabs(effectY[i] - bulletY[b]);
            if (detmath::Sqrt(dx * dx + dy * dy) < static_cast<float>(bulletRegionW[b] / 2 + 12))
                CancelBullet(b, true);
        }
    }
    if (age >= 28) effectFree[i] = 1;
}

// A mote spins into the boss, shrinking through nothing into mirror image until it arrives.
void Mote(int i) {
    effectSprite[i]->SetBlend(0);
    if (std::fabs(effectX[i] - boss.x) + std::fabs(effectY[i] - boss.y) <= 4.0f) effectFree[i] = 1;
    if (effectAge[i] <= 1) {
        int r = Rand();
        effectAngle[i] = static_cast<float>(r % 360);
    }
    effectScaleX[i] -= 0.02f;
    effectScaleY[i] -= 0.02f;
    effectAngle[i] += 4.0f;
    MoveAlong(i, AngleTo(effectX[i], effectY[i], boss.x, boss.y, 0), 4.0f);
    Draw(i);
}

// The new colour shows from the next frame, since this frame's tint is already set.
void LivesDisplay(int i) {
    if (effectAge[i] % 8 < 4) {
        int grey = run.lives == 0 ? 0 : 100;
        effectRed[i] = run.lives == 0 ? 255 : 100;
        effectGreen[i] = grey;
        effectBlue[i] = grey;
    } else {
        effectRed[i] = effectGreen[i] = effectBlue[i] = 255;
    }
    effectSprite[i]->SetBlend(2);
    Draw(i);
    if (effectAge[i] >= 50) effectFree[i] = 1;
}

// Half-degree segments anticlockwise from 90 degrees, as many as the time bar holds.
void TimeRing(int i) {
    Sprite& s = *effectSprite[i];
    effectX[i] = boss.x;
    effectY[i] = boss.y;
    s.SetAnchor(54, 1);
    float segments = boss.life * 720.0f / boss.maxLife;
    int n = 0;
    if (segments > 0.0f) n = segments >= 720.0f ? 720 : static_cast<int>(segments);
    for (int j = 0; j < n; j++) {
        float turn = -(static_cast<float>(j) * 0.5f - 90.0f) / 57.3f;
        s.DrawTransformed(effectX[i], effectY[i], turn, effectScaleX[i], effectScaleY[i]);
    }
    if (boss.freeFlag == 1) effectFree[i] = 1;
}

void AtBoss(int i) {
    effectX[i] = boss.x;
    effectY[i] = boss.y;
    effectSprite[i]->DrawTransformed(effectX[i], effectY[i], 0, effectScaleX[i], effectScaleY[i]);
    if (boss.freeFlag == 1) effectFree[i] = 1;
}

}  // namespace

void CreateEffectPool() {
    for (int i = 0; i < kEffectSlots; i++) {
        delete effectSprite[i];
        effectSprite[i] = new Sprite(0, 0, 0, 0, 0);
        effectFree[i] = 1;
        effectValue[i] = 0;
    }
}

void FreeAllEffects() {
    for (int i = 0; i < kEffectSlots; i++) {
        effectFree[i] = 1;
        effectValue[i] = 0;
    }
}

int SpawnEffect(const EffectSpawn& spawn) {
    // The lowest free slot; memchr scans the flags many at a time.
    const void* found = std::memchr(effectFree, 1, sizeof effectFree);
    int i = found ? static_cast<int>(static_cast<const uint8_t*>(found) - effectFree) : kEffectSlots;
    if (i == kEffectSlots) return kEffectSlots;
    if (effectSprite[i] == nullptr) return kEffectSlots;  // the catalogue has not made the pool yet

    Sprite& s = *effectSprite[i];
    s.ChangeTexture(TextureAt(spawn.texture));
    s.SetRegion(static_cast<float>(spawn.regionX), static_cast<float>(spawn.regionY),
                static_cast<float>(spawn.regionW), static_cast<float>(spawn.regionH));
    s.SetBlend(spawn.blend);
    s.SetDepth(spawn.depth);
    s.SetAnchor(static_cast<float>(spawn.regionW) / 2, static_cast<float>(spawn.regionH) / 2);
    effectX[i] = spawn.x;
    effectY[i] = spawn.y;
    effectScaleX[i] = spawn.scaleX;
    effectScaleY[i] = spawn.scaleY;
    effectAngle[i] = spawn.angle;
    effectKind[i] = spawn.kind;
    effectAlpha[i] = spawn.alpha;
    effectRed[i] = spawn.red;
    effectGreen[i] = spawn.green;
    effectBlue[i] = spawn.blue;
    effectAge[i] = spawn.age;
    effectFree[i] = 0;
    lastEffect = i;
    return i;
}

void EffectStep(int i) {
    effectAge[i] += 1;
    // Added as whole numbers, so a channel below 0 borrows from the one above it.
    uint32_t tint = static_cast<uint32_t>(effectAlpha[i]) * 16777216u +
                    static_cast<uint32_t>(effectRed[i]) * 65536u +
                    static_cast<uint32_t>(effectGreen[i]) * 256u +
                    static_cast<uint32_t>(effectBlue[i]);
    Sprite& s = *effectSprite[i];
    s.SetTint(tint);
    s.SetBlend(2);

    switch (effectKind[i]) {
        case EFFECT_GLOW:
            if (effectScaleX[i] > 1.0f) {
                effectScaleX[i] -= 0.1f;
                effectScaleY[i] -= 0.1f;
            }
            s.SetBlend(2);
            Draw(i);
            Draw(i);
            if (effectAge[i] >= 24) effectFree[i] = 1;
            break;
        case EFFECT_EMITTER: ChargeEmitter(i); break;
        case EFFECT_PARTICLE: ChargeParticle(i); break;
        case EFFECT_SPARK: Spark(i); break;
        case EFFECT_CANCEL: Flash(i, true); break;
        case EFFECT_FLASH: Flash(i, false); break;
        case EFFECT_MOTE: Mote(i); break;
        case EFFECT_LIVES: LivesDisplay(i); break;
        case EFFECT_TIME_RING: TimeRing(i); break;
        case EFFECT_AT_BOSS: AtBoss(i); break;
        default: break;  // no step of its own: it waits, unseen, until the store is cleared
    }
}
