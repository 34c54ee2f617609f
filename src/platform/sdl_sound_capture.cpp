// sdl_sound_capture.cpp -- the game's sound mixed on the video's clock (sdl_sound_capture.h).
#include "platform/sdl_sound_capture.h"

#include <SDL.h>

#include <algorithm>

namespace {

constexpr int kBytesPerSample = 4;  // a stereo pair of 16-bit samples

}  // namespace

SoundCapture::~SoundCapture() { Close(); }

bool SoundCapture::Open(std::string* error) {
    if (open_) return true;
    // A device that plays nothing and never blocks: SDL2_mixer will not decode without one.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        *error = std::string("no sound decoding: ") + SDL_GetError();
        return false;
    }
    startedAudio_ = true;
    Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3);
    // The game's own mixer settings: the sounds are decoded to exactly what it plays.
    if (Mix_OpenAudio(kRate, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        *error = std::string("no sound decoding: ") + Mix_GetError();
        Close();
        return false;
    }
    open_ = true;
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) == 0 || rate != kRate || channels != 2 ||
        format != AUDIO_S16SYS) {
        *error = "the sound decoder does not give 44100 Hz 16-bit stereo";
        Close();
        return false;
    }
    Mix_AllocateChannels(0);
    return true;
}

void SoundCapture::Close() {
    for (Voice& v : voices_) {
        if (v.chunk != nullptr) Mix_FreeChunk(v.chunk);
        v = Voice{};
    }
    if (open_) {
        Mix_CloseAudio();
        Mix_Quit();
    }
    if (startedAudio_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
    startedAudio_ = false;
}

SoundCapture::Voice* SoundCapture::Find(uint32_t handle) {
    if (handle == 0 || handle > voices_.size() || !voices_[handle - 1].used) return nullptr;
    return &voices_[handle - 1];
}

void SoundCapture::Load(uint32_t handle, std::vector<unsigned char>&& bytes, bool music,
                        const char* name) {
    if (handle == 0) return;
    if (voices_.size() < handle) voices_.resize(handle);
    Voice& v = voices_[handle - 1];
    if (v.chunk != nullptr) Mix_FreeChunk(v.chunk);
    v = Voice{};
    v.used = true;
    v.music = music;
    v.encoded = std::move(bytes);
    v.name = name != nullptr ? name : "";
}

bool SoundCapture::Decode(Voice& v) {
    if (v.chunk != nullptr) return true;
    if (v.undecodable || !open_) return false;
    // Decoded whole when it is first heard: the title's music, loaded and freed silent before a
    // replay's game starts, is never decoded at all.
    SDL_RWops* rw = SDL_RWFromConstMem(v.encoded.data(), int(v.encoded.size()));
    v.chunk = rw != nullptr ? Mix_LoadWAV_RW(rw, 1) : nullptr;
    if (v.chunk == nullptr) {
        v.undecodable = true;
        log_.push_back("Can't decode stream " + v.name + ": " + Mix_GetError());
        return false;
    }
    v.encoded = {};
    const int64_t length = int64_t(v.chunk->alen / kBytesPerSample);
    // Where it would be by now, had it been heard all along.
    if (v.looping && length > 0) {
        v.position %= length;
    } else if (v.position >= length) {
        v.playing = false;
    }
    return true;
}

void SoundCapture::Free(uint32_t handle) {
    Voice* v = Find(handle);
    if (v == nullptr) return;
    MixUntil(clock_);
    if (v->chunk != nullptr) Mix_FreeChunk(v->chunk);
    *v = Voice{};
}

void SoundCapture::Play(uint32_t handle, bool loop, int mixerVolume) {
    Voice* v = Find(handle);
    if (v == nullptr) return;
    MixUntil(clock_);
    // As SDL2_mixer does: a playing voice starts again from the beginning, and runs even if it
    // was paused.
    v->playing = true;
    v->looping = loop;
    v->paused = false;
    v->position = 0;
    v->volume = std::clamp(mixerVolume, 0, MIX_MAX_VOLUME);
}

void SoundCapture::SetVolume(uint32_t handle, int mixerVolume) {
    Voice* v = Find(handle);
    if (v == nullptr) return;
    MixUntil(clock_);
    v->volume = std::clamp(mixerVolume, 0, MIX_MAX_VOLUME);
}

void SoundCapture::Pause(uint32_t handle) {
    Voice* v = Find(handle);
    if (v == nullptr) return;
    MixUntil(clock_);
    v->paused = true;
}

void SoundCapture::Resume(uint32_t handle) {
    Voice* v = Find(handle);
    if (v == nullptr) return;
    MixUntil(clock_);
    v->paused = false;
}

bool SoundCapture::IsPlaying(uint32_t handle) {
    Voice* v = Find(handle);
    if (v == nullptr) return false;
    MixUntil(clock_);
    if (v->playing && !v->paused && v->chunk == nullptr) Decode(*v);  // to know where it ends
    return v->playing && !v->paused;
}

void SoundCapture::SetClock(int64_t sample) { clock_ = std::max(clock_, sample); }

void SoundCapture::Take(int64_t upto, std::vector<int16_t>* out) {
    MixUntil(upto);
    clock_ = std::max(clock_, upto);
    const int64_t n = std::min(upto, mixed_) - taken_;
    if (n <= 0) return;
    out->insert(out->end(), pending_.begin(), pending_.begin() + n * 2);
    pending_.erase(pending_.begin(), pending_.begin() + n * 2);
    taken_ += n;
}

std::vector<std::string> SoundCapture::TakeLog() {
    std::vector<std::string> log;
    log.swap(log_);
    return log;
}

void SoundCapture::MixUntil(int64_t sample) {
    if (sample <= mixed_) return;
    const int frames = int(sample - mixed_);
    const size_t start = pending_.size();
    pending_.resize(start + size_t(frames) * 2, 0);  // silence, as a device buffer starts
    int16_t* out = pending_.data() + start;
    // SDL2_mixer's order: the music voice first, then every channel in turn.
    for (Voice& v : voices_) {
        if (v.used && v.music) MixVoice(v, out, frames);
    }
    for (Voice& v : voices_) {
        if (v.used && !v.music) MixVoice(v, out, frames);
    }
    mixed_ = sample;
}

void SoundCapture::MixVoice(Voice& v, int16_t* out, int frames) {
    if (!v.playing || v.paused) return;
    if (v.chunk == nullptr && (v.volume == 0 || !Decode(v))) {
        // Not heard: only the time passes (Decode puts it where it would be).
        v.position += frames;
        return;
    }
    if (!v.playing) return;  // decoding found it over
    const int64_t length = int64_t(v.chunk->alen / kBytesPerSample);
    int done = 0;
    while (done < frames && v.playing) {
        if (length == 0) {
            v.playing = false;
            break;
        }
        const int n = int(std::min<int64_t>(frames - done, length - v.position));
        SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out + size_t(done) * 2),
                           v.chunk->abuf + v.position * kBytesPerSample, AUDIO_S16SYS,
                           Uint32(n * kBytesPerSample), v.volume);
        v.position += n;
        done += n;
        if (v.position >= length) {
            if (v.looping) {
                v.position = 0;
            } else {
                v.playing = false;
            }
        }
    }
}
