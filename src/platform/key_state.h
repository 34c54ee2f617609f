// key_state.h -- the keyboard and mouse buttons as the game reads them, made from the platform's
// key and button events. A key reads held while it is down, and a press that went down and up
// again between two frames (a tap on a touchpad, a quick click, a key struck fast) reads held for
// the frame that follows it, so the game, which looks at keys once a frame, never loses a press.
// A key held across frames reads exactly as its events say.
#pragma once

#include <array>

class KeyState {
public:
    // A new frame is about to read the keys: the taps of the frame before are over. Called
    // before the events that came since that frame are applied.
    void NextFrame() { tapped_.fill(false); }
    // The key (a Windows virtual-key code, 1..255; others are ignored) went down or up.
    void Press(int vk);
    void Release(int vk);
    // Every key up at once, taps included (the window lost the keyboard).
    void ReleaseAll();
    // Down now, or pressed since the frame began. The generic Shift, Ctrl and Alt codes are held
    // while either side is.
    bool Held(int vk) const;

private:
    bool HeldSide(int vk) const { return down_[vk] || tapped_[vk]; }

    std::array<bool, 256> down_{};
    std::array<bool, 256> tapped_{};
};
