// practice_screen.h -- the practice screen (Screen::Practice): the six attacks in order, the
// spell cards by the titles the head-up display shows, the ordinary attacks by a plain name,
// each with how often it was captured and met in practice and in whole games and the best
// score gained in it; below them the practice replays and, after a practice, saving it. Also
// the practice's result panel picture.
#pragma once

#include <cstdint>

#include "ui/title.h"

// The rows after the six attacks.
constexpr int kPracticeReplaysRow = 6;
constexpr int kPracticeSaveRow = 7;

// A practice has ended and its record is still the one in memory: it can be saved. Per-run.
extern bool lastPracticeUnsaved;

// Screen::Practice, one frame, after the title picture. Up and Down choose, Confirm starts the
// attack under the shutter (StartPractice at its middle, record.practiceAttack set) or opens the
// practice replays or the save screen, Cancel returns to the title with the cursor on Practice.
TitleRequest PracticeScreenFrame();

// Back from the practice replays' list or save screen: the practice screen on its replays row,
// the replay screens on the games' slots again.
void ReturnToPracticeScreen();

// The main menu's item for the practice screen: the row below Quit.
constexpr int kPracticeMenuItem = 4;

struct PracticeResultPicture {
    int32_t attack;   // 1..6
    int32_t fade;     // the overlay's fade, 0..10
    int32_t ticks;    // frames since it opened
    bool captured;    // the attack ran out with no life lost
    bool lost;        // the last life went
    int64_t score;    // the score gained
};
// Draws the practice's result panel over the frozen frame.
void DrawPracticeResult(const PracticeResultPicture& picture);
