// Key bindings and the settings file: what is read, what is written and in which order, the
// capture of a new key and the names of keys.
#include "input/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/callbacks.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "input/keys.h"
#include "support/headless.h"
#include "support/temp_dir.h"
#include "ui/options.h"
#include "ui/title.h"

namespace {

constexpr const char* kDefaultFile =
    "[KeyPress]\r\nUP=38\r\nDOWN=40\r\nLEFT=37\r\nRIGHT=39\r\nSLOW=16\r\nSHOOT=90\r\nBOMB=88\r\n"
    "SKIP=17\r\n[Sound]\r\nBGM=80\r\nSE=80\r\n[System]\r\nAutoBomb=0\r\nWindow=1\r\n";

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine_ = &UseHeadlessEngine();
        std::memset(soundCue, 0, sizeof soundCue);
    }
    void WriteFile(const std::string& text) { std::ofstream("Keyconfig.ini", std::ios::binary) << text; }
    std::string ReadFile() {
        std::ifstream in("Keyconfig.ini", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    HeadlessEngine* engine_ = nullptr;
    WorkInTempDir dir_{"settings_test"};
};

TEST_F(SettingsTest, SavingIntoAnEmptyFolderWritesTheDocumentedLayout) {
    const int64_t keys[kActionCount] = {38, 40, 37, 39, 16, 90, 88, 17};
    for (int a = 0; a < kActionCount; ++a) settings.KeyBindings[a] = keys[a];
    settings.musicVolume = 80;
    settings.seVolume = 80;
    settings.autoBomb = 0;
    settings.windowed = 1;
    SaveSettings();
    EXPECT_EQ(ReadFile(), kDefaultFile);
}

TEST_F(SettingsTest, LoadReadsEveryValueAndMissingOnesAsZero) {
    WriteFile("[KeyPress]\r\nUP=38\r\nDOWN=40\r\nLEFT=37\r\nRIGHT=39\r\nSHOOT=90\r\nBOMB=x\r\n"
              "SKIP=-1\r\n[Sound]\r\nBGM=37\r\nSE=80\r\n[System]\r\nWindow=1\r\n");
    settings.KeyBindings[ACT_SLOW] = 99;
    settings.autoBomb = 5;
    LoadSettings();
    EXPECT_EQ(settings.KeyBindings[ACT_UP], 38);
    EXPECT_EQ(settings.KeyBindings[ACT_SLOW], 0);   // missing
    EXPECT_EQ(settings.KeyBindings[ACT_SHOOT], 90);
    EXPECT_EQ(settings.KeyBindings[ACT_BOMB], 0);   // not a number
    EXPECT_EQ(settings.KeyBindings[ACT_SKIP], 4294967295);  // unsigned 32 bits, widened
    EXPECT_EQ(settings.musicVolume, 37);            // no range check
    EXPECT_EQ(settings.seVolume, 80);
    EXPECT_EQ(settings.autoBomb, 0);
    EXPECT_EQ(settings.windowed, 1);
}

TEST_F(SettingsTest, NoFileLeavesEverythingZero) {
    settings.KeyBindings[ACT_UP] = 38;
    settings.musicVolume = settings.seVolume = settings.windowed = 1;
    LoadSettings();
    for (int64_t key : settings.KeyBindings) EXPECT_EQ(key, 0);
    EXPECT_EQ(settings.musicVolume, 0);
    EXPECT_EQ(settings.seVolume, 0);
    EXPECT_EQ(settings.windowed, 0);
}

TEST_F(SettingsTest, SavingUpdatesInPlaceAndWritesTheLowThirtyTwoBits) {
    WriteFile("; hand-made\r\n[KeyPress]\r\nUP=1\r\nTURBO=3\r\n[Sound]\r\nSE=5\r\n");
    LoadSettings();
    settings.KeyBindings[ACT_UP] = 4294967295;  // a binding read from "-1" goes back as -1
    SaveSettings();
    EXPECT_EQ(ReadFile(),
              "; hand-made\r\n[KeyPress]\r\nUP=-1\r\nTURBO=3\r\nDOWN=0\r\nLEFT=0\r\nRIGHT=0\r\n"
              "SLOW=0\r\nSHOOT=0\r\nBOMB=0\r\nSKIP=0\r\n[Sound]\r\nSE=5\r\nBGM=0\r\n"
              "[System]\r\nAutoBomb=0\r\nWindow=0\r\n");
}

TEST_F(SettingsTest, TheFileFollowsTheCurrentDirectory) {
    WriteFile(kDefaultFile);
    std::filesystem::create_directory("other");
    std::ofstream("other/Keyconfig.ini", std::ios::binary) << "[Sound]\r\nBGM=15\r\n";
    LoadSettings();
    EXPECT_EQ(settings.musicVolume, 80);
    ASSERT_EQ(chdir("other"), 0);
    LoadSettings();
    EXPECT_EQ(settings.musicVolume, 15);
    ASSERT_EQ(chdir(".."), 0);
}

TEST_F(SettingsTest, AFileLargerThanAnySettingsFileGivesDefaultsIsSaidOnceAndIsNeverReplaced) {
    const std::string big = std::string(kDefaultFile) + ";" + std::string(2 * 1024 * 1024, 'x') + "\r\n";
    WriteFile(big);
    const std::string log = (dir_.Path() / "log.txt").string();
    engine_->System_SetState(HGE_LOGFILE, log.c_str());
    settings.musicVolume = 55;
    LoadSettings();
    LoadSettings();  // the title reloads on every confirmed choice
    EXPECT_EQ(settings.musicVolume, 0);
    EXPECT_EQ(settings.KeyBindings[0], 0);
    settings.musicVolume = 60;
    SaveSettings();
    engine_->System_SetState(HGE_LOGFILE, "");
    EXPECT_EQ(ReadFile(), big);
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("is larger than 1048576 bytes; defaults are used"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("Settings not saved"), std::string::npos) << lines[1];
    // Once the file is fit again it reads as usual.
    WriteFile(kDefaultFile);
    LoadSettings();
    EXPECT_EQ(settings.musicVolume, 80);
}

TEST_F(SettingsTest, KeyNamesCoverTheElevenNamedKeys) {
    const struct {
        int code;
        const char* name;
    } named[] = {{9, "TAB"},    {13, "ENTER"}, {16, "SHIFT"}, {17, "CTRL"},  {18, "ALT"},  {19, "PAUSE"},
                 {20, "CAPSLK"}, {37, "LEFT"}, {38, "UP"},    {39, "RIGHT"}, {40, "DOWN"}};
    int count = 0;
    for (int code = 0; code < 256; ++code) {
        if (keyNames[code] == nullptr) continue;
        ++count;
        for (const char* c = keyNames[code]; *c != 0; ++c) EXPECT_TRUE(*c >= 'A' && *c <= 'Z');
    }
    EXPECT_EQ(count, 11);
    for (const auto& k : named) {
        ASSERT_NE(keyNames[k.code], nullptr) << k.code;
        EXPECT_STREQ(keyNames[k.code], k.name);
    }
}

class CaptureKeyTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        for (float& latch : menus.menuKeyLatch) latch = 0;
        menus.rebindLatch = 0;
        menus.waitingForKey = true;
        menus.menuCursor = ACT_SLOW;
        settings.KeyBindings[ACT_SLOW] = 16;
    }
};

TEST_F(CaptureKeyTest, WaitsUntilConfirmIsReleased) {
    Latch(MenuKey::Confirm) = 1.0f;
    engine_->SetKey('Q', true);
    CaptureKey();
    EXPECT_TRUE(menus.waitingForKey);
    EXPECT_EQ(settings.KeyBindings[ACT_SLOW], 16);
}

TEST_F(CaptureKeyTest, TheLowestHeldKeyIsBound) {
    engine_->SetKey('Q', true);
    engine_->SetKey(VK_SPACE, true);
    CaptureKey();
    EXPECT_EQ(settings.KeyBindings[ACT_SLOW], VK_SPACE);
    EXPECT_FALSE(menus.waitingForKey);
    EXPECT_EQ(soundCue[CUE_OK00], 1);
    EXPECT_EQ(menus.rebindLatch, 1.0f);
    for (float latch : menus.menuKeyLatch) EXPECT_EQ(latch, 1.0f);
}

TEST_F(CaptureKeyTest, EscapeWithALetterCancels) {
    engine_->SetKey(VK_ESCAPE, true);
    engine_->SetKey('Q', true);
    CaptureKey();
    EXPECT_EQ(settings.KeyBindings[ACT_SLOW], 16);
    EXPECT_FALSE(menus.waitingForKey);
    EXPECT_EQ(soundCue[CUE_CANCEL00], 1);
    EXPECT_EQ(soundCue[CUE_OK00], 0);
}

TEST_F(CaptureKeyTest, NothingHeldKeepsWaiting) {
    engine_->SetKey(222, true);  // beyond the codes tested
    CaptureKey();
    EXPECT_TRUE(menus.waitingForKey);
    EXPECT_EQ(settings.KeyBindings[ACT_SLOW], 16);
}

}  // namespace
