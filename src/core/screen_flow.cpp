// screen_flow.cpp -- the screen state machine, the game frame, the pause and result overlays.
#include "core/screen_flow.h"

Screen screen = Screen::Title;
int32_t stage = 0;
PauseState pauseState = PauseState::Running;
int32_t pauseFade = 0;
int32_t pauseTicks = 0;
int32_t pauseCursor = 0;
int32_t pauseBump = 0;
int32_t frameCounter = 0;
int32_t switchCountdown = 0;
int32_t lives = 0;
int32_t resultCode = 0;
int64_t score = 0;
bool replayPlayback = false;
uint8_t inputBits[8] = {};
int32_t replayFrame = 0;
HTEXTURE snapshotTexture = 0;
HTEXTURE menuChoseTexture = 0;
HCHANNEL musicChannel = 0;
float resultRank = 0;
float resultTotal = 0;

int splitDigits(int64_t value, int digits[20]) {
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    int reversed[20];
    int count = 0;
    do {
        reversed[count++] = static_cast<int>(magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    for (int i = 0; i < count; ++i) digits[i] = reversed[count - 1 - i];
    return count;
}

// Filled in with the screen flow.
void TakeSnapshot() {}
void ScreenFlowFrame() {}
