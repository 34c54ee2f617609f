// replay_screens.h -- the title-side screens of saved games: the replay list and the replay save
// screen (one routine for screens 5 and 6) and the score list (screen 7).
#pragma once

// Screen::ReplayList and Screen::ReplaySave, one frame, after the title picture.
void ReplayMenuFrame();
// Screen::ScoreList, one frame, after the title picture.
void ScoreListFrame();
