// world_bench.cpp -- speed of one WorldStep with full stores through the headless engine: 1500
// bullets, 1500 effects of the common kinds, 1500 items and the corridor scene. Every frame
// starts from the same saved battle, so each iteration does the same work. The CPU column is
// the time of one WorldStep in microseconds, drawn as the game draws and undrawn as
// mirrorfall-sim steps it; "quads_per_frame" is what it draws, and
// "allocs_per_frame" counts the heap allocations made inside WorldStep, which must be 0.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "app/callbacks.h"
#include "app/screen_flow.h"
#include "core/random.h"
#include "core/state.h"
#include "game/boss.h"
#include "game/bullets.h"
#include "game/effects.h"
#include "game/items.h"
#include "game/panels.h"
#include "game/player.h"
#include "game/stage.h"
#include "game/world.h"
#include "input/keys.h"
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
    struct Picture {
        TextureId texture;
        int regionY, size;
    };
    const Picture pictures[] = {{TEX_BULLET1, 48, 16}, {TEX_BULLET1, 112, 16},
                                {TEX_BULLET1, 240, 8}, {TEX_BULLET3, 32, 32},
                                {TEX_BULLET3, 128, 32}, {TEX_BULLET3, 192, 64}};
    for (int i = 0; i < kBulletSlots; i++) {
        int r1 = Rand();
        int r2 = Rand();
        int r3 = Rand();
        const Picture& c = pictures[i % 6];
        float x = 110 + static_cast<float>(r1 % 420);
        float y = static_cast<float>(r2 % 380);
        SpawnBullet({.texture = c.texture, .regionX = 0, .regionY = c.regionY, .regionW = c.size,
                     .regionH = c.size, .x = x, .y = y, .angle = static_cast<float>(r3 % 360),
                     .depth = 0.31f, .speed = 1.5f, .behaviour = i % 7 == 0 ? 3 : 0});
        bulletAge[i] = 20;
    }
    // Effects: flashes, sparks, glows and charge particles.
    for (int i = 0; i < kEffectSlots; i++) {
        int r1 = Rand();
        int r2 = Rand();
        float x = 120 + static_cast<float>(r1 % 400);
        float y = static_cast<float>(r2 % 460);
        switch (i % 4) {
            case 0: SpawnEffect({.texture = TEX_ETBREAK, .regionX = 0, .regionY = 0, .regionW = 64,
                                 .regionH = 64, .x = x, .y = y, .angle = 30, .depth = 0.21f,
                                 .kind = EFFECT_FLASH, .red = 200, .green = 100, .blue = 50,
                                 .blend = 0, .age = 6}); break;
            case 1: SpawnEffect({.texture = TEX_BULLET2, .regionX = 192, .regionY = 0,
                                 .regionW = 16, .regionH = 16, .x = x, .y = y, .scaleX = 0.8f,
                                 .scaleY = 0.8f, .angle = 70, .depth = 0.6f, .kind = EFFECT_SPARK,
                                 .alpha = 155, .blend = 0, .age = 4}); break;
            case 2: SpawnEffect({.texture = TEX_PARTICLES, .regionX = 0, .regionY = 0,
                                 .regionW = 32, .regionH = 32, .x = x, .y = y, .scaleX = 1.5f,
                                 .scaleY = 1.5f, .depth = 0.6f, .kind = EFFECT_GLOW, .blend = 2,
                                 .age = 3}); break;
            default: SpawnEffect({.texture = TEX_PARTICLES, .regionX = 0, .regionY = 0,
                                  .regionW = 32, .regionH = 32, .x = x, .y = y, .angle = 30,
                                  .depth = 0.88f, .kind = EFFECT_PARTICLE, .red = 40, .green = 0,
                                  .blue = 0, .blend = 2, .age = 10}); break;
        }
    }
    // Items floating in the upper field, out of the player's reach.
    for (int i = 0; i < kItemSlots; i++) {
        int r1 = Rand();
        int r2 = Rand();
        SpawnItem({.texture = TEX_ITEM09B, .regionX = 0, .regionY = 12, .regionW = 32,
                   .regionH = 36, .x = 140 + static_cast<float>(r1 % 360),
                   .y = 40 + static_cast<float>(r2 % 300), .angle = 0, .type = 1 + i % 2});
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

// drawn: through the headless engine as tests and the game draw; otherwise as mirrorfall-sim
// steps the world, with drawing skipped.
void WorldStepFullStores(benchmark::State& state, bool drawn) {
    BuildBattle();
    Headless()->SetSkipDrawing(!drawn);
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
    Headless()->SetSkipDrawing(false);
}

void BM_WorldStepFullStores(benchmark::State& state) { WorldStepFullStores(state, true); }
void BM_WorldStepFullStoresUndrawn(benchmark::State& state) { WorldStepFullStores(state, false); }
BENCHMARK(BM_WorldStepFullStores)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorldStepFullStoresUndrawn)->Unit(benchmark::kMicrosecond);

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
