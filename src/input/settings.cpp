// settings.cpp -- key bindings and the settings file.
#include "input/settings.h"

int64_t KeyBindings[kActionCount] = {};
int32_t musicVolume = 0;
int32_t seVolume = 0;
int32_t autoBomb = 0;
int32_t windowed = 0;

// Filled in with the settings file.
void LoadSettings() {}
void SaveSettings() {}
