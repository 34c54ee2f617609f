// data_folder.cpp -- the working folder of a build and of an installed game.
#include "platform/data_folder.h"

#include "platform/whole_file.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

#ifndef MIRRORFALL_SHARE_FROM_BIN
// Where an install keeps its data, relative to the executable's folder (set by the build).
#define MIRRORFALL_SHARE_FROM_BIN "../share/mirrorfall"
#endif

namespace {

std::string gShareFolder;

// The shipped defaults are a few hundred bytes; anything past this is not them.
constexpr std::uintmax_t kMaxDefaultsBytes = 1u << 20;

bool ReadSmallFile(const std::string& path, std::string& data, std::string& why) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        why = ec.message();
        return false;
    }
    if (size > kMaxDefaultsBytes) {
        why = "larger than any settings file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        why = "it cannot be read";
        return false;
    }
    return true;
}

// $XDG_DATA_HOME when it is an absolute path (the only kind the convention allows), else
// $HOME/.local/share, else the password database's home.
std::string DataHome(const char* xdgDataHome, const char* home) {
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') return xdgDataHome;
    std::string base = home != nullptr ? home : "";
#ifndef _WIN32
    if (base.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid())) {
            if (pw->pw_dir != nullptr) base = pw->pw_dir;
        }
    }
#endif
    if (base.empty() || base[0] != '/') return std::string();
    return (fs::path(base) / ".local" / "share").string();
}

}  // namespace

std::string ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return std::string();
    return exe.parent_path().string();
}

void SetShareFolder(const std::string& folder) { gShareFolder = folder; }

std::string ShippedSettingsFile() {
    return gShareFolder.empty() ? std::string() : (fs::path(gShareFolder) / "Keyconfig.default.ini").string();
}

const std::string& ShareFolder() { return gShareFolder; }

DataFolderChoice UseDataFolder(const std::string& executableFolder, const char* xdgDataHome,
                               const char* home) {
    DataFolderChoice choice;
    if (executableFolder.empty()) return choice;
    std::error_code ec;
    fs::path exeDir(executableFolder);
    // A pack beside the executable is a build's game folder: everything stays where it is.
    if (fs::exists(exeDir / "gamedat.zip", ec)) return choice;
    fs::path share = (exeDir / MIRRORFALL_SHARE_FROM_BIN).lexically_normal();
    if (!fs::exists(share / "gamedat.zip", ec)) return choice;
    choice.shareFolder = share.string();
    SetShareFolder(choice.shareFolder);

    std::string dataHome = DataHome(xdgDataHome, home);
    if (dataHome.empty()) {
        choice.log.push_back("No home folder to keep the game's files in; they stay in the working folder");
        return choice;
    }
    fs::path data = fs::path(dataHome) / "mirrorfall";
    fs::create_directories(data / "Replay", ec);
    if (ec) {
        choice.log.push_back("Can't create " + (data / "Replay").string() + " (" + ec.message() +
                             "); the game's files stay in the working folder");
        return choice;
    }
    fs::path ini = data / "Keyconfig.ini";
    fs::path shippedIni = share / "Keyconfig.default.ini";
    // An empty Keyconfig.ini is what a first start on a full disk left behind (never a file the
    // player has saved keys into): it is replaced like a missing one.
    const bool missing = !fs::exists(ini, ec);
    const bool empty = !missing && fs::is_regular_file(ini, ec) && fs::file_size(ini, ec) == 0 && !ec;
    if ((missing || empty) && fs::exists(shippedIni, ec)) {
        std::string why;
        std::string defaults;
        if (!ReadSmallFile(shippedIni.string(), defaults, why) ||
            !WriteWholeFile(ini.string(), defaults, &why, 0644)) {
            choice.log.push_back("Can't copy " + shippedIni.string() + " to " + ini.string() + " (" + why +
                                 "); the default settings are read from the install until it can be");
        } else if (empty) {
            choice.log.push_back(ini.string() + " was empty; the default settings are copied in again");
        }
    }
    fs::current_path(data, ec);
    if (ec) {
        choice.log.push_back("Can't work in " + data.string() + "; the game's files stay in the working folder");
        return choice;
    }
    choice.installed = true;
    choice.dataFolder = data.string();
    return choice;
}
