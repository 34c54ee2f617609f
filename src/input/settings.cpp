// settings.cpp -- reading and writing the settings file.
#include "input/settings.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/state.h"
#include "input/pad_settings.h"
#include "platform/data_folder.h"
#include "platform/profile.h"

const char* const kBindingKeys[kActionCount] = {"UP",   "DOWN",  "LEFT", "RIGHT",
                                               "SLOW", "SHOOT", "BOMB", "SKIP"};

namespace {

constexpr const char* kSettingsFile = "Keyconfig.ini";
// A save takes milliseconds; a temporary this old is no other running game's.
constexpr int kStaleAfterSeconds = 60;

// Says once, not on every reload, why the file was not used; a file that reads again is
// reported anew the next time it goes wrong.
void ReportUnusable(ProfileStatus status, const std::string& path) {
    static ProfileStatus reported = ProfileStatus::Ok;
    if (status == reported) return;
    reported = status;
    if (status == ProfileStatus::TooLarge) {
        hge->System_Log("Settings file %s is larger than %u bytes; defaults are used and the file "
                        "is left as it is", path.c_str(), unsigned(kMaxProfileBytes));
    } else if (status == ProfileStatus::Unreadable) {
        hge->System_Log("Settings file %s cannot be read; defaults are used and the file is left "
                        "as it is", path.c_str());
    }
}

// An installed game without a usable Keyconfig.ini of its own (the data folder could not be made,
// or the first copy failed and left none or an empty one) plays with the shipped defaults rather
// than with every key unbound and no sound. The file is never written here: the player's first
// save creates it.
void LoadShippedDefaultsInstead(Profile& profile, ProfileStatus status, const std::string& path) {
    const std::string shipped = ShippedSettingsFile();
    if (shipped.empty()) return;
    const bool empty = status == ProfileStatus::Ok && profile.ToText().empty();
    if (status != ProfileStatus::Missing && !empty) return;
    Profile defaults;
    if (defaults.Load(shipped) != ProfileStatus::Ok) return;
    static bool reported = false;
    if (!reported) {
        reported = true;
        hge->System_Log("%s is %s; the default settings of %s are used", path.c_str(),
                        empty ? "empty" : "missing", shipped.c_str());
    }
    profile = defaults;
}

}  // namespace

void LoadSettings() {
    // The path is formed anew each time: changing the current directory changes the file. The
    // file is read once for all twelve values (the title reloads it on every confirmed choice).
    const std::string path = ProfilePathInCurrentDirectory(kSettingsFile);
    Profile profile;
    const ProfileStatus status = profile.Load(path);
    ReportUnusable(status, path);
    LoadShippedDefaultsInstead(profile, status, path);
    for (int a = 0; a < kActionCount; ++a) {
        settings.KeyBindings[a] = static_cast<int64_t>(profile.GetInt("KeyPress", kBindingKeys[a], 0));
    }
    settings.musicVolume = static_cast<int32_t>(profile.GetInt("Sound", "BGM", 0));
    settings.seVolume = static_cast<int32_t>(profile.GetInt("Sound", "SE", 0));
    settings.autoBomb = static_cast<int32_t>(profile.GetInt("System", "AutoBomb", 0));
    settings.windowed = static_cast<int32_t>(profile.GetInt("System", "Window", 0));
    LoadPadSettings(profile);
}

void SaveSettings() {
    const std::string path = ProfilePathInCurrentDirectory(kSettingsFile);
    Profile profile;
    const ProfileStatus status = profile.Load(path);
    if (status != ProfileStatus::Ok && status != ProfileStatus::Missing) {
        ReportUnusable(status, path);
        hge->System_Log("Settings not saved: %s is left as it is", path.c_str());
        return;
    }
    char text[16];
    for (int a = 0; a < kActionCount; ++a) {
        std::snprintf(text, sizeof text, "%d", static_cast<int32_t>(settings.KeyBindings[a]));
        profile.Set("KeyPress", kBindingKeys[a], text);
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
        profile.Set(v.section, v.key, text);
    }
    // One write for all twelve: the old file is replaced whole or not at all.
    if (!profile.Save(path)) hge->System_Log("Settings could not be written to %s", path.c_str());
}

void RemoveStaleSettingsTemporaries() {
    const std::string path = ProfilePathInCurrentDirectory(kSettingsFile);
    const int removed = ProfileRemoveStaleTemporaries(path, kStaleAfterSeconds);
    if (removed > 0) {
        hge->System_Log("Removed %d unfinished save(s) of %s left by an earlier run", removed,
                        path.c_str());
    }
}

void SaveWindowMode() {
    std::string path = ProfilePathInCurrentDirectory(kSettingsFile);
    char text[16];
    std::snprintf(text, sizeof text, "%d", settings.windowed);
    if (!ProfileWriteString("System", "Window", text, path)) {
        hge->System_Log("The window mode could not be written to %s", path.c_str());
    }
}
