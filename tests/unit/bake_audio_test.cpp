// bake_audio_test.cpp -- the baked sounds: every sound effect and both music tracks decode
// through SDL2_mixer as the game loads them, last about as long as their cue needs, never reach
// full scale, and come out byte for byte the same from a second bake; the music loops for at
// least 90 seconds with a seam no louder than the music around it.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "audio_synth.h"
#include "bake.h"
#include "music.h"

namespace {

struct Decoded {
    bool ok = false;
    std::vector<int16_t> samples;  // interleaved stereo at 44.1 kHz, as the mixer plays them
    double Seconds() const { return samples.size() / 2.0 / 44100.0; }
};

class BakeAudioTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        SDL_Init(SDL_INIT_AUDIO);
        mixerOpen_ = Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) == 0;
        BakeSoundEffects(effects_);
    }
    static void TearDownTestSuite() {
        if (mixerOpen_) Mix_CloseAudio();
        SDL_Quit();
        effects_.clear();
        music_.clear();
    }

    static Decoded Decode(const BakedFile& f) {
        Decoded d;
        Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(f.bytes.data(), static_cast<int>(f.bytes.size())), 1);
        if (!chunk) return d;
        const int16_t* pcm = reinterpret_cast<const int16_t*>(chunk->abuf);
        d.samples.assign(pcm, pcm + chunk->alen / 2);
        Mix_FreeChunk(chunk);
        d.ok = true;
        return d;
    }
    // The music takes seconds to bake, so only the tests that need it do.
    static const std::vector<BakedFile>& Music() {
        if (music_.empty()) BakeMusic(music_);
        return music_;
    }
    static const BakedFile* Find(const std::vector<BakedFile>& files, const std::string& name) {
        for (const BakedFile& f : files)
            if (f.name == name) return &f;
        return nullptr;
    }

    static inline bool mixerOpen_ = false;
    static inline std::vector<BakedFile> effects_, music_;
};

// Each file with the shortest and longest length that fits its cue.
struct Expected {
    const char* name;
    double minSeconds, maxSeconds;
};

const Expected kEffects[] = {
    {"SE/se_tan00.wav", 0.04, 0.06},      // repeated 15 times a second: must stay short
    {"SE/se_tan01.wav", 0.12, 0.2},
    {"SE/se_tan02.wav", 0.03, 0.3},
    {"SE/se_kira00.wav", 0.2, 1.0},
    {"SE/se_kira01.wav", 0.05, 0.4},
    {"SE/se_kira02.wav", 0.05, 0.4},
    {"SE/se_enep00.wav", 0.05, 0.5},
    {"SE/se_enep01.wav", 1.5, 2.2},       // the boss's defeat
    {"SE/se_enep02.wav", 0.2, 1.0},
    {"SE/se_damage00.wav", 0.05, 0.5},
    {"SE/se_item00.wav", 0.03, 0.06},
    {"SE/se_item01.wav", 0.03, 0.2},
    {"SE/se_graze.wav", 0.03, 0.05},
    {"SE/se_pldead00.wav", 0.4, 0.65},
    {"SE/se_border.wav", 0.5, 2.0},
    {"SE/se_gun00.wav", 0.05, 0.3},
    {"SE/se_ch00.wav", 0.8, 1.3},
    {"SE/se_timeout.wav", 0.1, 0.5},
    {"SE/se_cat00.wav", 0.8, 1.5},
    {"SE/se_ex.ogg", 0.5, 2.0},
    {"SE/se_green.mp3", 0.5, 2.0},
    {"SE/se_lazer00.wav", 0.5, 2.0},
    {"SE/se_lazer01.wav", 0.3, 1.5},
    {"SE/se_lazer02.wav", 0.35, 0.7},
    {"SE/se_power0.wav", 0.05, 0.3},
    {"SE/se_power1.wav", 0.05, 0.3},
    {"SE/se_nep00.wav", 0.03, 0.3},
    {"SE/se_extend.wav", 0.6, 1.1},
    {"SE/se_powerup.wav", 0.3, 1.0},
    {"SE/se_slash.wav", 0.1, 0.6},
    {"SE/se_boon00.wav", 0.8, 2.5},
    {"SE/se_don00.wav", 0.3, 1.2},
    {"SE/se_invalid.wav", 0.15, 0.4},
    {"SE/se_ok00.wav", 0.1, 0.25},
    {"SE/se_select00.wav", 0.03, 0.08},
    {"SE/se_cancel00.wav", 0.1, 0.25},
    {"SE/se_pause.wav", 0.2, 0.45},
};

int PeakOf(const std::vector<int16_t>& s) {
    int peak = 0;
    for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
    return peak;
}

TEST_F(BakeAudioTest, EveryEffectDecodesWithAFittingLengthAndNoClipping) {
    ASSERT_TRUE(mixerOpen_) << Mix_GetError();
    EXPECT_EQ(effects_.size(), std::size(kEffects)) << "one file per sound, no more";
    for (const Expected& e : kEffects) {
        SCOPED_TRACE(e.name);
        const BakedFile* f = Find(effects_, e.name);
        ASSERT_NE(f, nullptr);
        Decoded d = Decode(*f);
        ASSERT_TRUE(d.ok) << Mix_GetError();
        EXPECT_GE(d.Seconds(), e.minSeconds);
        EXPECT_LE(d.Seconds(), e.maxSeconds);
        int peak = PeakOf(d.samples);
        EXPECT_LT(peak, 32000) << "clips";
        EXPECT_GT(peak, 3000) << "silent";
        // Ends fade out: the last sample is near silence, so the sound stops without a click.
        EXPECT_LT(std::abs(d.samples.back()), 600);
    }
}

TEST_F(BakeAudioTest, FilesCarryTheFormatTheirExtensionPromises) {
    for (const BakedFile& f : effects_) {
        SCOPED_TRACE(f.name);
        ASSERT_GE(f.bytes.size(), 44u);
        std::string head(f.bytes.begin(), f.bytes.begin() + 4);
        if (f.name.ends_with(".wav")) {
            EXPECT_EQ(head, "RIFF");
            int channels = f.bytes[22], rate = f.bytes[24] | f.bytes[25] << 8 | f.bytes[26] << 16;
            int bits = f.bytes[34];
            EXPECT_TRUE(channels == 1 || channels == 2);
            EXPECT_EQ(rate, 44100);
            EXPECT_EQ(bits, 16);
        } else if (f.name.ends_with(".ogg")) {
            EXPECT_EQ(head, "OggS");
        } else {
            EXPECT_TRUE(f.name.ends_with(".mp3"));
            EXPECT_EQ(f.bytes[0], 0xFF);  // an MPEG frame sync, no ID3 tag in front
            EXPECT_EQ(f.bytes[1] & 0xE0, 0xE0);
        }
    }
}

TEST_F(BakeAudioTest, MusicDecodesToLongSeamlessLoops) {
    ASSERT_TRUE(mixerOpen_) << Mix_GetError();
    ASSERT_EQ(Music().size(), 2u);
    for (const char* name : {"Music/title.mp3", "Music/music1.mp3"}) {
        SCOPED_TRACE(name);
        const BakedFile* f = Find(Music(), name);
        ASSERT_NE(f, nullptr);
        Decoded d = Decode(*f);
        ASSERT_TRUE(d.ok) << Mix_GetError();
        EXPECT_GE(d.Seconds(), 90.0);
        EXPECT_LT(PeakOf(d.samples), 32000) << "clips";

        // The decoder drops the encoder's delay and padding, so the file decodes to exactly
        // whole bars: nothing added at the loop point.
        audio::Song song;
        if (std::string(name) == "Music/title.mp3") audio::ComposeTitle(song);
        else audio::ComposeBoss(song);
        EXPECT_EQ(d.samples.size() / 2, static_cast<size_t>(song.bars) * 16 * song.stepSamples);

        // Across the seam (last sample to first) the wave moves no more than it does between
        // neighbouring samples anywhere else: a gap or a click would stand far out.
        std::vector<int> steps;
        size_t frames = d.samples.size() / 2;
        for (size_t i = 1; i < frames; ++i) steps.push_back(std::abs(d.samples[2 * i] - d.samples[2 * i - 2]));
        std::sort(steps.begin(), steps.end());
        int typicalLoud = steps[steps.size() * 999 / 1000];
        for (int ch = 0; ch < 2; ++ch) {
            int seam = std::abs(d.samples[ch] - d.samples[2 * (frames - 1) + ch]);
            EXPECT_LE(seam, typicalLoud) << "channel " << ch;
        }
        // And the first and last 50 ms are as loud as each other's neighbourhood: no silence.
        auto rms = [&](size_t from, size_t n) {
            double e = 0.0;
            for (size_t i = from; i < from + n; ++i) e += double(d.samples[2 * i]) * d.samples[2 * i];
            return std::sqrt(e / n);
        };
        EXPECT_GT(rms(0, 2205), 300.0);
        EXPECT_GT(rms(frames - 2205, 2205), 300.0);
    }
}

TEST_F(BakeAudioTest, TwoBakesGiveTheSameBytes) {
    std::vector<BakedFile> effects, music;
    BakeSoundEffects(effects);
    BakeMusic(music);
    ASSERT_EQ(effects.size(), effects_.size());
    for (size_t i = 0; i < effects.size(); ++i) {
        EXPECT_EQ(effects[i].name, effects_[i].name);
        EXPECT_TRUE(effects[i].bytes == effects_[i].bytes) << effects[i].name;
    }
    ASSERT_EQ(music.size(), Music().size());
    for (size_t i = 0; i < music.size(); ++i) EXPECT_TRUE(music[i].bytes == Music()[i].bytes) << music[i].name;
}

// The toolkit's encoder alone: a WAV holds exactly the samples given, rounded to 16 bits and
// clamped, so an overshooting synthesiser can never wrap around.
TEST(AudioEncodeTest, WavHoldsTheSamplesClampedTo16Bits) {
    audio::Mono s = {0.0f, 0.5f, -0.5f, 1.5f, -1.5f};
    std::vector<unsigned char> wav = audio::EncodeWav(s);
    ASSERT_EQ(wav.size(), 44u + 2 * s.size());
    auto sample = [&](int i) { return static_cast<int16_t>(wav[44 + 2 * i] | wav[45 + 2 * i] << 8); };
    EXPECT_EQ(sample(0), 0);
    EXPECT_EQ(sample(1), 16384);
    EXPECT_EQ(sample(2), -16384);
    EXPECT_EQ(sample(3), 32767);
    EXPECT_EQ(sample(4), -32767);
}

// The score notation the two pieces are written in: a misread sharp, flat, length or velocity
// would put wrong notes into the music without any other test noticing.
TEST(MusicNotationTest, MelodiesAndChordsReadAsWritten) {
    audio::Part part;
    int end = audio::Melody(part, 16, "C4:4 r:2 F#5+Bb3:2:0.5 A4:8", 0, 0.8f);
    EXPECT_EQ(end, 32);
    ASSERT_EQ(part.notes.size(), 4u);
    const struct { int step, length; double midi; float velocity; } expected[] = {
        {16, 4, 60.0, 0.8f}, {22, 2, 78.0, 0.4f}, {22, 2, 58.0, 0.4f}, {24, 8, 69.0, 0.8f}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(part.notes[i].step, expected[i].step) << i;
        EXPECT_EQ(part.notes[i].length, expected[i].length) << i;
        EXPECT_EQ(part.notes[i].midi, expected[i].midi) << i;
        EXPECT_FLOAT_EQ(part.notes[i].velocity, expected[i].velocity) << i;
    }
    EXPECT_EQ(audio::ChordTones("Am", 48), (std::vector<double>{57, 60, 64}));
    EXPECT_EQ(audio::ChordTones("F#m7", 48), (std::vector<double>{54, 57, 61, 64}));
    EXPECT_EQ(audio::ChordTones("Ebmaj7", 48), (std::vector<double>{51, 55, 58, 62}));
    EXPECT_EQ(audio::ChordTones("Esus4", 48), (std::vector<double>{52, 57, 59}));
    EXPECT_THROW(audio::ChordTones("Hm", 48), std::invalid_argument);
    EXPECT_THROW(audio::Melody(part, 0, "C4"), std::invalid_argument);

    audio::Part drums;
    audio::Drums(drums, 32, "x.o.g...", 2);
    ASSERT_EQ(drums.notes.size(), 6u);
    EXPECT_EQ(drums.notes[3].step, 40);
    EXPECT_FLOAT_EQ(drums.notes[4].velocity, 0.6f);
}

}  // namespace
