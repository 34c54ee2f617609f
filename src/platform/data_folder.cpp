// data_folder.cpp -- the working folder of a build and of an installed game.
#include "platform/data_folder.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

#ifndef MIRRORFALL_SHARE_FROM_BIN
// Where an install keeps its data, relative to the executable's folder (set by the build).
#define MIRRORFALL_SHARE_FROM_BIN "../share/mirrorfall"
#endif

namespace {

std::string gShareFolder;

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
    if (!fs::exists(ini, ec) && fs::exists(shippedIni, ec)) {
        fs::copy_file(shippedIni, ini, ec);
        if (ec) {
            choice.log.push_back("Can't copy " + shippedIni.string() + " to " + ini.string() + " (" +
                                 ec.message() + ")");
        } else {
            // The shipped file is read-only in the install; the player's copy is theirs to change.
            fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::add, ec);
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
