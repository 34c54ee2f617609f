// main.cpp -- the game: the engine's SDL backend and the program's start-up; with
// --timedemo, a replay played flat out and timed instead; with --export-video, a replay made
// into a video file.
#include <cstdio>
#include <string>
#include <vector>

#include "app/callbacks.h"
#include "app/timedemo.h"
#include "app/video_export.h"
#include "platform/sdl_engine.h"
#include "platform/video_file.h"

namespace {

constexpr const char* kUsage =
    "usage: mirrorfall [--timedemo REPLAY_FILE [--immortal] [--timedemo-csv FILE]]\n"
    "       mirrorfall --export-video REPLAY_FILE OUT.mp4|OUT.webm [--immortal] [--scale N]\n";

}  // namespace

int main(int argc, char** argv) {
    Engine_UseBackend(CreateSdlEngine);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    VideoExportOptions exportOptions;
    if (ParseVideoExportArgs(args, &exportOptions, &error)) {
        if (!error.empty()) {
            std::fprintf(stderr, "export: %s\n", error.c_str());
            return kExportBadInput;
        }
        SdlUseLogFile(kVideoExportLog);
        return RunVideoExport(exportOptions,
                              {SdlSetTimedemo, SdlSetCapture, SdlCaptureReady, SdlRunFrame,
                               SdlSetSoundClock, SdlTakeSound, SdlReadFrame, OpenVideoFile});
    }
    TimedemoOptions options;
    if (!ParseTimedemoArgs(args, &options, &error)) return RunGame();
    if (!error.empty()) {
        std::fprintf(stderr, "mirrorfall: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    return RunTimedemo(options, {SdlSetTimedemo, SdlRunFrame});
}
