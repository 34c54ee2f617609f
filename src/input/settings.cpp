// settings.cpp -- key bindings, the settings file, key capture and the key list.
#include "input/settings.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "assets/catalogue.h"
#include "core/callbacks.h"
#include "core/sound_cues.h"
#include "platform/profile.h"
#include "ui/options.h"
#include "ui/title.h"

int64_t KeyBindings[kActionCount] = {};
int32_t musicVolume = 0;
int32_t seVolume = 0;
int32_t autoBomb = 0;
int32_t windowed = 0;

namespace {

constexpr const char* kSettingsFile = "Keyconfig.ini";
constexpr const char* kBindingKeys[kActionCount] = {"UP",    "DOWN",  "LEFT", "RIGHT",
                                                    "SLOW",  "SHOOT", "BOMB", "SKIP"};

int32_t ReadValue(const char* section, const char* key, const std::string& path) {
    return static_cast<int32_t>(ProfileGetInt(section, key, 0, path));
}

// The key cap grid of the options labels: five 36 x 36 cells to a row.
void DigitCell(int d) { overlaySprite->SetRegion(70 + 36 * (d % 5), 216 + 36 * (d / 5), 36, 36); }
void LetterCell(int k) { overlaySprite->SetRegion(70 + 36 * (k % 5), 288 + 36 * (k / 5), 36, 36); }

}  // namespace

// Positional by key code: 9 TAB, 13 ENTER, 16..20 SHIFT CTRL ALT PAUSE CAPSLK, 37..40 the arrows.
const char* const keyNames[256] = {
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "TAB",
    nullptr, nullptr, nullptr, "ENTER", nullptr, nullptr, "SHIFT", "CTRL", "ALT", "PAUSE",
    "CAPSLK", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "LEFT", "UP", "RIGHT",
    "DOWN",
};

void LoadSettings() {
    // The path is formed anew each time: changing the current directory changes the file.
    std::string path = ProfilePathInCurrentDirectory(kSettingsFile);
    for (int a = 0; a < kActionCount; ++a) {
        KeyBindings[a] = static_cast<int64_t>(ProfileGetInt("KeyPress", kBindingKeys[a], 0, path));
    }
    musicVolume = ReadValue("Sound", "BGM", path);
    seVolume = ReadValue("Sound", "SE", path);
    autoBomb = ReadValue("System", "AutoBomb", path);
    windowed = ReadValue("System", "Window", path);
}

void SaveSettings() {
    std::string path = ProfilePathInCurrentDirectory(kSettingsFile);
    char text[16];
    bool ok = true;
    for (int a = 0; a < kActionCount; ++a) {
        std::snprintf(text, sizeof text, "%d", static_cast<int32_t>(KeyBindings[a]));
        ok = ProfileWriteString("KeyPress", kBindingKeys[a], text, path) && ok;
    }
    const struct {
        const char* section;
        const char* key;
        int32_t value;
    } values[] = {{"Sound", "BGM", musicVolume},
                  {"Sound", "SE", seVolume},
                  {"System", "AutoBomb", autoBomb},
                  {"System", "Window", windowed}};
    for (const auto& v : values) {
        std::snprintf(text, sizeof text, "%d", v.value);
        ok = ProfileWriteString(v.section, v.key, text, path) && ok;
    }
    if (!ok) hge->System_Log("Settings could not be written to %s", path.c_str());
}

void CaptureKey() {
    // Confirming the row set every latch; wait until both Confirm keys are up again.
    if (Latch(MenuKey::Confirm) == 1.0f) return;
    int key = -1;
    for (int k = 0; k <= 221; ++k) {
        if (hge->Input_GetKeyState(k)) {
            key = k;
            break;
        }
    }
    if (key < 0) return;
    if (key == VK_ESCAPE) {
        RaiseCue(CUE_CANCEL00);
    } else {
        RaiseCue(CUE_OK00);
        if (menuCursor >= 0 && menuCursor < kActionCount) KeyBindings[menuCursor] = key;
    }
    waitingForKey = false;
    rebindLatch = 1.0f;
    SetAllMenuLatches();
}

void DrawKeyNames() {
    const float slide = static_cast<float>(menuSlide);
    for (int i = 0; i < kActionCount; ++i) {
        const float y = static_cast<float>(100 + 40 * i);
        const int64_t c = KeyBindings[i];
        overlaySprite->SetTint(waitingForKey && i == menuCursor ? 0xFFFFFFFFu : 0x9BFFFFFFu);
        if (c >= 'A' && c <= 'Z') {
            LetterCell(static_cast<int>(c - 'A'));
            overlaySprite->DrawTransformed(slide - 426, y, 0, 0.8f, 0.8f);
        } else if (c >= '0' && c <= '9') {
            DigitCell(static_cast<int>(c - '0'));
            overlaySprite->DrawTransformed(slide - 426, y, 0, 0.8f, 0.8f);
        } else {
            DigitCell(50);  // the blank key cap
            overlaySprite->DrawTransformed(slide - 426, y, 0, 0.8f, 0.8f);
            const char* name = c >= 0 && c < 256 ? keyNames[c] : nullptr;
            if (name != nullptr) {
                const int n = static_cast<int>(std::strlen(name));
                for (int j = 0; j < n; ++j) {
                    LetterCell(name[j] - 'A');
                    overlaySprite->DrawTransformed(slide - 410 - 10 * n + 20 * j, y, 0, 0.8f,
                                                   0.8f);
                }
            }
        }
    }
    for (int i = 0; i < kActionCount; ++i) {
        overlaySprite->SetTint(i == menuCursor ? 0xFFFFFFFFu : 0x9BFFFFFFu);
        overlaySprite->SetRegion(0, 504 + 36 * i, 320, 36);
        overlaySprite->DrawTransformed(slide - 666, static_cast<float>(100 + 40 * i), 0, 0.8f,
                                       0.8f);
    }
}
