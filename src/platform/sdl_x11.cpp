// sdl_x11.cpp -- the one question only the X server can answer: how big a full-screen window
// really is when no window manager carried the request out.
// The system headers Xlib includes, first, so that they stay outside the namespace below.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/types.h>

#include "platform/sdl_backend.h"

#if defined(SDL_VIDEO_DRIVER_X11)

// Xlib's names (Screen, Window, Display and the rest) stay in a namespace of their own: the
// game has a Screen of its own, and a program may give one name to one type only. The C
// functions declared in there are still the library's own.
namespace xlib {
#include <SDL_syswm.h>
}  // namespace xlib

bool X11WindowSize(SDL_Window* window, int& w, int& h) {
    xlib::SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!xlib::SDL_GetWindowWMInfo(window, &info) || info.subsystem != xlib::SDL_SYSWM_X11) {
        return false;
    }
    // Loaded when first asked: the game links no X library of its own.
    using GetAttributes = int (*)(xlib::Display*, xlib::Window, xlib::XWindowAttributes*);
    static GetAttributes getAttributes = [] {
        void* x11 = SDL_LoadObject("libX11.so.6");
        return x11 != nullptr
                   ? reinterpret_cast<GetAttributes>(SDL_LoadFunction(x11, "XGetWindowAttributes"))
                   : nullptr;
    }();
    xlib::XWindowAttributes attributes;
    if (getAttributes == nullptr ||
        getAttributes(info.info.x11.display, info.info.x11.window, &attributes) == 0 ||
        attributes.width <= 0 || attributes.height <= 0) {
        return false;
    }
    w = attributes.width;
    h = attributes.height;
    return true;
}

#else

bool X11WindowSize(SDL_Window*, int&, int&) { return false; }

#endif
