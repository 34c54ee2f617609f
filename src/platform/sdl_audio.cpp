// sdl_audio.cpp -- the SDL backend's sound: a stream is a chunk decoded whole by SDL2_mixer
// (WAV, Ogg Vorbis, MP3) on a mixer channel of its own, so playing it again restarts it. A long
// stream (a piece of music) is instead decoded as it plays, on SDL_mixer's one music voice:
// decoding minutes of music whole would stop the game for a tenth of a second. The stage music,
// which starts in play as the boss arrives, is read and opened ahead in the game's loading
// frame (Stream_Preload).
#include <algorithm>
#include <utility>

#include "platform/sdl_backend.h"

namespace {

int MixerVolume(int volume) { return std::clamp(volume, 0, 100) * MIX_MAX_VOLUME / 100; }

// Streams at least this long are played as music rather than decoded whole.
constexpr double kMusicSeconds = 20;

// The bytes as music, if they are long enough to be worth playing as they decode. The music
// reads the bytes as it plays: they must stay where they are until it is freed.
Mix_Music* OpenAsMusic(const std::vector<unsigned char>& bytes) {
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    Mix_Music* music = rw != nullptr ? Mix_LoadMUS_RW(rw, 1) : nullptr;
    if (music != nullptr && Mix_MusicDuration(music) < kMusicSeconds) {
        Mix_FreeMusic(music);
        music = nullptr;
    }
    return music;
}

}  // namespace

void SdlEngine::OpenAudio() {
    if (capture_) {
        // A video's sound: decoded as the game decodes it, mixed on the video's clock. Without
        // it the video would be silent; the exporter asks and refuses.
        auto sound = std::make_unique<SoundCapture>();
        std::string error;
        if (!sound->Open(&error)) {
            System_Log("No sound for the video: %s", error.c_str());
            return;
        }
        capturedSound_ = std::move(sound);
        return;
    }
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
    if (capturedSound_ != nullptr) {
        capturedSound_.reset();
        for (Stream& s : streams_) s = Stream{};
        musicTaken_ = false;
    }
    if (!audioOpen_) return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    for (Stream& s : streams_) CloseStream(&s);
    CloseStream(&preloaded_);
    preloadedFile_.clear();
    musicTaken_ = false;
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioOpen_ = false;
}

size_t SdlEngine::FreeStreamSlot() {
    size_t slot = 0;
    while (slot < streams_.size() && streams_[slot].used) ++slot;
    if (slot == streams_.size()) {
        streams_.push_back({});
        if (audioOpen_) Mix_AllocateChannels(int(streams_.size()));
    }
    return slot;
}

HSTREAM SdlEngine::CaptureStream(const char* filename, std::vector<unsigned char>&& bytes) {
    // The music voice goes to the same stream as in play, by the same rule.
    bool music = false;
    if (!musicTaken_) {
        Mix_Music* probe = OpenAsMusic(bytes);
        music = probe != nullptr;
        if (probe != nullptr) Mix_FreeMusic(probe);
    }
    size_t slot = FreeStreamSlot();
    Stream& s = streams_[slot];
    s.used = true;
    s.musicVoice = music;
    if (music) musicTaken_ = true;
    capturedSound_->Load(uint32_t(slot + 1), std::move(bytes), music, filename);
    return HSTREAM(slot + 1);
}

bool SdlEngine::OpenStream(const char* filename, Stream* stream) {
    std::vector<unsigned char> bytes;
    if (!ReadResource(filename, bytes)) return false;  // ReadResource logged
    *stream = Stream{};
    stream->used = true;
    if (audioOpen_ && !musicTaken_) stream->music = OpenAsMusic(bytes);
    if (stream->music != nullptr) {
        stream->encoded = std::move(bytes);  // a moved vector keeps its buffer, which the music reads
    } else if (audioOpen_) {
        SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
        stream->chunk = rw != nullptr ? Mix_LoadWAV_RW(rw, 1) : nullptr;
        if (stream->chunk == nullptr) {
            System_Log("Can't decode stream %s: %s", filename, Mix_GetError());
            *stream = Stream{};
            return false;
        }
    }
    // Silent, the stream still gets a handle, so the game treats it as any other.
    return true;
}

void SdlEngine::CloseStream(Stream* stream) {
    if (stream->chunk != nullptr) Mix_FreeChunk(stream->chunk);
    if (stream->music != nullptr) Mix_FreeMusic(stream->music);
    *stream = Stream{};
}

void SdlEngine::Stream_Preload(const char* filename) {
    if (capturedSound_ != nullptr) return;  // captured streams are decoded when first heard
    CloseStream(&preloaded_);
    preloadedFile_.clear();
    if (filename == nullptr) return;
    if (OpenStream(filename, &preloaded_)) preloadedFile_ = filename;
}

HSTREAM SdlEngine::Stream_Load(const char* filename, uint32_t, bool) {
    if (capturedSound_ != nullptr) {
        std::vector<unsigned char> bytes;
        if (!ReadResource(filename, bytes)) return 0;  // ReadResource logged
        return CaptureStream(filename, std::move(bytes));
    }
    Stream opened;
    // The preloaded stream, unless the music voice it would need has been taken since.
    if (!preloadedFile_.empty() && filename != nullptr && preloadedFile_ == filename &&
        !(preloaded_.music != nullptr && musicTaken_)) {
        opened = std::move(preloaded_);
        preloaded_ = Stream{};
        preloadedFile_.clear();
    } else if (!OpenStream(filename, &opened)) {
        return 0;
    }
    size_t slot = FreeStreamSlot();
    if (opened.music != nullptr) musicTaken_ = true;
    streams_[slot] = std::move(opened);
    return HSTREAM(slot + 1);
}

void SdlEngine::Stream_Free(HSTREAM stream) {
    if (stream == 0 || stream > streams_.size() || !streams_[stream - 1].used) return;
    Stream& s = streams_[stream - 1];
    if (capturedSound_ != nullptr) {
        capturedSound_->Free(stream);
        if (s.musicVoice) musicTaken_ = false;
    }
    if (s.chunk != nullptr) Mix_HaltChannel(int(stream - 1));
    if (s.music != nullptr) {
        Mix_HaltMusic();
        musicTaken_ = false;
    }
    CloseStream(&s);
}

HCHANNEL SdlEngine::Stream_Play(HSTREAM stream, bool loop, int volume) {
    if (stream == 0 || stream > streams_.size() || !streams_[stream - 1].used) return 0;
    Stream& s = streams_[stream - 1];
    if (capturedSound_ != nullptr) {
        capturedSound_->Play(stream, loop, MixerVolume(volume));
    } else if (s.chunk != nullptr) {
        int channel = int(stream - 1);
        Mix_Volume(channel, MixerVolume(volume));
        Mix_PlayChannel(channel, s.chunk, loop ? -1 : 0);  // one voice: a playing one restarts
        Mix_Resume(channel);
    } else if (s.music != nullptr) {
        Mix_VolumeMusic(MixerVolume(volume));
        Mix_PlayMusic(s.music, loop ? -1 : 0);  // a playing one restarts
        Mix_ResumeMusic();
    }
    return stream;
}

const SdlEngine::Stream* SdlEngine::ChannelStream(HCHANNEL channel) const {
    if (!audioOpen_ || channel == 0 || channel > streams_.size()) return nullptr;
    return &streams_[channel - 1];
}

// A captured stream's channel goes to the capture; the engine's own mixer plays nothing then.

void SdlEngine::Channel_SetVolume(HCHANNEL channel, int volume) {
    if (capturedSound_ != nullptr) return capturedSound_->SetVolume(channel, MixerVolume(volume));
    const Stream* s = ChannelStream(channel);
    if (s == nullptr) return;
    if (s->music != nullptr) {
        Mix_VolumeMusic(MixerVolume(volume));
    } else {
        Mix_Volume(int(channel - 1), MixerVolume(volume));
    }
}

void SdlEngine::Channel_Pause(HCHANNEL channel) {
    if (capturedSound_ != nullptr) return capturedSound_->Pause(channel);
    const Stream* s = ChannelStream(channel);
    if (s == nullptr) return;
    if (s->music != nullptr) {
        Mix_PauseMusic();
    } else {
        Mix_Pause(int(channel - 1));
    }
}

void SdlEngine::Channel_Resume(HCHANNEL channel) {
    if (capturedSound_ != nullptr) return capturedSound_->Resume(channel);
    const Stream* s = ChannelStream(channel);
    if (s == nullptr) return;
    if (s->music != nullptr) {
        Mix_ResumeMusic();
    } else {
        Mix_Resume(int(channel - 1));
    }
}

bool SdlEngine::Channel_IsPlaying(HCHANNEL channel) {
    if (capturedSound_ != nullptr) return capturedSound_->IsPlaying(channel);
    const Stream* s = ChannelStream(channel);
    if (s == nullptr) return false;
    if (s->music != nullptr) return Mix_PlayingMusic() != 0 && Mix_PausedMusic() == 0;
    int c = int(channel - 1);
    return Mix_Playing(c) != 0 && Mix_Paused(c) == 0;
}
