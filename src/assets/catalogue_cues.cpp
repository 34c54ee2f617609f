// catalogue_cues.cpp -- each sound cue's volume as a percentage of the sound-effect volume.
#include "assets/catalogue.h"

const int cuePercent[kCueStreamCount] = {
    15, 20, 20, 50, 20, 20, 10, 60, 40,
    0,  // cue 9 (se_damage00) is never raised and has no volume of its own: silent if it were
    30, 30, 30, 30, 100, 40, 100, 100, 80, 35,
    60, 60, 40, 40, 20, 60, 60, 60, 70, 50,
    60, 60, 100, 100, 100, 50, 50, 50, 60,
};
