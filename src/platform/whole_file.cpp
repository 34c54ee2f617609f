// whole_file.cpp -- writing through a temporary file and a rename.
#include "platform/whole_file.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kTemporarySuffix = ".tmp";
constexpr size_t kTemporaryRandom = 6;  // the X's of mkstemps

#if defined(_WIN32)
std::string SystemMessage(DWORD code) {
    char buffer[256];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                             buffer, sizeof buffer, nullptr);
    while (n > 0 && (buffer[n - 1] == '\n' || buffer[n - 1] == '\r' || buffer[n - 1] == '.')) --n;
    return n > 0 ? std::string(buffer, n) : "error " + std::to_string(code);
}
#endif

}  // namespace

bool IsWholeFileTemporaryOf(const std::string& name, const std::string& base) {
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

#if defined(_WIN32)

bool WriteWholeFile(const std::string& path, const std::string& data, std::string* why, unsigned) {
    auto fail = [&](const std::string& reason) {
        if (why != nullptr) *why = reason;
        return false;
    };
    if (path.empty()) return fail("no file name");
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
        file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            return fail(SystemMessage(GetLastError()));
        }
    }
    if (file == INVALID_HANDLE_VALUE) return fail("no free temporary name");
    DWORD written = 0;
    std::string reason;
    bool ok = WriteFile(file, data.data(), DWORD(data.size()), &written, nullptr) != 0 && written == data.size();
    if (!ok) reason = SystemMessage(GetLastError());
    if (ok && FlushFileBuffers(file) == 0) {
        ok = false;
        reason = SystemMessage(GetLastError());
    }
    if (CloseHandle(file) == 0 && ok) {
        ok = false;
        reason = SystemMessage(GetLastError());
    }
    if (ok && MoveFileExA(name.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        ok = false;
        reason = SystemMessage(GetLastError());
    }
    if (!ok) {
        DeleteFileA(name.c_str());
        return fail(reason);
    }
    return true;
}

#else

bool WriteWholeFile(const std::string& path, const std::string& data, std::string* why, unsigned mode) {
    auto fail = [&](int error) {
        if (why != nullptr) *why = std::strerror(error);
        return false;
    };
    if (path.empty()) return fail(ENOENT);
    struct stat info;
    const bool exists = ::stat(path.c_str(), &info) == 0;
    std::string temp = path + "." + std::string(kTemporaryRandom, 'X') + kTemporarySuffix;
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    int fd = ::mkstemps(name.data(), int(std::strlen(kTemporarySuffix)));
    if (fd < 0) return fail(errno);
    int error = 0;
    size_t done = 0;
    while (error == 0 && done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        else if (n == 0) error = ENOSPC;
        else done += size_t(n);
    }
    if (error == 0) ::fchmod(fd, exists ? (info.st_mode & 07777) : mode);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(name.data(), path.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(name.data());
        return fail(error);
    }
    return true;
}

#endif
