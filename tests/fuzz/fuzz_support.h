// fuzz_support.h -- what the fuzz targets share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// The game's own pack password, so the fuzzer reaches past the password check.
constexpr const char* kFuzzPackPassword = "quorlembistavo";

// A broken promise of the code under test: report it as a crash the fuzzer keeps.
#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)

// A file in a private folder of this process, removed with the folder at exit.
std::string FuzzScratchFile(const char* name);
bool FuzzWriteFile(const std::string& path, const uint8_t* data, size_t size);
