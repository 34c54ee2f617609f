// fuzz_support.cpp -- a private scratch folder for targets that read real files.
#include "fuzz_support.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string gFolder;

void RemoveFolder() {
    if (gFolder.empty()) return;
    std::error_code error;
    std::filesystem::remove_all(gFolder, error);
}

}  // namespace

std::string FuzzScratchFile(const char* name) {
    if (gFolder.empty()) {
        std::error_code error;
        std::string base = std::filesystem::temp_directory_path(error).string();
        if (error) base = "/tmp";
        std::string pattern = base + "/mirrorfall-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        gFolder = pattern;
        std::atexit(RemoveFolder);
    }
    return gFolder + "/" + name;
}

bool FuzzWriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}
