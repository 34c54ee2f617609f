// sdl_engine.cpp -- the SDL2 / OpenGL 3.3 backend (being written; until then the headless one).
#include "platform/sdl_engine.h"

#include "platform/headless_engine.h"

Engine* CreateSdlEngine() { return new HeadlessEngine(); }
