// sdl_sound_capture.h -- the game's sound for a video, instead of a sound device: every stream
// decoded by SDL2_mixer as the game's own playback decodes it, and mixed as SDL2_mixer mixes its
// voices (the music voice first, then the channels in order, each sample scaled by its volume
// and added with clipping by SDL_MixAudioFormat), but on the video's own clock, so the track is
// the same on every run: a sound starts on the very sample its frame begins.
#pragma once

#include <SDL_mixer.h>

#include <cstdint>
#include <string>
#include <vector>

class SoundCapture {
public:
    // 44100 samples a second, stereo, signed 16-bit: what the game's mixer plays.
    static constexpr int kRate = 44100;

    ~SoundCapture();
    // Opens SDL2_mixer on SDL's silent "dummy" device, for its decoders alone. False (with
    // *error set) when SDL2_mixer cannot be opened so.
    bool Open(std::string* error);
    void Close();

    // The engine's stream operations, on the engine's stream handles (1, 2, ...). Each takes
    // effect at the clock's sample. `music`: the stream plays on the mixer's music voice.
    void Load(uint32_t handle, std::vector<unsigned char>&& bytes, bool music, const char* name);
    void Free(uint32_t handle);
    void Play(uint32_t handle, bool loop, int mixerVolume);
    void SetVolume(uint32_t handle, int mixerVolume);
    void Pause(uint32_t handle);
    void Resume(uint32_t handle);
    bool IsPlaying(uint32_t handle);

    // Operations from now on take effect at `sample` (from the start of the video). The clock
    // may only move forward; an earlier sample counts as the latest one set.
    void SetClock(int64_t sample);
    // Appends to *out the mix (interleaved stereo) of every sample before `upto` that was not
    // taken yet.
    void Take(int64_t upto, std::vector<int16_t>* out);

    // What went wrong decoding (logged by the engine), one line each; emptied by the call.
    std::vector<std::string> TakeLog();

private:
    struct Voice {
        std::vector<unsigned char> encoded;  // until decoded
        Mix_Chunk* chunk = nullptr;          // decoded, the first time it is heard
        bool used = false;
        bool undecodable = false;
        bool music = false;
        bool playing = false;
        bool looping = false;
        bool paused = false;
        int volume = 0;         // 0..MIX_MAX_VOLUME
        int64_t position = 0;   // samples played since it started
        std::string name;
    };
    Voice* Find(uint32_t handle);
    bool Decode(Voice& voice);
    // Mixes up to the clock into pending_.
    void MixUntil(int64_t sample);
    void MixVoice(Voice& voice, int16_t* out, int frames);

    bool open_ = false;
    bool startedAudio_ = false;
    std::vector<Voice> voices_;  // by handle - 1
    int64_t clock_ = 0;          // where operations take effect
    int64_t mixed_ = 0;          // samples mixed so far
    int64_t taken_ = 0;          // samples handed out
    std::vector<int16_t> pending_;  // mixed, not yet taken: samples taken_ .. mixed_
    std::vector<std::string> log_;
};
