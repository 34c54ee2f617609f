// The settings file's [Pad] and [Hotkeys] sections: what a value may say, what a pad presses once
// the settings are read, the defaults of a file without them, and values that cannot be used.
#include "input/pad_settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/state.h"
#include "input/settings.h"
#include "support/headless.h"
#include "support/temp_dir.h"

namespace {

TEST(PadSettingsTest, AValueNamesAnActionAKeyOrOneOfEach) {
    const struct {
        const char* text;
        bool ok;
        int action, key;
    } cases[] = {
        {"SHOOT", true, ACT_SHOOT, 0},
        {"shoot", true, ACT_SHOOT, 0},
        {"27", true, -1, 27},
        {"UP+38", true, ACT_UP, 38},
        {"38 + up", true, ACT_UP, 38},
        {"", true, -1, 0},
        {"0", true, -1, 0},
        {"255", true, -1, 255},
        {"256", false, 0, 0},
        {"-1", false, 0, 0},
        {"JUMP", false, 0, 0},
        {"UP+DOWN", false, 0, 0},
        {"13+27", false, 0, 0},
        {"UP+", false, 0, 0},
        {"+38", false, 0, 0},
        {"F12", false, 0, 0},
        {"99999999999999999999", false, 0, 0},
    };
    for (const auto& c : cases) {
        PadBinding b{.action = 7, .key = 7};
        EXPECT_EQ(ParsePadValue(c.text, b), c.ok) << "'" << c.text << "'";
        if (c.ok) {
            EXPECT_EQ(b.action, c.action) << "'" << c.text << "'";
            EXPECT_EQ(b.key, c.key) << "'" << c.text << "'";
        } else {
            EXPECT_EQ(b.action, 7) << "'" << c.text << "' changed the binding";
        }
    }
    // Every default reads.
    for (int c = 0; c < PAD_CONTROL_COUNT; ++c) {
        PadBinding b;
        EXPECT_TRUE(ParsePadValue(DefaultPadValue(PadControl(c)), b)) << PadControlName(PadControl(c));
    }
}

class PadSettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { engine_ = &UseHeadlessEngine(); }
    void TearDown() override {
        for (int pad : {1, 2}) engine_->Pads().RemovePad(pad);
    }
    void Load(const std::string& text) {
        std::ofstream("Keyconfig.ini", std::ios::binary) << text;
        LoadSettings();
    }
    bool WithPad(PadControl control, int key) {
        engine_->Pads().SetControl(1, control, true);
        bool held = engine_->Input_GetKeyState(key);
        engine_->Pads().SetControl(1, control, false);
        return held;
    }

    HeadlessEngine* engine_ = nullptr;
    WorkInTempDir dir_{"pad_settings_test"};
};

constexpr const char* kKeys = "[KeyPress]\r\nUP=87\r\nDOWN=83\r\nLEFT=65\r\nRIGHT=68\r\nSLOW=16\r\n"
                              "SHOOT=90\r\nBOMB=88\r\nSKIP=17\r\n";

TEST_F(PadSettingsFileTest, WithoutAPadSectionThePadPlaysWithTheDefaults) {
    Load(kKeys);  // WASD to move
    const struct {
        PadControl control;
        int key;
    } pressed[] = {
        {PAD_SOUTH, 'Z'},       {PAD_SOUTH, VK_RETURN},   {PAD_EAST, 'X'},
        {PAD_LEFT_SHOULDER, VK_SHIFT}, {PAD_RIGHT_TRIGGER, VK_CONTROL}, {PAD_START, VK_ESCAPE},
        {PAD_DPAD_UP, 'W'},     {PAD_DPAD_UP, VK_UP},     {PAD_STICK_LEFT, 'A'},
        {PAD_STICK_LEFT, VK_LEFT},
    };
    for (const auto& p : pressed) {
        EXPECT_TRUE(WithPad(p.control, p.key)) << PadControlName(p.control) << " " << p.key;
    }
    EXPECT_FALSE(WithPad(PAD_EAST, 'Z'));
    EXPECT_FALSE(WithPad(PAD_GUIDE, VK_ESCAPE));
    EXPECT_EQ(engine_->System_GetState(HGE_SCREENSHOTKEY), kDefaultScreenshotKey);
}

TEST_F(PadSettingsFileTest, ThePadSectionIsReadWithTheSettings) {
    Load(std::string(kKeys) +
         "[Pad]\r\nSouth=BOMB\r\nEast=\r\nNorth=32\r\nStart=0\r\nDPadUp=UP\r\nDeadZone=60\r\n"
         "[Hotkeys]\r\nScreenshot=122\r\n");
    EXPECT_TRUE(WithPad(PAD_SOUTH, 'X'));
    EXPECT_FALSE(WithPad(PAD_SOUTH, 'Z'));
    EXPECT_FALSE(WithPad(PAD_SOUTH, VK_RETURN));
    for (int key = 1; key < 256; ++key) ASSERT_FALSE(WithPad(PAD_EAST, key)) << key;
    for (int key = 1; key < 256; ++key) ASSERT_FALSE(WithPad(PAD_START, key)) << key;
    EXPECT_TRUE(WithPad(PAD_NORTH, VK_SPACE));
    EXPECT_TRUE(WithPad(PAD_DPAD_UP, 'W'));
    EXPECT_FALSE(WithPad(PAD_DPAD_UP, VK_UP));
    EXPECT_TRUE(WithPad(PAD_DPAD_DOWN, VK_DOWN));  // not named: the default
    EXPECT_EQ(engine_->Pads().DeadZone(), 60);
    EXPECT_EQ(engine_->System_GetState(HGE_SCREENSHOTKEY), 122);

    // Rebinding on the key-configuration screen moves the pad at once.
    settings.KeyBindings[ACT_BOMB] = 'B';
    EXPECT_TRUE(WithPad(PAD_SOUTH, 'B'));
}

TEST_F(PadSettingsFileTest, UnusableValuesKeepTheirDefaults) {
    Load(std::string(kKeys) + "[Pad]\r\nSouth=JUMP\r\nStart=999\r\nDeadZone=250\r\n"
                              "[Hotkeys]\r\nScreenshot=4000\r\n");
    EXPECT_TRUE(WithPad(PAD_SOUTH, 'Z'));
    EXPECT_TRUE(WithPad(PAD_START, VK_ESCAPE));
    EXPECT_EQ(engine_->Pads().DeadZone(), kPadDefaultDeadZonePercent);
    EXPECT_EQ(engine_->System_GetState(HGE_SCREENSHOTKEY), 0);
}

TEST_F(PadSettingsFileTest, AScreenshotKeyBoundToAnActionTakesNoScreenshots) {
    Load("[KeyPress]\r\nSHOOT=123\r\n[Hotkeys]\r\nScreenshot=123\r\n");
    EXPECT_EQ(engine_->System_GetState(HGE_SCREENSHOTKEY), 0);
    Load("[KeyPress]\r\nSHOOT=90\r\n[Hotkeys]\r\nScreenshot=123\r\n");
    EXPECT_EQ(engine_->System_GetState(HGE_SCREENSHOTKEY), 123);
}

}  // namespace
