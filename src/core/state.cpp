// state.cpp -- the shared state's one definition.
#include "core/state.h"

Engine* hge = nullptr;
RunState run;
ActionRecord record;
MenuState menus;
Settings settings;

void ResetSharedState() {
    static const ActionRecord kFreshRecord{};  // too large for a temporary on the stack
    run = RunState{};
    record = kFreshRecord;
    menus = MenuState{};
    settings = Settings{};
}
