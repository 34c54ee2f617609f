// temp_dir.h -- a fresh folder for a test that writes files: made and entered when the object is
// made, left and removed with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>

class WorkInTempDir {
public:
    explicit WorkInTempDir(const std::string& prefix);
    ~WorkInTempDir();
    WorkInTempDir(const WorkInTempDir&) = delete;
    WorkInTempDir& operator=(const WorkInTempDir&) = delete;

    const std::filesystem::path& Path() const { return dir_; }

private:
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};
