// sdl_gl.cpp -- loading the OpenGL 3.3 core functions of the SDL backend.
#include "platform/sdl_gl.h"

#include <SDL.h>

GlFunctions gl;

bool LoadGlFunctions(const char** missing) {
#define MIRRORFALL_GL_LOAD(type, name)                                            \
    gl.name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name));          \
    if (gl.name == nullptr) {                                                     \
        if (missing != nullptr) *missing = "gl" #name;                            \
        return false;                                                             \
    }
    MIRRORFALL_GL_FUNCTIONS(MIRRORFALL_GL_LOAD)
#undef MIRRORFALL_GL_LOAD
    return true;
}
