// engine_base.h -- what both backends share: the engine states, the log, the resource pack and
// the reference count. A backend derives from EngineBase and supplies the window, drawing,
// textures, sound and input.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/engine.h"
#include "platform/pack.h"

class EngineBase;
// The engine hgeCreate handed out, without taking a reference; nullptr when there is none.
EngineBase* CurrentEngine();

class EngineBase : public Engine {
public:
    void Release() override;
    void AddRef() { ++refCount_; }

    void System_SetState(hgeBoolState state, bool value) override;
    void System_SetState(hgeFuncState state, hgeCallback value) override;
    void System_SetState(hgeIntState state, int value) override;
    void System_SetState(hgeStringState state, const char* value) override;
    bool System_GetState(hgeBoolState state) override;
    hgeCallback System_GetState(hgeFuncState state) override;
    int System_GetState(hgeIntState state) override;
    const char* System_GetState(hgeStringState state) override;
    uintptr_t System_GetState(hgeHwndState state) override;

    void System_Log(const char* format, ...) override MIRRORFALL_PRINTF(2, 3);

    // Engine_PreloadStream (preload.h): nothing to prepare unless a backend says otherwise.
    virtual void Stream_Preload(const char* filename) { (void)filename; }

    void Input_SetPadBindings(const PadBinding* bindings, const int64_t* actionKeys,
                              int actionCount, int deadZonePercent) override;
    bool Input_TakeWindowModeToggle() override;

    bool Resource_AttachPack(const char* filename, const char* password) override;
    void Resource_RemoveAllPacks() override { pack_.Close(); }
    void* Resource_Load(const char* filename, uint32_t* size = nullptr) override;
    void Resource_Free(void* data) override;

    // The file's bytes from the pack or the disk; false when neither has it. Logs what went
    // wrong (a missing file, a damaged member) itself, once per name, except for members a
    // wrong password locks: attaching the pack said that once.
    bool ReadResource(const char* filename, std::vector<unsigned char>& out);

    void Input_SetTextHandler(TextEventHandler handler) override { textHandler_ = handler; }
    void Input_SetTextInput(bool on) override;
    bool Input_GetTextInput() override { return textInput_; }
    void Input_SetTextInputRect(float x, float y, float w, float h) override;

protected:
    EngineBase() = default;
    // Called when the last reference is given back; the backend closes everything here.
    virtual void Shutdown() {}
    // A backend reacts to HGE_WINDOWED changing after System_Initiate.
    virtual void OnWindowedChanged() {}
    // A backend reacts to HGE_TITLE changing after System_Initiate.
    virtual void OnTitleChanged() {}
    // A backend turns the platform's text input on or off, and moves its candidate window.
    virtual void OnTextInputChanged() {}
    virtual void OnTextInputRectChanged() {}

    // The text events of Input_SetTextHandler, made from what the platform reports.
    // A key went down (or repeats); also gives the control character of Backspace, Tab, Enter
    // and Escape while text input is on.
    void DeliverKeyDown(int vk);
    // Typed or committed text (UTF-8): one character event each, while text input is on.
    void DeliverText(const char* utf8);
    // The composition (UTF-8) with its cursor in characters, while text input is on.
    void DeliverComposition(const char* utf8, int cursorChars);

    // States, with the defaults the game's start-up overrides.
    bool windowed_ = true;
    bool zbuffer_ = false;
    bool useSound_ = true;
    bool dontSuspend_ = false;
    bool showSplash_ = false;
    hgeCallback frameFunc_ = nullptr;
    hgeCallback renderFunc_ = nullptr;
    int screenWidth_ = 640;
    int screenHeight_ = 480;
    int screenBpp_ = 32;
    int fps_ = 60;
    int screenshotKey_ = 0x7B;  // VK_F12
    std::string title_ = "HGE";
    std::string logFile_;
    bool logToStandardError_ = true;  // off: the log file alone (a command-line run's terminal)
    uintptr_t window_ = 0;  // HGE_HWND: nonzero once the window exists
    TextEventHandler textHandler_ = nullptr;
    bool textInput_ = false;
    float textRect_[4] = {0, 0, 0, 0};  // x, y, w, h in scene coordinates
    bool initiated_ = false;

    ResourcePack pack_;
    std::set<std::string> reportedResources_;  // names already logged as missing or damaged
    PadInput pad_;
    int windowModeToggles_ = 0;  // Alt+Enter presses not yet taken by the game

private:
    int refCount_ = 1;
};
