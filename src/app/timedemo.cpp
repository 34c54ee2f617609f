// timedemo.cpp -- a replay played flat out in the real window, timed frame by frame.
#include "app/timedemo.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "app/callbacks.h"
#include "app/loading.h"
#include "app/playback.h"
#include "assets/catalogue.h"
#include "core/state.h"
#include "game/boss.h"
#include "replay/replay.h"

bool ParseTimedemoArgs(const std::vector<std::string>& args, TimedemoOptions* options,
                       std::string* error) {
    if (args.empty()) return false;
    bool named = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool valued = arg == "--timedemo" || arg == "--timedemo-csv";
        if (valued && (i + 1 >= args.size() || args[i + 1].empty())) {
            *error = arg + " needs a file name";
            return true;
        }
        if (arg == "--timedemo") {
            options->replayFile = args[++i];
            named = true;
        } else if (arg == "--timedemo-csv") {
            options->csvFile = args[++i];
        } else if (arg == "--immortal") {
            options->immortal = true;
        } else {
            *error = "unknown option " + arg;
            return true;
        }
    }
    if (!named) *error = "--immortal and --timedemo-csv go with --timedemo REPLAY_FILE";
    return true;
}

FrameTimeSummary SummariseFrameTimes(const std::vector<double>& seconds) {
    FrameTimeSummary s;
    if (seconds.empty()) return s;
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    for (double t : seconds) s.total += t;
    s.worst = sorted.back();
    // ceil(0.99 n) in whole numbers: game code keeps out of the C maths library.
    size_t rank = (sorted.size() * 99 + 99) / 100;
    s.p99 = sorted[std::max<size_t>(rank, 1) - 1];
    return s;
}

namespace {

struct FrameRow {
    double seconds;
    int32_t frameCounter;
    int32_t replayFrame;
    int32_t attack;  // 0 before the boss arrives
};

bool WriteFrameFile(const std::string& path, const std::vector<FrameRow>& rows) {
    FILE* f = std::fopen(path.c_str(), "w");
    if (f == nullptr) return false;
    std::fprintf(f, "frame,frame_counter,replay_frame,attack,ms\n");
    for (size_t i = 0; i < rows.size(); ++i) {
        const FrameRow& r = rows[i];
        std::fprintf(f, "%zu,%d,%d,%d,%.3f\n", i + 1, int(r.frameCounter), int(r.replayFrame),
                     int(r.attack), r.seconds * 1000.0);
    }
    return std::fclose(f) == 0;
}

}  // namespace

int RunTimedemo(const TimedemoOptions& options, const TimedemoEngine& engine) {
    const char* file = options.replayFile.c_str();
    ReplaySummary summary;
    if (const char* why = LoadNamedReplayFile(file, &summary)) {
        std::fprintf(stderr, "timedemo: %s: %s\n", file, why);
        return 2;
    }
    // The same engine as a game, without sound; the settings file is neither read nor written.
    hge = hgeCreate(HGE_VERSION);
    ConfigureEngine();
    hge->System_SetState(HGE_USESOUND, false);
    if (!hge->System_Initiate()) {
        std::fprintf(stderr, "timedemo: the window could not be opened (mirrorfall.log says why)\n");
        hge->Release();
        return 1;
    }
    LoadStartupFiles();
    CreateStartupSprites();
    TitleLoadingFrame();
    engine.setTimedemo(true);

    // MIRRORFALL_TIMEDEMO_SHOTS=DIR: a snapshot of every 500th frame (every Nth with
    // MIRRORFALL_TIMEDEMO_SHOT_EVERY=N), to compare pictures.
    const char* shots = std::getenv("MIRRORFALL_TIMEDEMO_SHOTS");
    const char* every = std::getenv("MIRRORFALL_TIMEDEMO_SHOT_EVERY");
    long shotEvery = every != nullptr ? std::atol(every) : 0;
    if (shotEvery <= 0) shotEvery = 500;
    std::vector<FrameRow> rows;
    rows.reserve(size_t(summary.end) + 1024);
    double frameSeconds = 0;
    PlaybackEnd end = PlayBack(
        options.immortal, [&] { return engine.runFrame(&frameSeconds); },
        [&] {
            rows.push_back({frameSeconds, run.frameCounter, record.replayFrame,
                            bossActive != 0 ? int32_t(boss.attack) : 0});
            if (shots != nullptr && long(rows.size()) % shotEvery == 0) {
                std::string shot = std::string(shots) + "/frame" + std::to_string(rows.size()) + ".png";
                hge->System_Snapshot(shot.c_str());
            }
        });
    engine.setTimedemo(false);

    int status = 0;
    if (end.stopped) {
        std::fprintf(stderr, "timedemo: the window was closed after %ld frames\n", end.framesRun);
        status = 1;
    }
    std::vector<double> times;
    times.reserve(rows.size());
    for (const FrameRow& r : rows) times.push_back(r.seconds);
    FrameTimeSummary s = SummariseFrameTimes(times);
    std::printf("timedemo: frames=%d seconds=%.3f fps=%.1f worst_ms=%.2f p99_ms=%.2f result=%d "
                "score=%lld\n",
                int(rows.size()), s.total, s.total > 0 ? double(rows.size()) / s.total : 0.0,
                s.worst * 1000.0, s.p99 * 1000.0, int(end.result),
                static_cast<long long>(end.score));
    std::fflush(stdout);
    if (!options.csvFile.empty() && !WriteFrameFile(options.csvFile, rows)) {
        std::fprintf(stderr, "timedemo: cannot write %s\n", options.csvFile.c_str());
        status = 1;
    }
    hge->Release();
    return status;
}
