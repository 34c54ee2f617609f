// score_file.h -- the score file "Replay/score.rpy": one record per finished game, a space and
// the score in decimal, in the order the games ended. The result panel appends to it and counts
// the game's rank; the score list reads it all back, highest first.
#pragma once

#include <cstdint>

constexpr int kScoreListRoom = 4999;

// The score list: count, then records 1..count (record 0 unused), highest first once loaded.
struct ScoreList {
    int32_t count;
    int64_t records[kScoreListRoom + 1];
};
// Per-run: filled by LoadScoreList.
extern ScoreList scoreList;

// Where a finished game's score stands: the number of records at least as high (the new one
// included) among `total` records. Both 0 when the score file could not be opened.
struct ScoreRank {
    float rank = 0;
    float total = 0;
};

// Appends `finalScore` to the score file (creating the Replay folder and the file when missing) and
// counts its rank. Nothing is written or counted when the file cannot be opened.
ScoreRank AppendScore(int64_t finalScore);
// Reads every record into scoreList, at most kScoreListRoom of them, and sorts them highest
// first. Returns false (leaving the list empty) when the file cannot be opened.
bool LoadScoreList();
