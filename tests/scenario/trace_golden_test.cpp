// trace_golden_test.cpp -- whole games recorded from fixed seeds and scripted keys, played back
// and traced frame by frame, must print exactly the traces they printed when these digests were
// taken. Any change to the rules, the order of random draws or the single-precision arithmetic
// shows here as a changed digest; a change that only rearranges code must leave them all alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "replay/replay.h"
#include "sim_driver.h"
#include "support/headless.h"
#include "support/temp_dir.h"

namespace {

// FNV-1a over the trace as `mirrorfall-sim trace` prints it: every line and its line feed.
class TraceDigest {
public:
    void Add(const std::string& line) {
        for (unsigned char c : line) Mix(c);
        Mix('\n');
        ++lines_;
    }
    uint64_t value() const { return hash_; }
    long lines() const { return lines_; }

private:
    void Mix(unsigned char c) {
        hash_ ^= c;
        hash_ *= 0x100000001b3ull;
    }
    uint64_t hash_ = 0xcbf29ce484222325ull;
    long lines_ = 0;
};

struct GoldenGame {
    SimPattern pattern;
    int32_t seed;
    uint32_t inputSeed;
    bool immortal;     // recorded and traced with every life kept: reaches every attack
    long lines;
    uint64_t digest;
};

// Taken with `mirrorfall-sim record --seed S --pattern P --input-seed I [--immortal]` and
// `mirrorfall-sim trace [--immortal]` of the file it wrote.
constexpr GoldenGame kGames[] = {
    {SimPattern::Idle, 1, 1, false, 992, 0xfc6e1e3378250b7bull},
    {SimPattern::Idle, 7, 7, false, 1118, 0xf42c5d084da86731ull},
    {SimPattern::Idle, 12345, 12345, false, 1149, 0x7ecf4c6f897f558bull},
    {SimPattern::Walk, 1, 1, false, 1069, 0xeadb0deb4810035aull},
    {SimPattern::Walk, 7, 7, false, 899, 0xa048169a5cec4011ull},
    {SimPattern::Walk, 12345, 12345, false, 1065, 0x4580c58f32a6e9a1ull},
    {SimPattern::Bomb, 1, 1, false, 1052, 0xaf5470beffc56b50ull},
    {SimPattern::Bomb, 7, 7, false, 1079, 0xbba9594cb2d8feb9ull},
    {SimPattern::Bomb, 12345, 12345, false, 1082, 0xfad6475f1e833625ull},
    {SimPattern::Chaos, 1, 1, false, 1024, 0xdb641dfd3a185a27ull},
    {SimPattern::Chaos, 7, 7, false, 982, 0x88cb642817fdcb50ull},
    {SimPattern::Chaos, 12345, 12345, false, 1213, 0x7189916de880c6bcull},
    {SimPattern::Walk, 99, 1, true, 7250, 0xe81e298e1487d328ull},
    {SimPattern::Bomb, 99, 1, true, 7250, 0x38a2cdf13018993bull},
    {SimPattern::Chaos, 99, 1, true, 7250, 0x539d4f6fd26e25feull},
};

class TraceGoldenTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseHeadlessEngine();
        SimStartUp();
    }
    WorkInTempDir dir_{"trace_golden"};
};

TEST_F(TraceGoldenTest, RecordedGamesTraceAsTheyAlwaysHave) {
    for (const GoldenGame& game : kGames) {
        SCOPED_TRACE(std::string(SimPatternName(game.pattern)) + " seed " + std::to_string(game.seed) +
                     (game.immortal ? " immortal" : ""));
        SimRecordOptions options;
        options.seed = game.seed;
        options.pattern = game.pattern;
        options.inputSeed = game.inputSeed;
        options.immortal = game.immortal;
        SimRecord(options);
        ASSERT_TRUE(WriteReplayFile("game.rpy", "golden", "test", "", "2026/01/01 00:00:00"));
        ASSERT_TRUE(LoadReplayFile("game.rpy"));

        TraceDigest digest;
        SimPlayBack(game.immortal, [&](const std::string& line) { digest.Add(line); });
        EXPECT_EQ(digest.lines(), game.lines);
        EXPECT_EQ(digest.value(), game.digest) << std::hex << "digest 0x" << digest.value();
    }
}

}  // namespace
