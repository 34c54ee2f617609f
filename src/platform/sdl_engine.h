// sdl_engine.h -- the game's backend: a real window over SDL2 and OpenGL 3.3, SDL2_mixer sound.
#pragma once

#include "platform/engine.h"

// For Engine_UseBackend.
Engine* CreateSdlEngine();
