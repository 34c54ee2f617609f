// video_export.h -- `mirrorfall --export-video REPLAY_FILE OUT [--immortal] [--scale N]`: a
// replay played as the timedemo plays it (every frame drawn by the real engine, no window
// shown, no input), each frame and the game's own sound encoded into a video file (video_file.h:
// MP4 or WebM by OUT's name). A progress bar runs on the terminal; the last line printed is
//   export: frames=%d seconds=%.3f fps=%.1f bytes=%lld result=%d score=%lld
// with the game's end as `mirrorfall-sim verify` reckons it. Nothing the game keeps is
// written: no score, replay or settings.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/video_file.h"

struct VideoExportOptions {
    std::string replayFile;
    std::string videoFile;
    bool immortal = false;  // no life is ever lost, as with `mirrorfall-sim --immortal`
    int scale = 1;          // 1..kVideoMaxScale
    // One line per hundredth of the way on standard error ("export: progress FRAME TOTAL"),
    // for a program that shows the progress itself, instead of the terminal's bar.
    bool progressLines = false;
};

// The export's own log, beside the game's (mirrorfall.log), which a game running beside it keeps.
constexpr const char* kVideoExportLog = "mirrorfall-export.log";

// Exit statuses, as the README lists them.
enum VideoExportStatus : int {
    kExportDone = 0,
    kExportNoWindow = 1,     // the renderer or the sound decoders could not be started
    kExportBadInput = 2,     // not a replay, an unknown extension, a bad option
    kExportCannotWrite = 3,  // the folder cannot be written, the disk is full, an encoder failed
    kExportStopped = 130,    // Ctrl+C (or SIGTERM): stopped, nothing left under the video's name
};

// Reads the game's command line (without the program name). False when it does not ask for an
// export; true when it does, with *error set when it is not understood.
bool ParseVideoExportArgs(const std::vector<std::string>& args, VideoExportOptions* options,
                          std::string* error);

// What the export needs of the windowed engine beyond the Engine interface.
struct VideoExportEngine {
    void (*setTimedemo)(bool on);        // frames unlimited, input ignored, always in front
    void (*setCapture)(bool on);         // before System_Initiate: draw and mix for a video
    bool (*captureReady)();              // the sound for the video could be set up
    bool (*runFrame)(double* seconds);   // one frame; false when the engine asks to stop
    void (*setSoundClock)(int64_t sample);
    void (*takeSound)(int64_t upto, std::vector<int16_t>* samples);
    bool (*readFrame)(std::vector<uint32_t>* pixels);
    std::unique_ptr<VideoFile> (*openVideo)(const VideoFileOptions& options, std::string* error);
};

// Runs the export on the engine hgeCreate hands out. Returns a VideoExportStatus.
int RunVideoExport(const VideoExportOptions& options, const VideoExportEngine& engine);

// The progress bar's line (without a line end) for `done` of `total` frames at `fps` frames a
// second, fitted into `columns`: "[#####.....]  45%  3262/7250 frames  75 fps  0:53 left".
std::string ExportProgressLine(long done, long total, double fps, int columns);
