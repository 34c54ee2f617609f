// main.cpp -- the game: the engine's SDL backend and the program's start-up.
#include "app/callbacks.h"
#include "platform/sdl_engine.h"

int main() {
    Engine_UseBackend(CreateSdlEngine);
    return RunGame();
}
