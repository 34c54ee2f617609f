// profile.h -- Windows-style profile (INI) files, as the settings file Keyconfig.ini uses them.
//
// Sections ("[Name]") and keys ("Key=Value") match without regard to case and to blanks around
// them. Reading never fails: a missing file, section or key reads as the default, and a value
// is read as an integer the way GetPrivateProfileInt reads it (leading blanks, an optional sign,
// then the leading decimal digits; a value without digits is 0). Files with CRLF or LF line ends
// are read alike.
//
// Writing updates the file in place: an existing key gets its new value where it stands, a new
// key goes after the last entry of its section, a new section goes at the end of the file, and
// every other line (comments, unknown keys, blank lines) is kept as it was, with the file's own
// line ends (CRLF for a new file). The new contents go to a temporary file that then replaces
// the old one, so a failed write leaves the old file whole.
#pragma once

#include <cstdint>
#include <string>

// `name` in the process's current directory, formed anew on every call ("" when the current
// directory cannot be read).
std::string ProfilePathInCurrentDirectory(const char* name);

// The integer under section/key, or `defaultValue` when the file, section or key is missing or
// the value is empty. Wraps modulo 2^32 like the Windows reader.
uint32_t ProfileGetInt(const char* section, const char* key, uint32_t defaultValue,
                       const std::string& path);

// Sets section/key to `value`. False when the file could not be written (the old file, if
// any, is then untouched), including when it exists and is read-only.
bool ProfileWriteString(const char* section, const char* key, const char* value,
                        const std::string& path);
