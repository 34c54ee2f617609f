// pad_settings.cpp -- the [Pad] and [Hotkeys] sections of the settings file.
#include "input/pad_settings.h"

#include <cstdint>
#include <set>

#include "core/state.h"
#include "input/settings.h"
#include "platform/profile.h"

namespace {

// By PadControl: the face buttons by position, then Back, Guide, Start, the sticks pressed in,
// the shoulders, the D-pad, the share button, the triggers and the left stick's directions. The
// D-pad and stick press the arrow keys too, and south Enter too, because the pause menu answers
// to those keys alone.
const char* const kDefaultValues[PAD_CONTROL_COUNT] = {
    "SHOOT+13", "BOMB",    "SLOW",     "SKIP",      "27",      "",        "27",
    "",         "",        "SLOW",     "17",        "UP+38",   "DOWN+40", "LEFT+37",
    "RIGHT+39", "123",     "SLOW",     "17",        "UP+38",   "DOWN+40", "LEFT+37",
    "RIGHT+39",
};

std::string Trim(const std::string& s) {
    size_t begin = s.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    size_t end = s.find_last_not_of(" \t");
    return s.substr(begin, end - begin + 1);
}

bool SameLetters(const std::string& a, const char* b) {
    size_t i = 0;
    for (; b[i] != '\0'; ++i) {
        if (i >= a.size()) return false;
        char x = a[i];
        if (x >= 'a' && x <= 'z') x = char(x - 'a' + 'A');
        if (x != b[i]) return false;
    }
    return i == a.size();
}

// The problems logged so far, so that reading the settings again does not repeat them.
std::set<std::string> gReported;

void Report(const std::string& problem) {
    if (gReported.insert(problem).second) hge->System_Log("%s", problem.c_str());
}

}  // namespace

const char* DefaultPadValue(PadControl control) {
    return control >= 0 && control < PAD_CONTROL_COUNT ? kDefaultValues[control] : "";
}

bool ParsePadValue(const std::string& text, PadBinding& binding) {
    PadBinding parsed;
    bool haveAction = false, haveKey = false;
    std::string rest = text;
    while (true) {
        size_t plus = rest.find('+');
        std::string part = Trim(rest.substr(0, plus));
        if (part.empty()) {
            // Only a value that is wholly empty is allowed to be: "UP+" is a slip.
            if (plus != std::string::npos || haveAction || haveKey) return false;
        } else if (part.find_first_not_of("0123456789") == std::string::npos) {
            if (haveKey || part.size() > 3) return false;
            int key = std::stoi(part);
            if (key > 255) return false;
            parsed.key = key;
            haveKey = true;
        } else {
            int action = -1;
            for (int a = 0; a < kActionCount; ++a) {
                if (SameLetters(part, kBindingKeys[a])) action = a;
            }
            if (action < 0 || haveAction) return false;
            parsed.action = action;
            haveAction = true;
        }
        if (plus == std::string::npos) break;
        rest = rest.substr(plus + 1);
    }
    binding = parsed;
    return true;
}

void LoadPadSettings(const Profile& profile) {
    PadBinding bindings[PAD_CONTROL_COUNT];
    for (int c = 0; c < PAD_CONTROL_COUNT; ++c) {
        PadControl control = PadControl(c);
        std::string value = profile.GetString("Pad", PadControlName(control), DefaultPadValue(control));
        if (!ParsePadValue(value, bindings[c])) {
            ParsePadValue(DefaultPadValue(control), bindings[c]);
            Report(std::string("Keyconfig.ini: [Pad] ") + PadControlName(control) + "=" + value +
                   " is not an action or a key code; the default " + DefaultPadValue(control) + " is used");
        }
    }
    int deadZone = int(profile.GetInt("Pad", "DeadZone", kPadDefaultDeadZonePercent));
    if (deadZone < 0 || deadZone > 95) {
        Report("Keyconfig.ini: [Pad] DeadZone=" + std::to_string(deadZone) +
               " is not a percentage of the stick's travel from 0 to 95; " +
               std::to_string(kPadDefaultDeadZonePercent) + " is used");
        deadZone = kPadDefaultDeadZonePercent;
    }
    hge->Input_SetPadBindings(bindings, settings.KeyBindings, kActionCount, deadZone);

    uint32_t key = profile.GetInt("Hotkeys", "Screenshot", kDefaultScreenshotKey);
    if (key > 255) {
        Report("Keyconfig.ini: [Hotkeys] Screenshot=" + std::to_string(key) +
               " is not a key code; screenshots are off");
        key = 0;
    }
    for (int a = 0; a < kActionCount && key != 0; ++a) {
        if (settings.KeyBindings[a] == int64_t(key)) {
            Report("Keyconfig.ini: the screenshot key " + std::to_string(key) + " is bound to " +
                   kBindingKeys[a] + "; screenshots are off");
            key = 0;
        }
    }
    hge->System_SetState(HGE_SCREENSHOTKEY, int(key));
}
