// settings.h -- the eight key bindings and the settings file Keyconfig.ini: bindings, music and
// sound-effect volumes, the auto-bomb switch and the window mode.
#pragma once

#include <cstdint>

constexpr int kActionCount = 8;
enum Action : int { ACT_UP = 0, ACT_DOWN, ACT_LEFT, ACT_RIGHT, ACT_SLOW, ACT_SHOOT, ACT_BOMB, ACT_SKIP };

// Per-run: the virtual-key code bound to each action (0 names no key).
extern int64_t KeyBindings[kActionCount];
// Per-run settings, read from and written to the settings file.
extern int32_t musicVolume;  // percent
extern int32_t seVolume;     // percent
extern int32_t autoBomb;     // stored and shown only
extern int32_t windowed;     // 1 windowed, anything else full screen

// Reads all twelve values; anything missing or not a number reads as 0.
void LoadSettings();
// Writes all twelve values, updating the file in place.
void SaveSettings();
