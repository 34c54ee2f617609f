// The options menu and the key configuration: volumes with their wrap, the window mode applied
// on leaving, the settings file written in its order, the sliding panels and rebinding.
#include "flow_harness.h"

namespace {

class OptionsTest : public FlowTest {
protected:
    // From the title into the options menu, the panel at rest.
    void ToOptions() {
        ToTitle();
        Tap(VK_DOWN);
        Tap(VK_DOWN);
        Tap(VK_RETURN);
        ASSERT_EQ(run.screen, Screen::Options);
        Run(15);
        ASSERT_EQ(menus.menuSlide, 300);
    }
    void RowTo(int row) {
        while (menus.menuCursor != row) Tap(VK_DOWN);
    }
};

TEST_F(OptionsTest, EnteringReadsTheFileAndSlidesThePanelIn) {
    ToTitle();
    WriteSettings("[Sound]\r\nBGM=35\r\n");  // edited by hand while the game runs
    Tap(VK_DOWN);
    Tap(VK_DOWN);
    engine->SetKey(VK_RETURN, true);
    Run();
    engine->SetKey(VK_RETURN, false);
    EXPECT_EQ(run.screen, Screen::Options);
    EXPECT_EQ(settings.musicVolume, 35);
    EXPECT_NE(optionsLabelsTexture, 0u);
    EXPECT_EQ(menus.menuSlide, 20);  // the first options frame ran in the same frame
    Run(14);
    EXPECT_EQ(menus.menuSlide, 300);
    Run(5);
    EXPECT_EQ(menus.menuSlide, 300);
}

TEST_F(OptionsTest, VolumesStepByFiveAndWrap) {
    ToOptions();
    RowTo(1);
    Tap(VK_RIGHT);
    EXPECT_EQ(settings.musicVolume, 85);
    settings.musicVolume = 100;
    Tap(VK_RIGHT);
    EXPECT_EQ(settings.musicVolume, 0);
    Tap(VK_LEFT);
    EXPECT_EQ(settings.musicVolume, 100);
    settings.musicVolume = 5;
    Tap(VK_LEFT);
    EXPECT_EQ(settings.musicVolume, 0);
    RowTo(2);
    settings.seVolume = 37;  // a hand-edited value off the grid stays within 0..100
    Tap(VK_RIGHT);
    EXPECT_EQ(settings.seVolume, 42);
    settings.seVolume = 2;
    Tap(VK_LEFT);
    EXPECT_EQ(settings.seVolume, 0);
    settings.seVolume = 98;
    Tap(VK_RIGHT);
    EXPECT_EQ(settings.seVolume, 100);
    // Hand-edited values outside 0..100 come into it when stepped, never past it.
    const struct {
        int32_t from;
        int key;
        int32_t to;
    } outside[] = {{INT32_MIN, VK_RIGHT, 5}, {INT32_MIN, VK_LEFT, 100}, {-7, VK_RIGHT, 5},
                   {150, VK_LEFT, 95},      {150, VK_RIGHT, 0},       {INT32_MAX, VK_RIGHT, 0},
                   {INT32_MAX, VK_LEFT, 95}};
    for (const auto& c : outside) {
        settings.seVolume = c.from;
        Tap(c.key);
        EXPECT_EQ(settings.seVolume, c.to) << c.from << (c.key == VK_RIGHT ? " up" : " down");
    }
    // The cursor wraps over the five rows.
    RowTo(4);
    Tap(VK_DOWN);
    EXPECT_EQ(menus.menuCursor, 0);
    Tap(VK_UP);
    EXPECT_EQ(menus.menuCursor, 4);
}

TEST_F(OptionsTest, LeavingWritesTheFileInOrderAndAppliesTheWindowMode) {
    std::filesystem::remove("Keyconfig.ini");
    ToOptions();  // no file: everything 0, only the fixed keys work
    RowTo(1);
    Tap(VK_RIGHT);
    RowTo(3);
    Tap(VK_LEFT);  // full screen (0) becomes windowed
    EXPECT_EQ(settings.windowed, 1);
    engine->System_SetState(HGE_WINDOWED, false);
    EXPECT_FALSE(std::filesystem::exists("Keyconfig.ini"));
    engine->SetKey(VK_ESCAPE, true);
    Run();
    engine->SetKey(VK_ESCAPE, false);
    EXPECT_EQ(run.screen, Screen::Title);
    EXPECT_EQ(menus.menuCursor, 2);
    EXPECT_EQ(menus.menuSlide, 0);
    EXPECT_TRUE(Cue(CUE_CANCEL00));
    EXPECT_TRUE(engine->System_GetState(HGE_WINDOWED));
    EXPECT_EQ(optionsLabelsTexture, 0u);
    EXPECT_EQ(ReadFile("Keyconfig.ini"),
              "[KeyPress]\r\nUP=0\r\nDOWN=0\r\nLEFT=0\r\nRIGHT=0\r\nSLOW=0\r\nSHOOT=0\r\nBOMB=0\r\n"
              "SKIP=0\r\n[Sound]\r\nBGM=5\r\nSE=0\r\n[System]\r\nAutoBomb=0\r\nWindow=1\r\n");
}

TEST_F(OptionsTest, ReturnRowKeepsThePanelAtRestForTheNextVisit) {
    ToOptions();
    RowTo(4);
    Tap(VK_RETURN);
    EXPECT_EQ(run.screen, Screen::Title);
    EXPECT_EQ(menus.menuSlide, 300);
    EXPECT_EQ(menus.menuCursor, 2);
    Tap(VK_RETURN);  // Options again, straight from the main menu's Options item
    EXPECT_EQ(run.screen, Screen::Options);
    EXPECT_EQ(menus.menuSlide, 300);
    EXPECT_EQ(ReadFile("Keyconfig.ini"), kDefaultSettings);
}

TEST_F(OptionsTest, TheWindowModeWaitsUntilTheMenuIsLeft) {
    ToOptions();
    RowTo(3);
    Tap(VK_RIGHT);
    EXPECT_EQ(settings.windowed, 0);
    EXPECT_TRUE(engine->System_GetState(HGE_WINDOWED));
    Tap(VK_ESCAPE);
    EXPECT_FALSE(engine->System_GetState(HGE_WINDOWED));
    engine->System_SetState(HGE_WINDOWED, true);
}

TEST_F(OptionsTest, RebindingTakesTheNextKeyAndEscapeCancels) {
    ToOptions();
    engine->SetKey(VK_RETURN, true);
    Run();
    EXPECT_EQ(run.screen, Screen::KeyConfig);
    EXPECT_EQ(menus.menuCursor, 0);
    engine->SetKey(VK_RETURN, false);
    Run();
    RowTo(ACT_SLOW);
    EXPECT_EQ(menus.menuCursor, 4);

    // Confirm starts the wait; the still-held Enter is not taken as the new key.
    engine->SetKey(VK_RETURN, true);
    Run();
    EXPECT_TRUE(menus.waitingForKey);
    Run(5);
    EXPECT_TRUE(menus.waitingForKey);
    EXPECT_EQ(settings.KeyBindings[ACT_SLOW], 16);
    engine->SetKey(VK_RETURN, false);
    Run();
    Tap(VK_DOWN);  // while waiting, the arrows are keys to bind, not cursor moves
    EXPECT_FALSE(menus.waitingForKey);
    EXPECT_EQ(settings.KeyBindings[ACT_SLOW], VK_DOWN);
    EXPECT_EQ(menus.menuCursor, 4);

    // Escape while waiting keeps the binding; holding it does not leave the screen.
    Tap(VK_RETURN);
    EXPECT_TRUE(menus.waitingForKey);
    engine->SetKey(VK_ESCAPE, true);
    Run();
    EXPECT_FALSE(menus.waitingForKey);
    EXPECT_EQ(settings.KeyBindings[ACT_SLOW], VK_DOWN);
    EXPECT_TRUE(Cue(CUE_CANCEL00));
    Run(5);
    EXPECT_EQ(run.screen, Screen::KeyConfig);
    engine->SetKey(VK_ESCAPE, false);
    Run();
    Tap(VK_ESCAPE);  // the next press leaves for the options, without writing the file
    EXPECT_EQ(run.screen, Screen::Options);
    EXPECT_EQ(menus.menuCursor, 0);
    EXPECT_EQ(ReadFile("Keyconfig.ini"), kDefaultSettings);
    Tap(VK_ESCAPE);
    EXPECT_EQ(run.screen, Screen::Title);
    EXPECT_NE(ReadFile("Keyconfig.ini").find("SLOW=40\r\n"), std::string::npos);
}

// Escape and Enter pressed in the same frame and held: one press, one change of screen.
TEST_F(OptionsTest, EscapeAndEnterTogetherLeaveTheOptionsOnce) {
    ToOptions();
    engine->SetKey(VK_ESCAPE, true);
    engine->SetKey(VK_RETURN, true);
    Run(5);
    EXPECT_EQ(run.screen, Screen::Title);
    engine->SetKey(VK_ESCAPE, false);
    engine->SetKey(VK_RETURN, false);
    Run();
    EXPECT_EQ(run.screen, Screen::Title);
}

TEST_F(OptionsTest, EscapeAndEnterTogetherLeaveTheKeyListOnce) {
    ToOptions();
    Tap(VK_RETURN);
    ASSERT_EQ(run.screen, Screen::KeyConfig);
    engine->SetKey(VK_ESCAPE, true);
    engine->SetKey(VK_RETURN, true);
    Run(5);
    EXPECT_EQ(run.screen, Screen::Options);
    EXPECT_FALSE(menus.waitingForKey);
    engine->SetKey(VK_ESCAPE, false);
    engine->SetKey(VK_RETURN, false);
    Run();
    EXPECT_EQ(run.screen, Screen::Options);
}

TEST_F(OptionsTest, KeyConfigurationSlidesToNineHundredAndBackOverThirtyFrames) {
    ToOptions();
    Tap(VK_RETURN);
    Run(40);
    EXPECT_EQ(menus.menuSlide, 900);
    Tap(VK_ESCAPE);
    EXPECT_EQ(run.screen, Screen::Options);
    EXPECT_EQ(menus.menuSlide, 880);  // the frame after Escape
    Run(28);
    EXPECT_EQ(menus.menuSlide, 320);
    Run();
    EXPECT_EQ(menus.menuSlide, 300);
}

TEST_F(OptionsTest, KeyListShowsLettersNamesAndBlankCaps) {
    ToOptions();
    Tap(VK_RETURN);
    Run(40);
    settings.KeyBindings[0] = 'Q';        // a letter cell
    settings.KeyBindings[1] = VK_RETURN;  // the blank cap with ENTER centred on it
    settings.KeyBindings[2] = VK_SPACE;   // the blank cap alone
    engine->SetRecordQuads(true);
    engine->ClearRecordedQuads();
    Run();
    engine->SetRecordQuads(false);
    // Key pieces are drawn at 0.8 scale; pick them out by their place at x = 900 - 426 and
    // the ENTER letters around 900 - 410.
    int atRow[3] = {0, 0, 0};
    for (const hgeQuad& q : engine->RecordedQuads()) {
        for (int row = 0; row < 3; ++row) {
            if (q.v[0].y == float(100 + 40 * row) && q.v[0].x >= 900 - 470 && q.v[0].x < 900 - 300) {
                ++atRow[row];
            }
        }
    }
    EXPECT_EQ(atRow[0], 1);
    EXPECT_EQ(atRow[1], 1 + 5);
    EXPECT_EQ(atRow[2], 1);
}

}  // namespace
