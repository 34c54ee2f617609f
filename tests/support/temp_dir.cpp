// temp_dir.cpp -- a fresh folder for a test that writes files.
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <vector>

WorkInTempDir::WorkInTempDir(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "_XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        ADD_FAILURE() << "could not make a folder like " << pattern;
        return;
    }
    dir_ = buffer.data();
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
}

WorkInTempDir::~WorkInTempDir() {
    if (dir_.empty()) return;
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(dir_, ignored);
}
