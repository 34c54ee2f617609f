// keys.cpp -- foreground test, key phases, and the menu keys with their latches.
#include "input/keys.h"

KeyPhase keyPhases[256] = {};

namespace {

// Each menu key's fixed key and the action whose bound key also counts, in MenuKey order.
constexpr int kFixedKey[kMenuKeyCount] = {VK_ESCAPE, VK_RETURN, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};
constexpr Action kBoundAction[kMenuKeyCount] = {ACT_BOMB, ACT_SHOOT, ACT_UP, ACT_DOWN, ACT_LEFT, ACT_RIGHT};

bool BoundKeyHeld(int64_t key) {
    // A binding of 0 names no key; anything outside the key codes is never held.
    return key > 0 && key < 256 && hge->Input_GetKeyState(static_cast<int>(key));
}

}  // namespace

bool IsForeground() {
    return hge->System_GetForegroundWindow() == hge->System_GetState(HGE_HWND);
}

bool KeyHeldFocused(int key) { return IsForeground() && hge->Input_GetKeyState(key); }

KeyPhase PollKeyPhase(int key) {
    if (!IsForeground()) return KeyPhase::Idle;
    KeyPhase& phase = keyPhases[key & 255];
    if (phase == KeyPhase::Released) phase = KeyPhase::Idle;
    bool down = phase == KeyPhase::Pressed || phase == KeyPhase::Held;
    if (hge->Input_GetKeyState(key)) {
        phase = down ? KeyPhase::Held : KeyPhase::Pressed;
    } else {
        phase = down ? KeyPhase::Released : KeyPhase::Idle;
    }
    return phase;
}

bool MenuKeyHeld(MenuKey key) {
    int k = static_cast<int>(key);
    return hge->Input_GetKeyState(kFixedKey[k]) ||
           BoundKeyHeld(settings.KeyBindings[kBoundAction[k]]);
}

bool TakeMenuKey(MenuKey key) {
    if (!MenuKeyPressed(key)) return false;
    Latch(key) = 1.0f;
    return true;
}

void LatchMenuKeys(std::initializer_list<MenuKey> keys) {
    for (MenuKey key : keys) Latch(key) = 1.0f;
}

void SetAllMenuLatches() {
    for (float& latch : menus.menuKeyLatch) latch = 1.0f;
}

void ReleaseMenuLatches() {
    for (int k = 0; k < kMenuKeyCount; ++k) {
        if (!MenuKeyHeld(static_cast<MenuKey>(k))) menus.menuKeyLatch[k] = 0.0f;
    }
}
