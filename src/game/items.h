// items.h -- score items: left by cancelled bullets and by a bomb at the boss, they float up,
// fall, fly to a nearby or high player and add to the score when touched.
#pragma once

#include <cstdint>

#include "assets/catalogue.h"

class Sprite;

constexpr int kItemSlots = 1500;

// Per-game store (the game reset frees every slot).
extern uint8_t itemFree[kItemSlots];        // 1 = slot free
extern Sprite* itemSprite[kItemSlots];      // per-run, made by CreateItemPool
extern float itemX[kItemSlots];             // position of the anchor
extern float itemY[kItemSlots];
extern float itemAngle[kItemSlots];         // degrees: rotation, and flight while attracted
extern int32_t itemType[kItemSlots];        // worth: 1 -> 1, 2 -> 2, 4 -> 10, else 0; also size
extern int32_t itemAge[kItemSlots];         // 1 in the first step
extern uint8_t attracted[kItemSlots];       // 1 once it flies to the player; never cleared
extern int32_t itemPhase[kItemSlots];       // offset of the coin-flip animation
extern int32_t lastItem;                    // slot of the most recent successful spawn

// Catalogue loading: one empty sprite per slot, every slot free.
void CreateItemPool();
// Game reset and leaving a game: every slot free.
void FreeAllItems();

// A new score item, field by field in the order the rules give them.
struct ItemSpawn {
    TextureId texture;
    int regionX, regionY, regionW, regionH;  // texture region, texels; the anchor is its centre
    float x, y;                              // position of the anchor
    float angle;                             // degrees
    int type;                                // worth and size: 1, 2 or 4
};

// Takes the lowest free slot and returns it; returns 1500 and does nothing when all are live.
int SpawnItem(const ItemSpawn& spawn);

// Steps and draws live item i; called only by WorldStep.
void ItemStep(int i);
