// sdl_engine.h -- the game's backend: a real window over SDL2 and OpenGL 3.3, SDL2_mixer sound.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/engine.h"

// For Engine_UseBackend.
Engine* CreateSdlEngine();

// The Windows virtual-key code of an SDL key (its SDL_Keycode and SDL_Scancode), 0 for keys the
// game has no code for. Letters and digits follow the keyboard layout; the rest go by position.
int SdlVirtualKey(int keycode, int scancode);

// --- Timedemo ---
// Switches the current SDL engine to timedemo frames: as fast as they can be drawn whatever
// HGE_FPS says, keyboard and mouse ignored, and the window always counted as the foreground
// window, so that a replay plays the same whoever touches the machine.
void SdlSetTimedemo(bool on);
// Runs one frame as System_Start would (events, frame callback, render callback, frame limiter
// unless in timedemo). Returns false when the window was closed or the frame callback asked to
// end; *seconds gets the frame's time from its start until it was shown.
bool SdlRunFrame(double* seconds);
// The log file the engine writes (fresh at every start), instead of mirrorfall.log; called
// before the engine is made. An export keeps its own, so that it never empties the log of a
// game running beside it.
void SdlUseLogFile(const char* name);

// --- Video export ---
// Before System_Initiate: the engine draws for a video. No window is shown, the frames stay in
// the scene's own framebuffer for SdlReadFrame, and the game's sound is not played but mixed on
// the video's clock (the engine's sound states are ignored).
void SdlSetCapture(bool on);
// After System_Initiate: whether the sound for the video could be set up (the log says why not).
bool SdlCaptureReady();
// Sound operations from now on take effect at this sample of the video (44100 a second).
void SdlSetSoundClock(int64_t sample);
// Appends the video's sound (interleaved stereo, 16-bit) from where the last call ended to
// `upto`.
void SdlTakeSound(int64_t upto, std::vector<int16_t>* samples);
// The frame last drawn: 640 x 480 pixels 0xAARRGGBB, rows top to bottom.
bool SdlReadFrame(std::vector<uint32_t>* pixels);

// For tests and measurements of the real window: called once per frame, after the frame's
// events are handled and before the frame callback. nullptr stops it.
using SdlFrameObserver = void (*)(void* user);
void SdlEngine_SetFrameObserver(SdlFrameObserver observer, void* user);
