// render_bench.cpp -- drawing speed of the SDL backend: a synthetic worst-case frame (full clear,
// 5000 alpha-blended strips, 1500 rotated bullets, 1500 additive effects, 720 ring segments and
// the frame picture) rendered into a real window and presented. Run under an X server, e.g.
//   xvfb-run -a -s "-screen 0 1024x768x24" env LIBGL_ALWAYS_SOFTWARE=1 build/tests/render_bench
// The "fps" counter is frames per second; "cpu_ms_per_frame" is the CPU time of every thread of
// the process (llvmpipe rasterises on threads of its own) per frame, steadier on a busy machine.
// With MIRRORFALL_BENCH_SNAPSHOT=file.png one more frame, the same in every run, is written there
// to look at and to compare pixel for pixel.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

#include "gfx/sprite.h"
#include "platform/sdl_engine.h"

namespace {

Engine* engine = nullptr;
HTEXTURE sheet = 0;       // 256 x 256: bullets, strips and ring pieces
HTEXTURE glowSheet = 0;   // 64 x 64: soft glow for the additive effects
HTEXTURE framePicture = 0;  // 640 x 480: the frame around the play field

// A texture painted in code: fn(x, y) gives each pixel.
template <typename Paint>
HTEXTURE PaintTexture(int w, int h, Paint paint) {
    HTEXTURE t = engine->Texture_Create(w, h);
    uint32_t* p = engine->Texture_Lock(t, false);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) p[y * w + x] = paint(x, y);
    }
    engine->Texture_Unlock(t);
    return t;
}

uint32_t Disc(float dx, float dy, float r, uint32_t rgb) {
    float d = std::sqrt(dx * dx + dy * dy);
    float a = d < r - 1 ? 1.0f : (d < r ? r - d : 0.0f);
    return (uint32_t(a * 255) << 24) | rgb;
}

void MakeTextures() {
    sheet = PaintTexture(256, 256, [](int x, int y) -> uint32_t {
        if (y < 16 && x < 16) return Disc(float(x) - 7.5f, float(y) - 7.5f, 7.5f, 0xFF4040);
        if (y >= 32 && y < 36) return 0xC080E0FF;  // a strip of laser
        if (y >= 64 && y < 68) return 0xFFFFFFFF;  // the ring's line
        return 0;
    });
    glowSheet = PaintTexture(64, 64, [](int x, int y) -> uint32_t {
        float dx = float(x) - 31.5f, dy = float(y) - 31.5f;
        float a = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy) / 32.0f);
        return (uint32_t(a * 255) << 24) | 0x60A0FF;
    });
    framePicture = PaintTexture(640, 480, [](int x, int y) -> uint32_t {
        bool field = x >= 32 && x < 512 && y >= 16 && y < 464;  // transparent play field
        return field ? 0 : 0xFF203040u + uint32_t((x ^ y) & 15);
    });
}

void DrawWorstCaseFrame(Sprite& bullet, Sprite& strip, Sprite& effect, Sprite& ring,
                        Sprite& frame, int frameNumber) {
    engine->Gfx_BeginScene();
    engine->Gfx_Clear(0xFF102030);
    float t = float(frameNumber) * 0.01f;
    for (int i = 0; i < 1500; ++i) {
        float a = float(i) * 0.37f + t;
        effect.DrawTransformed(272 + std::cos(a) * float(i % 200), 240 + std::sin(a) * float(i % 220),
                               0.0f, 1.0f);
    }
    for (int i = 0; i < 5000; ++i) {
        float a = float(i) * 0.011f + t;
        strip.DrawTransformed(272 + std::cos(a) * float(i % 230), 240 + std::sin(a) * float(i % 230),
                              a, 1.0f);
    }
    for (int i = 0; i < 1500; ++i) {
        float a = float(i) * 0.73f - t;
        bullet.DrawTransformed(272 + std::cos(a) * float(i % 240), 240 + std::sin(a) * float(i % 240),
                               a, 1.0f);
    }
    for (int i = 0; i < 720; ++i) {
        float a0 = float(i) * 0.5f / 57.3f, a1 = float(i + 1) * 0.5f / 57.3f;
        float r0 = 150, r1 = 153;
        ring.DrawCorners(272 + std::sin(a0) * r1, 240 - std::cos(a0) * r1,
                         272 + std::sin(a1) * r1, 240 - std::cos(a1) * r1,
                         272 + std::sin(a1) * r0, 240 - std::cos(a1) * r0,
                         272 + std::sin(a0) * r0, 240 - std::cos(a0) * r0);
    }
    frame.Draw(320, 240);
    engine->Gfx_EndScene();
}

// CPU time of the whole process (the renderer's own threads included), in seconds: on a busy
// machine it says more about the cost of a frame than the wall clock does.
double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void BM_WorstCaseFrame(benchmark::State& state) {
    Sprite bullet(sheet, 0, 0, 16, 16);
    bullet.SetAnchor(8, 8);
    Sprite strip(sheet, 0, 32, 50, 2);  // 100 pixels each
    strip.SetAnchor(25, 1);
    strip.SetTint(0xC0FFFFFF);
    Sprite effect(glowSheet, 0, 0, 32, 32);
    effect.SetRegion(0, 0, 64, 64, false);  // 64 x 64 glow drawn into 32 x 32
    effect.SetAnchor(16, 16);
    effect.SetBlend(BLEND_COLORMUL | BLEND_ALPHAADD);
    Sprite ring(sheet, 0, 64, 256, 4);
    Sprite frame(framePicture, 0, 0, 640, 480);
    frame.SetAnchor(320, 240);
    int n = 0;
    double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) DrawWorstCaseFrame(bullet, strip, effect, ring, frame, n++);
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["cpu_ms_per_frame"] =
        (ProcessCpuSeconds() - cpuBefore) * 1000.0 / double(state.iterations());
    if (const char* path = std::getenv("MIRRORFALL_BENCH_SNAPSHOT")) {
        DrawWorstCaseFrame(bullet, strip, effect, ring, frame, 1000);  // the same frame every run
        engine->System_Snapshot(path);
    }
}
BENCHMARK(BM_WorstCaseFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    Engine_UseBackend(CreateSdlEngine);
    engine = hgeCreate(HGE_VERSION);
    engine->System_SetState(HGE_TITLE, "render_bench");
    engine->System_SetState(HGE_USESOUND, false);
    engine->System_SetState(HGE_LOGFILE, "");
    if (!engine->System_Initiate()) {
        std::printf("render_bench skipped: no display to open a window on\n");
        return 0;
    }
    MakeTextures();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
