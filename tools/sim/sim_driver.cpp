// sim_driver.cpp -- the headless game runner behind mirrorfall-sim and the determinism tests.
#include "sim_driver.h"

#include <cinttypes>
#include <cstring>

#include "app/callbacks.h"
#include "app/game_reset.h"
#include "app/loading.h"
#include "app/playback.h"
#include "app/screen_flow.h"
#include "assets/catalogue.h"
#include "core/random.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/player.h"
#include "input/keys.h"
#include "platform/headless_engine.h"
#include "replay/replay.h"

namespace {

bool catalogueLoaded = false;

// FNV-1a, 32 bits, over little-endian bytes.
struct Fnv {
    uint32_t hash = 0x811c9dc5u;
    void Add(uint32_t value) {
        for (int b = 0; b < 4; ++b) {
            hash ^= (value >> (8 * b)) & 0xFFu;
            hash *= 0x01000193u;
        }
    }
    void AddInt(int32_t value) { Add(static_cast<uint32_t>(value)); }
    void AddFloat(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Add(bits);
    }
};

// The chaos pattern's generator (xorshift32): the keys it picks must never draw from the game's
// own generator, or the recording would change the game it records.
uint32_t chaosState = 1;
uint32_t chaosHeld = 0;   // action bits held in the current stretch
long chaosLeft = 0;       // frames left in the current stretch

uint32_t ChaosNext() {
    uint32_t x = chaosState;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    chaosState = x;
    return x;
}

constexpr uint32_t kUp = 1u << ACT_UP, kDown = 1u << ACT_DOWN, kLeft = 1u << ACT_LEFT,
                   kRight = 1u << ACT_RIGHT, kSlow = 1u << ACT_SLOW, kBomb = 1u << ACT_SHOOT;

// A slow tour of the field: each stretch of 45 frames holds one of these.
constexpr uint32_t kWalkTour[8] = {kLeft, kUp | kLeft, kRight, kRight | kSlow,
                                   kDown, kUp | kRight, 0, kDown | kLeft | kSlow};

uint32_t PatternActions(SimPattern pattern, long t) {
    switch (pattern) {
        case SimPattern::Idle:
            return 0;
        case SimPattern::Walk:
            return kWalkTour[(t / 45) % 8];
        case SimPattern::Bomb: {
            // Held for 20 frames in every 60, so some bombs start late and some run back to back.
            uint32_t bomb = (t / 20) % 3 == 0 ? kBomb : 0;
            return kWalkTour[(t / 90) % 8] | bomb;
        }
        case SimPattern::Chaos:
            if (chaosLeft <= 0) {
                uint32_t r1 = ChaosNext();
                uint32_t r2 = ChaosNext();
                chaosHeld = r1 & 0x1Fu;               // any mix of the four directions and slow
                if ((r1 >> 8) % 5 == 0) chaosHeld |= kBomb;
                chaosLeft = 1 + long(r2 % 40);
            }
            --chaosLeft;
            return chaosHeld;
    }
    return 0;
}

// A game started from a menu finds every key up and the window in front.
void PrepareNewGame() {
    HeadlessEngine& engine = SimStartUp();
    engine.ReleaseAllKeys();
    engine.SetFocus(true);
    PrepareGameStart();
}

bool RunHeadlessFrame() {
    Headless()->RunFrame();
    return true;
}

}  // namespace

HeadlessEngine& SimStartUp() {
    if (hge == nullptr) {
        hge = hgeCreate(HGE_VERSION);
        hge->System_Initiate();
    }
    hge->System_SetState(HGE_FRAMEFUNC, FrameFunc);
    hge->System_SetState(HGE_RENDERFUNC, RenderFunc);
    // A program that already ran its title (a test of the whole flow) has loaded it.
    if (!catalogueLoaded && frameSprite == nullptr) {
        LoadStartupTextures();
        CreateStartupSprites();
        TitleLoadingFrame();
        catalogueLoaded = true;
    }
    return *Headless();
}

void SimStartPlayback() {
    PrepareNewGame();
    StartPlayback();
}

void SimStartRecording(int32_t seed) {
    PrepareNewGame();
    // The reset takes the seed from the clock unless a replay plays; holding playback on across
    // the loading frame makes it seed from `seed` instead, exactly as a replay of it will.
    record.randomSeed = seed;
    record.replayPlayback = true;
    NewGameLoadingFrame();
    record.replayPlayback = false;
}

bool SimRunFrame(bool immortal) {
    bool running = false;
    PlaybackFrame(immortal, RunHeadlessFrame, &running);
    return running;
}

std::string SimTraceLine() {
    int nb = 0, ne = 0, ni = 0;
    Fnv hb, he, hi;
    for (int s = 0; s < kBulletSlots; ++s) {
        if (bulletFree[s] != 0) continue;
        ++nb;
        hb.AddInt(s);
        hb.AddFloat(bulletX[s]);
        hb.AddFloat(bulletY[s]);
        hb.AddFloat(bulletAngle[s]);
        hb.AddFloat(bulletSpeed[s]);
    }
    for (int s = 0; s < kEffectSlots; ++s) {
        if (effectFree[s] != 0) continue;
        ++ne;
        he.AddInt(s);
        he.AddInt(effectKind[s]);
        he.AddFloat(effectX[s]);
        he.AddFloat(effectY[s]);
        he.AddInt(effectAge[s]);
    }
    for (int s = 0; s < kItemSlots; ++s) {
        if (itemFree[s] != 0) continue;
        ++ni;
        hi.AddInt(s);
        hi.AddFloat(itemX[s]);
        hi.AddFloat(itemY[s]);
        hi.AddInt(itemType[s]);
    }
    char line[512];
    std::snprintf(line, sizeof line,
                  "f=%d r=%d rng=%u lives=%d score=%lld px=%.9g py=%.9g bomb=%d inv=%d llt=%d "
                  "boss=%d atk=%d age=%d bx=%.9g by=%.9g t=%d nb=%d ne=%d ni=%d hb=%08x he=%08x "
                  "hi=%08x",
                  int(run.frameCounter), int(record.replayFrame), unsigned(RandomState()), int(run.lives),
                  static_cast<long long>(run.score), double(playerX), double(playerY), int(bombTimer),
                  int(invulnTimer), int(lifeLossTimer), bossActive != 0 ? 1 : 0, int(boss.attack),
                  int(boss.age), double(boss.x), double(boss.y), int(attackTimer), nb, ne, ni,
                  unsigned(hb.hash), unsigned(he.hash), unsigned(hi.hash));
    return line;
}

SimOutcome SimPlayBack(bool immortal, const std::function<void(const std::string&)>& onFrame) {
    PrepareNewGame();
    std::function<void()> afterFrame;
    if (onFrame) afterFrame = [&onFrame] { onFrame(SimTraceLine()); };
    return PlayBack(immortal, RunHeadlessFrame, afterFrame);
}

bool SimMatchesRecord(const SimOutcome& got, int32_t result, int64_t score, int32_t end) {
    return (got.endedByItself || got.ranOut) && got.framesOfPlay == end - 1 &&
           got.result == result && got.score == score;
}

bool ParseSimPattern(const char* name, SimPattern* pattern) {
    for (SimPattern p : {SimPattern::Idle, SimPattern::Walk, SimPattern::Bomb, SimPattern::Chaos}) {
        if (std::strcmp(name, SimPatternName(p)) == 0) {
            *pattern = p;
            return true;
        }
    }
    return false;
}

const char* SimPatternName(SimPattern pattern) {
    switch (pattern) {
        case SimPattern::Idle: return "idle";
        case SimPattern::Walk: return "walk";
        case SimPattern::Bomb: return "bomb";
        case SimPattern::Chaos: return "chaos";
    }
    return "?";
}

void SimUseRecordingBindings() {
    settings.KeyBindings[ACT_UP] = VK_UP;
    settings.KeyBindings[ACT_DOWN] = VK_DOWN;
    settings.KeyBindings[ACT_LEFT] = VK_LEFT;
    settings.KeyBindings[ACT_RIGHT] = VK_RIGHT;
    settings.KeyBindings[ACT_SLOW] = VK_SHIFT;
    settings.KeyBindings[ACT_SHOOT] = 'Z';
    settings.KeyBindings[ACT_BOMB] = 'X';
    settings.KeyBindings[ACT_SKIP] = VK_CONTROL;
}

SimOutcome SimRecord(const SimRecordOptions& options,
                     const std::function<void(const std::string&)>& onFrame) {
    SimUseRecordingBindings();
    record.practiceAttack = options.practice;
    SimStartRecording(options.seed);
    HeadlessEngine& engine = *Headless();
    chaosState = options.inputSeed != 0 ? options.inputSeed : 1;
    chaosHeld = 0;
    chaosLeft = 0;
    int32_t frameLimit = options.frames;
    if (frameLimit > kReplayMaxWords) frameLimit = kReplayMaxWords;

    SimOutcome outcome;
    for (long n = 0; n < kSimFrameCap; ++n) {
        // The pattern keeps changing keys through the defeat's unrecorded ending too; the game
        // itself must not let that show in a replay.
        uint32_t actions = PatternActions(options.pattern, n);
        for (int a = 0; a < kActionCount; ++a) {
            engine.SetKey(static_cast<int>(settings.KeyBindings[a]), (actions >> a) & 1u);
        }
        bool running = SimRunFrame(options.immortal);
        outcome.framesRun = n + 1;
        if (onFrame) onFrame(SimTraceLine());
        if (!running) {
            outcome.endedByItself = true;
            break;
        }
        if (frameLimit > 0 && record.replayFrame >= frameLimit) break;
    }
    engine.ReleaseAllKeys();
    // A game that did not end stores where it stopped: the lives it still had.
    if (!outcome.endedByItself) run.resultCode = run.lives;
    outcome.result = run.resultCode;
    outcome.score = run.score;
    outcome.framesOfPlay = record.replayFrame;
    return outcome;
}
