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
// every other line (comments, unknown keys, blank lines) is kept byte for byte, each with its
// own line end, so writing one key never changes what another reads. New lines take the file's
// first line end (CRLF for a new file). The new contents go to a temporary file that then
// replaces the old one, so a failed write leaves the old file whole.
//
// A file larger than any real settings file (kMaxProfileBytes), or that cannot be read, or is
// not an ordinary file, reads as missing and is never overwritten.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint64_t kMaxProfileBytes = 1u << 20;

enum class ProfileStatus {
    Ok,
    Missing,     // no file: every key reads as its default; saving creates it
    TooLarge,    // larger than kMaxProfileBytes: read as missing, never overwritten
    Unreadable,  // cannot be read, or not an ordinary file: the same
};

// One profile file in memory: read once, asked many times, written once.
class Profile {
public:
    ProfileStatus Load(const std::string& path);
    ProfileStatus Status() const { return status_; }
    // The integer under section/key, or `defaultValue` when the section or key is missing or
    // the value is empty. Wraps modulo 2^32 like the Windows reader.
    uint32_t GetInt(const char* section, const char* key, uint32_t defaultValue) const;
    // The text under section/key without surrounding blanks or quotes, or `defaultValue` when
    // the section or key is missing (an empty value is returned as it is).
    std::string GetString(const char* section, const char* key, const char* defaultValue) const;
    void Set(const char* section, const char* key, const char* value);
    // False when the file could not be written (the old file, if any, is then untouched),
    // including when it is read-only or Load found it too large or unreadable.
    bool Save(const std::string& path) const;
    // The same in memory: what Load would make of a file's bytes, and what Save would write.
    void FromText(const std::string& data);
    std::string ToText() const;

private:
    struct Line {
        std::string text;  // without its line end
        std::string end;   // "\r\n", "\n", or "" for a last line without one
    };
    void Parse(const std::string& data);
    bool Find(const char* section, const char* key, std::string& value) const;
    int FindSection(const char* section) const;
    size_t SectionEnd(int header) const;
    void Insert(size_t at, const std::string& text);

    ProfileStatus status_ = ProfileStatus::Missing;
    std::string prefix_;  // a byte-order mark, kept
    std::vector<Line> lines_;
    std::string newLineEnd_ = "\r\n";
};

// Removes the temporaries a writer of `path` left when it was killed before its rename; returns
// how many. Only names of the writer's own pattern are touched, and only those at least
// `minAgeSeconds` old (a save takes milliseconds: a younger one may be another process's save).
int ProfileRemoveStaleTemporaries(const std::string& path, int minAgeSeconds = 0);

// `name` in the process's current directory, formed anew on every call ("" when the current
// directory cannot be read).
std::string ProfilePathInCurrentDirectory(const char* name);

// The integer under section/key, or `defaultValue` when the file, section or key is missing or
// the value is empty. Wraps modulo 2^32 like the Windows reader.
uint32_t ProfileGetInt(const char* section, const char* key, uint32_t defaultValue,
                       const std::string& path);

// The text under section/key without surrounding blanks or quotes, or `defaultValue` when the
// file, section or key is missing (an empty value is returned as it is).
std::string ProfileGetString(const char* section, const char* key, const char* defaultValue,
                             const std::string& path);

// Sets section/key to `value`. False when the file could not be written (the old file, if
// any, is then untouched), including when it exists and is read-only.
bool ProfileWriteString(const char* section, const char* key, const char* value,
                        const std::string& path);
