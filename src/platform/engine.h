// engine.h -- the engine layer: the only way game code reaches the window, the GPU, sound,
// keyboard and mouse, the resource pack and the clock.
//
// The game obtains the process's one engine with hgeCreate(HGE_VERSION) and gives its reference
// back with Release(). Every operation runs on the thread that called System_Start. Two backends
// implement this interface: the SDL/OpenGL backend of the game (sdl_engine.cpp) and the headless
// backend of tests and tools (headless_engine.h). The program that links the game picks one with
// Engine_UseBackend before the first hgeCreate; without a choice the headless backend is used.
//
// Conventions every backend keeps:
//   - Failures are never fatal. A missing file gives handle 0 and one line in the log; every
//     operation accepts handle 0 and does nothing with it.
//   - Colours are 0xAARRGGBB; depths run from 0 (front) to 1 (back).
//   - Key codes are Windows virtual-key codes (VK_* below), 0..255.
//   - A stream's channel is the stream's own handle: playing a stream again restarts it.
#pragma once

#include <cstdint>

#include "platform/pad.h"

// printf-style checks of the game's log and text formatting. MinGW's plain "printf" checks
// against Microsoft's runtime, which has no %zu; the game's formatting is the C standard's
// (MinGW's libstdc++ selects its ANSI printf), which "gnu_printf" describes.
#if defined(__MINGW32__)
#define MIRRORFALL_PRINTF(formatArg, firstArg) __attribute__((format(gnu_printf, formatArg, firstArg)))
#else
#define MIRRORFALL_PRINTF(formatArg, firstArg) __attribute__((format(printf, formatArg, firstArg)))
#endif

using HTEXTURE = uint32_t;  // 0 = no texture
using HSTREAM = uint32_t;   // 0 = no stream
using HCHANNEL = uint32_t;  // the stream handle that plays on it

constexpr int HGE_VERSION = 0x180;

// Blend mode bits of a quad (Sprite::SetBlend).
constexpr int BLEND_COLORMUL = 0;    // vertex colour multiplies the texel
constexpr int BLEND_COLORADD = 1;    // vertex colour is added to the texel
constexpr int BLEND_ALPHAADD = 0;    // the result is added to the screen
constexpr int BLEND_ALPHABLEND = 2;  // the result is alpha-blended over the screen
constexpr int BLEND_NOZWRITE = 0;
constexpr int BLEND_ZWRITE = 4;
constexpr int BLEND_DEFAULT = BLEND_COLORMUL | BLEND_ALPHABLEND | BLEND_NOZWRITE;

struct hgeVertex {
    float x, y;    // screen position, pixels of the 640 x 480 scene
    float z;       // depth, 0..1
    uint32_t col;  // 0xAARRGGBB
    float tx, ty;  // texture coordinates, 0..1
};

// Corners in order top-left, top-right, bottom-right, bottom-left.
struct hgeQuad {
    hgeVertex v[4];
    HTEXTURE tex;
    int blend;
};

using hgeCallback = bool (*)();

enum class TextEventType { KeyDown, Char, Composition };

struct TextEvent {
    TextEventType type;
    // KeyDown: the virtual key. Char: below 128 the ASCII code, otherwise the character's two
    // GBK bytes as (lead << 8) | trail.
    int code;
    // Composition: the string being composed, GBK, zero-terminated ("" when the composition
    // ended); the input method's cursor in it, in bytes; and its page of candidates formatted
    // "1.A 2.B 3.C ", or "" where the input method shows its own candidate window.
    const char* composition;
    int compositionCursor;
    const char* candidates;
};

using TextEventHandler = void (*)(const TextEvent& event);

enum hgeBoolState {
    HGE_WINDOWED,     // windowed (true) or full screen; may change between EndScene and BeginScene
    HGE_ZBUFFER,      // depth buffer on
    HGE_USESOUND,     // open the audio device
    HGE_DONTSUSPEND,  // keep running while the window has no focus
    HGE_SHOWSPLASH,   // accepted and ignored: there is no splash screen
};

enum hgeFuncState {
    HGE_FRAMEFUNC,   // called first each frame; returning true ends System_Start
    HGE_RENDERFUNC,  // called second each frame; draws the scene
};

enum hgeHwndState {
    HGE_HWND,  // an id of the game's window, 0 before System_Initiate
};

enum hgeIntState {
    HGE_SCREENWIDTH,   // scene width, 640
    HGE_SCREENHEIGHT,  // scene height, 480
    HGE_SCREENBPP,     // accepted; the scene is always 32 bits
    HGE_FPS,           // target frames per second; may change every frame
    HGE_SCREENSHOTKEY, // the key that saves the frame to Screenshots/ (default F12); the game
                       // never sees it held. 0: no screenshot key
};

enum hgeStringState {
    HGE_TITLE,    // the window caption
    HGE_LOGFILE,  // where System_Log also writes; empty: standard error only
};

// Windows virtual-key codes the game and its settings file use.
enum : int {
    VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_MBUTTON = 0x04,
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D,
    VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
    VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
    VK_INSERT = 0x2D, VK_DELETE = 0x2E,
    // '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A, as their characters.
    VK_NUMPAD0 = 0x60,  // ..VK_NUMPAD9 = 0x69
    VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,  // ..VK_F12 = 0x7B
    VK_NUMLOCK = 0x90, VK_SCROLL = 0x91,
    VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4, VK_RMENU = 0xA5,
    VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC,
    VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE,
};

class Engine {
public:
    virtual ~Engine() = default;

    // Gives back one reference from hgeCreate. The last one shuts the engine down.
    virtual void Release() = 0;

    // --- System ---------------------------------------------------------------------------
    // States are set before System_Initiate (HGE_WINDOWED and HGE_FPS also later, see above).
    virtual void System_SetState(hgeBoolState state, bool value) = 0;
    virtual void System_SetState(hgeFuncState state, hgeCallback value) = 0;
    virtual void System_SetState(hgeIntState state, int value) = 0;
    virtual void System_SetState(hgeStringState state, const char* value) = 0;
    virtual bool System_GetState(hgeBoolState state) = 0;
    virtual hgeCallback System_GetState(hgeFuncState state) = 0;
    virtual uintptr_t System_GetState(hgeHwndState state) = 0;
    virtual int System_GetState(hgeIntState state) = 0;
    virtual const char* System_GetState(hgeStringState state) = 0;

    // Opens the window, the graphics device and sound. False: nothing usable was opened; the
    // caller releases the engine. No audio device is not a failure: sound is then silent.
    virtual bool System_Initiate() = 0;
    // Runs the frame loop: the frame callback, then the render callback, once per frame at the
    // HGE_FPS rate. Returns when the frame callback returns true or the player closes the window.
    virtual bool System_Start() = 0;
    // printf-style line to the log (standard error, and HGE_LOGFILE when set). A video export
    // keeps standard error for its progress: the log file alone then.
    virtual void System_Log(const char* format, ...) MIRRORFALL_PRINTF(2, 3) = 0;
    // Writes the scene drawn so far in this frame to `filename` as an image Texture_Load reads.
    virtual bool System_Snapshot(const char* filename) = 0;
    // The id of the window that has the keyboard focus, 0 when none of ours; the game compares
    // it with System_GetState(HGE_HWND), as a Windows program compares the foreground window.
    virtual uintptr_t System_GetForegroundWindow() = 0;

    // --- Resources -----------------------------------------------------------------------------
    // Later file names are looked up in this zip first (with the password, traditional or AES
    // encryption), then on disk relative to the current directory.
    virtual bool Resource_AttachPack(const char* filename, const char* password) = 0;
    // Later file names are looked up on disk only.
    virtual void Resource_RemoveAllPacks() = 0;
    // The whole file in a new buffer (nullptr when missing); *size gets its length when asked.
    virtual void* Resource_Load(const char* filename, uint32_t* size = nullptr) = 0;
    virtual void Resource_Free(void* data) = 0;

    // --- Graphics --------------------------------------------------------------------------------
    // BeginScene inside an open scene is harmless: it continues that scene. The first EndScene
    // presents the frame and closes the scene; quads drawn after it, and a second EndScene,
    // are dropped until the next BeginScene. (The loading frame runs inside the render callback.)
    virtual bool Gfx_BeginScene(HTEXTURE target = 0) = 0;
    virtual void Gfx_EndScene() = 0;
    virtual void Gfx_Clear(uint32_t color) = 0;  // also clears depth
    virtual void Gfx_RenderQuad(const hgeQuad* quad) = 0;
    virtual void Gfx_RenderLine(float x1, float y1, float x2, float y2, uint32_t color = 0xFFFFFFFF,
                                float z = 0.5f) = 0;
    // Restricts drawing to the rectangle; all zero restores the whole scene.
    virtual void Gfx_SetClipping(int x = 0, int y = 0, int w = 0, int h = 0) = 0;
    // True while nothing drawn is shown, counted or recorded (a headless engine running a tool):
    // drawing code may then skip work whose only result is the picture. Never true in a window.
    bool Gfx_DrawsNothing() const { return drawsNothing_; }

    // --- Textures ----------------------------------------------------------------------------------
    virtual HTEXTURE Texture_Create(int width, int height) = 0;  // transparent black
    virtual HTEXTURE Texture_Load(const char* filename, uint32_t size = 0, bool mipmap = false) = 0;
    virtual void Texture_Free(HTEXTURE tex) = 0;
    // originalSize: the picture's own size; otherwise the size as stored (the same here).
    virtual int Texture_GetWidth(HTEXTURE tex, bool originalSize = false) = 0;
    virtual int Texture_GetHeight(HTEXTURE tex, bool originalSize = false) = 0;
    // Pixels as 0xAARRGGBB, rows top to bottom, width per row. Unlock uploads what changed.
    virtual uint32_t* Texture_Lock(HTEXTURE tex, bool readOnly = true, int left = 0, int top = 0,
                                   int width = 0, int height = 0) = 0;
    virtual void Texture_Unlock(HTEXTURE tex) = 0;

    // --- Sound -----------------------------------------------------------------------------------
    virtual HSTREAM Stream_Load(const char* filename, uint32_t size = 0, bool loadIntoMemory = true) = 0;
    virtual void Stream_Free(HSTREAM stream) = 0;
    // Starts the stream from its beginning (restarting it if it plays); volume 0..100.
    virtual HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume = 100) = 0;
    virtual void Channel_SetVolume(HCHANNEL channel, int volume) = 0;
    virtual void Channel_Pause(HCHANNEL channel) = 0;
    virtual void Channel_Resume(HCHANNEL channel) = 0;
    virtual bool Channel_IsPlaying(HCHANNEL channel) = 0;

    // --- Input -----------------------------------------------------------------------------------
    virtual bool Input_GetKeyState(int key) = 0;  // held now, whatever window has focus
    virtual void Input_GetMousePos(float* x, float* y) = 0;  // scene coordinates
    // Game controllers press keys (pad.h): `bindings` says what each of the PAD_CONTROL_COUNT
    // controls presses; `actionKeys` is the game's binding table of `actionCount` entries, read
    // whenever a pad is resolved so that rebinding an action moves the pad with it, and it must
    // outlive the engine. deadZonePercent: how much of the stick's travel reads as centred.
    // Without a call no control presses anything.
    virtual void Input_SetPadBindings(const PadBinding* bindings, const int64_t* actionKeys,
                                      int actionCount, int deadZonePercent) = 0;
    // True once for each time the player asked for the other window mode (Alt+Enter) since the
    // last call. The game decides: it saves the mode and sets HGE_WINDOWED as its options do.
    virtual bool Input_TakeWindowModeToggle() = 0;

    // --- Text input ------------------------------------------------------------------------------
    // What a text field needs of the platform in place of a window procedure and an input
    // method manager. The handler runs on the loop's thread between frames, while the engine
    // reads the platform's events, once per event in the order they happened:
    //   - every key-down (auto-repeats included), as its virtual key;
    //   - characters: typed or committed text, one event per character, in the game's code
    //     page (see TextEvent::code); Backspace, Tab, Enter and Escape key-downs also give their
    //     control characters 8, 9, 13 and 27, after the key-down. A character that has no code
    //     in the code page is refused with a line in the log;
    //   - the input method's composition whenever it changes, and an empty one when it ends.
    // Characters and compositions come only while text input is on; it is off at start-up.
    virtual void Input_SetTextHandler(TextEventHandler handler) = 0;
    virtual void Input_SetTextInput(bool on) = 0;
    virtual bool Input_GetTextInput() = 0;
    // Where the text being typed is, in scene coordinates: the input method puts its own
    // candidate window beside this rectangle.
    virtual void Input_SetTextInputRect(float x, float y, float w, float h) = 0;

    // --- Timer -----------------------------------------------------------------------------------
    virtual int Timer_GetFPS() = 0;  // frames shown during the last second

protected:
    bool drawsNothing_ = false;
};

// The one engine of the process, with one more reference for the caller.
Engine* hgeCreate(int version);

// Whether the process's engine exists and has opened its window, without making one or
// taking a reference. What is built before the program picks its backend (the glyph fonts)
// waits for this before it touches the engine.
bool Engine_WindowOpen();

// Which backend hgeCreate makes. Called once by the program before the first hgeCreate.
using EngineFactory = Engine* (*)();
void Engine_UseBackend(EngineFactory factory);
