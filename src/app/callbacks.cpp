// callbacks.cpp -- the program's start-up and the engine's frame and render callbacks.
#include "app/callbacks.h"

#include <cstring>
#include <string>

#include "app/game_reset.h"
#include "app/screen_flow.h"
#include "assets/catalogue.h"
#include "core/sound_cues.h"
#include "core/state.h"
#include "game/boss.h"
#include "input/keys.h"
#include "input/settings.h"
#include "replay/replay.h"
#include "ui/notice.h"

BitmapFont* startupFont = nullptr;

int CueVolume(int cue) {
    // The settings file may hold any number; the product is taken wide so it cannot overflow,
    // and the engine's volume range is 0..100.
    int64_t volume = int64_t(settings.seVolume) * cuePercent[cue] / 100;
    if (volume < 0) return 0;
    if (volume > 100) return 100;
    return static_cast<int>(volume);
}

bool FrameFunc() {
    for (int cue = 0; cue < kCueStreamCount; ++cue) {
        if (soundCue[cue] != 0) hge->Stream_Play(cueStreams[cue], false, CueVolume(cue));
    }
    std::memset(soundCue, 0, sizeof soundCue);
    if (run.lives == -2) return true;
    return run.quitRequested != 0;
}

int FrameRate() {
    // Ctrl fast-forwards a replay, read whether or not the window has focus; the boss's defeat
    // runs in slow motion even then.
    int fps = record.replayPlayback && hge->Input_GetKeyState(VK_CONTROL) ? 240 : 60;
    int defeat = DefeatFrameRate();
    if (defeat != 0) fps = defeat;
    return fps;
}

void ToggleWindowMode() {
    settings.windowed = settings.windowed == 1 ? 0 : 1;
    SaveWindowMode();
    hge->System_SetState(HGE_WINDOWED, settings.windowed == 1);
}

bool RenderFunc() {
    // Between the last frame's end and this one's start, where the options menu switches too.
    if (hge->Input_TakeWindowModeToggle()) ToggleWindowMode();
    hge->System_SetState(HGE_FPS, FrameRate());
    hge->Gfx_BeginScene(0);
    ReleaseMenuLatches();
    ScreenFlowFrame();
    return false;
}

void ShowScreenshotNotice(const ScreenshotReport& report, double now) {
    if (report.saved) {
        ShowNotice(NoticeTone::Done, "Screenshot saved", report.file.c_str(), now);
    } else {
        std::string why = report.file.empty() ? report.reason : report.file + ": " + report.reason;
        ShowNotice(NoticeTone::Failed, "Screenshot not saved", why.c_str(), now);
    }
}

bool OverlayFunc() {
    const double now = hge->Timer_GetTime();
    ScreenshotReport report;
    while (hge->System_TakeScreenshotReport(&report)) ShowScreenshotNotice(report, now);
    if (FrameRate() > 60) DrawFastForwardMark(startupFont);
    DrawNotice(startupFont, now);
    return false;
}

void ConfigureEngine() {
    hge->System_SetState(HGE_SCREENWIDTH, 640);
    hge->System_SetState(HGE_SHOWSPLASH, false);
    hge->System_SetState(HGE_SCREENHEIGHT, 480);
    hge->System_SetState(HGE_FRAMEFUNC, FrameFunc);
    hge->System_SetState(HGE_RENDERFUNC, RenderFunc);
    hge->System_SetState(HGE_OVERLAYFUNC, OverlayFunc);
    hge->System_SetState(HGE_TITLE, "Mirrorfall ver 1.00a");
    hge->System_SetState(HGE_WINDOWED, true);
    hge->System_SetState(HGE_FPS, 60);
    hge->System_SetState(HGE_USESOUND, true);
    hge->System_SetState(HGE_DONTSUSPEND, true);
    hge->System_SetState(HGE_SCREENBPP, 32);
    hge->System_SetState(HGE_ZBUFFER, true);
}

void LoadStartupFiles() {
    hge->Resource_AttachPack("gamedat.zip", "quorlembistavo");
    LoadStartupTextures();
    startupFont = new BitmapFont("Graphics/font0.fnt", false);
    startupFont->SetDepth(0.1f);
    startupFont->SetTint(0xFFFFFFFF);
}

int RunGame() {
    hge = hgeCreate(HGE_VERSION);
    ConfigureEngine();
    // What a save killed before its rename left beside the files it was replacing.
    RemoveStaleSettingsTemporaries();
    RemoveStaleReplayTemporaries();
    LoadSettings();
    hge->System_SetState(HGE_WINDOWED, settings.windowed == 1);

    if (hge->System_Initiate()) {
        LoadStartupFiles();
        NewGameLoadingFrame();
        run.frameCounter = 0;
        CreateStartupSprites();
        hge->System_Start();
    }
    hge->Release();
    return 0;
}
