// keys.h -- every reading of the keyboard outside play: the foreground-window test, key phases
// for text fields, and the six menu keys with their latches (each menu action fires once per
// press).
#pragma once

#include <cstdint>
#include <initializer_list>

#include "core/state.h"

enum class KeyPhase : uint8_t { Idle = 0, Pressed = 1, Held = 2, Released = 3 };

// Per-run: the last polled phase of each key.
extern KeyPhase keyPhases[256];

// The program's window has the keyboard focus.
bool IsForeground();
// IsForeground() and the key is held.
bool KeyHeldFocused(int key);
// Polls key k and returns its new phase (Idle while another window has focus).
KeyPhase PollKeyPhase(int key);

// Whether the fixed or the bound key of a menu key is held.
bool MenuKeyHeld(MenuKey key);
// A menu may act on the key: one of its keys is held and its latch is open.
inline bool MenuKeyPressed(MenuKey key) { return MenuKeyHeld(key) && Latch(key) == 0.0f; }
// A menu acts on the key: true once per press, closing the key's latch when it does.
bool TakeMenuKey(MenuKey key);
// Closes the latches of the given keys, so keys held across a change of screen do not act again.
void LatchMenuKeys(std::initializer_list<MenuKey> keys);
// Closes every menu latch.
void SetAllMenuLatches();
// Opens again the latch of every menu key (in MenuKey order) whose two keys are both up.
void ReleaseMenuLatches();
