// make_seeds.cpp -- builds the fuzz targets' seed corpora from a baked game folder: small packs
// of real members (AE-2 as the game ships, and AE-1), real pictures, the real font description
// and settings file, and the reproducers of faults found before. Replays and scores come from
// mirrorfall-sim when it is given.
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "pack_writer.h"
#include "platform/pack.h"

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "make_fuzz_seeds: %s\n", what.c_str());
    std::exit(1);
}

void Put(const fs::path& file, const Bytes& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) Fail("cannot write " + file.string());
}

void Put(const fs::path& file, const std::string& text) { Put(file, Bytes(text.begin(), text.end())); }

Bytes Get(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) Fail("cannot read " + file.string());
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    fs::path game, out;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--game") game = argv[i + 1];
        else if (a == "--out") out = argv[i + 1];
        else Fail("unknown option " + a);
    }
    if (game.empty() || out.empty()) Fail("usage: make_fuzz_seeds --game DIR --out DIR");

    ResourcePack pack;
    if (pack.Attach((game / "gamedat.zip").string(), kFuzzPackPassword) != PackAttach::Opened) {
        Fail("cannot open " + (game / "gamedat.zip").string());
    }
    std::vector<BakedFile> members;
    for (int64_t i = 0; i < pack.MemberCount(); ++i) {
        BakedFile f;
        f.name = pack.MemberName(i);
        if (pack.ReadMember(i, f.bytes) != PackRead::Ok) Fail("cannot read " + f.name);
        members.push_back(std::move(f));
    }
    std::sort(members.begin(), members.end(),
              [](const BakedFile& a, const BakedFile& b) { return a.bytes.size() < b.bytes.size(); });
    auto named = [&](const std::string& suffix, size_t limit) {
        std::vector<BakedFile> found;
        for (const BakedFile& f : members) {
            const bool match = f.name.size() >= suffix.size() &&
                               f.name.compare(f.name.size() - suffix.size(), suffix.size(), suffix) == 0;
            if (match && found.size() < limit) found.push_back(f);
        }
        return found;
    };

    // Fonts: the real description, and the empty file that once logged nothing.
    const std::vector<BakedFile> fonts = named(".fnt", 1);
    if (fonts.empty()) Fail("the pack holds no font description");
    Put(out / "font" / "font0.fnt", fonts[0].bytes);
    Put(out / "font" / "empty.fnt", Bytes{});

    // Pictures: the smallest PNGs, one larger one, and the smallest JPEG.
    std::vector<BakedFile> pngs = named(".png", 1000);
    std::vector<BakedFile> pictures(pngs.begin(), pngs.begin() + std::min<size_t>(pngs.size(), 3));
    for (const BakedFile& f : pngs) {
        if (f.bytes.size() > 2000 && f.bytes.size() < 20000) {
            pictures.push_back(f);
            break;
        }
    }
    for (const BakedFile& f : named(".jpg", 1)) pictures.push_back(f);
    for (size_t i = 0; i < pictures.size(); ++i) {
        Put(out / "image" / fs::path(pictures[i].name).filename(), pictures[i].bytes);
    }
    Bytes bmp(31, 0);  // the height of INT_MIN
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[18] = 1;
    bmp[25] = 0x80;
    Put(out / "image" / "int_min_height.bmp", bmp);

    // Packs: small ones of real members, both AES flavours.
    std::vector<BakedFile> small = {fonts[0], pictures[0], pictures[1]};
    Put(out / "pack" / "small_ae2.zip", BuildPack(small, kFuzzPackPassword));
    Put(out / "pack" / "small_ae1.zip", BuildPack(small, kFuzzPackPassword, PackFlavour::AE1));
    Put(out / "pack" / "font_only.zip", BuildPack({fonts[0]}, kFuzzPackPassword));

    // Settings: the first byte picks the key the target writes.
    const Bytes ini = Get(game / "Keyconfig.ini");
    Bytes seed = {5};
    seed.insert(seed.end(), ini.begin(), ini.end());
    Put(out / "profile" / "keyconfig.ini", seed);
    Put(out / "profile" / "cr_cr_lf.ini", std::string("\x07[KeyPress]\nSKIP=1\n[Sound]\nBGM=\"80\"\r\r\n"));

    // Scores: three games, none, a record past 32 bits, and a hand edit ending in a line break.
    Put(out / "score" / "three.rpy", std::string(" 1200 85 3000"));
    Put(out / "score" / "empty.rpy", std::string());
    Put(out / "score" / "wide.rpy", std::string(" 5000000000 -7 12"));
    Put(out / "score" / "edited.rpy", std::string(" 10 20\n"));

    // Replays: real games recorded by mirrorfall-sim, short ones (a few seconds of play) to keep
    // the fuzzer fast, and a head alone.
    const fs::path sim = game / "mirrorfall-sim";
    if (!fs::exists(sim)) Fail("no " + sim.string() + " to record replays with");
    const char* patterns[] = {"idle", "walk", "bomb", "chaos"};
    for (int i = 0; i < 4; ++i) {
        const fs::path replay = fs::absolute(out / "replay" / (std::string(patterns[i]) + ".rpy"));
        fs::create_directories(replay.parent_path());
        const std::string command = "\"" + sim.string() + "\" record --seed " + std::to_string(7 + i) +
                                    " --pattern " + patterns[i] + " --frames 600 \"" + replay.string() +
                                    "\" >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 || !fs::exists(replay)) Fail("cannot record " + replay.string());
    }
    Put(out / "replay" / "head.rpy", std::string("None \nUnnamed \nNone \n2026/01/01 12:00:00\n1 -1 0 1 "));

    // Text field events: typing, Home and typing on, a drag, Chinese, codes that are no character.
    using namespace std::string_literals;
    Put(out / "text_field" / "typing.bin",
        "\x03\x0E\x05\x00"s + "\x01\x05hello"s + "\x06"s + "\x02\x00"s + "\x01\x03" "abc"s + "\x06"s +
            "\x01\x06\xE4\xB8\xAD\xC0\x80"s + "\x00\x00\x80\x00"s + "\x04\x05\x05\x01"s + "\x06"s);

    // Replay folders: a few slots and a score file; the third slot's first line is long.
    std::string folder;
    auto file = [&folder](unsigned how, const std::string& bytes) {
        folder += char(how);
        folder += char(bytes.size() >> 8);
        folder += char(bytes.size() & 0xFF);
        folder += bytes;
    };
    const std::string head = "Name \nPlayer \nComment \n2026/01/01 12:00:00\n1 2 300 1 ";
    file(1, head);
    file(0, "");
    file(3, head);
    for (int slot = 4; slot <= 10; ++slot) file(slot % 2 == 0 ? 0 : 1, head);
    file(1, " 1200 85 3000");
    folder += "\x04typed name";
    Put(out / "replay_screens" / "folder.bin", folder);

    std::printf("make_fuzz_seeds: seeds in %s\n", out.string().c_str());
    return 0;
}
