// video_export.cpp -- a replay turned into a video file, frame by frame as the game draws it.
#include "app/video_export.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/callbacks.h"
#include "app/loading.h"
#include "app/playback.h"
#include "assets/catalogue.h"
#include "core/state.h"
#include "input/settings.h"
#include "platform/console.h"
#include "replay/replay.h"

namespace {

// 44100 samples a second over 60 frames a second: each frame is exactly this much sound.
constexpr int64_t kSamplesPerFrame = kVideoSoundRate / kVideoFrameRate;
static_assert(kSamplesPerFrame * kVideoFrameRate == kVideoSoundRate);

// The frame the export is drawing, from 0; read by the callbacks below to time the sound.
const VideoExportEngine* gEngine = nullptr;
long gFrame = 0;

// The frame callback plays the cues the previous frame raised: in the video they start with
// that frame's picture, as a player hears them with it.
bool ExportFrameFunc() {
    gEngine->setSoundClock(std::max<long>(gFrame - 1, 0) * kSamplesPerFrame);
    return FrameFunc();
}

// What the render callback starts (the stage music) starts with this frame's picture.
bool ExportRenderFunc() {
    gEngine->setSoundClock(gFrame * kSamplesPerFrame);
    return RenderFunc();
}

bool ParseScale(const std::string& text, int* scale) {
    if (text.empty() || text.size() > 2) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    *scale = std::atoi(text.c_str());
    return *scale >= 1 && *scale <= kVideoMaxScale;
}

std::string Clock(double seconds) {
    long s = long(seconds + 0.5);
    char text[32];
    if (s >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    }
    return text;
}

// The progress shown while exporting: the terminal's bar, redrawn a few times a second, or a
// line for each hundredth for a program reading it.
class Progress {
public:
    Progress(long total, bool lines) : total_(std::max(total, 1L)), lines_(lines) {
        bar_ = !lines && ConsoleIsTerminal();
        start_ = std::chrono::steady_clock::now();
    }

    void Update(long done) {
        using namespace std::chrono;
        if (lines_) {
            long hundredth = std::min(done * 100 / total_, 99L);
            if (hundredth > lastHundredth_) {
                lastHundredth_ = hundredth;
                std::fprintf(stderr, "export: progress %ld %ld\n", done, std::max(done, total_));
                std::fflush(stderr);
            }
            return;
        }
        if (!bar_) return;
        const steady_clock::time_point now = steady_clock::now();
        if (now - lastDrawn_ < milliseconds(200)) return;
        lastDrawn_ = now;
        const double seconds = duration<double>(now - start_).count();
        const double fps = seconds > 0 ? double(done) / seconds : 0;
        const std::string line = ExportProgressLine(done, total_, fps, ConsoleColumns());
        std::fprintf(stderr, "\r%s\033[K", line.c_str());
        std::fflush(stderr);
        shown_ = true;
    }

    // Takes the bar off the terminal before the last lines.
    void Clear() {
        if (!shown_) return;
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
        shown_ = false;
    }

private:
    long total_;
    bool lines_;
    bool bar_ = false;
    bool shown_ = false;
    long lastHundredth_ = -1;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace

bool ParseVideoExportArgs(const std::vector<std::string>& args, VideoExportOptions* options,
                          std::string* error) {
    if (std::find(args.begin(), args.end(), "--export-video") == args.end()) return false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--export-video") {
            if (i + 2 >= args.size() || args[i + 1].empty() || args[i + 2].empty()) {
                *error = "--export-video needs a replay file and a video file";
                return true;
            }
            options->replayFile = args[++i];
            options->videoFile = args[++i];
        } else if (arg == "--scale") {
            if (i + 1 >= args.size() || !ParseScale(args[i + 1], &options->scale)) {
                *error = "--scale needs a whole number from 1 to " + std::to_string(kVideoMaxScale);
                return true;
            }
            ++i;
        } else if (arg == "--immortal") {
            options->immortal = true;
        } else if (arg == "--progress-lines") {
            options->progressLines = true;
        } else {
            *error = "unknown option " + arg;
            return true;
        }
    }
    VideoContainer container;
    if (!VideoContainerFor(options->videoFile, &container)) {
        *error = options->videoFile + ": the video's name must end in .mp4 or .webm";
    }
    return true;
}

std::string ExportProgressLine(long done, long total, double fps, int columns) {
    total = std::max(total, 1L);
    done = std::clamp(done, 0L, total);
    const long percent = done * 100 / total;
    char tail[128];
    if (fps > 0) {
        const double left = double(total - done) / fps;
        std::snprintf(tail, sizeof tail, " %3ld%%  %ld/%ld frames  %.0f fps  %s left", percent,
                      done, total, fps, Clock(left).c_str());
    } else {
        std::snprintf(tail, sizeof tail, " %3ld%%  %ld/%ld frames", percent, done, total);
    }
    const std::string text = tail;
    // The bar takes what the figures leave, within reason; none at all on a narrow terminal.
    const int width = std::min(40, columns - 1 - int(text.size()) - 2);
    if (width < 10) return text.substr(text[0] == ' ' ? 1 : 0, size_t(std::max(columns - 1, 0)));
    const int filled = int(done * width / total);
    return "[" + std::string(size_t(filled), '#') + std::string(size_t(width - filled), '.') + "]" +
           text;
}

int RunVideoExport(const VideoExportOptions& options, const VideoExportEngine& engine) {
    // The game's engine as the timedemo runs it, drawing for the video: its log goes to the log
    // file alone, and the terminal shows the export's own lines.
    hge = hgeCreate(HGE_VERSION);
    engine.setCapture(true);
    auto refuse = [&](int status, const std::string& line) {
        std::fprintf(stderr, "export: %s\n", line.c_str());
        hge->Release();
        return status;
    };
    const std::string why = std::string(" (") + kVideoExportLog + " says why)";
    const char* file = options.replayFile.c_str();
    ReplaySummary summary;
    if (!ReadReplaySummaryFile(file, &summary) || !LoadReplayFile(file)) {
        return refuse(kExportBadInput,
                      options.replayFile + " is not a replay file that can be read" + why);
    }
    // The file before any drawing: a folder that cannot be written is said at once.
    std::string error;
    std::unique_ptr<VideoFile> video =
        engine.openVideo({.path = options.videoFile, .scale = options.scale}, &error);
    if (video == nullptr) {
        VideoContainer container;
        return refuse(VideoContainerFor(options.videoFile, &container) ? kExportCannotWrite
                                                                       : kExportBadInput,
                      error);
    }
    ConsoleCatchInterrupt();

    // The settings are read for the volumes the player chose, and never written.
    ConfigureEngine();
    hge->System_SetState(HGE_FRAMEFUNC, ExportFrameFunc);
    hge->System_SetState(HGE_RENDERFUNC, ExportRenderFunc);
    LoadSettings();
    if (!hge->System_Initiate() || !engine.captureReady()) {
        video.reset();
        return refuse(kExportNoWindow, "the game's drawing or sound could not be started" + why);
    }
    gEngine = &engine;
    gFrame = 0;
    LoadStartupFiles();
    CreateStartupSprites();
    TitleLoadingFrame();
    engine.setTimedemo(true);

    // Playback draws the 64 frames of the fade-in, then one for each recorded word.
    Progress progress(long(record.replayEnd) + 63, options.progressLines);
    std::vector<uint32_t> pixels;
    std::vector<int16_t> sound;
    bool written = true;
    bool interrupted = false;
    const auto start = std::chrono::steady_clock::now();
    PlaybackEnd end = PlayBack(
        options.immortal,
        [&] {
            if (ConsoleInterrupted() || !written) {
                interrupted = ConsoleInterrupted();
                return false;
            }
            return engine.runFrame(nullptr);
        },
        [&] {
            if (!written) return;
            // The sound is settled up to this frame's start: what the next frame callback
            // plays is timed from here on.
            sound.clear();
            engine.takeSound(gFrame * kSamplesPerFrame, &sound);
            written = engine.readFrame(&pixels) && video->AddPicture(pixels.data()) &&
                      video->AddSound(sound.data(), int(sound.size() / 2));
            ++gFrame;
            progress.Update(gFrame);
        });
    engine.setTimedemo(false);
    if (written && !end.stopped) {
        sound.clear();
        engine.takeSound(gFrame * kSamplesPerFrame, &sound);
        written = video->AddSound(sound.data(), int(sound.size() / 2)) && video->Finish();
    }
    progress.Clear();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    gEngine = nullptr;
    int status = kExportDone;
    if (interrupted || (end.stopped && written)) {
        std::fprintf(stderr, "export: stopped after %ld frames; %s was not written\n", gFrame,
                     options.videoFile.c_str());
        status = interrupted ? kExportStopped : kExportNoWindow;
    } else if (!written) {
        std::fprintf(stderr, "export: cannot write %s: %s\n", options.videoFile.c_str(),
                     video->Error().c_str());
        status = kExportCannotWrite;
    }
    video.reset();  // an unfinished file goes with it
    hge->Release();
    if (status != kExportDone) return status;

    std::error_code ec;
    const auto bytes = std::filesystem::file_size(options.videoFile, ec);
    std::printf("export: frames=%ld seconds=%.3f fps=%.1f bytes=%lld result=%d score=%lld\n",
                gFrame, seconds, seconds > 0 ? double(gFrame) / seconds : 0.0,
                ec ? -1LL : static_cast<long long>(bytes), int(end.result),
                static_cast<long long>(end.score));
    std::fflush(stdout);
    return kExportDone;
}
