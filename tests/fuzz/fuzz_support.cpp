// fuzz_support.cpp -- a private scratch folder for targets that read real files.
#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/private_folder.h"

std::string FuzzScratchFile(const char* name) {
    // Gone however the fuzzer ends, a crash included.
    static PrivateFolder folder;
    if (folder.Path().empty()) {
        std::string error;
        if (!folder.Create("mirrorfall-fuzz", error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
    }
    return folder.Path() + "/" + name;
}

bool FuzzWriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}
