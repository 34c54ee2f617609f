// sdl_backend.h -- the SDL backend's engine class, shared by its source files: sdl_engine.cpp
// (window, frame loop, keyboard and mouse, log), sdl_pads.cpp (game controllers),
// sdl_render.cpp (OpenGL drawing, textures, snapshots and screenshots), sdl_audio.cpp
// (SDL2_mixer sound) and sdl_x11.cpp (what only the X server knows).
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine_base.h"
#include "platform/draw_queue.h"
#include "platform/quad_plan.h"
#include "platform/frame_pacing.h"
#include "platform/image.h"
#include "platform/sdl_sound_capture.h"

// The size of WINDOW as the X server has it, when the window is on X11 (sdl_x11.cpp).
bool X11WindowSize(SDL_Window* window, int& w, int& h);

class SdlEngine : public EngineBase {
public:
    SdlEngine();
    ~SdlEngine() override;

    bool System_Initiate() override;
    bool System_Start() override;
    bool System_Snapshot(const char* filename) override;
    uintptr_t System_GetForegroundWindow() override;

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
    void Stream_Preload(const char* filename) override;
    void Stream_Free(HSTREAM stream) override;
    HCHANNEL Stream_Play(HSTREAM stream, bool loop, int volume = 100) override;
    void Channel_SetVolume(HCHANNEL channel, int volume) override;
    void Channel_Pause(HCHANNEL channel) override;
    void Channel_Resume(HCHANNEL channel) override;
    bool Channel_IsPlaying(HCHANNEL channel) override;

    bool Input_GetKeyState(int key) override;
    void Input_GetMousePos(float* x, float* y) override;

    // A video shows 60 frames a second, however fast they were drawn: its picture is the same
    // on every run.
    int Timer_GetFPS() override { return capture_ ? 60 : measuredFps_; }

    // See SdlSetTimedemo and SdlRunFrame.
    void SetTimedemo(bool on) { timedemo_ = on; }
    bool RunFrame(double* seconds);
    // See SdlSetCapture, SdlCapturedSound and SdlReadFrame.
    // The export's terminal shows its progress; the log goes to the file alone.
    void SetCapture(bool on) {
        capture_ = on;
        logToStandardError_ = !on;
    }
    SoundCapture* CapturedSound() { return capturedSound_.get(); }
    bool ReadFrame(std::vector<uint32_t>& pixels);

protected:
    void Shutdown() override;
    void OnWindowedChanged() override;
    void OnTitleChanged() override;
    void OnTextInputChanged() override;
    void OnTextInputRectChanged() override;

private:
    struct Texture;

    // --- sdl_engine.cpp ---
    // Handles every pending SDL event; false when the player closed the window.
    bool PumpEvents();
    void SetKey(int vk, bool held);
    void ReleaseAllKeys();
    // The window's size in pixels, as the display server has it.
    void WindowPixels(int& w, int& h) const;
    // Where the 640 x 480 scene lands in a window of w x h pixels.
    void Letterbox(int w, int h, float& x, float& y, float& scale) const;
    void SetWindowIcon();
    // Whether the window's display refreshes at the game's 60 Hz, read again when the window
    // moves to another display or changes mode.
    void ReadDisplayRate();
    // Turns vsync on or off to suit this frame's rate; true while it paces the frames.
    bool PaceByVsync();
    // Times the frames vsync paces and gives it up when they are not 60 a second.
    void CheckVsyncPace(double seconds);

    // --- sdl_pads.cpp ---
    void OpenPads();
    void ClosePads();
    void OnPadEvent(const SDL_Event& event);
    void OnPadPress(PadControl control);

    // --- sdl_render.cpp ---
    bool OpenRenderer();
    void CloseRenderer();
    // Draws every queued run, in order, and empties the queue.
    void Flush();
    // Queues a quad; the queue is drawn first when it is full.
    void Queue(HTEXTURE tex, int blend, const QuadNeeds& needs, const QueuedVertex (&corners)[4],
               const QuadBounds& bounds);
    // Sets OpenGL's texture, program, blending and sampler for a run.
    void ApplyDrawState(const DrawState& state);
    // Queues one piece of a split quad.
    void AddPiece(const hgeQuad& quad, const QuadPiece& piece);
    const Texture* FindTexture(HTEXTURE tex);
    void Present();
    // After a texture upload or lock the bound texture is not the last run's any more.
    void InvalidateDrawState() { appliedValid_ = false; }
    void Upload(Texture& texture, const uint32_t* pixels);
    void CountDrawStats(const hgeQuad& quad, const QuadPlan& plan);
    void LogDrawStats();
    // The scene drawn so far, opaque, rows top to bottom.
    bool ReadScene(Image& image);
    // Saves the frame being presented to Screenshots/, named by the date and time.
    void SaveScreenshot();

    // --- sdl_audio.cpp ---
    void OpenAudio();
    void CloseAudio();
    // A stream for the captured sound: decoded by capturedSound_ when it is first heard.
    HSTREAM CaptureStream(const char* filename, std::vector<unsigned char>&& bytes);
    // The lowest free stream slot, made when there is none.
    size_t FreeStreamSlot();

    SDL_Window* windowHandle_ = nullptr;
    SDL_GLContext context_ = nullptr;
    bool videoStarted_ = false;

    // Input: held state of every virtual key, and the mouse in scene coordinates.
    std::array<bool, 256> keys_{};
    float mouseX_ = 0;
    float mouseY_ = 0;

    // Frame rate measured over whole seconds, and the frame clock of System_Start/RunFrame.
    int measuredFps_ = 0;
    int framesThisSecond_ = 0;
    std::chrono::steady_clock::time_point fpsMark_{};
    std::chrono::steady_clock::time_point nextFrame_{};
    std::chrono::steady_clock::time_point lastFrame_{};  // when the previous frame was shown
    bool clockStarted_ = false;
    bool timedemo_ = false;
    // Frames for a video: no window shown, the scene read back, the sound mixed on the video's
    // clock by capturedSound_ instead of played.
    bool capture_ = false;

    // Vsync: on only while the display runs at 60 Hz and the game asks for 60 frames a second.
    int displayRate_ = -1;  // Hz, 0 when unknown
    VsyncJudge vsync_;
    bool vsyncOn_ = false;

    // Game controllers by SDL instance id.
    std::map<int, SDL_GameController*> controllers_;
    bool padsStarted_ = false;

    // The screenshot key was pressed: the frame is saved when it is presented.
    bool screenshotPending_ = false;

    // Drawing.
    static constexpr int kBatchQuads = 4096;  // the most quads drawn by one flush
    struct Texture {
        unsigned int id = 0;
        int width = 0;
        int height = 0;
        std::vector<uint32_t> pixels;  // CPU copy (0xAARRGGBB), made on the first lock
        AlphaCells alpha;              // where the picture is clear or opaque
        bool locked = false;
        bool lockedReadOnly = true;
    };
    std::map<HTEXTURE, Texture> textures_;
    HTEXTURE nextTexture_ = 1;
    DrawQueue queue_;
    DrawState applied_;  // OpenGL's drawing state, when appliedValid_
    bool appliedValid_ = false;
    HTEXTURE foundHandle_ = 0;    // the last texture FindTexture looked up
    const Texture* found_ = nullptr;
    std::vector<QuadPiece> pieces_;
    unsigned int samplers_[2][2] = {};  // [the picture repeats][bilinear]
    enum { kColourMultiply, kColourAdd, kColourOnly, kColourings };
    unsigned int programs_[2][kColourings] = {};  // [mixed run][colouring]
    unsigned int vertexArray_ = 0;
    unsigned int vertexBuffer_ = 0;
    unsigned int indexBuffer_ = 0;
    unsigned int sceneFramebuffer_ = 0;
    unsigned int sceneTexture_ = 0;
    bool sceneOpen_ = false;
    bool rendererReady_ = false;
    // The last scene was drawn straight into the window's back buffer, as the window was the
    // scene's own size; otherwise into sceneFramebuffer_ and then scaled into the window.
    bool direct_ = false;
    // MIRRORFALL_PLAIN_DRAW=1: every quad drawn as it comes, blended and filtered, through the
    // scene framebuffer, as before these shortcuts; for comparing pictures and speed.
    bool plainDraw_ = false;

    // MIRRORFALL_DRAW_STATS=1 logs what the frames drew, averaged over every 300 frames.
    struct DrawStats {
        long frames = 0;
        long quads = 0, skipped = 0, unblended = 0, nearest = 0, split = 0, pieces = 0;
        long draws = 0, stateChanges = 0;
        double blendedPixels = 0, unblendedPixels = 0, skippedPixels = 0;
    };
    bool drawStatsOn_ = false;
    DrawStats drawStats_;

    // Sound: stream i + 1 plays on mixer channel i, or, for the one long stream that is
    // decoded as it plays, on SDL_mixer's music voice.
    struct Stream {
        Mix_Chunk* chunk = nullptr;  // decoded whole; nullptr while the game runs silent
        Mix_Music* music = nullptr;  // or decoded as it plays, from `encoded`
        std::vector<unsigned char> encoded;
        bool used = false;
        bool musicVoice = false;  // captured: it holds the music voice
    };
    // The stream a channel plays, or nullptr when there is no sound or no such channel.
    const Stream* ChannelStream(HCHANNEL channel) const;
    // Reads and decodes (or opens as music) the file's stream. False when it cannot be read.
    bool OpenStream(const char* filename, Stream* stream);
    void CloseStream(Stream* stream);
    std::vector<Stream> streams_;
    std::string preloadedFile_;  // the file of preloaded_, empty when there is none
    Stream preloaded_;
    bool audioOpen_ = false;
    bool musicTaken_ = false;  // SDL_mixer has one music voice
    std::unique_ptr<SoundCapture> capturedSound_;
};
