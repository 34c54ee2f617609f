// replay_screens.h -- the title-side screens of saved games: the replay list (pick one of ten
// slots to watch) and the replay save screen (name the game just played and save it into a
// slot), one routine for screens 5 and 6; and the score list (screen 7). Their text is drawn
// with listFont; the save screen's three text fields with fieldFont.
#pragma once

#include "ui/title.h"

class TextInput;

// The save screen's fields: 0 the replay name, 1 the player name, 2 the illustration. Made by
// the screen flow when it enters the save screen, destroyed when the player leaves it.
extern TextInput* nameFields[3];
// False on the save screen while one of its fields has the keys; the screen's own keys wait.
extern bool keysEnabled;
// The date the save screen shows and saves, formatted every frame ("%Y/%m/%d %H:%M:%S").
extern char dateText[64];

// Screen::ReplayList and Screen::ReplaySave, one frame, after the title picture. PlayReplay when
// the shutter closed over a replay chosen for playback (replayPlayback is set, the record loaded).
TitleRequest ReplayMenuFrame();
// Screen::ScoreList, one frame, after the title picture.
void ScoreListFrame();

// The save screen's three fields, new and empty (fields left from before are destroyed).
void CreateNameFields();
void DestroyNameFields();

// listFont text with a one-pixel black outline at alpha; white, or yellow on the selected
// slot's row (menuCursor + 1 == row; row -1 is never selected).
void DrawOutlined(int x, int y, const char* text, int alpha, int row);
