// data_folder.h -- where the game keeps its files.
//
// Run from the build (gamedat.zip beside the executable, as in build/game) the game keeps
// everything in its working folder, as it always has. Installed (the executable in <prefix>/bin,
// its data in <prefix>/share/mirrorfall), the working folder becomes the player's own data
// folder, $XDG_DATA_HOME/mirrorfall (~/.local/share/mirrorfall when that is unset): settings,
// replays, scores, snapshot, log and screenshots live there, and the pack and the other shipped
// files are read from the share folder. The game's relative file names never change; only the
// working folder and the search path of read-only data do.
#pragma once

#include <string>
#include <vector>

struct DataFolderChoice {
    bool installed = false;        // the share folder was found and the data folder is in use
    std::string dataFolder;        // the working folder from now on ("" when unchanged)
    std::string shareFolder;       // read-only data of the install ("" when run from the build)
    std::vector<std::string> log;  // lines for the game's log, written once it is open
};

// The folder of the running executable ("" when it cannot be found).
std::string ExecutableFolder();

// Decides where the game keeps its files, given the executable's folder and the environment's
// XDG_DATA_HOME and HOME (either may be null). Installed, it creates the data folder and its
// Replay/ folder on first run, copies the shipped Keyconfig.default.ini there as Keyconfig.ini
// (whole, through a temporary file) when there is none or it is empty, makes
// it the working folder and registers the share folder (SetShareFolder). When the data folder
// cannot be made, the working folder stays as it is and the log says why; the settings are then
// read from the shipped defaults until a Keyconfig.ini is saved there (ShippedSettingsFile).
DataFolderChoice UseDataFolder(const std::string& executableFolder, const char* xdgDataHome,
                               const char* home);

// The install's read-only data folder, searched after the working folder for the resource pack
// and data files; "" (the default) searches the working folder only.
void SetShareFolder(const std::string& folder);
const std::string& ShareFolder();
// The install's default settings (Keyconfig.default.ini in the share folder), read in place of a
// missing or empty Keyconfig.ini; "" when run from the build.
std::string ShippedSettingsFile();
