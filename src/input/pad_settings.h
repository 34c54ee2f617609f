// pad_settings.h -- the settings file's two sections beyond the design's: [Pad], what each
// game-controller control presses and how far the stick must move, and [Hotkeys], the screenshot
// key. They are read with the other settings and handed to the engine; the game never writes
// them, so they are the player's to edit by hand.
#pragma once

#include <string>

#include "platform/pad.h"
#include "platform/profile.h"

// Reads one [Pad] value: an action's file key (UP, DOWN, LEFT, RIGHT, SLOW, SHOOT, BOMB, SKIP,
// any case; the key bound to that action), a key code (1..255), or one of each joined by '+'.
// Empty text and 0 press nothing. False, with `binding` untouched, for anything else.
bool ParsePadValue(const std::string& text, PadBinding& binding);

// A control's value when the file does not name it (the default settings file's).
const char* DefaultPadValue(PadControl control);

constexpr int kDefaultScreenshotKey = 123;  // F12

// Reads [Pad] and [Hotkeys] from the settings file as loaded and hands them to the engine. A value
// that cannot be read keeps its default and is logged (once, until the file changes it). A
// screenshot key that some action is bound to turns screenshots off, so the action keeps its key.
void LoadPadSettings(const Profile& profile);
