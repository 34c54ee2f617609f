// callbacks.h -- the program's start-up and the engine's two per-frame callbacks: the frame
// callback plays the sound cues raised during the previous frame and decides when the program
// ends; the render callback sets the frame rate, opens the scene, releases the menu-key
// latches and hands the frame to the screen flow.
#pragma once

#include "gfx/bitmap_font.h"
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
// A menu may act on the key: one of its keys is held and its latch is open.
inline bool MenuKeyPressed(MenuKey key) { return MenuKeyHeld(key) && Latch(key) == 0.0f; }

// Per-run: the start-up font (Graphics/font0.fnt, depth 0.1, opaque white), kept for the
// whole run; no screen draws with it.
extern BitmapFont* startupFont;

// The volume cue `cue` (0..38) plays at: seVolume x its percentage / 100, truncated, kept
// within the engine's 0..100.
int CueVolume(int cue);
// The frame rate the render callback sets: 240 while Ctrl is held during replay playback,
// else 60; the boss's defeat sequence overrides both (DefeatFrameRate).
int FrameRate();

// Sets back to 0 the latch of every menu key (in MenuKey order) whose two keys are both up.
void ReleaseMenuLatches();

// Frame callback: plays raised cues (ascending, once each) and clears all flags; true ends
// the program (lives == -2 or quitRequested).
bool FrameFunc();
// Render callback: frame rate, BeginScene, latch release, then the screen flow.
bool RenderFunc();

// The whole program: configure the engine, read settings, attach the pack, load the start-up
// files, draw one loading frame and run the loop. Returns the process's exit status.
int RunGame();
