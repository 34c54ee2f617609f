// replay_video.cpp -- the replay list's videos (replay_video.h).
#include "ui/replay_video.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "core/sound_cues.h"
#include "core/state.h"
#include "input/keys.h"
#include "platform/child_process.h"
#include "platform/video_file.h"
#include "replay/replay.h"
#include "ui/replay_screens.h"

namespace {

constexpr const char* kVideoFolder = "Videos";
constexpr int kVideoKey = 'V';
constexpr int kMessageFrames = 240;  // how long the outcome stays on the list

struct VideoJob {
    ChildProcess child;
    bool running = false;
    bool stopping = false;
    int slot = 0;
    std::string file;
    long done = 0;
    long total = 0;
    std::string lastLine;  // the export's last word, for a failure
};

// A video still being made when the game ends is stopped (its file removed) on the way out.
std::unique_ptr<VideoJob> job;
bool keyWasHeld = false;
std::string message;
int messageFrames = 0;

void Say(const std::string& text) {
    message = text;
    messageFrames = kMessageFrames;
}

// A filled rectangle in front of the list.
void Fill(float x0, float y0, float x1, float y1, uint32_t colour) {
    hgeQuad q{};
    const float xs[4] = {x0, x1, x1, x0};
    const float ys[4] = {y0, y0, y1, y1};
    for (int i = 0; i < 4; ++i) q.v[i] = {xs[i], ys[i], 0.02f, colour, 0, 0};
    q.tex = 0;
    q.blend = BLEND_DEFAULT;
    hge->Gfx_RenderQuad(&q);
}

std::string VideoName(int slot) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    char name[96];
    std::snprintf(name, sizeof name, "%s/mirrorfall_replay%02d_%s.mp4", kVideoFolder, slot, stamp);
    return name;
}

void Start(int slot) {
    char replay[64];
    ReplaySummary summary;
    if (!ReplaySlotFileName(slot, replay, sizeof replay) || !ReadReplaySummary(slot, &summary)) {
        RaiseCue(CUE_INVALID);
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(kVideoFolder, ec);
    if (ec) {
        Say("Video not saved: cannot make the Videos folder");
        RaiseCue(CUE_INVALID);
        return;
    }
    auto next = std::make_unique<VideoJob>();
    next->slot = slot;
    next->file = VideoName(slot);
    std::string error;
    const std::string program = OwnExecutable();
    if (program.empty() ||
        !next->child.Start(program, {"--export-video", replay, next->file, "--progress-lines"},
                           &error)) {
        Say("Video not saved: " + (program.empty() ? std::string("the game cannot run itself") : error));
        hge->System_Log("Can't start the video export: %s", error.c_str());
        RaiseCue(CUE_INVALID);
        return;
    }
    hge->System_Log("Making %s from replay slot %d", next->file.c_str(), slot);
    next->running = true;
    job = std::move(next);
    message.clear();
    messageFrames = 0;
    RaiseCue(CUE_OK00);
}

// Reads what the export said and, once it has ended, how.
void Poll() {
    for (const std::string& line : job->child.TakeLines()) {
        long done = 0, total = 0;
        if (std::sscanf(line.c_str(), "export: progress %ld %ld", &done, &total) == 2) {
            job->done = done;
            job->total = total;
        } else if (!line.empty()) {
            job->lastLine = line;
        }
    }
    if (job->child.Running()) return;
    const int status = job->child.ExitStatus();
    if (status == 0) {
        Say("Video saved: " + job->file);
        hge->System_Log("Video saved: %s", job->file.c_str());
    } else if (job->stopping) {
        Say("Video stopped: nothing was saved");
        hge->System_Log("Video stopped: %s was not saved", job->file.c_str());
    } else {
        std::string why = job->lastLine;
        if (why.rfind("export: ", 0) == 0) why.erase(0, 8);
        Say("Video not saved: " + why);
        hge->System_Log("Video not saved (exit status %d): %s", status, why.c_str());
    }
    job.reset();
}

void DrawPanel(const char* title, float fraction, bool bar) {
    Fill(100, 200, 540, bar ? 266 : 232, 0xD0000000u);
    DrawOutlined(112, 206, title, 255, -1);
    if (!bar) return;
    if (fraction < 0) fraction = 0;
    if (fraction > 1) fraction = 1;
    Fill(112, 236, 528, 252, 0xFF404040u);
    Fill(112, 236, 112 + 416 * fraction, 252, 0xFFFFD040u);
}

}  // namespace

bool ReplayVideoFrame(int slot) {
    if (!VideoFilesAvailable()) return false;
    const bool held = IsForeground() && hge->Input_GetKeyState(kVideoKey);
    const bool pressed = held && !keyWasHeld;
    keyWasHeld = held;

    if (job == nullptr) {
        DrawOutlined(480, 15, "V: save as video", 255, -1);
        if (pressed && run.switchCountdown == 0) Start(slot);
    }
    if (job == nullptr) {
        if (messageFrames > 0) {
            --messageFrames;
            DrawPanel(message.c_str(), 0, false);
        }
        return false;
    }

    Poll();
    if (job == nullptr) return false;
    if (IsForeground() && hge->Input_GetKeyState(VK_ESCAPE) && Latch(MenuKey::Cancel) == 0.0f) {
        Latch(MenuKey::Cancel) = 1.0f;
        job->stopping = true;
        job->child.Interrupt();
        RaiseCue(CUE_CANCEL00);
    }
    char title[128];
    const long percent = job->total > 0 ? job->done * 100 / job->total : 0;
    std::snprintf(title, sizeof title, job->stopping ? "Stopping the video..."
                                                     : "Saving replay %02d as a video: %ld%%   (Esc stops)",
                  job->slot, percent);
    DrawPanel(title, job->total > 0 ? float(job->done) / float(job->total) : 0.0f, true);
    return true;
}
