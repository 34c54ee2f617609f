// attack_history.h -- how often each of the six attacks was met and captured, and the best
// score gained in it, kept apart for whole games and for practice, in "Replay/history.txt"
// beside the score file. An attack is met when it starts and captured when it ends with no life
// lost during it. The counting only watches the game: it never changes what a game does.
//
// File layout (text, one line per line, CRLF files read the same):
//   line 1       Mirrorfall attack history 1
//   lines 2..13  KIND ATTACK MET CAPTURED BEST, KIND "game" or "practice", ATTACK 1..6, each
//                pair once; counts 0..2^31-1 with CAPTURED at most MET, BEST 0..2^63-1.
// Anything else is a damaged file: the game starts from an empty history, says so once in the
// log, and keeps the damaged file aside (".damaged-<time>") when it next saves.
#pragma once

#include <cstdint>
#include <string>

constexpr int kHistoryAttacks = 6;

enum class HistoryKind : int { Game = 0, Practice = 1 };

struct AttackTally {
    int64_t met = 0;       // times the attack started
    int64_t captured = 0;  // times it ended with no life lost during it
    int64_t best = 0;      // the most score gained in it
};

struct AttackHistory {
    AttackTally tally[2][kHistoryAttacks];  // [kind][attack - 1]
    AttackTally& At(HistoryKind kind, int attack) { return tally[int(kind)][attack - 1]; }
    const AttackTally& At(HistoryKind kind, int attack) const { return tally[int(kind)][attack - 1]; }
};

constexpr const char* kHistoryFile = "Replay/history.txt";

// The run's history: read from kHistoryFile on first use (a missing or damaged file gives an
// empty history and one log line), then counted into as games are played.
const AttackHistory& History();
void CountMet(HistoryKind kind, int attack);
void CountCaptured(HistoryKind kind, int attack);
void CountGained(HistoryKind kind, int attack, int64_t gained);
// Saves the history when something was counted since the last save. Called between frames of
// play only (a save waits for the disk).
void SaveHistoryIfChanged();
// Forgets the run's history, so the next use reads the file again (tests, tools).
void ForgetHistory();

// The file itself.
enum class HistoryRead { Ok, Missing, Damaged, Unreadable };
// Reads `path` into *out (empty unless Ok); *why says what is wrong with a damaged file.
HistoryRead ReadHistoryFile(const char* path, AttackHistory* out, std::string* why);
std::string HistoryText(const AttackHistory& history);
// Saves `history` to `path` whole (SaveWholeFile). What the file holds now is never replaced
// by less: each count is the larger of the two. A damaged file is first renamed aside and kept;
// one that cannot be read (a folder, a device, no permission) is left alone and nothing is
// saved. False when nothing was saved.
bool SaveHistoryFile(const char* path, const AttackHistory& history);
