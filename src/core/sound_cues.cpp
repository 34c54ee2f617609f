// sound_cues.cpp -- the sound request flags.
#include "core/sound_cues.h"

uint8_t soundCue[kSoundCueCount] = {};
