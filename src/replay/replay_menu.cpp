// replay_menu.cpp -- the replay list, replay save and score list screens. Until these screens
// are built they hand the player straight back to the main menu.
#include "replay/replay_menu.h"

#include "core/callbacks.h"
#include "core/screen_flow.h"

void ReplayMenuFrame() {
    screen = Screen::Title;
    SetAllMenuLatches();
}

void ScoreListFrame() {
    screen = Screen::Title;
    SetAllMenuLatches();
}
