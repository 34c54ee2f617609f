// settings.h -- the eight key bindings and the settings file Keyconfig.ini: bindings, music and
// sound-effect volumes, the auto-bomb switch and the window mode; and the key configuration's
// capture of a new key and its list of bound keys.
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

// The on-screen names of the keys that are neither letters nor digits, by key code (nullptr
// for a key without a name). Every name is made of the capitals A to Z only.
extern const char* const keyNames[256];

// Reads all twelve values from Keyconfig.ini in the current directory; anything missing or not
// a number reads as 0.
void LoadSettings();
// Writes all twelve values, updating the file in place (sections KeyPress, Sound, System).
void SaveSettings();
// Called each frame by the key configuration while it waits for a key: once both Confirm keys
// are released, binds the lowest held key code to the action under menuCursor (Escape
// cancels), stops the wait and sets every latch.
void CaptureKey();
// Draws the eight action labels and their keys with overlaySprite (the caller has put the
// options labels on it), slid by menuSlide.
void DrawKeyNames();
