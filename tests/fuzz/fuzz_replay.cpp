// Fuzz target: the replay reader, as the replay screens summarise a slot and as playback loads
// it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/state.h"
#include "fuzz_support.h"
#include "replay/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = FuzzScratchFile("qz507_01.rpy");
    // The readers log through the engine, as in the game.
    static Engine* const engine = hge = hgeCreate(HGE_VERSION);
    (void)engine;
    if (!FuzzWriteFile(path, data, size)) return 0;

    ReplaySummary summary;
    if (ReadReplaySummaryFile(path.c_str(), &summary)) {
        FUZZ_CHECK(summary.linesRead >= 0 && summary.linesRead <= 4);
        FUZZ_CHECK(summary.numbersRead >= 0 && summary.numbersRead <= 4);
        for (const auto& line : summary.lines) {
            FUZZ_CHECK(std::memchr(line, '\0', ReplaySummary::kLineSize) != nullptr);
        }
    }
    if (LoadReplayFile(path.c_str())) {
        FUZZ_CHECK(record.replayEnd >= 1 && record.replayEnd <= kReplayMaxEnd);
    }
    return 0;
}
