// key_state.cpp -- keys held, and keys tapped between two frames.
#include "platform/key_state.h"

#include "platform/engine.h"

void KeyState::Press(int vk) {
    if (vk <= 0 || vk > 255) return;
    down_[vk] = true;
    tapped_[vk] = true;
}

void KeyState::Release(int vk) {
    if (vk <= 0 || vk > 255) return;
    down_[vk] = false;
}

void KeyState::ReleaseAll() {
    down_.fill(false);
    tapped_.fill(false);
}

bool KeyState::Held(int vk) const {
    switch (vk) {
        case VK_SHIFT: return HeldSide(VK_LSHIFT) || HeldSide(VK_RSHIFT) || HeldSide(VK_SHIFT);
        case VK_CONTROL: return HeldSide(VK_LCONTROL) || HeldSide(VK_RCONTROL) || HeldSide(VK_CONTROL);
        case VK_MENU: return HeldSide(VK_LMENU) || HeldSide(VK_RMENU) || HeldSide(VK_MENU);
        default: return vk > 0 && vk <= 255 && HeldSide(vk);
    }
}
