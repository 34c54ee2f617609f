// audio_effects.h -- the sound-effect bakers' shared pieces: the finishing step and the two halves of
// the effect list (heard in play, loaded but never heard).
#pragma once

#include "audio_synth.h"
#include "bake.h"

namespace audio {

// Effects start at once and end quietly: a fade of `in` and `out` seconds, the offset removed,
// and the peak set to `peak` (below full scale, so nothing clips after encoding).
void Finish(Mono& s, double in, double out, float peak);
void Finish(Stereo& s, double in, double out, float peak);

// The effects the player hears, and those the game loads but never plays.
void BakeHeardEffects(std::vector<BakedFile>& out);
void BakeSilentEffects(std::vector<BakedFile>& out);

}  // namespace audio
