// replay.h -- the text file a replay record (record.randomSeed and one word of held actions per
// frame of play, in core/state.h) is saved in: the ten slot files, writing one, reading
// the summary the replay screens list, and loading one for playback.
//
// File layout (text, one line end per line as the platform writes it; CRLF files read the same):
//   line 1  replay name, then one space     ("None" when empty)
//   line 2  player name, then one space     ("Unnamed" when empty)
//   line 3  illustration, then one space    ("None" when empty)
//   line 4  the date text, no trailing space
//   line 5  seed result score end w1 w2 ... w(end-1), each number followed by one space, no line
//           end after the last; the score is 64-bit, end is the number of words plus 1.
//
// A practice of one attack is saved the same way, with "practice N " (N the attack, 1..6) at the
// start of line 5. A reader that knows only whole games finds no seed there and refuses the
// file instead of playing it as a whole game. Practices have ten slots of their own,
// "Replay/practice_%02d.rpy".
#pragma once

#include <cstdint>

#include "core/state.h"

constexpr int kReplaySlotCount = 10;     // slots 1..10
constexpr int kPracticeAttacks = 6;      // a practice's attack, 1..6

// Which ten slots the replay screens and the slot functions below use: whole games
// ("Replay/qz507_%02d.rpy") or practices ("Replay/practice_%02d.rpy"). Games unless a practice
// screen opened the list.
enum class ReplaySlotSet { Games, Practice };
extern ReplaySlotSet replaySlotSet;

// The slot's file name in the set in use; false for a slot outside 1..10.
bool ReplaySlotFileName(int slot, char* out, int outSize);
bool SlotFileName(ReplaySlotSet set, int slot, char* out, int outSize);

// Saves the record just played (randomSeed, resultCode, score, replayFrame and its words; a
// practice's attack, record.practiceAttack, when it is not 0) with
// the three names and the date text. The file is written next to its final name and renamed
// over it, so a failed save leaves the replay that was in the slot untouched; a missing folder
// is created. Returns false (and logs why) when nothing could be saved.
bool WriteReplay(int slot, const char* replayName, const char* playerName, const char* illustration,
                 const char* dateText);
bool WriteReplayFile(const char* path, const char* replayName, const char* playerName,
                     const char* illustration, const char* dateText);

// What the replay screens show of a slot. Lines are kept as stored (the trailing space
// included, a CR before the line feed removed); a line longer than the buffer is cut.
struct ReplaySummary {
    static constexpr int kLineSize = 2064;  // a text field hands out up to 2048 bytes
    char lines[4][kLineSize];  // replay name, player name, illustration, date
    int32_t seed;
    int32_t result;            // lives left at the end; negative: the game was lost
    int64_t score;
    int32_t end;
    int32_t practiceAttack;    // 0: a whole game; 1..6: the attack a practice played
    // How far the file could be read: 0..4 lines, then 0..4 numbers (seed, result, score, end).
    // Fields not reached hold empty text and 0.
    int linesRead;
    int numbersRead;
};

// False when the slot's file does not exist or cannot be opened; otherwise true with as much of
// the summary as the file holds. Reads only the head of the file.
bool ReadReplaySummary(int slot, ReplaySummary* summary);
bool ReadReplaySummaryFile(const char* path, ReplaySummary* summary);

// Fills record.randomSeed, practiceAttack, replayEnd and replayInputs from the slot's file.
// False, with nothing changed, when the file is missing or its head is damaged (a line or one of
// the four numbers missing or not a number, a practice mark without an attack 1..6, or an end
// outside 1..100001). Words that are cut short or not 32-bit numbers end the record there: the
// sound words before them are loaded and replayEnd says how many (logged). Every word after the
// record is 0.
bool LoadReplay(int slot);
bool LoadReplayFile(const char* path);

// A replay named by the user (mirrorfall-sim, --timedemo): fills `summary` and loads it as
// LoadReplayFile does. Returns nullptr when it loaded, else why not, in words to show the user:
// "no such file", "a folder, not a replay file", "not a regular file (a device or pipe is never
// a replay)", "larger than any replay", "cannot be read", or "not a replay file (...)".
const char* LoadNamedReplayFile(const char* path, ReplaySummary* summary);

// Removes the ".tmp" files a save killed before its rename left beside the slots (older than a
// minute, so no other running game's save), with a log line each. The slots themselves are
// never touched.
void RemoveStaleReplayTemporaries();
