// Fuzz target: the score file, read for the score list and appended to with a game's rank.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/state.h"
#include "fuzz_support.h"
#include "replay/score_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The score file's name is relative: work in the scratch folder.
    static const bool entered = [] {
        const std::string folder = FuzzScratchFile("");
        std::filesystem::create_directories(folder + "Replay");
        hge = hgeCreate(HGE_VERSION);
        return ::chdir(folder.c_str()) == 0;
    }();
    if (!entered || !FuzzWriteFile("Replay/score.rpy", data, size)) return 0;

    if (LoadScoreList()) {
        FUZZ_CHECK(scoreList.count >= 0 && scoreList.count <= kScoreListRoom);
        for (int i = 2; i <= scoreList.count; ++i) {
            FUZZ_CHECK(scoreList.records[i - 1] >= scoreList.records[i]);
        }
    }
    const ScoreRank rank = AppendScore(1234);
    FUZZ_CHECK(rank.rank <= rank.total);
    return 0;
}
