// callbacks.h -- the program's start-up and the engine's two per-frame callbacks: the frame
// callback plays the sound cues raised during the previous frame and decides when the program
// ends; the render callback sets the frame rate, opens the scene, releases the menu-key
// latches and hands the frame to the screen flow.
#pragma once

#include "gfx/bitmap_font.h"

// Per-run: the start-up font (Graphics/font0.fnt, depth 0.1, opaque white), kept for the
// whole run; no screen draws with it, only the window's notices over the picture.
extern BitmapFont* startupFont;

// The volume cue `cue` (0..38) plays at: seVolume x its percentage / 100, truncated, kept
// within the engine's 0..100.
int CueVolume(int cue);
// The frame rate the render callback sets: 240 while Ctrl is held during replay playback,
// else 60; the boss's defeat sequence overrides both (DefeatFrameRate).
int FrameRate();

// Frame callback: plays raised cues (ascending, once each) and clears all flags; true ends
// the program (lives == -2 or quitRequested).
bool FrameFunc();
// Alt+Enter: the other window mode, kept in the settings file and applied at once, as leaving
// the options menu applies it.
void ToggleWindowMode();

// Render callback: a window-mode toggle the player asked for, frame rate, BeginScene, latch
// release, then the screen flow.
bool RenderFunc();

// What a press of the screenshot key became, as a notice on screen.
void ShowScreenshotNotice(const ScreenshotReport& report, double now);
// Overlay callback: what the window shows over the picture and never in a screenshot of it:
// the notice of a screenshot, and the mark of a replay played fast.
bool OverlayFunc();

// The engine states start-up sets before System_Initiate (640 x 480, the callbacks, the title,
// windowed, 60 frames per second, sound, 32 bits, depth buffer).
void ConfigureEngine();
// After System_Initiate: attaches the resource pack and loads the start-up textures and font.
void LoadStartupFiles();

// The whole program: configure the engine, read settings, attach the pack, load the start-up
// files, draw one loading frame and run the loop. Returns the process's exit status.
int RunGame();
