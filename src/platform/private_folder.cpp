// private_folder.cpp -- a temporary folder that outlives no process.
#include "platform/private_folder.h"

#if !defined(_WIN32)

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string TempBase() {
    const char* base = std::getenv("TMPDIR");
    std::string path = base != nullptr && base[0] == '/' ? base : "/tmp";
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

int RemoveEntry(const char* path, const struct stat*, int type, struct FTW*) {
    if (type == FTW_DP) ::rmdir(path);
    else ::unlink(path);
    return 0;  // go on whatever one entry does
}

void RemoveTree(const std::string& path) {
    if (!path.empty()) ::nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

// The guard: waits until its owner's end of the pipe closes (the owner ended, however), then
// removes the folder. It ignores the signals a terminal sends the whole process group, so a
// Ctrl-C that ends the owner does not end the guard first.
[[noreturn]] void Guard(int readEnd, const std::string& path) {
    for (int s : {SIGINT, SIGQUIT, SIGHUP, SIGTERM, SIGPIPE}) ::signal(s, SIG_IGN);
    const int devNull = ::open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        // Holding the owner's output open would keep whoever reads it waiting.
        ::dup2(devNull, 0);
        ::dup2(devNull, 1);
        ::dup2(devNull, 2);
    }
    for (int fd = 3; fd < 1024; ++fd) {
        if (fd != readEnd) ::close(fd);
    }
    char byte;
    for (;;) {
        const ssize_t got = ::read(readEnd, &byte, 1);
        if (got < 0 && errno == EINTR) continue;
        break;  // the end of the pipe: the owner is gone
    }
    RemoveTree(path);
    ::_exit(0);
}

}  // namespace

int PrivateFolder::RemoveStale(const std::string& prefix) {
    const std::string base = TempBase();
    DIR* dir = ::opendir(base.c_str());
    if (dir == nullptr) return 0;
    std::vector<std::string> stale;
    const std::string head = prefix + "-";
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, head.size(), head) != 0) continue;
        // PREFIX-PID-XXXXXX: the owner's process id, then mkdtemp's six characters.
        const size_t dash = name.find('-', head.size());
        if (dash == std::string::npos || dash == head.size() || name.size() != dash + 7) continue;
        const std::string digits = name.substr(head.size(), dash - head.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) continue;
        const pid_t owner = pid_t(std::atol(digits.c_str()));
        if (owner <= 0 || ::kill(owner, 0) == 0 || errno != ESRCH) continue;  // still running
        struct stat info;
        const std::string full = base + "/" + name;
        if (::lstat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid()) {
            stale.push_back(full);
        }
    }
    ::closedir(dir);
    for (const std::string& path : stale) RemoveTree(path);
    return int(stale.size());
}

bool PrivateFolder::Create(const std::string& prefix, std::string& error) {
    Remove();
    RemoveStale(prefix);
    std::string pattern = TempBase() + "/" + prefix + "-" + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        error = std::string("cannot create a folder like ") + pattern + ": " + std::strerror(errno);
        return false;
    }
    path_ = name.data();

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return true;
    const pid_t child = ::fork();
    if (child == 0) Guard(ends[0], path_);
    ::close(ends[0]);
    if (child < 0) {
        ::close(ends[1]);
        return true;
    }
    guard_ = child;
    guardPipe_ = ends[1];
    return true;
}

void PrivateFolder::Remove() {
    RemoveTree(path_);
    path_.clear();
    if (guardPipe_ >= 0) {
        ::close(guardPipe_);  // the guard finds nothing left and ends
        guardPipe_ = -1;
    }
    if (guard_ > 0) {
        ::waitpid(guard_, nullptr, 0);
        guard_ = -1;
    }
}

#endif  // !_WIN32
