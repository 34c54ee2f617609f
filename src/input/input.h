// input.h -- every reading of the keyboard: the game's actions (from the keys while recording,
// from the replay during playback), the foreground-window test and key phases for text fields.
#pragma once

#include <cstdint>

enum class KeyPhase : uint8_t { Idle = 0, Pressed = 1, Held = 2, Released = 3 };

// Per-run: the last polled phase of each key.
extern KeyPhase keyPhases[256];

// Whether action a (0..7) is held this frame; while recording it also marks inputBits[a].
bool ReadAction(int action);
// The program's window has the keyboard focus.
bool IsForeground();
// IsForeground() and the key is held.
bool KeyHeldFocused(int key);
// Polls key k and returns its new phase (Idle while another window has focus).
KeyPhase PollKeyPhase(int key);
