// The frame and render callbacks: cue volumes and playing, the quit rule, the frame rate and
// the menu-key latches, through the headless engine.
#include "app/callbacks.h"
#include "core/state.h"
#include "input/keys.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/screen_flow.h"
#include "assets/catalogue.h"
#include "core/sound_cues.h"
#include "game/boss.h"
#include "support/headless.h"
#include "support/temp_dir.h"

namespace {

class CallbacksTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = &UseHeadlessEngine();
        if (cueStreams[0] == 0) {
            if (FILE* f = std::fopen("callbacks_test_cue.wav", "wb")) {
                std::fputs("RIFF", f);
                std::fclose(f);
            }
            for (HSTREAM& s : cueStreams) s = hge->Stream_Load("callbacks_test_cue.wav");
        }
        std::memset(soundCue, 0, sizeof soundCue);
        savedLives = run.lives;
        savedVolume = settings.seVolume;
        run.lives = 5;
        run.quitRequested = 0;
        record.replayPlayback = false;
        bossActive = 0;
        boss.attack = 0;
        boss.age = 0;
    }
    void TearDown() override {
        run.lives = savedLives;
        settings.seVolume = savedVolume;
        run.quitRequested = 0;
        record.replayPlayback = false;
        bossActive = 0;
        boss.attack = 0;
        boss.age = 0;
        engine->ReleaseAllKeys();
    }
    HeadlessEngine* engine = nullptr;
    int32_t savedLives = 0;
    int32_t savedVolume = 0;
};

TEST_F(CallbacksTest, CueVolumeIsTheSoundVolumeTimesTheCuePercentTruncated) {
    struct Case { int32_t seVolume; int cue; int volume; };
    const Case cases[] = {
        {55, 0, 8},     // 825 / 100
        {0, 38, 0},
        {100, 14, 100},
        {100, 9, 0},    // cue 9 has no volume of its own
        {55, 28, 38},   // 3850 / 100
        {55, 22, 22},   // same stream as 28, its own percentage
        {99, 6, 9},     // 990 / 100
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cue);
        settings.seVolume = c.seVolume;
        engine->ClearPlayedSounds();
        soundCue[c.cue] = 1;
        FrameFunc();
        ASSERT_EQ(engine->PlayedSounds().size(), 1u);
        EXPECT_EQ(engine->PlayedSounds()[0].stream, cueStreams[c.cue]);
        EXPECT_EQ(engine->PlayedSounds()[0].volume, c.volume);
        EXPECT_FALSE(engine->PlayedSounds()[0].loop);
    }
}

TEST_F(CallbacksTest, AVolumeOutOfRangeInTheSettingsCannotOverflow) {
    settings.seVolume = 2000000000;
    EXPECT_EQ(CueVolume(14), 100);
    settings.seVolume = -50;
    EXPECT_EQ(CueVolume(14), 0);
}

TEST_F(CallbacksTest, RaisedCuesPlayOncePerFrameInAscendingOrderAndAllFlagsClear) {
    settings.seVolume = 100;
    soundCue[36] = 1;
    soundCue[3] = 1;
    soundCue[3] = 1;  // raised twice in one frame: plays once
    soundCue[45] = 1;  // no sound, only cleared
    FrameFunc();
    ASSERT_EQ(engine->PlayedSounds().size(), 2u);
    EXPECT_EQ(engine->PlayedSounds()[0].stream, cueStreams[3]);
    EXPECT_EQ(engine->PlayedSounds()[1].stream, cueStreams[36]);
    for (int i = 0; i < kSoundCueCount; ++i) EXPECT_EQ(soundCue[i], 0) << i;

    // Raised again on the next two frames: restarted on each.
    engine->ClearPlayedSounds();
    soundCue[3] = 1;
    FrameFunc();
    soundCue[3] = 1;
    FrameFunc();
    FrameFunc();
    EXPECT_EQ(engine->PlayedSounds().size(), 2u);
}

TEST_F(CallbacksTest, TheProgramEndsOnLivesMinusTwoOrAQuitRequest) {
    EXPECT_FALSE(FrameFunc());
    run.lives = -1;  // a lost game is not the end of the program
    EXPECT_FALSE(FrameFunc());
    run.lives = -2;
    EXPECT_TRUE(FrameFunc());
    run.lives = 3;
    run.quitRequested = 1;
    EXPECT_TRUE(FrameFunc());
}

TEST_F(CallbacksTest, FrameRateFollowsReplayFastForwardAndTheDefeatSequence) {
    struct Case { bool replay; bool ctrl; bool defeat; int age; int fps; };
    const Case cases[] = {
        {false, false, false, 0, 60},
        {false, true, false, 0, 60},   // Ctrl outside a replay does nothing
        {true, false, false, 0, 60},
        {true, true, false, 0, 240},
        {false, false, true, 40, 20},
        {true, true, true, 40, 20},    // the slow motion wins over fast-forward
        {false, false, true, 41, 22},
        {false, false, true, 60, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.replay << c.ctrl << c.defeat << " age " << c.age);
        record.replayPlayback = c.replay;
        engine->SetKey(VK_CONTROL, c.ctrl);
        bossActive = c.defeat ? 1 : 0;
        boss.attack = 7;
        boss.age = c.age;
        EXPECT_EQ(FrameRate(), c.fps);
    }
    // Another attack at the same age is no defeat.
    bossActive = 1;
    boss.attack = 6;
    boss.age = 10;
    engine->SetKey(VK_CONTROL, false);
    EXPECT_EQ(FrameRate(), 60);
}

TEST_F(CallbacksTest, ALatchIsReleasedOnlyWhenBothOfItsKeysAreUp) {
    settings.KeyBindings[ACT_SHOOT] = 'Z';
    SetAllMenuLatches();
    engine->SetKey(VK_RETURN, true);
    engine->SetKey('Z', true);
    ReleaseMenuLatches();
    EXPECT_EQ(Latch(MenuKey::Confirm), 1.0f);
    EXPECT_EQ(Latch(MenuKey::Cancel), 0.0f);  // nothing of Cancel is held

    engine->SetKey(VK_RETURN, false);  // the bound key still holds it
    ReleaseMenuLatches();
    EXPECT_EQ(Latch(MenuKey::Confirm), 1.0f);

    engine->SetKey('Z', false);
    ReleaseMenuLatches();
    EXPECT_EQ(Latch(MenuKey::Confirm), 0.0f);
    EXPECT_TRUE(!MenuKeyHeld(MenuKey::Confirm));
}

TEST_F(CallbacksTest, AnUnboundOrOutOfRangeBindingIsNeverHeld) {
    settings.KeyBindings[ACT_BOMB] = 0;
    EXPECT_FALSE(MenuKeyHeld(MenuKey::Cancel));
    settings.KeyBindings[ACT_BOMB] = 1000;
    EXPECT_FALSE(MenuKeyHeld(MenuKey::Cancel));
    settings.KeyBindings[ACT_BOMB] = 'X';
    engine->SetKey('X', true);
    EXPECT_TRUE(MenuKeyHeld(MenuKey::Cancel));
}

TEST_F(CallbacksTest, StartUpConfiguresTheEngineLoadsTheFontAndRunsTheLoop) {
    engine->SetFrameLimit(3);
    long framesBefore = engine->FramesRun();
    EXPECT_EQ(RunGame(), 0);
    engine->SetFrameLimit(0);
    EXPECT_EQ(engine->FramesRun() - framesBefore, 3);
    EXPECT_STREQ(hge->System_GetState(HGE_TITLE), "Mirrorfall ver 1.00a");
    EXPECT_EQ(hge->System_GetState(HGE_FRAMEFUNC), &FrameFunc);
    EXPECT_EQ(hge->System_GetState(HGE_RENDERFUNC), &RenderFunc);
    EXPECT_EQ(hge->System_GetState(HGE_SCREENWIDTH), 640);
    EXPECT_EQ(hge->System_GetState(HGE_SCREENHEIGHT), 480);
    EXPECT_EQ(hge->System_GetState(HGE_FPS), 60);
    EXPECT_TRUE(hge->System_GetState(HGE_DONTSUSPEND));
    EXPECT_EQ(hge->System_GetState(HGE_WINDOWED), settings.windowed == 1);  // from the settings file
    ASSERT_NE(startupFont, nullptr);
    EXPECT_FLOAT_EQ(startupFont->Depth(), 0.1f);
    EXPECT_EQ(startupFont->Tint(), 0xFFFFFFFFu);
}

TEST_F(CallbacksTest, AltEnterSwitchesTheWindowModeAndSavesItAlone) {
    WorkInTempDir dir("callbacks_test_window");
    auto file = [] {
        std::ifstream in("Keyconfig.ini", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    std::ofstream("Keyconfig.ini", std::ios::binary) << "[Sound]\r\nBGM=80\r\n[System]\r\nWindow=1\r\n";
    engine->RequestWindowModeToggle();
    engine->SetFrameLimit(2);
    RunGame();
    engine->SetFrameLimit(0);
    EXPECT_EQ(settings.windowed, 0);
    EXPECT_FALSE(hge->System_GetState(HGE_WINDOWED));
    EXPECT_EQ(file(), "[Sound]\r\nBGM=80\r\n[System]\r\nWindow=0\r\n");

    // Back again, once per request; what the options menu has not saved stays unsaved.
    settings.musicVolume = 10;
    engine->RequestWindowModeToggle();
    RenderFunc();
    RenderFunc();
    EXPECT_EQ(settings.windowed, 1);
    EXPECT_TRUE(hge->System_GetState(HGE_WINDOWED));
    EXPECT_EQ(file(), "[Sound]\r\nBGM=80\r\n[System]\r\nWindow=1\r\n");
}

}  // namespace
