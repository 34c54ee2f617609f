// game_folder.h -- puts the game's working folder together from the baked files: the pack, a
// default Keyconfig.ini when none is there yet, and an empty Replay/ folder.
#pragma once

#include <string>
#include <vector>

#include "bake.h"

// The settings a fresh game starts with (CRLF line ends, as the game itself writes them).
extern const char* const kDefaultKeyconfig;

// Checks that the files are exactly the game's catalogue (each once), and returns them in the
// catalogue's order. False, with the problems in `error`, otherwise.
bool OrderAsCatalogue(const std::vector<BakedFile>& baked, std::vector<BakedFile>& ordered, std::string& error);

// Writes gamedat.zip (replacing it atomically), reads every member back through the game's own
// pack reader, creates Replay/, and writes Keyconfig.ini only when the folder has none: a
// player's settings survive a rebuild. False, with a message in `error`, on any failure.
bool InstallGameFolder(const std::string& dir, const std::vector<BakedFile>& files, std::string& error);

// Writes the baked icons ("icons/...") as loose files into the folder: the window's icon is read
// from there, and the install copies them into the desktop's icon theme.
bool InstallIcons(const std::string& dir, const std::vector<BakedFile>& icons, std::string& error);

// Writes the default settings to `path`, replacing what is there.
bool WriteSettingsTemplate(const std::string& path, std::string& error);
