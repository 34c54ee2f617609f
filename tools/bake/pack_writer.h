// pack_writer.h -- writes the game's resource pack: a zip archive whose members are encrypted
// with WinZip AES-256 (AE-2) under the game's password, byte for byte the same for the same files.
#pragma once

#include <string>
#include <vector>

#include "bake.h"

// The password the game opens its pack with.
extern const char* const kPackPassword;

// Builds the archive in memory. Members keep the order given; each is deflated when that makes
// it smaller and stored otherwise. The salt of every member derives from its name and contents,
// so the same files always give the same archive.
// AE-2 (the game's packs) leaves the CRC out; AE-1 also stores it, as some zip tools do.
enum class PackFlavour { AE2, AE1 };
std::vector<unsigned char> BuildPack(const std::vector<BakedFile>& files, const std::string& password,
                                     PackFlavour flavour = PackFlavour::AE2);
