// sound_cues.h -- one-frame sound requests. Any module raises cue i by setting soundCue[i];
// the frame callback plays each raised cue once at the start of the next frame and clears all.
#pragma once

#include <cstdint>

constexpr int kSoundCueCount = 50;  // 0..38 have a sound, 39..49 are only cleared

// Per-run: the request flags, all 0 at load.
extern uint8_t soundCue[kSoundCueCount];

// Cue numbers by their sound.
enum SoundCue : int {
    CUE_TAN00 = 0, CUE_TAN01 = 1, CUE_TAN02 = 2, CUE_KIRA00 = 3, CUE_KIRA01 = 4, CUE_KIRA02 = 5,
    CUE_ENEP00 = 6, CUE_ENEP01 = 7, CUE_ENEP02 = 8, CUE_DAMAGE00 = 9, CUE_ITEM00 = 10,
    CUE_ITEM01 = 11, CUE_GRAZE = 12, CUE_PLDEAD00 = 13, CUE_BORDER = 14, CUE_GUN00 = 15,
    CUE_CH00 = 16, CUE_TIMEOUT = 17, CUE_CAT00 = 18, CUE_TAN00_SECOND = 19, CUE_EX = 20,
    CUE_GREEN = 21, CUE_LAZER00 = 22, CUE_LAZER01 = 23, CUE_LAZER02 = 24, CUE_POWER0 = 25,
    CUE_POWER1 = 26, CUE_NEP00 = 27, CUE_LAZER00_LOUD = 28, CUE_EXTEND = 29, CUE_POWERUP = 30,
    CUE_SLASH = 31, CUE_BOON00 = 32, CUE_DON00 = 33, CUE_INVALID = 34, CUE_OK00 = 35,
    CUE_SELECT00 = 36, CUE_CANCEL00 = 37, CUE_PAUSE = 38,
};

inline void RaiseCue(int cue) { soundCue[cue] = 1; }
