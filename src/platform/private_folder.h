// private_folder.h -- a private working folder in the temporary directory that goes away however
// the process ends: removed on a normal end, and by a small guard process when the owner is
// killed by a signal (even SIGKILL). Folders whose owner died while its guard died too (a whole
// process group killed at once) are removed by the next program that makes one.
#pragma once

#include <string>
#include <sys/types.h>

class PrivateFolder {
public:
    PrivateFolder() = default;
    ~PrivateFolder() { Remove(); }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    // Makes TMPDIR/PREFIX-PID-XXXXXX (TMPDIR defaults to /tmp) after removing the stale folders
    // of the same prefix. False with a reason when the folder cannot be made; the guard is
    // best effort (without it only a normal end removes the folder).
    bool Create(const std::string& prefix, std::string& error);
    const std::string& Path() const { return path_; }
    // Removes the folder and everything in it now, and ends the guard.
    void Remove();

    // Removes TMPDIR/PREFIX-PID-* folders whose process no longer runs; returns how many.
    static int RemoveStale(const std::string& prefix);

private:
    std::string path_;
    int guardPipe_ = -1;  // write end: the guard acts when it closes
    pid_t guard_ = -1;
};
