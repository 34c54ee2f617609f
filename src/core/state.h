// state.h -- the state the whole run shares, in four structs grouped by what they hold: the
// run (engine, screen, clocks, lives, score), the record of each frame's actions and of the
// replay, the menus' cursors and key latches, and the settings. Every subsystem's private state
// stays in its own file; only what crosses folders lives here.
//
// Each field says what the game reset (every way into a game goes through it) puts back; a
// field that says nothing is left alone by it. ResetSharedState() puts every field back to its
// value at load, for tests and tools that start a fresh run in the same process.
#pragma once

#include <cstdint>

#include "platform/engine.h"

// The screens, by the numbers the screen flow keys on: 0..9 are title-side screens drawn over
// the title picture, 10 is the game.
enum class Screen : int32_t {
    Title = 0,
    Practice = 1,                             // choose an attack to practise
    Options = 4,
    ReplayList = 5,
    ReplaySave = 6,
    ScoreList = 7,
    KeyConfig = 8,
    Game = 10,
};

// The game screen's overlays: none, the pause menu, its fade-out, the result panel.
enum class PauseState : int32_t { Running = 0, Paused = 1, Resuming = 2, Result = 3 };

// The game's eight actions, in the order of their bits in a replay word and of their bindings.
// SHOOT is also the menus' Confirm key and BOMB their Cancel key.
constexpr int kActionCount = 8;
enum Action : int { ACT_UP = 0, ACT_DOWN, ACT_LEFT, ACT_RIGHT, ACT_SLOW, ACT_SHOOT, ACT_BOMB, ACT_SKIP };

// The game screen's clock: -64 at the reset, 0..kPlayEnd the frames of play (their actions
// recorded or replayed), kEndSequence onwards the boss's defeat and the result panel.
constexpr int32_t kPlayEnd = 99999;
constexpr int32_t kEndSequence = 100000;

// The replay record's room: one word per frame of play, frames 1..kReplayMaxWords.
constexpr int kReplayMaxWords = kPlayEnd + 1;
constexpr int kReplayMaxEnd = kReplayMaxWords + 1;

// The six menu keys, each with a fixed key and a bound key, in menuKeyLatch's order.
enum class MenuKey : int { Cancel = 0, Confirm, Up, Down, Left, Right };
constexpr int kMenuKeyCount = 6;

// The engine the whole game draws, plays and reads keys through: set by the start-up (or by a
// tool or test that runs the game headless) and kept for the run.
extern Engine* hge;

struct RunState {
    Screen screen = Screen::Title;            // the screen running this frame
    int32_t stage = 0;                        // 1 during a game, 0 otherwise; new game: 1
    PauseState pauseState = PauseState::Running;  // the game screen's overlay
    int32_t frameCounter = 0;                 // the current screen's clock; reset: -64
    int32_t switchCountdown = 0;              // the shutter: 150 starts a switch, screens act at 90
    int32_t lives = 0;                        // lives left; -2 outside a game ends the program; new game: 5
    int32_t resultCode = 0;                   // lives when the game ended, negative: lost; reset: 0
    int64_t score = 0;                        // new game: 0
    uint8_t quitRequested = 0;                // the main menu's Quit: the next frame callback ends the program
    HCHANNEL musicChannel = 0;                // the music playing now; reset: stopped, 0
};

struct ActionRecord {
    int32_t randomSeed = 0;                   // the game's seed; reset: the clock's, unless a replay plays
    // 0: the record is a whole game; 1..6: a practice of that attack alone. Set by the way into
    // the game (the main menu's Start, the practice screen, a replay's file); a retry keeps it.
    int32_t practiceAttack = 0;
    bool replayPlayback = false;              // the game's actions come from the replay, not the keys
    uint8_t inputBits[kActionCount] = {};     // this frame's actions, 1 = held; reset: all 0
    int32_t replayFrame = 0;                  // the word of this frame of play, from 1; reset: 0
    // Word k holds the actions of frame k of play (bit a: action a); index 0 is never used and
    // the last is room for the word at the end mark, 0 after a load. Recording fills it, a load
    // fills it for playback.
    int32_t replayInputs[kReplayMaxEnd + 1] = {};
    int32_t replayEnd = 0;                    // loaded words + 1: playback's end; set only by a load
};

struct MenuState {
    // 1.0 once a menu has acted on the key, back to 0.0 on the first frame neither of its two
    // keys is held, so every menu action fires once per press. Reset: all 0.
    float menuKeyLatch[kMenuKeyCount] = {};
    float rebindLatch = 0;                    // set when the key configuration takes a key; reset: 0
    int32_t menuCursor = 0;                   // the open menu's row (main 0..4, options 0..4, keys 0..7); reset: 0
    int32_t menuBarY = 0;                     // the main menu's highlight, eases to 296 + 32 * row; reset: 0
    int32_t menuSlide = 0;                    // the options panels' x offset: 0 fresh, 300 at rest, 900 keys
    bool waitingForKey = false;               // the key configuration waits for the row's new key
};

// What Keyconfig.ini holds, read at start-up and on every confirmed title choice.
struct Settings {
    int64_t KeyBindings[kActionCount] = {};   // the virtual-key code of each action; 0 names no key
    int32_t musicVolume = 0;                  // percent
    int32_t seVolume = 0;                     // percent
    int32_t autoBomb = 0;                     // stored and shown only
    int32_t windowed = 0;                     // 1 windowed, anything else full screen
};

extern RunState run;
extern ActionRecord record;
extern MenuState menus;
extern Settings settings;

// The frames whose actions are recorded or replayed.
inline bool InPlay() { return run.frameCounter >= 0 && run.frameCounter <= kPlayEnd; }

inline float& Latch(MenuKey key) { return menus.menuKeyLatch[static_cast<int>(key)]; }

// Every shared struct back to its value at load (the engine pointer is kept).
void ResetSharedState();
