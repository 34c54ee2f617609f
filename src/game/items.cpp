// items.cpp -- score items: they float up, fall, fly to a nearby or high player and add to the
// score when touched.
#include "game/items.h"

#include <cmath>
#include <cstring>
#include <cstdlib>

#include "assets/catalogue.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/player.h"
#include "game/world.h"
#include "gfx/sprite.h"

uint8_t itemFree[kItemSlots];
Sprite* itemSprite[kItemSlots];
float itemX[kItemSlots];
float itemY[kItemSlots];
float itemAngle[kItemSlots];
int32_t itemType[kItemSlots];
int32_t itemAge[kItemSlots];
uint8_t attracted[kItemSlots];
int32_t itemPhase[kItemSlots];
int32_t lastItem = 0;

namespace {

// Every slot starts free, so a world step before the catalogue has made the sprites finds
// nothing to step.
struct StartFree {
    StartFree() { std::memset(itemFree, 1, sizeof itemFree); }
} startFree;

int64_t Worth(int type) {
    switch (type) {
        case 1: return 1;
        case 2: return 2;
        case 4: return 10;
        default: return 0;
    }
}

}  // namespace

void CreateItemPool() {
    for (int i = 0; i < kItemSlots; i++) {
        delete itemSprite[i];
        itemSprite[i] = new Sprite(0, 0, 0, 0, 0);
        itemFree[i] = 1;
    }
}

void FreeAllItems() {
    for (int i = 0; i < kItemSlots; i++) itemFree[i] = 1;
}

int SpawnItem(const ItemSpawn& spawn) {
    // The lowest free slot; memchr scans the flags many at a time.
    const void* found = std::memchr(itemFree, 1, sizeof itemFree);
    int i = found ? static_cast<int>(static_cast<const uint8_t*>(found) - itemFree) : kItemSlots;
    if (i == kItemSlots) return kItemSlots;
    if (itemSprite[i] == nullptr) return kItemSlots;  // the catalogue has not made the pool yet

    Sprite& s = *itemSprite[i];
    s.ChangeTexture(TextureAt(spawn.texture));
    s.SetRegion(static_cast<float>(spawn.regionX), static_cast<float>(spawn.regionY),
                static_cast<float>(spawn.regionW), static_cast<float>(spawn.regionH));
    s.SetDepth(0.75f);
    s.SetAnchor(static_cast<float>(spawn.regionW) / 2, static_cast<float>(spawn.regionH) / 2);
    itemX[i] = spawn.x;
    itemY[i] = spawn.y;
    itemAngle[i] = spawn.angle;
    itemType[i] = spawn.type;
    itemPhase[i] = 0;
    itemAge[i] = 0;
    attracted[i] = 0;
    itemFree[i] = 0;
    lastItem = i;
    return i;
}

void ItemStep(int i) {
    itemAge[i] += 1;
    float dx = std::fabs(itemX[i] - playerX);
    float dy = std::fabs(itemY[i] - playerY);

    // Items fly to a player who is high on the field or within 40 pixels.
    if (playerY <= 144 || dx * dx + dy * dy <= 1600) attracted[i] = 1;

    if (attracted[i]) {
        itemAngle[i] = AngleTo(itemX[i], itemY[i], playerX, playerY, 0);
        int k = DirectionIndex(itemAngle[i]);
        itemX[i] += SinTable[k] * 6.0f;
        itemY[i] += NegCosTable[k] * 6.0f;
    } else {
        // Rising and slowing, then falling ever faster up to 2 pixels a frame.
        int a = itemAge[i];
        if (a <= 50) {
            itemY[i] -= static_cast<float>(50 - a) * 0.02f;
        } else if (a <= 80) {
            itemY[i] += static_cast<float>(a - 50) * 0.066f;
        } else {
            itemY[i] += 2.0f;
        }
    }
    itemAngle[i] += 0.8f;

    if (dx + dy <= 18) {
        attracted[i] = 1;
        RaiseCue(CUE_ITEM00);
        itemFree[i] = 1;
        run.score += Worth(itemType[i]);
    }

    // Drawn also in the frame it is collected; it flips like a coin every 60 frames.
    Sprite& s = *itemSprite[i];
    float size = (static_cast<float>(itemType[i]) * 0.5f + 0.5f) * 0.8f;
    s.SetBlend(1);
    s.SetTint(0x9B373737);
    float flip = static_cast<float>(std::abs((itemPhase[i] + itemAge[i]) % 60 - 30)) / 30.0f * size;
    s.DrawTransformed(itemX[i], itemY[i], itemAngle[i] / 57.3f, flip, size);

    if (itemY[i] >= 480) itemFree[i] = 1;
}
