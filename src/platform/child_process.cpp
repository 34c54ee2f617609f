// child_process.cpp -- another program run beside the game (child_process.h). POSIX only: the
// Windows build has no video export, the one user of it.
#include "platform/child_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>

ChildProcess::~ChildProcess() {
#ifndef _WIN32
    if (Running()) {
        Interrupt();
        int status = 0;
        waitpid(pid_, &status, 0);
    }
    if (output_ >= 0) close(output_);
#endif
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         std::string* error) {
#ifdef _WIN32
    (void)program;
    (void)args;
    *error = "this build cannot run other programs";
    return false;
#else
    if (pid_ > 0) {
        *error = "already running";
        return false;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        *error = std::strerror(errno);
        return false;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        *error = std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        close(fds[0]);
        close(fds[1]);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    pid_ = pid;
    output_ = fds[0];
    status_ = -1;
    partial_.clear();
    return true;
#endif
}

std::vector<std::string> ChildProcess::TakeLines() {
    std::vector<std::string> lines;
#ifndef _WIN32
    if (output_ < 0) return lines;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(output_, buffer, sizeof buffer);
        if (n <= 0) break;
        partial_.append(buffer, size_t(n));
    }
    size_t start = 0;
    for (size_t end; (end = partial_.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = partial_.substr(start, end - start);
        // A terminal's progress bar redraws with carriage returns: the last drawing counts.
        const size_t cr = line.find_last_of('\r');
        if (cr != std::string::npos) line.erase(0, cr + 1);
        lines.push_back(line);
    }
    partial_.erase(0, start);
#endif
    return lines;
}

bool ChildProcess::Running() {
#ifdef _WIN32
    return false;
#else
    if (pid_ <= 0) return false;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == 0) return true;
    if (r == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    pid_ = -1;
    return false;
#endif
}

void ChildProcess::Interrupt() {
#ifndef _WIN32
    if (pid_ > 0) kill(pid_, SIGINT);
#endif
}

std::string OwnExecutable() {
#ifdef _WIN32
    return std::string();
#else
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
#endif
}
