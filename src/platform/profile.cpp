// profile.cpp -- reading and writing Windows-style profile (INI) files.
#include "platform/profile.h"

#include "platform/whole_file.h"

#if defined(_WIN32)
#include <windows.h>

#include <filesystem>
#include <system_error>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

// The profile functions read a file as UTF-16 text: ANSI and UTF-8 bytes are widened one by one
// here (every byte that matters to a lookup, a bracket or a number, is ASCII and stays what it
// was), UTF-16 units are taken as they are.
using Units = std::u16string;

// Blanks around lines, names and values: tab, LF, VT, FF, CR, ^Z (a DOS end of file) and space.
bool IsBlank(char16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

void TrimBlanks(const Units& s, size_t& begin, size_t& end) {
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
}

// A name or value ends at its first NUL, as a C string does.
Units UpToNul(const Units& s) {
    const size_t nul = s.find(char16_t(0));
    return nul == Units::npos ? s : s.substr(0, nul);
}

bool SameName(const Units& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char16_t x = a[i];
        char16_t y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = char16_t(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = char16_t(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

Units Widen(const std::string& s) {
    Units u;
    u.reserve(s.size());
    for (char c : s) u += char16_t(static_cast<unsigned char>(c));
    return u;
}

// A line that opens a section: after its blanks it starts with '[' and holds a ']' somewhere;
// the name lies between the '[' and the LAST ']', blanks trimmed, so "[Sound] ; 0-100 [%]"
// names the section "Sound] ; 0-100 [%". A '[' line without any ']' is an ordinary entry.
bool SectionName(const Units& line, Units& name) {
    size_t begin = 0, end = line.size();
    TrimBlanks(line, begin, end);
    if (begin >= end || line[begin] != '[') return false;
    size_t close = end;  // one past the last ']'
    while (close > begin && line[close - 1] != ']') --close;
    if (close == begin) return false;
    size_t nameBegin = begin + 1, nameEnd = close - 1;
    TrimBlanks(line, nameBegin, nameEnd);
    name = UpToNul(line.substr(nameBegin, nameEnd - nameBegin));
    return true;
}

// The name of an entry line and, when it has an '=', its value; false for blank lines. Lines
// that are not "name=value" (comments, words) are entries without a value, as Windows keeps them:
// they read as missing.
bool EntryOf(const Units& line, Units& key, Units& value, bool& hasValue) {
    size_t begin = 0, end = line.size();
    TrimBlanks(line, begin, end);
    if (begin >= end) return false;
    const size_t eq = line.find(u'=', begin);
    if (eq == Units::npos || eq >= end) {
        key = UpToNul(line.substr(begin, end - begin));
        value.clear();
        hasValue = false;
        return true;
    }
    size_t keyEnd = eq;
    while (keyEnd > begin && IsBlank(line[keyEnd - 1])) --keyEnd;
    size_t valueBegin = eq + 1;
    while (valueBegin < end && IsBlank(line[valueBegin])) ++valueBegin;
    key = UpToNul(line.substr(begin, keyEnd - begin));
    value = UpToNul(line.substr(valueBegin, end - valueBegin));
    hasValue = true;
    return true;
}

// A value as GetPrivateProfileInt reads it: the text as a 30-unit GetPrivateProfileString buffer
// holds it (matching quotes dropped, at most 29 units), then RtlUnicodeStringToInteger in base 0:
// anything up to a space skipped, a sign, "0x", "0o" or "0b" for hexadecimal, octal or binary,
// then digits up to the first that does not belong, wrapping modulo 2^32.
bool ParseProfileInt(const Units& value, uint32_t& result) {
    constexpr size_t kBuffer = 30;
    Units v = value;
    bool quoted = false;
    if (!v.empty() && (v[0] == '\'' || v[0] == '"') && v.size() > 1 && v.back() == v[0]) {
        quoted = true;
        v.erase(0, 1);
    }
    Units held = v.substr(0, kBuffer - 1);
    if (quoted && kBuffer >= v.size() && !held.empty()) held.pop_back();
    if (held.empty()) return false;
    size_t i = 0;
    while (i < held.size() && held[i] <= ' ') ++i;
    bool negative = false;
    if (i < held.size() && (held[i] == '+' || held[i] == '-')) {
        negative = held[i] == '-';
        ++i;
    }
    uint32_t base = 10;
    if (held.size() - i >= 2 && held[i] == '0') {
        if (held[i + 1] == 'b') base = 2;
        else if (held[i + 1] == 'o') base = 8;
        else if (held[i + 1] == 'x') base = 16;
        if (base != 10) i += 2;
    }
    uint32_t total = 0;
    for (; i < held.size(); ++i) {
        const char16_t c = held[i];
        uint32_t digit = 99;
        if (c >= '0' && c <= '9') digit = uint32_t(c - '0');
        else if (c >= 'A' && c <= 'Z') digit = uint32_t(c - 'A' + 10);
        else if (c >= 'a' && c <= 'z') digit = uint32_t(c - 'a' + 10);
        if (digit >= base) break;
        total = total * base + digit;
    }
    result = negative ? 0u - total : total;
    return true;
}

}  // namespace

#if defined(_WIN32)

// Windows: the same reading and replacing through the C runtime and MoveFileEx. There are no
// pipes in the file system to guard against.
ProfileStatus Profile::Load(const std::string& path) {
    *this = Profile{};
    if (path.empty()) return status_ = ProfileStatus::Unreadable;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD why = GetLastError();
        return status_ = why == ERROR_FILE_NOT_FOUND || why == ERROR_PATH_NOT_FOUND
                             ? ProfileStatus::Missing
                             : ProfileStatus::Unreadable;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return status_ = ProfileStatus::Unreadable;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return status_ = ProfileStatus::Unreadable;
    std::string data;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        data.append(buffer, got);
        if (data.size() > kMaxProfileBytes) {
            std::fclose(file);
            return status_ = ProfileStatus::TooLarge;
        }
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return status_ = ProfileStatus::Unreadable;
    FromText(data);
    return status_;
}

#else

ProfileStatus Profile::Load(const std::string& path) {
    *this = Profile{};
    if (path.empty()) return status_ = ProfileStatus::Unreadable;
    // Non-blocking, so a pipe put in the file's place cannot stall the game; only an ordinary
    // file is read.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return status_ = errno == ENOENT ? ProfileStatus::Missing : ProfileStatus::Unreadable;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return status_ = ProfileStatus::Unreadable;
    }
    if (uint64_t(info.st_size) > kMaxProfileBytes) {
        ::close(fd);
        return status_ = ProfileStatus::TooLarge;
    }
    std::string data;
    char buffer[4096];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            ::close(fd);
            return status_ = ProfileStatus::Unreadable;
        }
        if (got == 0) break;
        data.append(buffer, size_t(got));
        if (data.size() > kMaxProfileBytes) {  // it grew while we read
            ::close(fd);
            return status_ = ProfileStatus::TooLarge;
        }
    }
    ::close(fd);
    FromText(data);
    return status_;
}

#endif

void Profile::FromText(const std::string& data) {
    Parse(data);
    status_ = ProfileStatus::Ok;
}

std::string Profile::ToText() const {
    std::string data = prefix_;
    auto put = [&](const Units& units) {
        for (char16_t u : units) {
            switch (encoding_) {
            case ProfileEncoding::Utf16Le:
                data += char(u & 0xFF);
                data += char(u >> 8);
                break;
            case ProfileEncoding::Utf16Be:
                data += char(u >> 8);
                data += char(u & 0xFF);
                break;
            default:
                data += char(u);
            }
        }
    };
    for (const Line& line : lines_) {
        put(line.text);
        put(line.end);
    }
    data += tail_;
    return data;
}

void Profile::Parse(const std::string& data) {
    lines_.clear();
    tail_.clear();
    newLineEnd_ = u"\r\n";
    // The marks the Windows reader knows: UTF-8 first, then UTF-16 either way round. Anything
    // else is ANSI text.
    Units units;
    size_t pos = 0;
    encoding_ = ProfileEncoding::Ansi;
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        encoding_ = ProfileEncoding::Utf8;
        pos = 3;
    } else if (data.compare(0, 2, "\xFF\xFE") == 0) {
        encoding_ = ProfileEncoding::Utf16Le;
        pos = 2;
    } else if (data.compare(0, 2, "\xFE\xFF") == 0) {
        encoding_ = ProfileEncoding::Utf16Be;
        pos = 2;
    }
    prefix_ = data.substr(0, pos);
    if (encoding_ == ProfileEncoding::Utf16Le || encoding_ == ProfileEncoding::Utf16Be) {
        const bool little = encoding_ == ProfileEncoding::Utf16Le;
        units.reserve((data.size() - pos) / 2);
        for (; pos + 1 < data.size(); pos += 2) {
            const unsigned char a = static_cast<unsigned char>(data[pos]);
            const unsigned char b = static_cast<unsigned char>(data[pos + 1]);
            units += char16_t(little ? (a | b << 8) : (a << 8 | b));
        }
        tail_ = data.substr(pos);  // half a unit: kept, never read
    } else {
        units = Widen(data.substr(pos));
    }
    // A line ends at a CR, an LF or a CRLF, as Windows splits profile files: a lone CR too.
    bool sawLineEnd = false;
    size_t at = 0;
    while (at < units.size()) {
        size_t end = at;
        while (end < units.size() && units[end] != '\r' && units[end] != '\n') ++end;
        Line line;
        line.text = units.substr(at, end - at);
        if (end < units.size()) {
            const size_t endLength = units[end] == '\r' && end + 1 < units.size() && units[end + 1] == '\n' ? 2 : 1;
            line.end = units.substr(end, endLength);
            end += endLength;
            if (!sawLineEnd) {
                newLineEnd_ = line.end;
                sawLineEnd = true;
            }
        }
        lines_.push_back(std::move(line));
        at = end;
    }
}

// Index of the first header line of the section, or -1. Windows reads only the first section
// of a name; a later one of the same name is never consulted.
int Profile::FindSection(const char* section) const {
    Units name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (SectionName(lines_[i].text, name) && SameName(name, section)) return int(i);
    }
    return -1;
}

// One past the last line of the section that starts at `header`.
size_t Profile::SectionEnd(int header) const {
    Units name;
    size_t i = size_t(header) + 1;
    while (i < lines_.size() && !SectionName(lines_[i].text, name)) ++i;
    return i;
}

// The line of the first entry named `key` in the section, or -1.
int Profile::FindEntry(const char* section, const char* key) const {
    int header = FindSection(section);
    if (header < 0) return -1;
    size_t end = SectionEnd(header);
    Units k, v;
    bool hasValue = false;
    for (size_t i = size_t(header) + 1; i < end; ++i) {
        if (EntryOf(lines_[i].text, k, v, hasValue) && SameName(k, key)) return int(i);
    }
    return -1;
}

bool Profile::Find(const char* section, const char* key, std::u16string& value) const {
    const int line = FindEntry(section, key);
    if (line < 0) return false;
    Units k;
    bool hasValue = false;
    EntryOf(lines_[size_t(line)].text, k, value, hasValue);
    return hasValue;  // an entry without '=' reads as missing
}

uint32_t Profile::GetInt(const char* section, const char* key, uint32_t defaultValue) const {
    Units v;
    uint32_t result = 0;
    if (!Find(section, key, v) || !ParseProfileInt(v, result)) return defaultValue;
    return result;
}

std::string Profile::GetString(const char* section, const char* key, const char* defaultValue) const {
    Units v;
    if (!Find(section, key, v)) return defaultValue != nullptr ? defaultValue : "";
    if (v.size() > 1 && (v[0] == '\'' || v[0] == '"') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
    std::string text;
    const bool wide = encoding_ == ProfileEncoding::Utf16Le || encoding_ == ProfileEncoding::Utf16Be;
    for (char16_t u : v) text += wide && u >= 0x80 ? '?' : char(u);
    return text;
}

void Profile::Insert(size_t at, const std::string& text) {
    // The line before gains a line end if it was the file's last and had none.
    if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = newLineEnd_;
    lines_.insert(lines_.begin() + long(at), Line{Widen(text), newLineEnd_});
}

void Profile::Set(const char* section, const char* key, const char* value) {
    std::string entry = std::string(key) + "=" + value;
    int header = FindSection(section);
    if (header < 0) {
        Insert(lines_.size(), std::string("[") + section + "]");
        Insert(lines_.size(), entry);
        return;
    }
    const int existing = FindEntry(section, key);
    if (existing >= 0) {
        // The entry's name as the file spells it; its line end stays.
        Units k, v;
        bool hasValue = false;
        EntryOf(lines_[size_t(existing)].text, k, v, hasValue);
        lines_[size_t(existing)].text = k + u"=" + Widen(value);
        return;
    }
    // After the section's last line that is not blank: every such line belongs to the section
    // as Windows reads it (a '[' line without ']' included).
    size_t end = SectionEnd(header);
    size_t last = size_t(header);
    for (size_t i = size_t(header) + 1; i < end; ++i) {
        size_t b = 0, e = lines_[i].text.size();
        TrimBlanks(lines_[i].text, b, e);
        if (b < e) last = i;
    }
    Insert(last + 1, entry);
}

#if defined(_WIN32)

bool Profile::Save(const std::string& path) const {
    if (path.empty() || (status_ != ProfileStatus::Ok && status_ != ProfileStatus::Missing)) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    // A file marked read-only stays as it is.
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    return WriteWholeFile(path, ToText());
}

int ProfileRemoveStaleTemporaries(const std::string& path, int minAgeSeconds) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path file(path);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const std::string base = file.filename().string();
    int removed = 0;
    const auto now = fs::file_time_type::clock::now();
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (!IsWholeFileTemporaryOf(entry.path().filename().string(), base)) continue;
        std::error_code kind;
        if (!entry.is_regular_file(kind)) continue;
        const auto age = now - entry.last_write_time(kind);
        if (minAgeSeconds > 0 && (kind || age < std::chrono::seconds(minAgeSeconds))) continue;
        if (fs::remove(entry.path(), kind)) ++removed;
    }
    return removed;
}

std::string ProfilePathInCurrentDirectory(const char* name) {
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return std::string();
    std::vector<char> buffer(size + 1);
    const DWORD got = GetCurrentDirectoryA(DWORD(buffer.size()), buffer.data());
    if (got == 0 || got >= buffer.size()) return std::string();
    std::string path(buffer.data(), got);
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    return path + name;
}

#else

bool Profile::Save(const std::string& path) const {
    // What could not be read whole is never replaced.
    if (path.empty() || (status_ != ProfileStatus::Ok && status_ != ProfileStatus::Missing)) {
        return false;
    }
    struct stat info;
    bool exists = ::stat(path.c_str(), &info) == 0;
    // A file marked read-only stays as it is, even for a user who could replace it.
    if (exists && (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0 ||
                   ::access(path.c_str(), W_OK) != 0)) {
        return false;
    }
    // Written beside the file and renamed over it, so the old file stays whole until the new
    // one is complete. A writer killed before the rename leaves the temporary behind; the next
    // run removes it (ProfileRemoveStaleTemporaries).
    return WriteWholeFile(path, ToText());
}

int ProfileRemoveStaleTemporaries(const std::string& path, int minAgeSeconds) {
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!IsWholeFileTemporaryOf(name, base)) continue;
        const std::string full = folder + (folder.back() == '/' ? "" : "/") + name;
        struct stat info;
        if (::lstat(full.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        if (minAgeSeconds > 0 && ::time(nullptr) - info.st_mtime < minAgeSeconds) continue;
        if (::unlink(full.c_str()) == 0) ++removed;
    }
    ::closedir(dir);
    return removed;
}

std::string ProfilePathInCurrentDirectory(const char* name) {
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return std::string();
    std::string path = buffer;
    if (path.empty() || path.back() != '/') path += '/';
    return path + name;
}

#endif

uint32_t ProfileGetInt(const char* section, const char* key, uint32_t defaultValue,
                       const std::string& path) {
    Profile profile;
    if (profile.Load(path) != ProfileStatus::Ok) return defaultValue;
    return profile.GetInt(section, key, defaultValue);
}

std::string ProfileGetString(const char* section, const char* key, const char* defaultValue,
                             const std::string& path) {
    Profile profile;
    if (profile.Load(path) != ProfileStatus::Ok) return defaultValue != nullptr ? defaultValue : "";
    return profile.GetString(section, key, defaultValue);
}

bool ProfileWriteString(const char* section, const char* key, const char* value,
                        const std::string& path) {
    Profile profile;
    profile.Load(path);
    profile.Set(section, key, value);
    return profile.Save(path);
}

