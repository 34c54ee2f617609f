// private_folder_win32.cpp -- the private working folder on Windows: the same names and the same
// clean-up of stale folders, without the guard process (Windows has no fork). A folder whose
// owner was killed is removed by the next program that makes one.
#include "platform/private_folder.h"

#if defined(_WIN32)

#include <windows.h>

#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path TempBase() {
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    return error ? fs::current_path(error) : base;
}

bool ProcessRuns(DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;  // someone else's
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

}  // namespace

int PrivateFolder::RemoveStale(const std::string& prefix) {
    std::error_code error;
    std::vector<fs::path> stale;
    const std::string head = prefix + "-";
    for (const fs::directory_entry& entry : fs::directory_iterator(TempBase(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, head.size(), head) != 0) continue;
        // PREFIX-PID-XXXXXX: the owner's process id, then six random characters.
        const size_t dash = name.find('-', head.size());
        if (dash == std::string::npos || dash == head.size() || name.size() != dash + 7) continue;
        const std::string digits = name.substr(head.size(), dash - head.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) continue;
        const DWORD owner = DWORD(std::stoul(digits));
        if (owner == 0 || ProcessRuns(owner)) continue;
        std::error_code kind;
        if (entry.is_directory(kind) && !entry.is_symlink(kind)) stale.push_back(entry.path());
    }
    for (const fs::path& path : stale) fs::remove_all(path, error);
    return int(stale.size());
}

bool PrivateFolder::Create(const std::string& prefix, std::string& error) {
    Remove();
    RemoveStale(prefix);
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device entropy;
    std::mt19937 pick(entropy());
    const fs::path base = TempBase();
    const std::string head = prefix + "-" + std::to_string(GetCurrentProcessId()) + "-";
    std::error_code failure;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = head;
        for (int i = 0; i < 6; ++i) name += kLetters[pick() % (sizeof kLetters - 1)];
        // Creating fails when the name is taken: no other process can share the folder.
        if (fs::create_directory(base / name, failure)) {
            path_ = (base / name).string();
            return true;
        }
        if (failure) break;
    }
    error = "cannot create a folder like " + (base / (head + "XXXXXX")).string() + ": " +
            (failure ? failure.message() : std::string("every name was taken"));
    return false;
}

void PrivateFolder::Remove() {
    if (path_.empty()) return;
    std::error_code error;
    fs::remove_all(path_, error);
    path_.clear();
}

#endif  // _WIN32
