// profile.cpp -- reading and writing Windows-style profile (INI) files.
#include "platform/profile.h"

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


bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
    size_t begin = 0;
    size_t end = s.size();
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

bool SameName(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z') x = char(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = char(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}


// The name of a section header line, or false when the line is not one.
bool SectionName(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.empty() || t[0] != '[') return false;
    size_t close = t.find(']');
    name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// The key and value of an entry line, or false for blank lines and comments.
bool EntryOf(const std::string& line, std::string& key, std::string& value) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';') return false;
    size_t eq = t.find('=');
    if (eq == std::string::npos) {
        key = t;
        value.clear();
        return true;
    }
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    return true;
}

uint32_t ParseProfileInt(const std::string& value) {
    size_t i = 0;
    while (i < value.size() && IsBlank(value[i])) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    uint32_t result = 0;
    while (i < value.size() && value[i] >= '0' && value[i] <= '9') {
        result = result * 10u + uint32_t(value[i] - '0');
        ++i;
    }
    return negative ? 0u - result : result;
}

#if !defined(_WIN32)
bool WriteWhole(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}


#endif

constexpr const char* kTemporarySuffix = ".tmp";
constexpr size_t kTemporaryRandom = 6;  // the X's of mkstemps

// Exactly the name of one of our temporaries beside `base`: the name, a dot, six letters or
// digits, ".tmp".
bool IsTemporaryOf(const std::string& name, const std::string& base) {
    const size_t suffix = std::strlen(kTemporarySuffix);
    if (name.size() != base.size() + 1 + kTemporaryRandom + suffix ||
        name.compare(0, base.size(), base) != 0 || name[base.size()] != '.' ||
        name.compare(name.size() - suffix, suffix, kTemporarySuffix) != 0) {
        return false;
    }
    bool random = true;
    for (size_t i = base.size() + 1; i < base.size() + 1 + kTemporaryRandom; ++i) {
        const char c = name[i];
        random = random && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
    }
    return random;
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
    for (const Line& line : lines_) {
        data += line.text;
        data += line.end;
    }
    return data;
}

void Profile::Parse(const std::string& data) {
    lines_.clear();
    size_t pos = 0;
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;  // a UTF-8 mark from an editor
    prefix_ = data.substr(0, pos);
    bool sawLineEnd = false;
    while (pos < data.size()) {
        size_t end = data.find('\n', pos);
        Line line;
        line.text = data.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (end != std::string::npos) {
            // Each line keeps its own end: one CR before the LF belongs to it, any other CR is
            // part of the text, read and written back as it was.
            const bool cr = !line.text.empty() && line.text.back() == '\r';
            if (cr) line.text.pop_back();
            line.end = cr ? "\r\n" : "\n";
            if (!sawLineEnd) {
                newLineEnd_ = line.end;
                sawLineEnd = true;
            }
        }
        lines_.push_back(line);
        if (end == std::string::npos) break;
        pos = end + 1;
    }
}

// Index of the first header line of the section, or -1.
int Profile::FindSection(const char* section) const {
    std::string name;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (SectionName(lines_[i].text, name) && SameName(name, section)) return int(i);
    }
    return -1;
}

// One past the last line of the section that starts at `header`.
size_t Profile::SectionEnd(int header) const {
    std::string name;
    size_t i = size_t(header) + 1;
    while (i < lines_.size() && !SectionName(lines_[i].text, name)) ++i;
    return i;
}

bool Profile::Find(const char* section, const char* key, std::string& value) const {
    int header = FindSection(section);
    if (header < 0) return false;
    size_t end = SectionEnd(header);
    std::string k;
    for (size_t i = size_t(header) + 1; i < end; ++i) {
        if (EntryOf(lines_[i].text, k, value) && SameName(k, key)) return true;
    }
    return false;
}

uint32_t Profile::GetInt(const char* section, const char* key, uint32_t defaultValue) const {
    std::string v;
    if (!Find(section, key, v) || v.empty()) return defaultValue;
    return ParseProfileInt(v);
}

std::string Profile::GetString(const char* section, const char* key, const char* defaultValue) const {
    std::string v;
    if (!Find(section, key, v)) return defaultValue != nullptr ? defaultValue : "";
    return v;
}

void Profile::Insert(size_t at, const std::string& text) {
    // The line before gains a line end if it was the file's last and had none. A CR it ends
    // with must not pair with that LF (the reader would take it for the line end), so such a
    // line gets a CRLF of its own.
    if (at > 0 && lines_[at - 1].end.empty()) {
        const std::string& before = lines_[at - 1].text;
        lines_[at - 1].end = !before.empty() && before.back() == '\r' ? "\r\n" : newLineEnd_;
    }
    lines_.insert(lines_.begin() + long(at), Line{text, newLineEnd_});
}

void Profile::Set(const char* section, const char* key, const char* value) {
    std::string entry = std::string(key) + "=" + value;
    int header = FindSection(section);
    if (header < 0) {
        Insert(lines_.size(), std::string("[") + section + "]");
        Insert(lines_.size(), entry);
        return;
    }
    size_t end = SectionEnd(header);
    size_t lastEntry = size_t(header);
    std::string k, v;
    for (size_t i = size_t(header) + 1; i < end; ++i) {
        if (!EntryOf(lines_[i].text, k, v)) continue;
        if (SameName(k, key)) {
            lines_[i].text = k + "=" + value;  // its line end stays
            return;
        }
        lastEntry = i;
    }
    Insert(lastEntry + 1, entry);
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
    const std::string data = ToText();
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        name = path + ".";
        unsigned seed = GetTickCount() * 2654435761u + unsigned(attempt) * 40503u + GetCurrentProcessId();
        for (size_t i = 0; i < kTemporaryRandom; ++i, seed = seed * 1103515245u + 12345u) {
            name += kLetters[(seed >> 16) % (sizeof kLetters - 1)];
        }
        name += kTemporarySuffix;
        // CREATE_NEW fails when the name is taken.
        file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, data.data(), DWORD(data.size()), &written, nullptr) != 0 &&
              written == data.size();
    ok = ok && FlushFileBuffers(file) != 0;
    if (CloseHandle(file) == 0) ok = false;
    if (ok) {
        ok = MoveFileExA(name.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!ok) DeleteFileA(name.c_str());
    return ok;
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
        if (!IsTemporaryOf(entry.path().filename().string(), base)) continue;
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
    const std::string data = ToText();

    // Write beside the file and rename over it, so the old file stays whole until the new one
    // is complete. A writer killed before the rename leaves the temporary behind; the next run
    // removes it (ProfileRemoveStaleTemporaries).
    std::string temp = path + "." + std::string(kTemporaryRandom, 'X') + kTemporarySuffix;
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    int fd = ::mkstemps(name.data(), int(std::strlen(kTemporarySuffix)));
    if (fd < 0) return false;
    bool ok = WriteWhole(fd, data);
    if (ok) ::fchmod(fd, exists ? (info.st_mode & 07777) : 0644);
    if (ok) ok = ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok) ok = ::rename(name.data(), path.c_str()) == 0;
    if (!ok) ::unlink(name.data());
    return ok;
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
        if (!IsTemporaryOf(name, base)) continue;
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

