// frame_pacing_bench.cpp -- how evenly the real game's frames come: the game runs in its window
// (title screen and menus, as a player would leave it) for a while and every frame's start is
// timed. Reports the frame rate, how far the frames drifted from the 60-a-second schedule over the
// whole run, and the spread of frame times. Run from the game's folder under an X server, e.g.
//   cd build/game
//   xvfb-run -a -s "-screen 0 1024x768x24" env SDL_AUDIODRIVER=dummy ../tests/frame_pacing_bench 60
// The first seconds (start-up and the title's loading frame) are left out of the figures. With
// --bare the engine's loop runs frames that only clear the scene, which shows the frame limiter's
// own accuracy apart from what drawing the game costs a busy machine.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/callbacks.h"
#include "platform/sdl_engine.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double seconds = 60;
    double settle = 5;  // left out: start-up and the long loading frame
    Clock::time_point start;
    std::vector<double> stamps;  // seconds since start, one per frame
};

Engine* bareEngine = nullptr;

bool BareFrame() { return false; }

bool BareRender() {
    bareEngine->Gfx_BeginScene();
    bareEngine->Gfx_Clear(0xFF102040);
    bareEngine->Gfx_EndScene();
    return false;
}

// The engine's loop with nothing to draw, at 60 frames a second.
void RunBare() {
    bareEngine = hgeCreate(HGE_VERSION);
    bareEngine->System_SetState(HGE_FRAMEFUNC, BareFrame);
    bareEngine->System_SetState(HGE_RENDERFUNC, BareRender);
    bareEngine->System_SetState(HGE_TITLE, "frame pacing");
    bareEngine->System_SetState(HGE_USESOUND, false);
    bareEngine->System_SetState(HGE_DONTSUSPEND, true);
    bareEngine->System_SetState(HGE_FPS, 60);
    if (bareEngine->System_Initiate()) bareEngine->System_Start();
    bareEngine->Release();
}

void OnFrame(void* user) {
    Run& run = *static_cast<Run*>(user);
    double t = std::chrono::duration<double>(Clock::now() - run.start).count();
    run.stamps.push_back(t);
    if (t >= run.settle + run.seconds) {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Run run;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    bool bare = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--bare") bare = true;
        else run.seconds = std::max(1.0, std::atof(argv[i]));
    }
    if (bare) run.settle = 1;
    run.start = Clock::now();
    Engine_UseBackend(CreateSdlEngine);
    SdlEngine_SetFrameObserver(OnFrame, &run);
    if (bare) RunBare();
    else RunGame();

    std::vector<double> t;
    for (double s : run.stamps) {
        if (s >= run.settle) t.push_back(s);
    }
    if (t.size() < 2) {
        std::fprintf(stderr, "frame_pacing_bench: too few frames were timed\n");
        return 1;
    }
    std::vector<double> gaps;
    for (size_t i = 1; i < t.size(); ++i) gaps.push_back((t[i] - t[i - 1]) * 1000.0);
    double elapsed = t.back() - t.front();
    double frames = double(gaps.size());
    // Drift: where the last frame came against where 60 a second would put it.
    double driftMs = (elapsed - frames / 60.0) * 1000.0;
    // The largest lateness of any frame against the schedule from the first measured frame.
    double worstLateMs = 0, worstEarlyMs = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        double off = ((t[i] - t.front()) - double(i) / 60.0) * 1000.0;
        worstLateMs = std::max(worstLateMs, off);
        worstEarlyMs = std::min(worstEarlyMs, off);
    }
    std::vector<double> sorted = gaps;
    std::sort(sorted.begin(), sorted.end());
    auto pct = [&](double p) { return sorted[std::min(sorted.size() - 1, size_t(p * double(sorted.size())))]; };
    int over20 = int(std::count_if(gaps.begin(), gaps.end(), [](double g) { return g > 20.0; }));
    double mean = 0;
    for (double g : gaps) mean += g;
    mean /= frames;
    double var = 0;
    for (double g : gaps) var += (g - mean) * (g - mean);
    std::printf("frames %.0f in %.3f s: %.3f a second\n", frames, elapsed, frames / elapsed);
    std::printf("drift against 60 a second over the run: %+.2f ms (frame offsets %+.2f .. %+.2f ms)\n",
                driftMs, worstEarlyMs, worstLateMs);
    // A frame over 100 ms late makes the limiter start afresh rather than race to catch up: that
    // time is given up on purpose (a loading frame, a machine too busy to run the game), so it is
    // told apart from the schedule's own drift.
    int stalls = 0;
    double stalledMs = 0;
    for (double g : gaps) {
        if (g > 100.0) {
            ++stalls;
            stalledMs += g - 1000.0 / 60.0;
        }
    }
    std::printf("%d stalls over 100 ms gave up %.2f ms; drift apart from them: %+.2f ms\n", stalls,
                stalledMs, driftMs - stalledMs);
    std::printf("frame time ms: mean %.3f, sd %.3f, min %.3f, median %.3f, p99 %.3f, max %.3f; "
                "%d over 20 ms\n",
                mean, std::sqrt(var / frames), sorted.front(), pct(0.5), pct(0.99), sorted.back(), over20);
    return 0;
}
