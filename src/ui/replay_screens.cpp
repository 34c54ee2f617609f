// replay_screens.cpp -- the replay list, replay save and score list screens. Until these screens
// are built they hand the player straight back to the main menu.
#include "ui/replay_screens.h"

#include "core/state.h"
#include "input/keys.h"

void ReplayMenuFrame() {
    run.screen = Screen::Title;
    SetAllMenuLatches();
}

void ScoreListFrame() {
    run.screen = Screen::Title;
    SetAllMenuLatches();
}
