// profile.cpp -- reading and writing Windows-style profile (INI) files.
#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct ProfileText {
    std::vector<std::string> lines;  // without their line ends
    bool crlf = true;                // the file's own line end; CRLF for a new file
};

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

// Reads the whole file into lines. A missing file is an empty text; false only when the file
// exists and cannot be read.
bool ReadProfile(const std::string& path, ProfileText& text) {
    text = ProfileText{};
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return errno == ENOENT;
    std::string data;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.append(buffer, got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return false;

    size_t pos = 0;
    if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;  // a UTF-8 mark from an editor
    bool sawLineEnd = false;
    while (pos < data.size()) {
        size_t end = data.find('\n', pos);
        std::string line = data.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        bool cr = !line.empty() && line.back() == '\r';
        if (cr) line.pop_back();
        if (end != std::string::npos && !sawLineEnd) {
            text.crlf = cr;
            sawLineEnd = true;
        }
        text.lines.push_back(line);
        if (end == std::string::npos) break;
        pos = end + 1;
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

// Index of the first header line of the section, or -1.
int FindSection(const ProfileText& text, const char* section) {
    std::string name;
    for (size_t i = 0; i < text.lines.size(); ++i) {
        if (SectionName(text.lines[i], name) && SameName(name, section)) return int(i);
    }
    return -1;
}

// One past the last line of the section that starts at `header`.
size_t SectionEnd(const ProfileText& text, int header) {
    std::string name;
    size_t i = size_t(header) + 1;
    while (i < text.lines.size() && !SectionName(text.lines[i], name)) ++i;
    return i;
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

}  // namespace

std::string ProfilePathInCurrentDirectory(const char* name) {
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer) == nullptr) return std::string();
    std::string path = buffer;
    if (path.empty() || path.back() != '/') path += '/';
    return path + name;
}

uint32_t ProfileGetInt(const char* section, const char* key, uint32_t defaultValue,
                       const std::string& path) {
    ProfileText text;
    if (path.empty() || !ReadProfile(path, text)) return defaultValue;
    int header = FindSection(text, section);
    if (header < 0) return defaultValue;
    size_t end = SectionEnd(text, header);
    std::string k, v;
    for (size_t i = size_t(header) + 1; i < end; ++i) {
        if (EntryOf(text.lines[i], k, v) && SameName(k, key)) {
            if (v.empty()) return defaultValue;
            return ParseProfileInt(v);
        }
    }
    return defaultValue;
}

bool ProfileWriteString(const char* section, const char* key, const char* value,
                        const std::string& path) {
    if (path.empty()) return false;
    ProfileText text;
    if (!ReadProfile(path, text)) return false;

    struct stat info;
    bool exists = ::stat(path.c_str(), &info) == 0;
    // A file marked read-only stays as it is, even for a user who could replace it.
    if (exists && ((info.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0)) return false;

    std::string entry = std::string(key) + "=" + value;
    int header = FindSection(text, section);
    if (header < 0) {
        text.lines.push_back(std::string("[") + section + "]");
        text.lines.push_back(entry);
    } else {
        size_t end = SectionEnd(text, header);
        size_t lastEntry = size_t(header);
        bool replaced = false;
        std::string k, v;
        for (size_t i = size_t(header) + 1; i < end; ++i) {
            if (!EntryOf(text.lines[i], k, v)) continue;
            if (SameName(k, key)) {
                text.lines[i] = k + "=" + value;
                replaced = true;
                break;
            }
            lastEntry = i;
        }
        if (!replaced) text.lines.insert(text.lines.begin() + long(lastEntry) + 1, entry);
    }

    const char* eol = text.crlf ? "\r\n" : "\n";
    std::string data;
    for (const std::string& line : text.lines) {
        data += line;
        data += eol;
    }

    // Write beside the file and rename over it, so the old file stays whole until the new one
    // is complete.
    std::string temp = path + ".XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    bool ok = WriteWhole(fd, data);
    if (ok) ::fchmod(fd, exists ? (info.st_mode & 07777) : 0644);
    if (ok) ok = ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok) ok = ::rename(name.data(), path.c_str()) == 0;
    if (!ok) ::unlink(name.data());
    return ok;
}
