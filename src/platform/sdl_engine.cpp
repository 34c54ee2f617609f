// sdl_engine.cpp -- the SDL backend's window, frame loop and its pacing, keyboard and mouse, and
// log.
#include "platform/sdl_engine.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/data_folder.h"
#include "platform/sdl_backend.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

SdlEngine* gLiveEngine = nullptr;
std::string gLogName = "mirrorfall.log";
SdlFrameObserver gObserver = nullptr;
void* gObserverUser = nullptr;

// The desktop ties the window to the game's desktop entry by these names: the window class on
// X11 (the entry's StartupWMClass), the application id on Wayland (the entry's own name).
constexpr const char* kWindowClass = "mirrorfall";
constexpr const char* kDesktopId = "org.mirrorfall.Mirrorfall";
// The window's own icon, baked with the game's data.
constexpr const char* kWindowIcon = "icons/mirrorfall-64.png";

// The game never releases its last engine reference (sprites and fonts keep theirs), so the
// mixer is stopped when the process ends instead, before anything it plays is torn down. The
// display is left to the process's end: this also runs when Xlib exits because the X server
// went away, and talking to a dead display from here would never return.
void CloseAtExit() {
    if (gLiveEngine == nullptr) return;
    Mix_CloseAudio();
    gLiveEngine = nullptr;
}

// Letters and digits follow the keyboard layout, as Windows' codes do.
int VirtualKey(SDL_Keycode sym, SDL_Scancode sc) {
    if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + (sym - SDLK_a);
    if (sym >= SDLK_0 && sym <= SDLK_9) return '0' + (sym - SDLK_0);
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + (sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) {
        return VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1);
    }
    switch (sc) {
        case SDL_SCANCODE_0: return '0';
        case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
        case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
        case SDL_SCANCODE_BACKSPACE: return VK_BACK;
        case SDL_SCANCODE_TAB: return VK_TAB;
        case SDL_SCANCODE_SPACE: return VK_SPACE;
        case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
        case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
        case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
        case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
        case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
        case SDL_SCANCODE_NONUSBACKSLASH: return 0xE2;  // VK_OEM_102
        case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
        case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
        case SDL_SCANCODE_GRAVE: return VK_OEM_3;
        case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
        case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
        case SDL_SCANCODE_SLASH: return VK_OEM_2;
        case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
        case SDL_SCANCODE_PRINTSCREEN: return 0x2C;  // VK_SNAPSHOT
        case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
        case SDL_SCANCODE_PAUSE: return VK_PAUSE;
        case SDL_SCANCODE_INSERT: return VK_INSERT;
        case SDL_SCANCODE_HOME: return VK_HOME;
        case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
        case SDL_SCANCODE_DELETE: return VK_DELETE;
        case SDL_SCANCODE_END: return VK_END;
        case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
        case SDL_SCANCODE_RIGHT: return VK_RIGHT;
        case SDL_SCANCODE_LEFT: return VK_LEFT;
        case SDL_SCANCODE_DOWN: return VK_DOWN;
        case SDL_SCANCODE_UP: return VK_UP;
        case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
        case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
        case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
        case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
        case SDL_SCANCODE_KP_PLUS: return VK_ADD;
        case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
        case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
        case SDL_SCANCODE_LSHIFT: return VK_LSHIFT;
        case SDL_SCANCODE_RSHIFT: return VK_RSHIFT;
        case SDL_SCANCODE_LCTRL: return VK_LCONTROL;
        case SDL_SCANCODE_RCTRL: return VK_RCONTROL;
        case SDL_SCANCODE_LALT: return VK_LMENU;
        case SDL_SCANCODE_RALT: return VK_RMENU;
        case SDL_SCANCODE_LGUI: return 0x5B;         // VK_LWIN
        case SDL_SCANCODE_RGUI: return 0x5C;         // VK_RWIN
        case SDL_SCANCODE_APPLICATION: return 0x5D;  // VK_APPS
        default: return 0;
    }
}

int MouseKey(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT: return VK_LBUTTON;
        case SDL_BUTTON_RIGHT: return VK_RBUTTON;
        case SDL_BUTTON_MIDDLE: return VK_MBUTTON;
        default: return 0;
    }
}

}  // namespace

Engine* CreateSdlEngine() { return new SdlEngine(); }

int SdlVirtualKey(int keycode, int scancode) {
    return VirtualKey(SDL_Keycode(keycode), SDL_Scancode(scancode));
}

void SdlUseLogFile(const char* name) { gLogName = name; }

void SdlEngine_SetFrameObserver(SdlFrameObserver observer, void* user) {
    gObserver = observer;
    gObserverUser = user;
}

SdlEngine::SdlEngine() {
    // An installed game works in the player's data folder; from the build, where it was started.
    DataFolderChoice folder = UseDataFolder(ExecutableFolder(), std::getenv("XDG_DATA_HOME"),
                                            std::getenv("HOME"));
    // A fresh log for every run, beside the settings.
    logFile_ = gLogName;
    if (FILE* f = std::fopen(logFile_.c_str(), "w")) std::fclose(f);
    if (folder.installed) {
        System_Log("Game files in %s, data from %s", folder.dataFolder.c_str(), folder.shareFolder.c_str());
    }
    for (const std::string& line : folder.log) System_Log("%s", line.c_str());
}

SdlEngine::~SdlEngine() = default;

void SdlEngine::Shutdown() {
    ClosePads();
    CloseAudio();
    CloseRenderer();
    if (context_ != nullptr) SDL_GL_DeleteContext(context_);
    if (windowHandle_ != nullptr) SDL_DestroyWindow(windowHandle_);
    context_ = nullptr;
    windowHandle_ = nullptr;
    window_ = 0;
    if (videoStarted_) SDL_Quit();
    videoStarted_ = false;
    initiated_ = false;
    if (gLiveEngine == this) gLiveEngine = nullptr;
}

bool SdlEngine::System_Initiate() {
    if (initiated_) return true;
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The program's own main() is the entry point (no SDL_main wrapper, which Windows builds
    // would otherwise need).
    SDL_SetMainReady();
    // A composition longer than SDL's 32-byte event arrives whole instead of cut.
    SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
#ifndef _WIN32
    // The window class (X11) and application id (Wayland) that tie the window to the desktop
    // entry; a player's own setting of them stands.
    setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", kDesktopId, 0);
#endif
    SDL_SetHint(SDL_HINT_APP_NAME, "Mirrorfall");
#ifdef __GLIBC__
    // A software renderer allocates and frees large buffers every frame. With the C library's
    // own thresholds each came in fresh pages from the system, about 700 page faults a frame
    // and a tenth of the frame time; memory the game frees is now kept for its next use.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
    bool started = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
    if (!started && capture_) {
        // Frames for a video need no display at all: without one, SDL draws offscreen (EGL).
        System_Log("No display (%s); drawing offscreen", SDL_GetError());
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
        started = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) == 0;
    }
    if (!started) {
        System_Log("Can't start the video: %s", SDL_GetError());
        return false;
    }
    videoStarted_ = true;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE;
    if (!windowed_ && !capture_) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    // Frames for a video are drawn and read back, never shown.
    if (capture_) flags |= SDL_WINDOW_HIDDEN;
    windowHandle_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     screenWidth_, screenHeight_, flags);
    if (windowHandle_ == nullptr) {
        System_Log("Can't create the window: %s", SDL_GetError());
        Shutdown();
        return false;
    }
    context_ = SDL_GL_CreateContext(windowHandle_);
    if (context_ == nullptr) {
        System_Log("Can't create an OpenGL 3.3 context: %s", SDL_GetError());
        Shutdown();
        return false;
    }
    SDL_GL_MakeCurrent(windowHandle_, context_);
    SDL_GL_SetSwapInterval(0);  // until the frame loop sees a 60 Hz display
    if (!OpenRenderer()) {
        Shutdown();
        return false;
    }
    window_ = SDL_GetWindowID(windowHandle_);
    // SDL starts with text input on; the game turns it on only while a text field is active,
    // so that the input method does not take the game's keys.
    SDL_StopTextInput();
    textInput_ = false;
    SetWindowIcon();
    ReadDisplayRate();
    if (useSound_ || capture_) OpenAudio();
    OpenPads();
    initiated_ = true;
    if (gLiveEngine == nullptr) {
        gLiveEngine = this;
        std::atexit(CloseAtExit);
    }
    return true;
}

void SdlEngine::OnWindowedChanged() {
    if (windowHandle_ == nullptr) return;
    if (SDL_SetWindowFullscreen(windowHandle_, windowed_ ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        System_Log("Can't switch the display mode: %s", SDL_GetError());
    }
    if (windowed_) SDL_SetWindowSize(windowHandle_, screenWidth_, screenHeight_);
    ReadDisplayRate();
}

void SdlEngine::SetWindowIcon() {
    std::vector<unsigned char> bytes;
    Image icon;
    if (!ReadResource(kWindowIcon, bytes) || !DecodeImage(bytes, icon)) {
        System_Log("No window icon: %s is missing or damaged", kWindowIcon);
        return;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        icon.pixels.data(), icon.width, icon.height, 32, icon.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(windowHandle_, surface);  // SDL keeps its own copy
    SDL_FreeSurface(surface);
}

void SdlEngine::ReadDisplayRate() {
    SDL_DisplayMode mode;
    int display = SDL_GetWindowDisplayIndex(windowHandle_);
    int rate = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0;
    if (rate == displayRate_) return;
    displayRate_ = rate;
    vsync_.SetDisplayRate(rate);
    System_Log("The display refreshes at %d Hz: %s", rate,
               vsync_.Wanted(60) ? "frames at 60 a second wait for vsync"
                                 : "the frame limiter keeps the rate");
}

bool SdlEngine::PaceByVsync() {
    bool want = !timedemo_ && vsync_.Wanted(fps_);
    if (want == vsyncOn_) return vsyncOn_;
    vsyncOn_ = false;
    if (SDL_GL_SetSwapInterval(want ? 1 : 0) != 0) {
        if (want) {
            System_Log("No vsync (%s); the frame limiter keeps the rate", SDL_GetError());
            vsync_.GiveUp();
        }
        return false;
    }
    vsyncOn_ = want;
    vsync_.Restart();
    return vsyncOn_;
}

void SdlEngine::CheckVsyncPace(double seconds) {
    double rate = 0;
    if (vsync_.Judge(seconds, rate)) return;
    System_Log("Vsync paces frames at %.1f a second, not 60; the frame limiter keeps the rate", rate);
    vsync_.GiveUp();
    PaceByVsync();
}


void SdlEngine::OnTitleChanged() {
    if (windowHandle_ != nullptr) SDL_SetWindowTitle(windowHandle_, title_.c_str());
}

void SdlEngine::OnTextInputChanged() {
    if (!videoStarted_) return;
    if (textInput_) {
        OnTextInputRectChanged();
        SDL_StartTextInput();
    } else {
        SDL_StopTextInput();
    }
}

void SdlEngine::OnTextInputRectChanged() {
    if (windowHandle_ == nullptr) return;
    int w = 0, h = 0;
    WindowPixels(w, h);
    float x0, y0, scale;
    Letterbox(w, h, x0, y0, scale);
    SDL_Rect rect;
    rect.x = int(x0 + textRect_[0] * scale);
    rect.y = int(y0 + textRect_[1] * scale);
    rect.w = std::max(1, int(textRect_[2] * scale));
    rect.h = std::max(1, int(textRect_[3] * scale));
    SDL_SetTextInputRect(&rect);
}

uintptr_t SdlEngine::System_GetForegroundWindow() {
    if (windowHandle_ == nullptr) return 0;
    if (timedemo_) return window_;
    return (SDL_GetWindowFlags(windowHandle_) & SDL_WINDOW_INPUT_FOCUS) != 0 ? window_ : 0;
}

bool SdlEngine::System_Start() {
    if (!initiated_) {
        System_Log("System_Start: the engine is not initiated");
        return false;
    }
    if (frameFunc_ == nullptr) {
        System_Log("System_Start: no frame function");
        return false;
    }
    while (RunFrame(nullptr)) {
    }
    return true;
}

bool SdlEngine::RunFrame(double* seconds) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point start = Clock::now();
    if (!clockStarted_) {
        // Frames are scheduled against an absolute clock, so a late frame does not push every
        // later one back: the rate holds on average without drift.
        nextFrame_ = start;
        lastFrame_ = start;
        fpsMark_ = start;
        framesThisSecond_ = 0;
        clockStarted_ = true;
    }
    if (!PumpEvents()) return false;
    bool focused = System_GetForegroundWindow() != 0;
    if (!dontSuspend_ && !focused) {
        SDL_Delay(10);
        nextFrame_ = Clock::now();
        if (seconds != nullptr) *seconds = 0;
        return true;
    }
    if (gObserver != nullptr) gObserver(gObserverUser);
    if (frameFunc_()) return false;
    if (renderFunc_ != nullptr) renderFunc_();

    ++framesThisSecond_;
    Clock::time_point now = Clock::now();
    if (seconds != nullptr) *seconds = std::chrono::duration<double>(now - start).count();
    if (now - fpsMark_ >= std::chrono::seconds(1)) {
        measuredFps_ = framesThisSecond_;
        framesThisSecond_ = 0;
        fpsMark_ += std::chrono::seconds(1);
        if (now - fpsMark_ >= std::chrono::seconds(1)) fpsMark_ = now;
    }
    double frameSeconds = std::chrono::duration<double>(now - lastFrame_).count();
    lastFrame_ = now;

    // The render callback set this frame's rate; it rules the wait before the next frame.
    // Where the display refreshes at 60 Hz and the game runs at 60 frames a second, the swap
    // waits for the display's refresh: no tearing, and the frame rate is the display's.
    bool wasVsync = vsyncOn_;
    if (PaceByVsync() && wasVsync) CheckVsyncPace(frameSeconds);
    if (timedemo_ || vsyncOn_) return true;
    if (wasVsync) nextFrame_ = now;  // the limiter takes over from this frame

    int fps = std::clamp(fps_, 1, 1000);
    nextFrame_ += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / fps));
    if (now - nextFrame_ > std::chrono::milliseconds(100)) {
        // Far behind (a long loading frame): start afresh rather than race to catch up.
        nextFrame_ = now;
        return true;
    }
    // The kernel wakes a sleeper within a few tens of microseconds of its time; spinning the
    // last stretch instead would burn a tenth of a core at 60 frames a second.
    if (nextFrame_ > now) std::this_thread::sleep_until(nextFrame_);
    return true;
}

void SdlSetTimedemo(bool on) {
    if (auto* engine = dynamic_cast<SdlEngine*>(CurrentEngine())) engine->SetTimedemo(on);
}

void SdlSetCapture(bool on) {
    if (auto* engine = dynamic_cast<SdlEngine*>(CurrentEngine())) engine->SetCapture(on);
}

bool SdlCaptureReady() {
    auto* engine = dynamic_cast<SdlEngine*>(CurrentEngine());
    return engine != nullptr && engine->CapturedSound() != nullptr;
}

void SdlSetSoundClock(int64_t sample) {
    auto* engine = dynamic_cast<SdlEngine*>(CurrentEngine());
    if (engine != nullptr && engine->CapturedSound() != nullptr) {
        engine->CapturedSound()->SetClock(sample);
    }
}

void SdlTakeSound(int64_t upto, std::vector<int16_t>* samples) {
    auto* engine = dynamic_cast<SdlEngine*>(CurrentEngine());
    if (engine == nullptr || engine->CapturedSound() == nullptr) return;
    engine->CapturedSound()->Take(upto, samples);
    for (const std::string& line : engine->CapturedSound()->TakeLog()) {
        engine->System_Log("%s", line.c_str());
    }
}

bool SdlReadFrame(std::vector<uint32_t>* pixels) {
    auto* engine = dynamic_cast<SdlEngine*>(CurrentEngine());
    return engine != nullptr && engine->ReadFrame(*pixels);
}

bool SdlRunFrame(double* seconds) {
    auto* engine = dynamic_cast<SdlEngine*>(CurrentEngine());
    return engine != nullptr && engine->RunFrame(seconds);
}

bool SdlEngine::PumpEvents() {
    bool open = true;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_QUIT:
                open = false;
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) open = false;
                if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAllKeys();
                if (event.window.event == SDL_WINDOWEVENT_MOVED ||
                    event.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED) {
                    ReadDisplayRate();
                }
                break;
            case SDL_DISPLAYEVENT:
                ReadDisplayRate();
                break;
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                bool down = event.type == SDL_KEYDOWN;
                int vk = VirtualKey(event.key.keysym.sym, event.key.keysym.scancode);
                // The screenshot key and Alt+Enter belong to the window, not to the game: the
                // game never sees them, so they cannot disturb play or a recording.
                if (vk != 0 && vk == screenshotKey_) {
                    if (down && event.key.repeat == 0) screenshotPending_ = true;
                    break;
                }
                if (vk == VK_RETURN && down && (event.key.keysym.mod & KMOD_ALT) != 0) {
                    if (event.key.repeat == 0) ++windowModeToggles_;
                    break;
                }
                SetKey(vk, down);
                if (down) DeliverKeyDown(vk);
                break;
            }
            case SDL_TEXTINPUT:
                DeliverText(event.text.text);
                break;
            case SDL_TEXTEDITING:
                DeliverComposition(event.edit.text, event.edit.start);
                break;
            case SDL_TEXTEDITING_EXT:
                DeliverComposition(event.editExt.text, event.editExt.start);
                SDL_free(event.editExt.text);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                SetKey(MouseKey(event.button.button), event.type == SDL_MOUSEBUTTONDOWN);
                break;
            case SDL_MOUSEMOTION: {
                int w = 0, h = 0;
                WindowPixels(w, h);
                float x0, y0, scale;
                Letterbox(w, h, x0, y0, scale);
                mouseX_ = (float(event.motion.x) - x0) / scale;
                mouseY_ = (float(event.motion.y) - y0) / scale;
                break;
            }
            case SDL_CONTROLLERDEVICEADDED:
            case SDL_CONTROLLERDEVICEREMOVED:
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
            case SDL_CONTROLLERAXISMOTION:
                OnPadEvent(event);
                break;
            default:
                break;
        }
    }
    return open;
}

void SdlEngine::SetKey(int vk, bool held) {
    if (vk <= 0 || vk > 255) return;
    keys_[size_t(vk)] = held;
    // The generic Shift, Ctrl and Alt codes are held while either side is.
    keys_[VK_SHIFT] = keys_[VK_LSHIFT] || keys_[VK_RSHIFT];
    keys_[VK_CONTROL] = keys_[VK_LCONTROL] || keys_[VK_RCONTROL];
    keys_[VK_MENU] = keys_[VK_LMENU] || keys_[VK_RMENU];
}

void SdlEngine::ReleaseAllKeys() {
    keys_.fill(false);
    pad_.ReleaseAll();
}

bool SdlEngine::Input_GetKeyState(int key) {
    if (timedemo_ || key <= 0 || key > 255 || key == screenshotKey_) return false;
    return keys_[size_t(key)] || pad_.Holds(key);
}

void SdlEngine::Input_GetMousePos(float* x, float* y) {
    if (x != nullptr) *x = mouseX_;
    if (y != nullptr) *y = mouseY_;
}

void SdlEngine::WindowPixels(int& w, int& h) const {
    SDL_GL_GetDrawableSize(windowHandle_, &w, &h);
    // Without a window manager a full-screen request changes nothing on the X server, while SDL
    // already counts with the desktop's size; then only the server knows the window's size.
    if ((SDL_GetWindowFlags(windowHandle_) & SDL_WINDOW_FULLSCREEN) == 0) return;
    X11WindowSize(windowHandle_, w, h);
}

void SdlEngine::Letterbox(int w, int h, float& x, float& y, float& scale) const {
    float sx = float(w) / float(screenWidth_);
    float sy = float(h) / float(screenHeight_);
    scale = std::min(sx, sy);
    if (scale <= 0) scale = 1;
    x = (float(w) - float(screenWidth_) * scale) / 2;
    y = (float(h) - float(screenHeight_) * scale) / 2;
}
