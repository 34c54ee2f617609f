// sdl_engine.h -- the game's backend: a real window over SDL2 and OpenGL 3.3, SDL2_mixer sound.
#pragma once

#include "platform/engine.h"

// For Engine_UseBackend.
Engine* CreateSdlEngine();

// The Windows virtual-key code of an SDL key (its SDL_Keycode and SDL_Scancode), 0 for keys the
// game has no code for. Letters and digits follow the keyboard layout; the rest go by position.
int SdlVirtualKey(int keycode, int scancode);
