// actions.h -- each frame's actions, from one place: live keys while a game records, the
// replay's words while one plays back. The game frame begins the frame's actions, the game
// asks only ReadAction, and the game frame ends them, which stores the word of a recorded frame.
#pragma once

#include "core/state.h"

// Called by the game frame before the world step: a frame of play advances the record to its
// next word and clears the eight inputBits; during playback it sets the bits of that word (a
// frame past the record holds no actions). Outside play nothing changes, so the ending after
// the boss's defeat runs on the actions of the last frame of play.
void BeginFrameActions();

// Whether action a is held this frame. While recording, a held key also marks inputBits[a]:
// a frame records only the actions the game asked for. A key the game did not read that frame
// (while a hit is pending only left and right are read) is not in the replay, so playback
// gives the game exactly what the live game saw.
bool ReadAction(Action a);

// Called by the game frame after drawing: while recording, stores this frame's inputBits as
// the word of replayFrame.
void EndFrameActions();

// Playback has used every word of the record: the game screen freezes under the pause menu.
bool ReplayEnded();
