// sim_driver.h -- plays the game headless for mirrorfall-sim and the determinism tests: the
// start-up state of the title's loading frame, games started for recording or playback, one
// game frame at a time through the engine's own frame and render callbacks, the trace line of a
// frame, scripted input patterns, and recording and verifying whole games.
//
// Everything runs the real game code; the driver only chooses the keys, starts games the way the
// menus would, and reads the state after each frame.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "app/playback.h"

class HeadlessEngine;

// Makes the headless engine the game's `hge`, installs the frame and render callbacks and loads
// the catalogue the way the title's frame 120 does (missing data files leave empty handles;
// nothing in the game's rules depends on them). Safe to call more than once.
HeadlessEngine& SimStartUp();

// Starts a game as the replay list does after LoadReplay: playback on, the game screen, the
// new-game loading frame (which seeds the generator with the loaded randomSeed).
void SimStartPlayback();
// Starts a recorded game with the given seed, as the main menu's Start does but without the
// clock: the loading frame seeds the generator with `seed`, and the game then records.
void SimStartRecording(int32_t seed);

// Runs one frame through the engine (frame callback, then render callback). With `immortal`, a
// life loss taken this frame does everything but lower `lives`. Returns whether the game is still
// running (pauseState Running on the game screen).
bool SimRunFrame(bool immortal);

// The trace line of the state after a frame, without a line end:
// f=.. r=.. rng=.. lives=.. score=.. px=.. py=.. bomb=.. inv=.. llt=.. boss=.. atk=.. age=..
// bx=.. by=.. t=.. nb=.. ne=.. ni=.. hb=.. he=.. hi=..
std::string SimTraceLine();

// Where a game played to its end stopped (the same reckoning as the timedemo's).
using SimOutcome = PlaybackEnd;

constexpr long kSimFrameCap = kPlaybackFrameCap;

// Plays the loaded record (after LoadReplay / LoadReplayFile) from its start until the game stops
// running or kSimFrameCap frames have run; calls `onFrame` with each frame's trace line when given.
SimOutcome SimPlayBack(bool immortal, const std::function<void(const std::string&)>& onFrame);

// Whether a playback reached what the file recorded: the game ended by itself, or ran to the end
// of the record, after end - 1 frames of play with the recorded result and score.
bool SimMatchesRecord(const SimOutcome& got, int32_t result, int64_t score, int32_t end);

// Scripted inputs for recording.
enum class SimPattern { Idle, Walk, Bomb, Chaos };
bool ParseSimPattern(const char* name, SimPattern* pattern);
const char* SimPatternName(SimPattern pattern);

struct SimRecordOptions {
    int32_t seed = 1;
    SimPattern pattern = SimPattern::Chaos;
    uint32_t inputSeed = 1;  // the chaos pattern's own generator (never the game's)
    int32_t frames = 0;      // stop after this many frames of play; 0: play until the game ends
    bool immortal = false;   // no life is ever lost: the game runs until the boss's defeat (play
                             // such a record back immortal too)
    int32_t practice = 0;    // 1..6: a practice of that attack alone; 0: a whole game
};

// Plays a game (or a practice of options.practice) with the pattern's keys held through the real
// key bindings and leaves its record in memory (randomSeed, practiceAttack, replayFrame,
// replayInputs, resultCode, score) ready for WriteReplay.
// A game stopped by `frames` stores the lives left as its result.
SimOutcome SimRecord(const SimRecordOptions& options,
                     const std::function<void(const std::string&)>& onFrame = nullptr);

// The key bindings the recorder presses: arrows, Shift for slow, Z for the bomb.
void SimUseRecordingBindings();
