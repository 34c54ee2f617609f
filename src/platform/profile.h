// profile.h -- Windows-style profile (INI) files, as the settings file Keyconfig.ini uses them.
//
// The file reads as the Windows profile functions (GetPrivateProfileInt/String) read it:
// - a line ends at CR, LF or CRLF (a lone CR too); a file with a UTF-8 or UTF-16 byte-order mark
//   is read in that encoding, any other as ANSI bytes;
// - blanks are tab, LF, VT, FF, CR, ^Z and space; they are trimmed around lines, names and
//   values, and a name or value ends at a NUL;
// - a line that starts with '[' and holds a ']' opens a section named by what lies between the
//   '[' and the last ']'; a '[' line without ']' is an entry of the section before;
// - sections and keys match without regard to ASCII case; only the first section of a name and
//   the first key of a name in it count;
// - a key without '=' reads as missing; an empty value reads as the default for an integer and
//   as empty text; matching quotes around a value are dropped;
// - an integer is read as GetPrivateProfileInt reads it: at most 29 characters of the value, a
//   sign, "0x" (hexadecimal), "0o" (octal) or "0b" (binary), then the digits that belong,
//   wrapping modulo 2^32. Reading never fails: a missing file, section or key is the default.
//
// Writing updates the file in place: an existing key gets its new value where it stands, a new
// key goes after the last line of its section, a new section goes at the end of the file, and
// every other line (comments, unknown keys, blank lines) is kept unit for unit, each with its
// own line end and in the file's own encoding, so writing one key never changes what another
// reads. New lines take the file's first line end (CRLF for a new file). The new contents go to
// a temporary file that then replaces the old one, so a failed write leaves the old file whole.
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

// How the file's text is stored; a save keeps it.
enum class ProfileEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

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
    // A line in the file's own units (bytes, or UTF-16 units for a UTF-16 file), so that every
    // line the game does not change is written back exactly as it was.
    struct Line {
        std::u16string text;  // without its line end
        std::u16string end;   // "\r\n", "\n", "\r", or empty for a last line without one
    };
    void Parse(const std::string& data);
    bool Find(const char* section, const char* key, std::u16string& value) const;
    int FindEntry(const char* section, const char* key) const;
    int FindSection(const char* section) const;
    size_t SectionEnd(int header) const;
    void Insert(size_t at, const std::string& text);

    ProfileStatus status_ = ProfileStatus::Missing;
    ProfileEncoding encoding_ = ProfileEncoding::Ansi;
    std::string prefix_;  // a byte-order mark, kept
    std::vector<Line> lines_;
    std::string tail_;    // an odd last byte of a UTF-16 file, kept
    std::u16string newLineEnd_ = u"\r\n";
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
