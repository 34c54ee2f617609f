// effects.h -- short-lived decorations of the battle: glows, sparks, flashes, the cancel flash
// that eats nearby bullets, the charge emitter and its particles, motes, the lives display, the
// boss's time ring and boss-bound pictures.
#pragma once

#include <cstdint>

#include "assets/catalogue.h"

class Sprite;

constexpr int kEffectSlots = 1500;

// Effect kinds (fixed at spawn). Kinds without a step (the boss code spawns 14) stay live,
// unseen, until the store is cleared.
enum EffectKind : int {
    EFFECT_GLOW = 0,         // shrinking glow, drawn twice, freed at age 24
    EFFECT_EMITTER = 1,      // charge emitter, invisible, freed at age 60
    EFFECT_PARTICLE = 2,     // charge particle, homes on the boss
    EFFECT_SPARK = 3,        // graze spark, freed when its scale reaches 0
    EFFECT_CANCEL = 4,       // cancel flash, cancels nearby bullets at age 5
    EFFECT_FLASH = 5,        // flash, animated, freed at age 28
    EFFECT_MOTE = 8,         // spins into the boss
    EFFECT_LIVES = 10,       // lives display over the player, freed at age 50
    EFFECT_TIME_RING = 11,   // the boss's time ring
    EFFECT_AT_BOSS = 12,     // a picture that follows the boss
};

// Per-game store (the game reset frees every slot and zeroes its value).
extern uint8_t effectFree[kEffectSlots];    // 1 = slot free
extern Sprite* effectSprite[kEffectSlots];  // per-run, made by CreateEffectPool
extern int32_t effectKind[kEffectSlots];
extern float effectX[kEffectSlots];         // position of the anchor
extern float effectY[kEffectSlots];
extern float effectScaleX[kEffectSlots];
extern float effectScaleY[kEffectSlots];
extern float effectAngle[kEffectSlots];     // degrees; rotation and, for some kinds, heading
extern int32_t effectAlpha[kEffectSlots];   // tint channels 0..255 (a negative one borrows)
extern int32_t effectRed[kEffectSlots];
extern int32_t effectGreen[kEffectSlots];
extern int32_t effectBlue[kEffectSlots];
extern int32_t effectAge[kEffectSlots];     // from the spawn's age, +1 at each step's start
extern int32_t effectValue[kEffectSlots];   // per-slot value, zeroed with the store
extern int32_t lastEffect;                  // slot of the most recent successful spawn

// Catalogue loading: one empty sprite per slot, every slot free, every value 0.
void CreateEffectPool();
// Game reset and leaving a game: every slot free, every value 0.
void FreeAllEffects();

// A new effect, field by field in the order the rules give them.
struct EffectSpawn {
    TextureId texture;
    int regionX, regionY, regionW, regionH;  // texture region, texels; the anchor is its centre
    float x, y;                              // position of the anchor
    float scaleX = 1, scaleY = 1;
    float angle = 0;                         // degrees; rotation and, for some kinds, heading
    float depth;                             // sprite depth: which drawing pass steps it
    int kind;                                // EffectKind
    int alpha = 255, red = 255, green = 255, blue = 255;  // tint channels
    int blend;                               // blend mode until the first step sets it
    int age = 0;                             // the age it starts from
};

// Takes the lowest free slot and returns it; returns 1500 and changes nothing (not even
// lastEffect) when all are live.
int SpawnEffect(const EffectSpawn& spawn);

// Steps and draws live effect i; called only by WorldStep.
void EffectStep(int i);
