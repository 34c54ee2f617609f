// small_disk.h -- a small tmpfs of a test's own, to see what the game does when the disk fills
// up. Mounting needs the right to mount (root with CAP_SYS_ADMIN); where it is missing, the
// object says why and the test skips.
#pragma once

#include <filesystem>
#include <string>

class SmallDisk {
public:
    explicit SmallDisk(size_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    const std::string& WhyNot() const { return whyNot_; }
    const std::filesystem::path& Path() const { return dir_; }
    // Fills every byte left with a file of its own; FreeUp removes it.
    void Fill();
    void FreeUp();
    // Remounts the disk read-only (what a read-only medium or share looks like, even to root).
    bool MakeReadOnly();

private:
    std::filesystem::path dir_;
    bool mounted_ = false;
    std::string whyNot_;
};
