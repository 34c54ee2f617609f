// settings.h -- the settings file Keyconfig.ini: the eight key bindings, music and sound-effect
// volumes, the auto-bomb switch and the window mode, read into and written from `settings`.
#pragma once

// Reads all twelve values from Keyconfig.ini in the current directory; anything missing or not
// a number reads as 0.
void LoadSettings();
// Writes all twelve values, updating the file in place (sections KeyPress, Sound, System).
void SaveSettings();
// Removes what a save killed before it replaced the file left beside it (older than a minute).
void RemoveStaleSettingsTemporaries();
