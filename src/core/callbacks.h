// callbacks.h -- the program's start-up and the engine's two per-frame callbacks: the frame
// callback plays the sound cues raised during the previous frame and decides when the program
// ends; the render callback sets the frame rate, opens the scene, releases the menu-key
// latches and hands the frame to the screen flow.
#pragma once

#include "platform/engine.h"

// Per-run: the engine interface, set by StartUp (or by a tool that runs the game headless).
extern Engine* hge;

// The six menu keys, each with a fixed key and a bound key, in menuKeyLatch's order.
enum class MenuKey : int { Cancel = 0, Confirm, Up, Down, Left, Right };
constexpr int kMenuKeyCount = 6;

// Per-run: 1.0 once a menu has acted on the key, back to 0.0 on the first frame neither of its
// two keys is held, so every menu action fires once per press.
extern float menuKeyLatch[kMenuKeyCount];
// Per-run: set when the key configuration captures a key; only ever set.
extern float rebindLatch;
// Per-run: set by the main menu's Quit; ends the program at the next frame callback.
extern uint8_t quitRequested;

inline float& Latch(MenuKey key) { return menuKeyLatch[static_cast<int>(key)]; }

// Sets every menu latch (screens do this when they change, so a held key does not act again).
void SetAllMenuLatches();

// Whether the fixed or the bound key of a menu key is held.
bool MenuKeyHeld(MenuKey key);

// Frame callback: plays raised cues (ascending, once each) and clears all flags; true ends
// the program (lives == -2 or quitRequested).
bool FrameFunc();
// Render callback: frame rate, BeginScene, latch release, then the screen flow.
bool RenderFunc();

// The whole program: configure the engine, read settings, attach the pack, load the start-up
// files, draw one loading frame and run the loop. Returns the process's exit status.
int RunGame();
