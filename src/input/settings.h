// settings.h -- the settings file Keyconfig.ini: the eight key bindings, music and sound-effect
// volumes, the auto-bomb switch and the window mode, read into and written from `settings`.
#pragma once

#include "core/state.h"

// Each action's key in the file's KeyPress section, in action order: UP, DOWN, LEFT, RIGHT,
// SLOW, SHOOT, BOMB, SKIP.
extern const char* const kBindingKeys[kActionCount];

// Reads all twelve values from Keyconfig.ini in the current directory; anything missing or not
// a number reads as 0. Then reads the file's [Pad] and [Hotkeys] sections for the engine
// (pad_settings.h), which the game never writes.
void LoadSettings();
// Writes all twelve values, updating the file in place (sections KeyPress, Sound, System).
void SaveSettings();
// Removes what a save killed before it replaced the file left beside it (older than a minute).
void RemoveStaleSettingsTemporaries();
// Writes the window mode alone (System / Window), as SaveSettings writes it: Alt+Enter keeps
// the mode without saving what the options menu has not saved yet.
void SaveWindowMode();
