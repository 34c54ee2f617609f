// input.cpp -- action reading, foreground test and key phases.
#include "input/input.h"

#include "core/callbacks.h"
#include "core/screen_flow.h"
#include "input/settings.h"

KeyPhase keyPhases[256] = {};

bool ReadAction(int action) {
    if (replayPlayback) return inputBits[action] != 0;
    // The ending after the boss's defeat is not recorded, and a replay runs it on the actions of
    // the last recorded frame; the live game does the same, so that its replay ends exactly as
    // it did (same place, same items collected, same score).
    if (screen == Screen::Game && frameCounter > 99999) return inputBits[action] != 0;
    int key = static_cast<int>(static_cast<uint32_t>(KeyBindings[action]));
    if (hge->Input_GetKeyState(key)) {
        inputBits[action] = 1;
        return true;
    }
    return false;
}

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
