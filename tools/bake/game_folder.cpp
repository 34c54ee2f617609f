// game_folder.cpp -- the game's working folder: pack, default settings and replay folder.
#include "game_folder.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "art.h"
#include "pack_writer.h"
#include "platform/pack.h"

namespace fs = std::filesystem;

// Arrows to move, Shift to slow, Z to bomb and confirm, X to cancel, Ctrl to skip; both
// volumes at 80 %; windowed. A pad moves with its D-pad and left stick (the movement keys and
// the arrow keys), bombs and confirms with the south button (the SHOOT key and Enter), backs out
// with the east one, slows with the west button, left shoulder or trigger, fast-forwards replays
// with the right shoulder or trigger (Ctrl) and pauses with Start or Back (Escape); F12 and the
// pad's share button save a screenshot. These are the game's own defaults for missing entries.
const char* const kDefaultKeyconfig =
    "[KeyPress]\r\nUP=38\r\nDOWN=40\r\nLEFT=37\r\nRIGHT=39\r\nSLOW=16\r\nSHOOT=90\r\nBOMB=88\r\n"
    "SKIP=17\r\n[Sound]\r\nBGM=80\r\nSE=80\r\n[System]\r\nAutoBomb=0\r\nWindow=1\r\n"
    "[Pad]\r\nSouth=SHOOT+13\r\nEast=BOMB\r\nWest=SLOW\r\nNorth=SKIP\r\nLeftShoulder=SLOW\r\n"
    "RightShoulder=17\r\nLeftTrigger=SLOW\r\nRightTrigger=17\r\nStart=27\r\nBack=27\r\n"
    "Misc=123\r\nDPadUp=UP+38\r\nDPadDown=DOWN+40\r\nDPadLeft=LEFT+37\r\nDPadRight=RIGHT+39\r\n"
    "StickUp=UP+38\r\nStickDown=DOWN+40\r\nStickLeft=LEFT+37\r\nStickRight=RIGHT+39\r\nDeadZone=25\r\n"
    "[Hotkeys]\r\nScreenshot=123\r\n";

namespace {

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

std::vector<unsigned char> DefaultSettingsBytes() {
    const unsigned char* text = reinterpret_cast<const unsigned char*>(kDefaultKeyconfig);
    return std::vector<unsigned char>(text, text + std::strlen(kDefaultKeyconfig));
}

}  // namespace

bool OrderAsCatalogue(const std::vector<BakedFile>& baked, std::vector<BakedFile>& ordered, std::string& error) {
    std::map<std::string, const BakedFile*> byName;
    error.clear();
    for (const BakedFile& f : baked) {
        if (!byName.emplace(f.name, &f).second) error += f.name + " was made twice\n";
    }
    ordered.clear();
    for (const std::string& name : CatalogueFiles()) {
        auto it = byName.find(name);
        if (it == byName.end() || it->second->bytes.empty()) {
            error += name + " was not made\n";
            continue;
        }
        ordered.push_back(*it->second);
        byName.erase(it);
    }
    for (const auto& entry : byName) error += entry.first + " is not a file the game reads\n";
    return error.empty();
}

bool InstallGameFolder(const std::string& dir, const std::vector<BakedFile>& files, std::string& error) {
    std::error_code ec;
    fs::create_directories(fs::path(dir) / "Replay", ec);
    if (ec) {
        error = "cannot create " + (fs::path(dir) / "Replay").string() + ": " + ec.message();
        return false;
    }
    fs::path packPath = fs::path(dir) / "gamedat.zip";
    if (!WriteFileAtomically(packPath, BuildPack(files, kPackPassword))) {
        error = "cannot write " + packPath.string();
        return false;
    }
    ResourcePack reader;
    if (reader.Attach(packPath.string(), kPackPassword) != PackAttach::Opened) {
        error = packPath.string() + " does not open";
        return false;
    }
    for (const BakedFile& f : files) {
        std::vector<unsigned char> back;
        if (reader.Read(f.name, back) != PackRead::Ok || back != f.bytes) {
            error = f.name + " does not read back from " + packPath.string();
            return false;
        }
    }
    fs::path ini = fs::path(dir) / "Keyconfig.ini";
    if (!fs::exists(ini)) {
        if (!WriteFileAtomically(ini, DefaultSettingsBytes())) {
            error = "cannot write " + ini.string();
            return false;
        }
    }
    return true;
}

bool InstallIcons(const std::string& dir, const std::vector<BakedFile>& icons, std::string& error) {
    for (const BakedFile& icon : icons) {
        fs::path path = fs::path(dir) / icon.name;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        if (ec || !WriteFileAtomically(path, icon.bytes)) {
            error = "cannot write " + path.string();
            return false;
        }
    }
    return true;
}

bool WriteSettingsTemplate(const std::string& path, std::string& error) {
    std::error_code ec;
    fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) fs::create_directories(parent, ec);
    if (ec || !WriteFileAtomically(path, DefaultSettingsBytes())) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
