// save_file.cpp -- a whole file written beside its final name and renamed over it.
#include "replay/save_file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#if !defined(_WIN32)
#include <unistd.h>
#endif

bool SaveWholeFile(const char* path, const std::string& text, const char* what) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target(path);
    fs::path folder = target.parent_path();
    if (!folder.empty() && !fs::is_directory(folder, error)) {
        fs::create_directories(folder, error);
        if (error) {
            FileLog("%s not saved: cannot create the folder %s: %s", what, folder.string().c_str(),
                    error.message().c_str());
            return false;
        }
    }

    // The new file goes beside the old one and replaces it only once it is complete.
    std::string temporary = std::string(path) + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "w");
    if (file == nullptr) {
        FileLog("%s not saved: cannot create %s", what, temporary.c_str());
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = ok && std::fflush(file) == 0 && std::ferror(file) == 0;
#if !defined(_WIN32)
    // On disk before the rename, so a crash cannot leave an empty file under the final name.
    if (ok) ok = fsync(fileno(file)) == 0;
#endif
    if (std::fclose(file) != 0) ok = false;
    if (ok) {
        fs::rename(temporary, target, error);
        if (error) {
            FileLog("%s not saved: cannot replace %s: %s", what, path, error.message().c_str());
            ok = false;
        }
    } else {
        FileLog("%s not saved: writing %s failed", what, temporary.c_str());
    }
    if (!ok) fs::remove(temporary, error);
    return ok;
}
