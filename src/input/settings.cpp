// settings.cpp -- reading and writing the settings file.
#include "input/settings.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/state.h"
#include "platform/profile.h"

namespace {

constexpr const char* kSettingsFile = "Keyconfig.ini";
constexpr const char* kBindingKeys[kActionCount] = {"UP",    "DOWN",  "LEFT", "RIGHT",
                                                    "SLOW",  "SHOOT", "BOMB", "SKIP"};

int32_t ReadValue(const char* section, const char* key, const std::string& path) {
    return static_cast<int32_t>(ProfileGetInt(section, key, 0, path));
}

}  // namespace

void LoadSettings() {
    // The path is formed anew each time: changing the current directory changes the file.
    std::string path = ProfilePathInCurrentDirectory(kSettingsFile);
    for (int a = 0; a < kActionCount; ++a) {
        settings.KeyBindings[a] = static_cast<int64_t>(ProfileGetInt("KeyPress", kBindingKeys[a], 0, path));
    }
    settings.musicVolume = ReadValue("Sound", "BGM", path);
    settings.seVolume = ReadValue("Sound", "SE", path);
    settings.autoBomb = ReadValue("System", "AutoBomb", path);
    settings.windowed = ReadValue("System", "Window", path);
}

void SaveSettings() {
    std::string path = ProfilePathInCurrentDirectory(kSettingsFile);
    char text[16];
    bool ok = true;
    for (int a = 0; a < kActionCount; ++a) {
        std::snprintf(text, sizeof text, "%d", static_cast<int32_t>(settings.KeyBindings[a]));
        ok = ProfileWriteString("KeyPress", kBindingKeys[a], text, path) && ok;
    }
    const struct {
        const char* section;
        const char* key;
        int32_t value;
    } values[] = {{"Sound", "BGM", settings.musicVolume},
                  {"Sound", "SE", settings.seVolume},
                  {"System", "AutoBomb", settings.autoBomb},
                  {"System", "Window", settings.windowed}};
    for (const auto& v : values) {
        std::snprintf(text, sizeof text, "%d", v.value);
        ok = ProfileWriteString(v.section, v.key, text, path) && ok;
    }
    if (!ok) hge->System_Log("Settings could not be written to %s", path.c_str());
}
