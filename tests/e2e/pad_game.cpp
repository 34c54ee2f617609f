// pad_game.cpp -- a whole game played with a game controller only, in the real window: SDL's
// virtual joystick stands in for a pad, plugged in while the game runs. From the title the pad
// starts a game, moves with the stick and the D-pad, slows, bombs, pauses and leaves to the title;
// every step is checked in the game's own state, the recorded words must hold the pad's actions,
// and the record is written as a replay for mirrorfall-sim to verify (tests/e2e/pad.sh). On the
// way, the music must play on SDL_mixer's music voice (decoded as it plays, not whole) and stop
// while the game is paused.
// Run in a game folder with the default settings; argument: where to write the replay.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/callbacks.h"
#include "app/screen_flow.h"
#include "core/state.h"
#include "game/player.h"
#include "platform/sdl_engine.h"
#include "replay/replay.h"

namespace {

// Each step may take this many frames before the test gives up.
constexpr int kStepBudget = 900;

struct Pad {
    SDL_Joystick* joystick = nullptr;
    void Button(SDL_GameControllerButton b, bool down) {
        SDL_JoystickSetVirtualButton(joystick, b, down ? 1 : 0);
    }
    void Axis(SDL_GameControllerAxis a, int value) { SDL_JoystickSetVirtualAxis(joystick, a, Sint16(value)); }
    void ReleaseAll() {
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) Button(SDL_GameControllerButton(b), false);
        for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; ++a) Axis(SDL_GameControllerAxis(a), 0);
    }
};

struct Script {
    std::string replayPath;
    Pad pad;
    int step = 0;
    int stepFrame = 0;      // frames spent in the current step, counting this one
    int frame = 0;
    float markX = 0, markY = 0;
    bool sawSlow = false;
    bool sawBomb = false;
    bool failed = false;
    std::string failure;
    bool done = false;

    void Next() {
        ++step;
        stepFrame = 0;
    }
    void Fail(const std::string& why) {
        failed = true;
        failure = why;
        Quit();
    }
    void Quit() {
        done = true;
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    // Holds a button for a few frames from the step's frame `from`, then lets go; true once it
    // has been let go.
    bool Tap(SDL_GameControllerButton b, int from = 1) {
        if (stepFrame == from) pad.Button(b, true);
        if (stepFrame == from + 4) pad.Button(b, false);
        return stepFrame > from + 4;
    }
};

bool RecordHolds(int action) {
    for (int k = 1; k <= record.replayFrame; ++k) {
        if ((record.replayInputs[k] >> action) & 1) return true;
    }
    return false;
}

void OnFrame(void* user) {
    Script& s = *static_cast<Script*>(user);
    if (s.done) return;
    ++s.frame;
    if (s.stepFrame++ > kStepBudget) {
        s.Fail("step " + std::to_string(s.step) + " did not finish");
        return;
    }
    switch (s.step) {
        case 0: {  // plug the pad in and give the window the keyboard focus, as a click would
            SDL_VirtualJoystickDesc desc;
            SDL_zero(desc);
            desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
            desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
            desc.naxes = SDL_CONTROLLER_AXIS_MAX;
            desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
            desc.name = "Virtual pad";
            int index = SDL_JoystickAttachVirtualEx(&desc);
            s.pad.joystick = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
            if (s.pad.joystick == nullptr) return s.Fail(std::string("no virtual pad: ") + SDL_GetError());
            SDL_Window* window = SDL_GetWindowFromID(Uint32(hge->System_GetState(HGE_HWND)));
            if (window != nullptr) SDL_SetWindowInputFocus(window);
            s.Next();
            break;
        }
        case 1:  // the main menu takes keys
            if (run.screen == Screen::Title && run.frameCounter >= 260 && run.switchCountdown == 0) s.Next();
            break;
        case 2:  // south on GAME START
            if (s.Tap(SDL_CONTROLLER_BUTTON_A)) s.Next();
            break;
        case 3:  // the game runs and the player may move; the boss brought the stage music
            if (run.screen == Screen::Game && run.frameCounter >= 20) {
                if (!hge->Channel_IsPlaying(run.musicChannel) || !Mix_PlayingMusic()) {
                    return s.Fail("the stage music does not play on the music voice");
                }
                s.markX = playerX;
                s.markY = playerY;
                s.Next();
            }
            break;
        case 4:  // the stick pushed left moves the player left
            s.pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, -30000);
            if (s.stepFrame == 30) {
                s.pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
                if (!(playerX < s.markX - 20)) return s.Fail("the stick did not move the player left");
                s.markY = playerY;
                s.Next();
            }
            break;
        case 5:  // the D-pad up moves the player up
            s.pad.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
            if (s.stepFrame == 20) {
                s.pad.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
                if (!(playerY < s.markY - 20)) return s.Fail("the D-pad did not move the player up");
                s.markX = playerX;
                s.Next();
            }
            break;
        case 6:  // the left shoulder slows the player while the D-pad moves it right
            s.pad.Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
            s.pad.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
            if (slowGauge > 0) s.sawSlow = true;
            if (s.stepFrame == 30) {
                s.pad.Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, false);
                s.pad.Button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
                if (!s.sawSlow) return s.Fail("the shoulder did not slow the player");
                if (!(playerX > s.markX + 5)) return s.Fail("the D-pad did not move the slowed player right");
                s.Next();
            }
            break;
        case 7:  // south bombs
            if (bombTimer > 0) s.sawBomb = true;
            if (s.Tap(SDL_CONTROLLER_BUTTON_A) && s.sawBomb) s.Next();
            break;
        case 8:  // a little more play, then Start pauses
            if (s.Tap(SDL_CONTROLLER_BUTTON_START, 40) && run.pauseState == PauseState::Paused) s.Next();
            break;
        case 9: {  // the record so far holds what the pad did; save it as a replay
            if (hge->Channel_IsPlaying(run.musicChannel) || !Mix_PausedMusic()) {
                return s.Fail("the music plays on under the pause menu");
            }
            const struct {
                int action;
                const char* what;
            } held[] = {{0, "UP"}, {2, "LEFT"}, {3, "RIGHT"}, {4, "SLOW"}, {5, "SHOOT"}};
            for (const auto& h : held) {
                if (!RecordHolds(h.action)) return s.Fail(std::string("the record has no ") + h.what);
            }
            // A game left through the pause menu keeps its lives as its result, as
            // mirrorfall-sim records a game cut short.
            int32_t keep = run.resultCode;
            run.resultCode = run.lives;
            bool written = WriteReplayFile(s.replayPath.c_str(), "Pad", "Virtual pad", "None", "today");
            run.resultCode = keep;
            if (!written) return s.Fail("the replay could not be written");
            s.Next();
            break;
        }
        case 10:  // D-pad down to the pause menu's "back to the title"
            // (after the overlay has faded in)
            if (s.Tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN, 20) && overlay.pauseCursor == 1) s.Next();
            break;
        case 11:
            if (s.Tap(SDL_CONTROLLER_BUTTON_A)) s.Next();
            break;
        case 12:  // back on the title: the game was left, and the title music took the voice
            if (run.screen == Screen::Title) {
                if (!hge->Channel_IsPlaying(run.musicChannel) || !Mix_PlayingMusic()) {
                    return s.Fail("the title music does not play on the music voice");
                }
                std::printf("pad game: %d frames of play recorded, left at frame %d\n", record.replayFrame, s.frame);
                s.Quit();
            }
            break;
        default:
            break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: e2e_pad_game REPLAY_OUT\n");
        return 2;
    }
    Script script;
    script.replayPath = argv[1];
    Engine_UseBackend(CreateSdlEngine);
    SdlEngine_SetFrameObserver(OnFrame, &script);
    RunGame();
    if (script.failed) {
        std::printf("pad game: FAIL at step %d: %s\n", script.step, script.failure.c_str());
        return 1;
    }
    if (!script.done) {
        std::printf("pad game: FAIL: the game ended at step %d\n", script.step);
        return 1;
    }
    return 0;
}
