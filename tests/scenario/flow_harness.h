// flow_harness.h -- runs the real program frame by frame through the headless engine, in a fresh
// temporary folder of its own, starting from the state start-up leaves: the logo at frame 0.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/callbacks.h"
#include "app/game_reset.h"
#include "app/screen_flow.h"
#include "assets/catalogue.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "input/keys.h"
#include "input/settings.h"
#include "platform/image.h"
#include "support/headless.h"
#include "support/temp_dir.h"
#include "ui/options.h"
#include "ui/title.h"

constexpr const char* kDefaultSettings =
    "[KeyPress]\r\nUP=38\r\nDOWN=40\r\nLEFT=37\r\nRIGHT=39\r\nSLOW=16\r\nSHOOT=90\r\nBOMB=88\r\n"
    "SKIP=17\r\n[Sound]\r\nBGM=80\r\nSE=80\r\n[System]\r\nAutoBomb=0\r\nWindow=1\r\n";

class FlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine = &UseHeadlessEngine();

        // Just enough data for the files whose loading the flow is judged by.
        std::filesystem::create_directories("Music");
        std::filesystem::create_directories("Graphics");
        std::ofstream("Music/title.mp3") << "music";
        std::ofstream("Music/music1.mp3") << "music";
        Image picture;
        picture.width = 8;
        picture.height = 8;
        picture.pixels.assign(64, 0xFFFFFFFFu);
        SavePng("Graphics/menuchose.png", picture);
        SavePng("Graphics/chose3.png", picture);
        WriteSettings(kDefaultSettings);

        engine->System_SetState(HGE_FRAMEFUNC, FrameFunc);
        engine->System_SetState(HGE_RENDERFUNC, RenderFunc);
        engine->System_SetState(HGE_WINDOWED, true);

        // The state start-up leaves behind, whatever an earlier test did.
        ResetSharedState();
        std::memset(soundCue, 0, sizeof soundCue);
        hge->Texture_Free(overlay.snapshotTexture);
        hge->Texture_Free(overlay.menuChoseTexture);
        overlay = PauseOverlay{};
        LoadSettings();
        NewGameLoadingFrame();
        run.frameCounter = 0;
        if (screenSprite == nullptr) CreateStartupSprites();
    }

    void TearDown() override {
        // The title's loading frame makes the frame sprite anew in every test; the program
        // itself loads once.
        delete frameSprite;
        frameSprite = nullptr;
    }

    // Runs n frames; true when the program would end.
    bool Run(int n = 1) {
        bool quit = false;
        for (int i = 0; i < n; ++i) quit = engine->RunFrame() || quit;
        return quit;
    }
    // Holds the key for one frame, then lets it go for one frame.
    void Tap(int key) {
        engine->SetKey(key, true);
        Run();
        engine->SetKey(key, false);
        Run();
    }
    // Logo and loading behind us: the first title frame has run.
    void ToTitle() {
        Run(121);
        ASSERT_EQ(run.frameCounter, 201);
    }
    // From the title, Start through the shutter into a game; stops on the first game frame.
    void ToGame() {
        ToTitle();
        Tap(VK_RETURN);
        while (run.screen != Screen::Game) Run();
        ASSERT_EQ(run.frameCounter, -64);
    }
    bool Cue(int cue) const { return soundCue[cue] != 0; }

    void WriteSettings(const std::string& text) {
        std::ofstream("Keyconfig.ini", std::ios::binary) << text;
    }
    std::string ReadFile(const char* name) {
        std::ifstream in(name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    HeadlessEngine* engine = nullptr;

private:
    WorkInTempDir dir_{"flow_test"};
};
