// actions.cpp -- each frame's actions: read from the keys and recorded, or decoded from the
// replay, and the end of the record.
#include "input/actions.h"

void BeginFrameActions() {
    if (!InPlay()) return;
    record.replayFrame += 1;
    for (uint8_t& bit : record.inputBits) bit = 0;
    if (!record.replayPlayback) return;
    // Resuming after the record's end runs frames past it; they hold no actions.
    int32_t word = record.replayFrame >= 1 && record.replayFrame <= kReplayMaxEnd
                       ? record.replayInputs[record.replayFrame]
                       : 0;
    for (int k = kActionCount - 1; k >= 0; --k) {
        int32_t weight = 1 << k;
        if (word >= weight) {
            word -= weight;
            record.inputBits[k] = 1;
        }
    }
}

bool ReadAction(Action a) {
    if (record.replayPlayback) return record.inputBits[a] != 0;
    // The ending after the boss's defeat is not recorded, and a replay runs it on the actions of
    // the last recorded frame; the live game does the same, so that its replay ends exactly as
    // it did (same place, same items collected, same score).
    if (run.screen == Screen::Game && run.frameCounter > kPlayEnd) return record.inputBits[a] != 0;
    int key = static_cast<int>(static_cast<uint32_t>(settings.KeyBindings[a]));
    if (hge->Input_GetKeyState(key)) {
        record.inputBits[a] = 1;
        return true;
    }
    return false;
}

void EndFrameActions() {
    if (record.replayPlayback || !InPlay()) return;
    if (record.replayFrame < 1 || record.replayFrame > kReplayMaxWords) return;
    int32_t word = 0;
    for (int k = 0; k < kActionCount; ++k) {
        if (record.inputBits[k] != 0) word += 1 << k;
    }
    record.replayInputs[record.replayFrame] = word;
}

bool ReplayEnded() { return record.replayPlayback && record.replayFrame >= record.replayEnd; }
