// world_bench.cpp -- speed of one WorldStep with full stores through the headless engine: 1500
// bullets, 1500 effects of the common kinds, 1500 items and the corridor scene. Every frame
// starts from the same saved battle, so each iteration does the same work. The CPU column is
// the time of one WorldStep in microseconds; "quads_per_frame" is what it draws, and
// "allocs_per_frame" counts the heap allocations made inside WorldStep, which must be 0.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "app/callbacks.h"
#include "core/state.h"
#include "input/keys.h"
#include "core/random.h"
#include "app/screen_flow.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/panels.h"
#include "game/player.h"
#include "game/stage.h"
#include "game/world.h"
#include "support/combat_world.h"

namespace {

std::atomic<long> allocations{0};

// The parts of the battle a frame changes, saved once and put back before every frame.
struct Saved {
    void* where;
    std::vector<unsigned char> bytes;
};
std::vector<Saved> saved;
uint32_t savedRandom = 0;

template <typename T, size_t N>
void Keep(T (&array)[N]) {
    Saved s{array, std::vector<unsigned char>(sizeof array)};
    std::memcpy(s.bytes.data(), array, sizeof array);
    saved.push_back(std::move(s));
}

template <typename T>
void KeepValue(T& value) {
    Saved s{&value, std::vector<unsigned char>(sizeof value)};
    std::memcpy(s.bytes.data(), &value, sizeof value);
    saved.push_back(std::move(s));
}

void Restore() {
    for (const Saved& s : saved) std::memcpy(s.where, s.bytes.data(), s.bytes.size());
    SeedRandom(savedRandom);
}

void BuildBattle() {
    ResetCombatWorld();
    record.replayPlayback = true;  // inputs from inputBits: none held
    // The corridor, exactly as the stage builds it.
    run.frameCounter = -62;
    StageScript();
    FreeAllEffects();
    run.frameCounter = 500;
    boss.x = 320;
    boss.y = 128;
    SeedRandom(2024);

    // Bullets of every picture across the field, away from the player but some in graze range.
    const int codes[][3] = {{0, 48, 16}, {0, 112, 16}, {0, 240, 8}, {2, 32, 32}, {2, 128, 32}, {2, 192, 64}};
    for (int i = 0; i < kBulletSlots; i++) {
        int r1 = Rand();
        int r2 = Rand();
        int r3 = Rand();
        const int* c = codes[i % 6];
        float x = 110 + static_cast<float>(r1 % 420);
        float y = static_cast<float>(r2 % 380);
        SpawnBullet(c[0], 0, c[1], c[2], c[2], x, y, 1, 1, static_cast<float>(r3 % 360), 0.31f,
                    1.5f, i % 7 == 0 ? 3 : 0, 255);
        bulletAge[i] = 20;
    }
    // Effects: flashes, sparks, glows and charge particles.
    for (int i = 0; i < kEffectSlots; i++) {
        int r1 = Rand();
        int r2 = Rand();
        float x = 120 + static_cast<float>(r1 % 400);
        float y = static_cast<float>(r2 % 460);
        switch (i % 4) {
            case 0: SpawnEffect(29, 0, 0, 64, 64, x, y, 1, 1, 30, 0.21f, EFFECT_FLASH, 255, 200, 100, 50, 0, 6); break;
            case 1: SpawnEffect(1, 192, 0, 16, 16, x, y, 0.8f, 0.8f, 70, 0.6f, EFFECT_SPARK, 155, 255, 255, 255, 0, 4); break;
            case 2: SpawnEffect(33, 0, 0, 32, 32, x, y, 1.5f, 1.5f, 0, 0.6f, EFFECT_GLOW, 255, 255, 255, 255, 2, 3); break;
            default: SpawnEffect(33, 0, 0, 32, 32, x, y, 1, 1, 30, 0.88f, EFFECT_PARTICLE, 255, 40, 0, 0, 2, 10); break;
        }
    }
    // Items floating in the upper field, out of the player's reach.
    for (int i = 0; i < kItemSlots; i++) {
        int r1 = Rand();
        int r2 = Rand();
        SpawnItem(27, 0, 12, 32, 36, 140 + static_cast<float>(r1 % 360),
                  40 + static_cast<float>(r2 % 300), 0, 1 + i % 2);
        itemAge[i] = 30;
    }

    saved.clear();
    Keep(bulletFree); Keep(bulletX); Keep(bulletY); Keep(bulletAngle); Keep(bulletSpeed);
    Keep(bulletScaleX); Keep(bulletScaleY); Keep(bulletAge); Keep(grazed); Keep(behaviour);
    Keep(effectFree); Keep(effectX); Keep(effectY); Keep(effectScaleX); Keep(effectScaleY);
    Keep(effectAngle); Keep(effectAge); Keep(effectRed); Keep(effectGreen); Keep(effectBlue);
    Keep(effectKind);
    Keep(itemFree); Keep(itemX); Keep(itemY); Keep(itemAngle); Keep(itemAge); Keep(attracted);
    Keep(panelZ); Keep(panelYaw); Keep(panelAge); Keep(panelDistance);
    KeepValue(playerX); KeepValue(playerY); KeepValue(run.frameCounter); KeepValue(run.score);
    KeepValue(lifeLossTimer); KeepValue(invulnTimer);
    savedRandom = RandomState();
}

void BM_WorldStepFullStores(benchmark::State& state) {
    BuildBattle();
    long allocs = 0;
    long quads = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Restore();
        hge->Gfx_BeginScene();
        long before = allocations.load();
        state.ResumeTiming();
        WorldStep();
        state.PauseTiming();
        allocs += allocations.load() - before;
        quads += Headless()->QuadsThisScene();
        hge->Gfx_EndScene();
        state.ResumeTiming();
    }
    state.counters["quads_per_frame"] =
        static_cast<double>(quads) / static_cast<double>(state.iterations());
    state.counters["allocs_per_frame"] =
        static_cast<double>(allocs) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_WorldStepFullStores)->Unit(benchmark::kMicrosecond);

}  // namespace

// Counts every heap allocation, so the benchmark can show WorldStep makes none.
void* operator new(size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

BENCHMARK_MAIN();
