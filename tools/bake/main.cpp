// main.cpp -- mirrorfall-bake: paints every picture, synthesises every sound and both music
// tracks, packs them into the password-protected gamedat.zip, and sets up the game's folder
// with a default Keyconfig.ini, an empty Replay/ folder and the game's icons.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bake.h"
#include "game_folder.h"
#include "icons.h"
#include "preview.h"

namespace {

void Usage(FILE* to) {
    std::fprintf(to,
                 "Usage: mirrorfall-bake [--out DIR] [--preview FILE.png] [--settings-template FILE]\n"
                 "Paints, synthesises and packs every data file of Mirrorfall.\n"
                 "  --out DIR           the game's folder to write into (default: current folder):\n"
                 "                      gamedat.zip, Keyconfig.ini (only when missing), Replay/,\n"
                 "                      icons/mirrorfall-N.png (the desktop and window icon)\n"
                 "  --preview FILE.png  also write a contact sheet of every picture with the\n"
                 "                      regions the game draws outlined\n"
                 "  --settings-template FILE\n"
                 "                      also write the default Keyconfig.ini to FILE (replacing it):\n"
                 "                      the install ships it for each player's first run\n"
                 "  --help              show this text\n");
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir = ".";
    std::string preview;
    std::string settingsTemplate;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            Usage(stdout);
            return 0;
        } else if ((a == "--out" || a == "--preview") && i + 1 < argc) {
            (a == "--out" ? outDir : preview) = argv[++i];
        } else if (a == "--settings-template" && i + 1 < argc) {
            settingsTemplate = argv[++i];
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

    std::vector<BakedFile> all = std::move(pictures);
    all.insert(all.end(), sounds.begin(), sounds.end());
    std::vector<BakedFile> files;
    std::string error;
    if (!OrderAsCatalogue(all, files, error)) {
        std::fprintf(stderr, "mirrorfall-bake: the data is incomplete:\n%s", error.c_str());
        return 1;
    }
    std::vector<BakedFile> icons;
    BakeIcons(icons);
    if (!InstallGameFolder(outDir, files, error) || !InstallIcons(outDir, icons, error)) {
        std::fprintf(stderr, "mirrorfall-bake: %s\n", error.c_str());
        return 1;
    }
    if (!settingsTemplate.empty() && !WriteSettingsTemplate(settingsTemplate, error)) {
        std::fprintf(stderr, "mirrorfall-bake: %s\n", error.c_str());
        return 1;
    }
    if (!preview.empty() && !WriteContactSheet(files, preview)) return 1;
    std::printf("mirrorfall-bake: %zu files into %s/gamedat.zip: pictures %.2f s, sounds and music "
                "%.2f s, %.2f s in all\n",
                files.size(), outDir.c_str(), pictureTime, soundTime, Seconds(start));
    return 0;
}
