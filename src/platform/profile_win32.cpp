// profile_win32.cpp -- profile files on Windows: the system's own profile functions, which
// the settings file's layout was made for.
#include "platform/profile.h"

#if defined(_WIN32)

#include <windows.h>

#include <vector>

std::string ProfilePathInCurrentDirectory(const char* name) {
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return std::string();
    std::vector<char> buffer(size + 1);
    DWORD got = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (got == 0 || got >= buffer.size()) return std::string();
    std::string path(buffer.data(), got);
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    return path + name;
}

uint32_t ProfileGetInt(const char* section, const char* key, uint32_t defaultValue,
                       const std::string& path) {
    if (path.empty()) return defaultValue;
    // GetPrivateProfileIntA returns the default for a missing value and the leading digits
    // (0 without any) for one that is there, as the reader elsewhere does.
    return GetPrivateProfileIntA(section, key, static_cast<INT>(defaultValue), path.c_str());
}

bool ProfileWriteString(const char* section, const char* key, const char* value,
                        const std::string& path) {
    if (path.empty()) return false;
    return WritePrivateProfileStringA(section, key, value, path.c_str()) != 0;
}

#endif  // _WIN32
