// replay_files_bench.cpp -- what the player's stored files cost the replay screens: loading a
// score file of many games (the score list and every result panel read it whole), and one frame
// of the replay list over ten slots with short names and with the longest names the fields hand
// out. Runs headless:
//   build/tests/replay_files_bench
// Counters: "MB_per_s" for the score file, "quads" drawn per list frame.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "assets/catalogue.h"
#include "core/state.h"
#include "replay/replay.h"
#include "replay/score_file.h"
#include "support/headless.h"
#include "support/temp_dir.h"
#include "ui/replay_screens.h"

namespace {

void BM_LoadScoreList(benchmark::State& state) {
    WorkInTempDir dir("score_bench");
    UseHeadlessEngine();
    std::filesystem::create_directory("Replay");
    const size_t megabytes = size_t(state.range(0));
    {
        std::string games;
        for (int i = 0; games.size() < (size_t(1) << 20); ++i) games += " " + std::to_string(i * 7919 % 100000);
        std::ofstream out("Replay/score.rpy", std::ios::binary);
        for (size_t m = 0; m < megabytes; ++m) out << games;
    }
    for (auto _ : state) benchmark::DoNotOptimize(LoadScoreList());
    state.counters["MB_per_s"] =
        benchmark::Counter(double(megabytes) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LoadScoreList)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(3);

// Ten slots named as the save screen names them: "AB" or 1024 Chinese characters (2048 bytes)
// in all three fields.
void BM_ReplayListFrame(benchmark::State& state) {
    WorkInTempDir dir("list_bench");
    HeadlessEngine& engine = UseHeadlessEngine();
    if (overlaySprite == nullptr) CreateStartupSprites();
    std::filesystem::create_directory("Replay");
    std::string name = "AB";
    if (state.range(0) != 0) {
        name.clear();
        for (int i = 0; i < 1024; ++i) name += "\xD6\xD0";
    }
    for (int slot = 1; slot <= 10; ++slot) {
        char path[32];
        ReplaySlotFileName(slot, path, sizeof path);
        std::ofstream(path, std::ios::binary)
            << name << " \n" << name << " \n" << name << " \n2026/01/02 03:04:05\n7 2 4321000 1 ";
    }
    run.screen = Screen::ReplayList;
    run.switchCountdown = 0;
    for (auto _ : state) {
        engine.Gfx_BeginScene(0);
        ReplayMenuFrame();
        engine.Gfx_EndScene();
    }
    state.counters["quads"] = double(engine.QuadsThisScene());
}
BENCHMARK(BM_ReplayListFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
