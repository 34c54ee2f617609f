// The sound a video carries: streams decoded by SDL2_mixer and mixed on the video's clock, each
// starting on the very sample it was played at, at its volume, in SDL2_mixer's order of voices.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sdl_sound_capture.h"

namespace {

constexpr int kFrame = 735;  // samples of one frame at 60 frames a second

// A WAV file in memory: 44100 Hz stereo 16-bit, both channels the given samples.
std::vector<unsigned char> Wav(const std::vector<int16_t>& mono) {
    std::vector<unsigned char> b;
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 255); };
    auto u16 = [&](uint16_t v) { b.push_back(v & 255); b.push_back(v >> 8); };
    auto tag = [&](const char* t) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(t[i])); };
    const uint32_t data = uint32_t(mono.size() * 4);
    tag("RIFF"); u32(36 + data); tag("WAVE");
    tag("fmt "); u32(16); u16(1); u16(2); u32(44100); u32(44100 * 4); u16(4); u16(16);
    tag("data"); u32(data);
    for (int16_t s : mono) { u16(uint16_t(s)); u16(uint16_t(s)); }
    return b;
}

std::vector<int16_t> Constant(int n, int16_t value) { return std::vector<int16_t>(size_t(n), value); }

class SoundCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        if (!capture_.Open(&error)) GTEST_SKIP() << error;
    }

    // The left channel of the mix from where the last Take ended up to `upto`.
    std::vector<int> Take(int64_t upto) {
        std::vector<int16_t> stereo;
        capture_.Take(upto, &stereo);
        std::vector<int> left;
        for (size_t i = 0; i + 1 < stereo.size(); i += 2) {
            EXPECT_EQ(stereo[i], stereo[i + 1]);
            left.push_back(stereo[i]);
        }
        return left;
    }

    SoundCapture capture_;
};

TEST_F(SoundCaptureTest, AStreamStartsOnTheSampleItWasPlayedAtWithItsVolume) {
    capture_.Load(1, Wav(Constant(100, 1000)), false, "one.wav");
    struct Case { int64_t at; int volume; int heard; };
    const Case cases[] = {
        {3 * kFrame, MIX_MAX_VOLUME, 1000},
        {5 * kFrame + 17, 64, 500},  // half: (1000 * 64) / 128
        {8 * kFrame, 51, 398},       // 40 %, truncated as SDL_MixAudioFormat does
        {9 * kFrame, 0, 0},
    };
    int64_t taken = 0;
    for (const Case& c : cases) {
        capture_.SetClock(c.at);
        capture_.Play(1, false, c.volume);
        std::vector<int> mix = Take(c.at + 200);
        ASSERT_EQ(int64_t(mix.size()), c.at + 200 - taken);
        const size_t start = size_t(c.at - taken);
        for (size_t i = 0; i < mix.size(); ++i) {
            const bool inside = i >= start && i < start + 100;
            ASSERT_EQ(mix[i], inside ? c.heard : 0) << "played at " << c.at << ", sample " << i;
        }
        taken = c.at + 200;
    }
}

TEST_F(SoundCaptureTest, VoicesAddUpWithClippingMusicFirst) {
    // Channel 1, then the music on handle 2, then channel 3. SDL2_mixer adds the music to the
    // silent buffer before the channels, each addition clipped: 30000 + 30000 clips to 32767,
    // and the channel's -30000 then leaves 2767. Channel order would give 30000 instead.
    capture_.Load(1, Wav(Constant(50, 30000)), false, "a.wav");
    capture_.Load(2, Wav(Constant(50, 30000)), true, "music.mp3");
    capture_.Load(3, Wav(Constant(50, -30000)), false, "b.wav");
    for (uint32_t h = 1; h <= 3; ++h) capture_.Play(h, false, MIX_MAX_VOLUME);
    std::vector<int> mix = Take(50);
    ASSERT_EQ(mix.size(), 50u);
    EXPECT_EQ(mix[0], 2767);
    EXPECT_EQ(mix[49], 2767);
}

TEST_F(SoundCaptureTest, LoopsRestartsPausesAndFreesAsTheMixerDoes) {
    std::vector<int16_t> ramp;
    for (int i = 0; i < 10; ++i) ramp.push_back(int16_t(100 + i));
    capture_.Load(1, Wav(ramp), false, "ramp.wav");

    capture_.Play(1, true, MIX_MAX_VOLUME);  // looping
    std::vector<int> mix = Take(25);
    for (int i = 0; i < 25; ++i) ASSERT_EQ(mix[i], 100 + i % 10) << i;

    capture_.SetClock(30);
    capture_.Pause(1);  // from sample 30 nothing, and the voice stands still
    capture_.SetClock(40);
    capture_.Resume(1);
    mix = Take(45);  // samples 25..44
    const int expected[] = {105, 106, 107, 108, 109, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                            100, 101, 102, 103, 104};
    ASSERT_EQ(mix.size(), 20u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(mix[i], expected[i]) << "sample " << 25 + i;

    capture_.SetClock(47);
    capture_.Play(1, false, MIX_MAX_VOLUME);  // starts again from its beginning, once
    mix = Take(60);                            // samples 45..59
    const int again[] = {105, 106, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 0, 0, 0};
    for (int i = 0; i < 15; ++i) EXPECT_EQ(mix[i], again[i]) << "sample " << 45 + i;
    EXPECT_FALSE(capture_.IsPlaying(1));

    capture_.Play(1, true, MIX_MAX_VOLUME);
    capture_.SetClock(63);
    capture_.Free(1);
    mix = Take(70);
    EXPECT_EQ(mix[0], 100);
    EXPECT_EQ(mix[2], 102);
    EXPECT_EQ(mix[3], 0);  // freed at 63
    EXPECT_FALSE(capture_.IsPlaying(1));
}

TEST_F(SoundCaptureTest, MusicPlayingSilentIsWhereItWouldBeWhenItIsTurnedUp) {
    // The title's music starts at volume 0 and rises: decoded or not, it has moved on.
    std::vector<int16_t> ramp;
    for (int i = 0; i < 1000; ++i) ramp.push_back(int16_t(i));
    capture_.Load(1, Wav(ramp), true, "title.mp3");
    capture_.Play(1, true, 0);
    capture_.SetClock(2500);
    capture_.SetVolume(1, MIX_MAX_VOLUME);
    std::vector<int> mix = Take(2503);
    ASSERT_EQ(mix.size(), 2503u);
    EXPECT_EQ(mix[2499], 0);
    EXPECT_EQ(mix[2500], 500);  // 2500 samples into a loop of 1000
    EXPECT_EQ(mix[2502], 502);
}

TEST_F(SoundCaptureTest, AStreamThatCannotBeDecodedStaysSilentAndIsLogged) {
    const char junk[] = "this is no sound at all, only words";
    capture_.Load(1, std::vector<unsigned char>(junk, junk + sizeof junk), false, "SE/junk.wav");
    capture_.Play(1, false, MIX_MAX_VOLUME);
    std::vector<int> mix = Take(kFrame);
    ASSERT_EQ(mix.size(), size_t(kFrame));
    for (int s : mix) ASSERT_EQ(s, 0);
    std::vector<std::string> log = capture_.TakeLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("SE/junk.wav"), std::string::npos);
}

}  // namespace
