// sdl_audio.cpp -- the SDL backend's sound: every stream is a chunk decoded whole by SDL2_mixer
// (WAV, Ogg Vorbis, MP3) on a mixer channel of its own, so playing it again restarts it.
#include <algorithm>

#include "platform/sdl_backend.h"

namespace {

int MixerVolume(int volume) { return std::clamp(volume, 0, 100) * MIX_MAX_VOLUME / 100; }

}  // namespace

void SdlEngine::OpenAudio() {
    // No audio device is no reason to stop: the game runs silent.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        System_Log("No audio (%s); the game runs silent", SDL_GetError());
        return;
    }
    Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3);
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        System_Log("No audio device (%s); the game runs silent", Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    Mix_AllocateChannels(0);
    audioOpen_ = true;
}

void SdlEngine::CloseAudio() {
    if (!audioOpen_) return;
    Mix_HaltChannel(-1);
    for (Stream& s : streams_) {
        if (s.chunk != nullptr) Mix_FreeChunk(s.chunk);
        s = Stream{};
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioOpen_ = false;
}

HSTREAM SdlEngine::Stream_Load(const char* filename, uint32_t, bool) {
    std::vector<unsigned char> bytes;
    if (!ReadResource(filename, bytes)) return 0;  // ReadResource logged
    Mix_Chunk* chunk = nullptr;
    if (audioOpen_) {
        SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
        chunk = rw != nullptr ? Mix_LoadWAV_RW(rw, 1) : nullptr;
        if (chunk == nullptr) {
            System_Log("Can't decode stream %s: %s", filename, Mix_GetError());
            return 0;
        }
    }
    // Silent, the stream still gets a handle, so the game treats it as any other.
    size_t slot = 0;
    while (slot < streams_.size() && streams_[slot].used) ++slot;
    if (slot == streams_.size()) {
        streams_.push_back({});
        if (audioOpen_) Mix_AllocateChannels(int(streams_.size()));
    }
    streams_[slot].chunk = chunk;
    streams_[slot].used = true;
    return HSTREAM(slot + 1);
}

void SdlEngine::Stream_Free(HSTREAM stream) {
    if (stream == 0 || stream > streams_.size() || !streams_[stream - 1].used) return;
    Stream& s = streams_[stream - 1];
    if (s.chunk != nullptr) {
        Mix_HaltChannel(int(stream - 1));
        Mix_FreeChunk(s.chunk);
    }
    s = Stream{};
}

HCHANNEL SdlEngine::Stream_Play(HSTREAM stream, bool loop, int volume) {
    if (stream == 0 || stream > streams_.size() || !streams_[stream - 1].used) return 0;
    Stream& s = streams_[stream - 1];
    if (s.chunk != nullptr) {
        int channel = int(stream - 1);
        Mix_Volume(channel, MixerVolume(volume));
        Mix_PlayChannel(channel, s.chunk, loop ? -1 : 0);  // one voice: a playing one restarts
        Mix_Resume(channel);
    }
    return stream;
}

void SdlEngine::Channel_SetVolume(HCHANNEL channel, int volume) {
    if (audioOpen_ && channel != 0 && channel <= streams_.size()) {
        Mix_Volume(int(channel - 1), MixerVolume(volume));
    }
}

void SdlEngine::Channel_Pause(HCHANNEL channel) {
    if (audioOpen_ && channel != 0 && channel <= streams_.size()) Mix_Pause(int(channel - 1));
}

void SdlEngine::Channel_Resume(HCHANNEL channel) {
    if (audioOpen_ && channel != 0 && channel <= streams_.size()) Mix_Resume(int(channel - 1));
}

bool SdlEngine::Channel_IsPlaying(HCHANNEL channel) {
    if (!audioOpen_ || channel == 0 || channel > streams_.size()) return false;
    int c = int(channel - 1);
    return Mix_Playing(c) != 0 && Mix_Paused(c) == 0;
}
