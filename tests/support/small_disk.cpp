// small_disk.cpp -- a small tmpfs for full-disk tests.
#include "support/small_disk.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

SmallDisk::SmallDisk(size_t bytes) {
    std::string pattern = (std::filesystem::temp_directory_path() / "small_disk_XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        whyNot_ = "cannot make a mount point";
        return;
    }
    dir_ = buffer.data();
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", dir_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        whyNot_ = std::string("cannot mount a tmpfs here (") + std::strerror(errno) +
                  "): the test needs root with CAP_SYS_ADMIN";
        return;
    }
    mounted_ = true;
}

SmallDisk::~SmallDisk() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

void SmallDisk::Fill() {
    const std::string filler = (dir_ / ".filler").string();
    int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0) return;
    std::vector<char> block(4096, 'f');
    for (size_t size = block.size(); size > 0; size /= 2) {
        while (::write(fd, block.data(), size) == ssize_t(size)) {
        }
    }
    ::close(fd);
}

void SmallDisk::FreeUp() { ::unlink((dir_ / ".filler").c_str()); }

bool SmallDisk::MakeReadOnly() {
    return mounted_ && ::mount("tmpfs", dir_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}
