// timedemo.h -- `mirrorfall --timedemo REPLAY_FILE`: a replay played in the real window as fast
// as frames can be drawn (no frame limiter, no sound, no input), timed frame by frame. It prints
// one line,
//   timedemo: frames=%d seconds=%.3f fps=%.1f worst_ms=%.2f p99_ms=%.2f result=%d score=%lld
// where result and score are the game's end as `mirrorfall-sim verify` reckons it, and it writes
// nothing the game keeps: no score, replay or settings.
#pragma once

#include <string>
#include <vector>

struct TimedemoOptions {
    std::string replayFile;
    bool immortal = false;  // no life is ever lost, as with `mirrorfall-sim --immortal`
    std::string csvFile;    // when set: every frame's time, one line each
};

// Reads the game's command line (without the program name). False when it asks for nothing
// (the game starts as usual); true when it asks for a timedemo, with *error set when it is not
// understood.
bool ParseTimedemoArgs(const std::vector<std::string>& args, TimedemoOptions* options,
                       std::string* error);

// The frame times' summary, in seconds.
struct FrameTimeSummary {
    double total = 0;  // all frames together
    double worst = 0;
    double p99 = 0;    // the 99th percentile (nearest rank)
};
FrameTimeSummary SummariseFrameTimes(const std::vector<double>& seconds);

// What the timedemo needs of the windowed engine beyond the Engine interface.
struct TimedemoEngine {
    void (*setTimedemo)(bool on);      // frames unlimited, input ignored, always in front
    bool (*runFrame)(double* seconds);  // one frame; false when the window was closed
};

// Runs the timedemo on the engine hgeCreate hands out. Returns the process's exit status: 0
// when the replay played to its end, 1 when the window could not be opened or was closed
// first (or the frame file could not be written), 2 when the replay cannot be read.
int RunTimedemo(const TimedemoOptions& options, const TimedemoEngine& engine);
