// Fuzz target: the replay list, the replay save screen and the score list over a random Replay/
// folder (any of the ten slot files and the score file, each of any bytes, some with head lines
// tens of kilobytes long). The screens never stall or crash, each frame of the list draws only
// what its columns can show, a replay saved from the save screen keeps the typed names whole,
// and the score list stays within its room, highest first.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "assets/catalogue.h"
#include "core/state.h"
#include "fuzz_support.h"
#include "platform/headless_engine.h"
#include "replay/replay.h"
#include "replay/score_file.h"
#include "ui/replay_screens.h"
#include "ui/text_input.h"

namespace {

// Glyphs one slot can show: the label, four lines cut to their columns (at most 140, 110, 351
// and 291 pixels of 8-pixel cells) and the result and score lines, each drawn five times; plus
// the headings and the mouse pointer.
constexpr long kMostQuadsOfTheList = 10 * 5 * (3 + 18 + 14 + 44 + 37 + 24 + 40) + 200;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static HeadlessEngine* engine = [] {
        const std::string folder = FuzzScratchFile("");
        hge = hgeCreate(HGE_VERSION);
        hge->System_Initiate();
        CreateStartupSprites();
        if (::chdir(folder.c_str()) != 0) std::abort();
        return Headless();
    }();
    namespace fs = std::filesystem;
    std::error_code error;
    fs::remove_all("Replay", error);
    fs::create_directories("Replay", error);

    // The folder: for each of the ten slots and the score file, a byte that says whether it
    // exists and how, then its length and bytes.
    size_t i = 0;
    auto next = [&]() -> unsigned { return i < size ? data[i++] : 0u; };
    for (int file = 0; file <= kReplaySlotCount; ++file) {
        const unsigned how = next();
        if (how % 4 == 0) continue;
        const size_t length = std::min(size_t(next() << 8 | next()), size - std::min(i, size));
        std::string bytes(reinterpret_cast<const char*>(data + i), length);
        i += length;
        if (how % 4 == 3) bytes = std::string(40000 + (how & 0xF0) * 100, 'W') + bytes;  // a long first line
        char path[32];
        if (file < kReplaySlotCount) ReplaySlotFileName(file + 1, path, sizeof path);
        else std::snprintf(path, sizeof path, "Replay/score.rpy");
        FILE* out = std::fopen(path, "wb");
        if (out == nullptr) continue;
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }

    engine->ReleaseAllKeys();
    engine->SetFocus(true);
    menus.menuCursor = int(next() % kReplaySlotCount);
    for (Screen screen : {Screen::ReplayList, Screen::ReplaySave}) {
        run.screen = screen;
        run.switchCountdown = 0;
        if (screen == Screen::ReplaySave) CreateNameFields();
        engine->Gfx_BeginScene(0);
        ReplayMenuFrame();
        engine->Gfx_EndScene();
        FUZZ_CHECK(engine->QuadsThisScene() <= kMostQuadsOfTheList);
    }
    // Names typed into the fields are saved whole and read back as written.
    const std::string typed(reinterpret_cast<const char*>(data + std::min(i, size)), std::min<size_t>(size - std::min(i, size), 300));
    for (int f = 0; f < 3; ++f) {
        nameFields[f]->Click();
        engine->PushText(typed.c_str());
    }
    std::string names[3];
    for (int f = 0; f < 3; ++f) names[f] = nameFields[f]->GetText();
    if (WriteReplay(menus.menuCursor + 1, names[0].c_str(), names[1].c_str(), names[2].c_str(), "2026/01/02")) {
        static ReplaySummary summary;
        FUZZ_CHECK(ReadReplaySummary(menus.menuCursor + 1, &summary));
        for (int f = 0; f < 3; ++f) {
            std::string expected = names[f].empty() ? (f == 1 ? "Unnamed" : "None") : names[f];
            for (char& c : expected) {
                if (c == '\r' || c == '\n') c = ' ';
            }
            FUZZ_CHECK(std::string(summary.lines[f]) == expected + " ");
        }
    }
    DestroyNameFields();

    run.screen = Screen::ScoreList;
    if (LoadScoreList()) {
        FUZZ_CHECK(scoreList.count >= 0 && scoreList.count <= kScoreListRoom);
        for (int n = 2; n <= scoreList.count; ++n) FUZZ_CHECK(scoreList.records[n - 1] >= scoreList.records[n]);
        engine->Gfx_BeginScene(0);
        ScoreListFrame();
        engine->Gfx_EndScene();
    }
    return 0;
}
