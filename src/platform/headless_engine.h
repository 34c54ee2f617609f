// headless_engine.h -- the engine without a window, for tests and tools. Frames run as fast as
// they are asked for; drawing only counts (and, on request, records) quads; sound records what
// was played; keys, mouse and focus are set by the caller before each frame.
#pragma once

#include <array>
#include <map>
#include <vector>

#include "platform/engine_base.h"
#include "platform/image.h"

class HeadlessEngine : public EngineBase {
public:
    // A line or a clipping rectangle drawn while quads are recorded, with how many quads had
    // been recorded before it, so a test can tell what it was drawn between.
    struct RecordedLine {
        float x1, y1, x2, y2;
        uint32_t color;
        float z;
        size_t quadsBefore;
    };
    struct RecordedClip {
        int x, y, w, h;  // 0, 0, 0, 0: the whole screen again
        size_t quadsBefore;
    };
    struct PlayedSound {
        HSTREAM stream;
        int volume;
        bool loop;
        long frame;  // frames run before it was played
    };

    HeadlessEngine();

    // --- Driving it from a test or tool ---
    // Runs one frame: the frame callback, then the render callback. Returns the frame
    // callback's answer (true: the program would end).
    bool RunFrame();
    void SetKey(int key, bool held) { keys_.at(size_t(key) & 255) = held; }
    void ReleaseAllKeys() { keys_.fill(false); }
    void SetMouse(float x, float y) { mouseX_ = x; mouseY_ = y; }
    void SetFocus(bool focused) { focused_ = focused; }
    // Game controllers, as the SDL backend feeds them from its pads.
    PadInput& Pads() { return pad_; }
    // The player pressed Alt+Enter.
    void RequestWindowModeToggle() { ++windowModeToggles_; }
    // Stops System_Start after this many frames (0: only the frame callback stops it).
    void SetFrameLimit(long frames) { frameLimit_ = frames; }
    void SetRecordQuads(bool record) {
        recordQuads_ = record;
        drawsNothing_ = skipDrawing_ && !recordQuads_;
    }
    // A tool that only needs the game's state: quads are neither counted nor recorded, and
    // drawing code may skip its work (Gfx_DrawsNothing). Recording quads turns drawing back on.
    void SetSkipDrawing(bool skip) {
        skipDrawing_ = skip;
        drawsNothing_ = skipDrawing_ && !recordQuads_;
    }
    // Text events as the SDL backend makes them from the platform's: a key-down (for the text
    // handler only: it does not hold the key), typed or committed text (UTF-8), and the input
    // method's composition with its cursor in characters. The last two arrive only while text
    // input is on, as on the real platform.
    void PushKeyDown(int vk) { DeliverKeyDown(vk); }
    void PushText(const char* utf8) { DeliverText(utf8); }
    void PushComposition(const char* utf8, int cursorChars) { DeliverComposition(utf8, cursorChars); }
    bool TextInputOn() const { return textInput_; }
    const float* TextInputRect() const { return textRect_; }

    long FramesRun() const { return framesRun_; }
    long QuadsThisScene() const { return quadsThisScene_; }
    long QuadsTotal() const { return quadsTotal_; }
    long ScenesPresented() const { return scenesPresented_; }
    uint32_t LastClearColor() const { return lastClear_; }
    const std::vector<hgeQuad>& RecordedQuads() const { return recorded_; }
    const std::vector<RecordedLine>& RecordedLines() const { return recordedLines_; }
    const std::vector<RecordedClip>& RecordedClips() const { return recordedClips_; }
    // Clears the recorded quads, lines and clipping rectangles.
    void ClearRecordedQuads() {
        recorded_.clear();
        recordedLines_.clear();
        recordedClips_.clear();
    }
    const std::vector<PlayedSound>& PlayedSounds() const { return played_; }
    void ClearPlayedSounds() { played_.clear(); }
    int StreamVolume(HSTREAM stream) const;
    bool StreamPaused(HSTREAM stream) const;
    bool StreamLoaded(HSTREAM stream) const { return streams_.count(stream) != 0; }
    size_t LiveTextures() const { return textures_.size(); }
    size_t LiveStreams() const { return streams_.size(); }

    // --- Engine ---
    bool System_Initiate() override;
    bool System_Start() override;
    bool System_Snapshot(const char* filename) override;
    uintptr_t System_GetForegroundWindow() override { return focused_ ? window_ : 0; }

    bool Gfx_BeginScene(HTEXTURE target = 0) override;
    void Gfx_EndScene() override;
    void Gfx_Clear(uint32_t color) override;
    void Gfx_RenderQuad(const hgeQuad* quad) override;
    void Gfx_RenderLine(float x1, float y1, float x2, float y2, uint32_t color = 0xFFFFFFFF,
                        float z = 0.5f) override;
    void Gfx_SetClipping(int x = 0, int y = 0, int w = 0, int h = 0) override;

    HTEXTURE Texture_Create(int width, int height) override;
    HTEXTURE Texture_Load(const char* filename, uint32_t size = 0, bool mipmap = false) override;
    void Texture_Free(HTEXTURE tex) override;
    int Texture_GetWidth(HTEXTURE tex, bool originalSize = false) override;
    int Texture_GetHeight(HTEXTURE tex, bool originalSize = false) override;
    uint32_t* Texture_Lock(HTEXTURE tex, bool readOnly = true, int left = 0, int top = 0,
                           int width = 0, int height = 0) override;
    void Texture_Unlock(HTEXTURE tex) override;

    HSTREAM Stream_Load(const char* filename, uint32_t size = 0, bool loadIntoMemory = true) override;
    void Stream_Free(HSTREAM stream) override;
    HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume = 100) override;
    void Channel_SetVolume(HCHANNEL channel, int volume) override;
    void Channel_Pause(HCHANNEL channel) override;
    void Channel_Resume(HCHANNEL channel) override;
    bool Channel_IsPlaying(HCHANNEL channel) override;

    bool Input_GetKeyState(int key) override;
    void Input_GetMousePos(float* x, float* y) override;

    int Timer_GetFPS() override { return fps_; }

private:
    struct Texture {
        int width = 0;
        int height = 0;
        std::vector<unsigned char> encoded;  // decoded into pixels on the first lock
        std::vector<uint32_t> pixels;
    };
    struct Stream {
        int volume = 0;
        bool playing = false;
        bool paused = false;
    };

    std::map<HTEXTURE, Texture> textures_;
    std::map<HSTREAM, Stream> streams_;
    uint32_t nextHandle_ = 1;

    std::array<bool, 256> keys_{};
    float mouseX_ = 0;
    float mouseY_ = 0;
    bool focused_ = true;
    long frameLimit_ = 0;
    long framesRun_ = 0;

    bool sceneOpen_ = false;
    long quadsThisScene_ = 0;
    long quadsTotal_ = 0;
    long scenesPresented_ = 0;
    uint32_t lastClear_ = 0;
    bool recordQuads_ = false;
    bool skipDrawing_ = false;
    std::vector<hgeQuad> recorded_;
    std::vector<RecordedLine> recordedLines_;
    std::vector<RecordedClip> recordedClips_;
    std::vector<PlayedSound> played_;
};

// The running headless engine, or nullptr when the process's engine is another backend.
HeadlessEngine* Headless();
