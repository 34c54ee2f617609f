// main.cpp -- mirrorfall-bake: paints every picture, synthesises every sound and both music
// tracks, packs them into the password-protected gamedat.zip, and sets up the game's folder
// with a default Keyconfig.ini and an empty Replay/ folder.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "art.h"
#include "bake.h"
#include "pack_writer.h"
#include "platform/pack.h"
#include "preview.h"

namespace fs = std::filesystem;

namespace {

// The settings a fresh game starts with: arrows, Shift to slow, Z to bomb and confirm, X to
// cancel, Ctrl to skip; both volumes at 80 %; windowed.
const char kDefaultKeyconfig[] =
    "[KeyPress]\r\nUP=38\r\nDOWN=40\r\nLEFT=37\r\nRIGHT=39\r\nSLOW=16\r\nSHOOT=90\r\nBOMB=88\r\n"
    "SKIP=17\r\n[Sound]\r\nBGM=80\r\nSE=80\r\n[System]\r\nAutoBomb=0\r\nWindow=1\r\n";

void Usage(FILE* to) {
    std::fprintf(to,
                 "Usage: mirrorfall-bake [--out DIR] [--preview FILE.png]\n"
                 "Paints, synthesises and packs every data file of Mirrorfall.\n"
                 "  --out DIR           the game's folder to write into (default: current folder):\n"
                 "                      gamedat.zip, Keyconfig.ini (only when missing), Replay/\n"
                 "  --preview FILE.png  also write a contact sheet of every picture with the\n"
                 "                      regions the game draws outlined\n"
                 "  --help              show this text\n");
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool WriteFileAtomically(const fs::path& path, const std::vector<unsigned char>& bytes) {
    fs::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out) return false;
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    return !ec;
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir = ".";
    std::string preview;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            Usage(stdout);
            return 0;
        } else if ((a == "--out" || a == "--preview") && i + 1 < argc) {
            (a == "--out" ? outDir : preview) = argv[++i];
        } else {
            std::fprintf(stderr, "mirrorfall-bake: unknown or incomplete argument '%s'\n", a.c_str());
            Usage(stderr);
            return 2;
        }
    }

    auto start = std::chrono::steady_clock::now();
    std::vector<BakedFile> pictures, sounds;
    double pictureTime = 0, soundTime = 0;
    // Pictures and sounds are independent: bake them side by side.
    std::thread audio([&] {
        auto t = std::chrono::steady_clock::now();
        BakeSoundEffects(sounds);
        BakeMusic(sounds);
        soundTime = Seconds(t);
    });
    {
        auto t = std::chrono::steady_clock::now();
        BakePictures(pictures);
        pictureTime = Seconds(t);
    }
    audio.join();

    // Every file of the catalogue exactly once, in the catalogue's order.
    std::map<std::string, const BakedFile*> byName;
    bool ok = true;
    for (const std::vector<BakedFile>* group : {&pictures, &sounds}) {
        for (const BakedFile& f : *group) {
            if (!byName.emplace(f.name, &f).second) {
                std::fprintf(stderr, "mirrorfall-bake: %s was made twice\n", f.name.c_str());
                ok = false;
            }
        }
    }
    std::vector<BakedFile> files;
    for (const std::string& name : CatalogueFiles()) {
        auto it = byName.find(name);
        if (it == byName.end() || it->second->bytes.empty()) {
            std::fprintf(stderr, "mirrorfall-bake: %s was not made\n", name.c_str());
            ok = false;
            continue;
        }
        files.push_back(*it->second);
        byName.erase(it);
    }
    for (const auto& [name, file] : byName) {
        std::fprintf(stderr, "mirrorfall-bake: %s is not a file the game reads\n", name.c_str());
        ok = false;
    }
    if (!ok) return 1;

    std::error_code ec;
    fs::create_directories(fs::path(outDir) / "Replay", ec);
    if (ec) {
        std::fprintf(stderr, "mirrorfall-bake: cannot create %s/Replay: %s\n", outDir.c_str(),
                     ec.message().c_str());
        return 1;
    }
    fs::path packPath = fs::path(outDir) / "gamedat.zip";
    std::vector<unsigned char> pack = BuildPack(files, kPackPassword);
    if (!WriteFileAtomically(packPath, pack)) {
        std::fprintf(stderr, "mirrorfall-bake: cannot write %s\n", packPath.c_str());
        return 1;
    }
    // Read every member back through the game's own pack reader.
    ResourcePack reader;
    if (!reader.Attach(packPath.string(), kPackPassword)) {
        std::fprintf(stderr, "mirrorfall-bake: %s does not open\n", packPath.c_str());
        return 1;
    }
    for (const BakedFile& f : files) {
        std::vector<unsigned char> back;
        if (!reader.Read(f.name, back) || back != f.bytes) {
            std::fprintf(stderr, "mirrorfall-bake: %s does not read back from the pack\n", f.name.c_str());
            return 1;
        }
    }
    // A player's own settings survive a rebuild.
    fs::path ini = fs::path(outDir) / "Keyconfig.ini";
    if (!fs::exists(ini)) {
        std::vector<unsigned char> bytes(kDefaultKeyconfig, kDefaultKeyconfig + std::strlen(kDefaultKeyconfig));
        if (!WriteFileAtomically(ini, bytes)) {
            std::fprintf(stderr, "mirrorfall-bake: cannot write %s\n", ini.c_str());
            return 1;
        }
    }
    if (!preview.empty() && !WriteContactSheet(files, preview)) return 1;

    std::printf("mirrorfall-bake: %zu files into %s (%zu bytes): pictures %.2f s, sounds and music "
                "%.2f s, %.2f s in all\n",
                files.size(), packPath.c_str(), pack.size(), pictureTime, soundTime, Seconds(start));
    return 0;
}
