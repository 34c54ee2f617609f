// callbacks.cpp -- start-up and the frame and render callbacks.
#include "core/callbacks.h"

Engine* hge = nullptr;
float menuKeyLatch[kMenuKeyCount] = {};
float rebindLatch = 0;
uint8_t quitRequested = 0;

void SetAllMenuLatches() {
    for (float& latch : menuKeyLatch) latch = 1.0f;
}

// Filled in with start-up and the screen flow.
bool MenuKeyHeld(MenuKey) { return false; }
bool FrameFunc() { return false; }
bool RenderFunc() { return false; }
int RunGame() { return 0; }
