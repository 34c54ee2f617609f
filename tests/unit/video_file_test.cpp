// Video files through FFmpeg: what is written reads back as the streams, frames, rate and
// duration it should, the pictures as given (sharp when scaled), and a file that could not be
// finished never appears under its name.
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/video_file.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr int kW = 640;
constexpr int kH = 480;
constexpr int kSamplesPerFrame = kVideoSoundRate / kVideoFrameRate;

// Frame n: a grey level that steps with n on the left half, a one-pixel black and white
// checkerboard on the right half.
std::vector<uint32_t> Pattern(int n) {
    std::vector<uint32_t> p(size_t(kW) * kH);
    const uint32_t grey = uint32_t(40 + (n * 7) % 180);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            uint32_t v = x < kW / 2 ? grey : ((x + y) % 2 == 0 ? 235u : 16u);
            p[size_t(y) * kW + x] = 0xFF000000u | (v << 16) | (v << 8) | v;
        }
    }
    return p;
}

// A tone: one frame's worth of stereo samples.
std::vector<int16_t> Tone(int frame) {
    std::vector<int16_t> s(size_t(kSamplesPerFrame) * 2);
    for (int i = 0; i < kSamplesPerFrame; ++i) {
        const double t = double(frame * kSamplesPerFrame + i) / kVideoSoundRate;
        const auto v = int16_t(8000 * std::sin(2 * M_PI * 440 * t));
        s[size_t(i) * 2] = v;
        s[size_t(i) * 2 + 1] = v;
    }
    return s;
}

bool WriteVideo(const std::string& path, int frames, int scale, std::string* error) {
    std::unique_ptr<VideoFile> file = OpenVideoFile({.path = path, .scale = scale}, error);
    if (file == nullptr) return false;
    for (int n = 0; n < frames; ++n) {
        std::vector<uint32_t> p = Pattern(n);
        std::vector<int16_t> s = Tone(n);
        if (!file->AddPicture(p.data()) || !file->AddSound(s.data(), kSamplesPerFrame)) break;
    }
    if (!file->Finish()) {
        *error = file->Error();
        return false;
    }
    return true;
}

// What a written file holds, read back with FFmpeg.
struct ReadBack {
    std::string videoCodec, audioCodec;
    int width = 0, height = 0, pixelFormat = -1;
    AVRational frameRate{0, 1};
    int sampleRate = 0, channels = 0;
    double seconds = 0;
    std::vector<std::vector<uint8_t>> luma;  // every decoded frame's Y plane
    int64_t audioSamples = 0;
};

bool Read(const std::string& path, ReadBack* out) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return false;
    avformat_find_stream_info(format, nullptr);
    out->seconds = double(format->duration) / AV_TIME_BASE;
    AVCodecContext* decoders[2] = {nullptr, nullptr};
    int videoIndex = -1;
    for (unsigned i = 0; i < format->nb_streams && i < 2; ++i) {
        const AVCodecParameters* par = format->streams[i]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        decoders[i] = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoders[i], par);
        avcodec_open2(decoders[i], codec, nullptr);
        if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
            videoIndex = int(i);
            out->videoCodec = avcodec_get_name(par->codec_id);
            out->width = par->width;
            out->height = par->height;
            out->pixelFormat = par->format;
            out->frameRate = format->streams[i]->r_frame_rate;
        } else {
            out->audioCodec = avcodec_get_name(par->codec_id);
            out->sampleRate = par->sample_rate;
            out->channels = par->ch_layout.nb_channels;
        }
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto drain = [&](int i) {
        while (avcodec_receive_frame(decoders[i], frame) == 0) {
            if (int(i) == videoIndex) {
                std::vector<uint8_t> y(size_t(frame->width) * frame->height);
                for (int r = 0; r < frame->height; ++r) {
                    std::memcpy(&y[size_t(r) * frame->width], frame->data[0] + r * frame->linesize[0],
                                size_t(frame->width));
                }
                out->luma.push_back(std::move(y));
            } else {
                out->audioSamples += frame->nb_samples;
            }
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        const int i = packet->stream_index;
        if (i < 2 && decoders[i] != nullptr && avcodec_send_packet(decoders[i], packet) >= 0) drain(i);
        av_packet_unref(packet);
    }
    for (int i = 0; i < 2; ++i) {
        if (decoders[i] == nullptr) continue;
        avcodec_send_packet(decoders[i], nullptr);
        drain(i);
        avcodec_free_context(&decoders[i]);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&format);
    return true;
}

int LumaAt(const std::vector<uint8_t>& y, int width, int x, int row) {
    return y[size_t(row) * width + x];
}

TEST(VideoFileTest, BothContainersReadBackFrameForFrame) {
    WorkInTempDir dir("video_file");
    struct Case {
        const char* name;
        const char* video;
        const char* audio;
        int sampleRate;
    };
    const Case cases[] = {
        {"run.mp4", "h264", "aac", 44100},
        {"RUN.WEBM", "vp9", "opus", 48000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        ASSERT_TRUE(WriteVideo(c.name, 45, 1, &error)) << error;
        EXPECT_FALSE(fs::exists(VideoTemporaryName(c.name)));
        ReadBack r;
        ASSERT_TRUE(Read(c.name, &r));
        EXPECT_EQ(r.videoCodec, c.video);
        EXPECT_EQ(r.audioCodec, c.audio);
        EXPECT_EQ(r.width, kW);
        EXPECT_EQ(r.height, kH);
        EXPECT_EQ(r.pixelFormat, AV_PIX_FMT_YUV420P);
        EXPECT_EQ(r.frameRate.num, 60);
        EXPECT_EQ(r.frameRate.den, 1);
        EXPECT_EQ(r.sampleRate, c.sampleRate);
        EXPECT_EQ(r.channels, 2);
        ASSERT_EQ(r.luma.size(), 45u);
        EXPECT_NEAR(r.seconds, 45.0 / 60, 1.0 / 60 + 0.025);  // a sound frame's padding at most
        // All of the sound, give or take the encoder's last frame.
        EXPECT_NEAR(double(r.audioSamples) / r.sampleRate, 45.0 / 60, 0.03);
        // Each frame's grey, as studio-range luma (16 + 219 * v / 255).
        for (int n : {0, 1, 17, 44}) {
            const int expected = 16 + (219 * (40 + (n * 7) % 180) + 127) / 255;
            EXPECT_NEAR(LumaAt(r.luma[size_t(n)], kW, 100, 200), expected, 3) << "frame " << n;
        }
    }
}

TEST(VideoFileTest, ScaledFramesKeepEveryPixelSharp) {
    WorkInTempDir dir("video_file");
    std::string error;
    ASSERT_TRUE(WriteVideo("sharp.mp4", 3, 2, &error)) << error;
    ReadBack r;
    ASSERT_TRUE(Read("sharp.mp4", &r));
    ASSERT_EQ(r.width, 2 * kW);
    ASSERT_EQ(r.height, 2 * kH);
    ASSERT_EQ(r.luma.size(), 3u);
    // The checkerboard's pixels become 2 x 2 blocks, and neighbouring blocks stay apart: a
    // smoothing scaler would have blurred them into grey.
    const std::vector<uint8_t>& y = r.luma[2];
    int sharp = 0, blocks = 0;
    for (int by = 100; by < 140; ++by) {
        for (int bx = 400; bx < 440; ++bx) {
            const bool white = (bx + by) % 2 == 0;
            const int a = LumaAt(y, 2 * kW, 2 * bx, 2 * by);
            const int b = LumaAt(y, 2 * kW, 2 * bx + 1, 2 * by + 1);
            ++blocks;
            if (std::abs(a - b) <= 24 && (white ? a > 180 : a < 70)) ++sharp;
        }
    }
    EXPECT_GE(sharp, blocks * 95 / 100);
}

TEST(VideoFileTest, NamesAndFoldersThatCannotBeWrittenAreRefusedAtOnce) {
    WorkInTempDir dir("video_file");
    std::ofstream("plain") << "a file, not a folder";
    struct Case {
        std::string path;
        int scale;
        const char* says;
    };
    const Case cases[] = {
        {"run.avi", 1, ".mp4 or .webm"},
        {"run", 1, ".mp4 or .webm"},
        {"run.mp4", 0, "scale"},
        {"run.mp4", kVideoMaxScale + 1, "scale"},
        {"missing/run.mp4", 1, "cannot write missing/run.mp4"},
        {"plain/run.mp4", 1, "cannot write plain/run.mp4"},
        {".", 1, ".mp4 or .webm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error;
        EXPECT_EQ(OpenVideoFile({.path = c.path, .scale = c.scale}, &error), nullptr);
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
    fs::create_directory("folder.mp4");
    std::string error;
    EXPECT_EQ(OpenVideoFile({.path = "folder.mp4"}, &error), nullptr);
    EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
    // Nothing was left behind.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(".")) entries += e.path().filename() != "plain" &&
                                                                 e.path().filename() != "folder.mp4";
    EXPECT_EQ(entries, 0);
}

TEST(VideoFileTest, AnUnfinishedFileLeavesNothingBehind) {
    WorkInTempDir dir("video_file");
    std::string error;
    {
        std::unique_ptr<VideoFile> file = OpenVideoFile({.path = "stopped.mp4"}, &error);
        ASSERT_NE(file, nullptr) << error;
        for (int n = 0; n < 10; ++n) {
            std::vector<uint32_t> p = Pattern(n);
            ASSERT_TRUE(file->AddPicture(p.data()));
        }
        EXPECT_TRUE(fs::exists(VideoTemporaryName("stopped.mp4")));
    }
    EXPECT_FALSE(fs::exists("stopped.mp4"));
    EXPECT_FALSE(fs::exists(VideoTemporaryName("stopped.mp4")));
}

TEST(VideoFileTest, AFullDiskFailsTheFileWithTheReasonAndLeavesNothing) {
    SmallDisk disk(128 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot();
    const std::string path = (disk.Path() / "full.mp4").string();
    std::string error;
    std::unique_ptr<VideoFile> file = OpenVideoFile({.path = path}, &error);
    ASSERT_NE(file, nullptr) << error;
    // Noise does not compress: a few seconds of it cannot fit.
    std::vector<uint32_t> noise(size_t(kW) * kH);
    uint32_t state = 1;
    bool failed = false;
    for (int n = 0; n < 600 && !failed; ++n) {
        for (uint32_t& p : noise) {
            state = state * 1664525u + 1013904223u;
            p = 0xFF000000u | (state >> 8);
        }
        // With its sound, as the muxer holds pictures back until the sound beside them comes.
        std::vector<int16_t> sound = Tone(n);
        failed = !file->AddPicture(noise.data()) || !file->AddSound(sound.data(), kSamplesPerFrame);
    }
    if (!failed) failed = !file->Finish();
    EXPECT_TRUE(failed);
    EXPECT_NE(file->Error().find("No space left"), std::string::npos) << file->Error();
    file.reset();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(VideoTemporaryName(path)));
}

}  // namespace
