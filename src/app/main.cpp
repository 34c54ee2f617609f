// main.cpp -- the game: the engine's SDL backend and the program's start-up; with
// --timedemo, a replay played flat out and timed instead.
#include <cstdio>
#include <string>
#include <vector>

#include "app/callbacks.h"
#include "app/timedemo.h"
#include "platform/sdl_engine.h"

int main(int argc, char** argv) {
    Engine_UseBackend(CreateSdlEngine);
    std::vector<std::string> args(argv + 1, argv + argc);
    TimedemoOptions options;
    std::string error;
    if (!ParseTimedemoArgs(args, &options, &error)) return RunGame();
    if (!error.empty()) {
        std::fprintf(stderr,
                     "mirrorfall: %s\nusage: mirrorfall [--timedemo REPLAY_FILE [--immortal] "
                     "[--timedemo-csv FILE]]\n",
                     error.c_str());
        return 2;
    }
    return RunTimedemo(options, {SdlSetTimedemo, SdlRunFrame});
}
