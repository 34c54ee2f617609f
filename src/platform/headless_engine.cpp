// headless_engine.cpp -- the engine without a window.
#include "platform/headless_engine.h"

HeadlessEngine::HeadlessEngine() { title_ = "HGE"; }

HeadlessEngine* Headless() { return dynamic_cast<HeadlessEngine*>(CurrentEngine()); }

bool HeadlessEngine::System_Initiate() {
    initiated_ = true;
    window_ = 1;
    return true;
}

bool HeadlessEngine::RunFrame() {
    bool quit = frameFunc_ != nullptr && frameFunc_();
    if (renderFunc_ != nullptr) renderFunc_();
    ++framesRun_;
    return quit;
}

bool HeadlessEngine::System_Start() {
    if (frameFunc_ == nullptr) {
        System_Log("System_Start: no frame function");
        return false;
    }
    long started = framesRun_;
    while (!RunFrame()) {
        if (frameLimit_ > 0 && framesRun_ - started >= frameLimit_) break;
    }
    return true;
}

bool HeadlessEngine::System_Snapshot(const char* filename) {
    // Nothing is rasterised here: the snapshot is a black frame of the scene's size.
    Image image;
    image.width = screenWidth_;
    image.height = screenHeight_;
    image.pixels.assign(size_t(image.width) * size_t(image.height), 0xFF000000u);
    std::string why = "no file name";
    if (filename == nullptr || !SavePng(filename, image, PngPacking::Stored, &why)) {
        System_Log("Snapshot to %s failed: %s", filename != nullptr ? filename : "(null)", why.c_str());
        return false;
    }
    return true;
}

bool HeadlessEngine::Gfx_BeginScene(HTEXTURE) {
    if (!sceneOpen_) quadsThisScene_ = 0;
    sceneOpen_ = true;
    return true;
}

void HeadlessEngine::Gfx_EndScene() {
    if (!sceneOpen_) return;
    sceneOpen_ = false;
    ++scenesPresented_;
}

void HeadlessEngine::Gfx_Clear(uint32_t color) { lastClear_ = color; }

void HeadlessEngine::Gfx_RenderQuad(const hgeQuad* quad) {
    if (!sceneOpen_ || quad == nullptr || drawsNothing_) return;
    ++quadsThisScene_;
    ++quadsTotal_;
    if (recordQuads_) recorded_.push_back(*quad);
}

void HeadlessEngine::Gfx_RenderLine(float x1, float y1, float x2, float y2, uint32_t color, float z) {
    if (recordQuads_ && sceneOpen_) recordedLines_.push_back({x1, y1, x2, y2, color, z, recorded_.size()});
}

void HeadlessEngine::Gfx_SetClipping(int x, int y, int w, int h) {
    if (recordQuads_ && sceneOpen_) recordedClips_.push_back({x, y, w, h, recorded_.size()});
}

HTEXTURE HeadlessEngine::Texture_Create(int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    Texture t;
    t.width = width;
    t.height = height;
    t.pixels.assign(size_t(width) * size_t(height), 0);
    HTEXTURE handle = nextHandle_++;
    textures_.emplace(handle, std::move(t));
    return handle;
}

HTEXTURE HeadlessEngine::Texture_Load(const char* filename, uint32_t, bool) {
    Texture t;
    if (!ReadResource(filename, t.encoded)) return 0;  // ReadResource logged
    if (!ImageSize(t.encoded, t.width, t.height)) {
        System_Log("Can't decode texture %s", filename);
        return 0;
    }
    HTEXTURE handle = nextHandle_++;
    textures_.emplace(handle, std::move(t));
    return handle;
}

void HeadlessEngine::Texture_Free(HTEXTURE tex) { textures_.erase(tex); }

int HeadlessEngine::Texture_GetWidth(HTEXTURE tex, bool) {
    auto it = textures_.find(tex);
    return it == textures_.end() ? 0 : it->second.width;
}

int HeadlessEngine::Texture_GetHeight(HTEXTURE tex, bool) {
    auto it = textures_.find(tex);
    return it == textures_.end() ? 0 : it->second.height;
}

uint32_t* HeadlessEngine::Texture_Lock(HTEXTURE tex, bool, int left, int top, int, int) {
    auto it = textures_.find(tex);
    if (it == textures_.end()) return nullptr;
    Texture& t = it->second;
    if (t.pixels.empty() && !t.encoded.empty()) {
        Image image;
        if (DecodeImage(t.encoded, image)) t.pixels = std::move(image.pixels);
        else t.pixels.assign(size_t(t.width) * size_t(t.height), 0);
        t.encoded.clear();
    }
    if (t.pixels.empty()) return nullptr;
    return t.pixels.data() + size_t(top) * size_t(t.width) + size_t(left);
}

void HeadlessEngine::Texture_Unlock(HTEXTURE) {}

HSTREAM HeadlessEngine::Stream_Load(const char* filename, uint32_t, bool) {
    std::vector<unsigned char> bytes;
    if (!ReadResource(filename, bytes)) return 0;  // ReadResource logged
    HSTREAM handle = nextHandle_++;
    streams_.emplace(handle, Stream{});
    return handle;
}

void HeadlessEngine::Stream_Free(HSTREAM stream) { streams_.erase(stream); }

HCHANNEL HeadlessEngine::Stream_Play(HSTREAM stream, bool loop, int volume) {
    auto it = streams_.find(stream);
    if (it == streams_.end()) return 0;
    it->second.volume = volume;
    it->second.playing = true;
    it->second.paused = false;
    played_.push_back({stream, volume, loop, framesRun_});
    return stream;
}

void HeadlessEngine::Channel_SetVolume(HCHANNEL channel, int volume) {
    auto it = streams_.find(channel);
    if (it != streams_.end()) it->second.volume = volume;
}

void HeadlessEngine::Channel_Pause(HCHANNEL channel) {
    auto it = streams_.find(channel);
    if (it != streams_.end()) it->second.paused = true;
}

void HeadlessEngine::Channel_Resume(HCHANNEL channel) {
    auto it = streams_.find(channel);
    if (it != streams_.end()) it->second.paused = false;
}

bool HeadlessEngine::Channel_IsPlaying(HCHANNEL channel) {
    auto it = streams_.find(channel);
    return it != streams_.end() && it->second.playing && !it->second.paused;
}

int HeadlessEngine::StreamVolume(HSTREAM stream) const {
    auto it = streams_.find(stream);
    return it == streams_.end() ? -1 : it->second.volume;
}

bool HeadlessEngine::StreamPaused(HSTREAM stream) const {
    auto it = streams_.find(stream);
    return it != streams_.end() && it->second.paused;
}

bool HeadlessEngine::Input_GetKeyState(int key) {
    return key > 0 && key < 256 && (keys_[size_t(key)] || pad_.Holds(key));
}

void HeadlessEngine::Input_GetMousePos(float* x, float* y) {
    if (x != nullptr) *x = mouseX_;
    if (y != nullptr) *y = mouseY_;
}
