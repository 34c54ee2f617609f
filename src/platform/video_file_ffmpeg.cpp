// video_file_ffmpeg.cpp -- VideoFile on FFmpeg's libraries: libswscale turns the frames into
// the encoder's colours (and blows them up by whole pixels), libswresample brings the sound to
// the encoder's rate, libavcodec encodes, libavformat writes the container. One thread of its own
// converts and feeds the encoders, which run threads of their own, while the game draws the next
// frames.
#include "platform/video_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Frames waiting for the encoding thread: enough to ride out a slow frame on either side, few
// enough that a 4x frame queue stays within a few tens of megabytes.
constexpr size_t kQueuedPictures = 6;

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// What each container is written with.
struct Codecs {
    const char* muxer;
    const char* video;
    const char* audio;
    int audioRate;
    int64_t audioBitRate;
};

Codecs CodecsFor(VideoContainer container) {
    if (container == VideoContainer::WebM) return {"webm", "libvpx-vp9", "libopus", 48000, 128000};
    return {"mp4", "libx264", "aac", kVideoSoundRate, 192000};
}

struct Job {
    std::vector<uint32_t> picture;  // a frame, or
    std::vector<int16_t> sound;     // stereo samples
};

class FfmpegVideoFile final : public VideoFile {
public:
    ~FfmpegVideoFile() override;
    bool Open(const VideoFileOptions& options, std::string* error);
    bool AddPicture(const uint32_t* pixels) override;
    bool AddSound(const int16_t* samples, int frames) override;
    bool Finish() override;
    std::string Error() const override;

private:
    bool OpenVideo(const Codecs& codecs, std::string* error);
    bool OpenAudio(const Codecs& codecs, std::string* error);
    void Submit(Job job);
    void Work();
    // On the encoding thread.
    bool EncodePicture(const std::vector<uint32_t>& pixels);
    bool EncodeSound(const std::vector<int16_t>& samples);
    bool DrainAudioFifo(bool all);
    bool Send(AVCodecContext* codec, AVStream* stream, const AVFrame* frame);
    bool Fail(const std::string& what);
    bool Failed() const;
    void Close();

    VideoFileOptions options_;
    std::string temporary_;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
    SwsContext* scaler_ = nullptr;
    SwrContext* resampler_ = nullptr;
    AVAudioFifo* fifo_ = nullptr;
    AVFrame* picture_ = nullptr;
    AVFrame* soundFrame_ = nullptr;
    AVPacket* packet_ = nullptr;
    int64_t picturesEncoded_ = 0;
    int64_t samplesEncoded_ = 0;  // at the audio encoder's rate
    bool headerWritten_ = false;
    bool finished_ = false;

    std::thread worker_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    size_t queuedPictures_ = 0;
    bool closing_ = false;
    std::string error_;
};

FfmpegVideoFile::~FfmpegVideoFile() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
        jobs_.clear();
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
    Close();
    if (!finished_ && !temporary_.empty()) {
        std::error_code ec;
        std::filesystem::remove(temporary_, ec);
    }
}

void FfmpegVideoFile::Close() {
    if (format_ != nullptr && format_->pb != nullptr) avio_closep(&format_->pb);
    avformat_free_context(format_);
    format_ = nullptr;
    avcodec_free_context(&video_);
    avcodec_free_context(&audio_);
    sws_freeContext(scaler_);
    scaler_ = nullptr;
    swr_free(&resampler_);
    if (fifo_ != nullptr) av_audio_fifo_free(fifo_);
    fifo_ = nullptr;
    av_frame_free(&picture_);
    av_frame_free(&soundFrame_);
    av_packet_free(&packet_);
}

bool FfmpegVideoFile::Open(const VideoFileOptions& options, std::string* error) {
    options_ = options;
    VideoContainer container;
    if (!VideoContainerFor(options.path, &container)) {
        *error = options.path + ": the name must end in .mp4 or .webm";
        return false;
    }
    if (options.scale < 1 || options.scale > kVideoMaxScale) {
        *error = "the scale must be 1 to " + std::to_string(kVideoMaxScale);
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(options.path, ec)) {
        *error = "cannot write " + options.path + ": it is a folder";
        return false;
    }
    // Quiet: the export speaks for itself in one line.
    av_log_set_level(AV_LOG_ERROR);
    const Codecs codecs = CodecsFor(container);
    // The muxer is named, as the temporary name's extension says nothing; MP4's second pass
    // (moving the index to the front) reopens the file by this name.
    const std::string temporary = VideoTemporaryName(options.path);
    int r = avformat_alloc_output_context2(&format_, nullptr, codecs.muxer, temporary.c_str());
    if (r < 0 || format_ == nullptr) {
        *error = std::string("FFmpeg cannot write ") + codecs.muxer + " files";
        return false;
    }
    if (!OpenVideo(codecs, error) || !OpenAudio(codecs, error)) return false;

    temporary_ = temporary;
    r = avio_open(&format_->pb, temporary_.c_str(), AVIO_FLAG_WRITE);
    if (r < 0) {
        temporary_.clear();  // nothing was made
        *error = "cannot write " + options.path + ": " + AvError(r);
        return false;
    }
    AVDictionary* muxing = nullptr;
    // The index at the front, so a video plays while it downloads.
    if (container == VideoContainer::Mp4) av_dict_set(&muxing, "movflags", "+faststart", 0);
    r = avformat_write_header(format_, &muxing);
    av_dict_free(&muxing);
    if (r < 0) {
        *error = "cannot write " + options.path + ": " + AvError(r);
        return false;
    }
    headerWritten_ = true;
    packet_ = av_packet_alloc();
    worker_ = std::thread([this] { Work(); });
    return true;
}

bool FfmpegVideoFile::OpenVideo(const Codecs& codecs, std::string* error) {
    const AVCodec* codec = avcodec_find_encoder_by_name(codecs.video);
    if (codec == nullptr) {
        *error = std::string("FFmpeg has no ") + codecs.video + " encoder";
        return false;
    }
    const int width = options_.width * options_.scale;
    const int height = options_.height * options_.scale;
    video_ = avcodec_alloc_context3(codec);
    video_->width = width;
    video_->height = height;
    video_->pix_fmt = AV_PIX_FMT_YUV420P;
    video_->time_base = AVRational{1, kVideoFrameRate};
    video_->framerate = AVRational{kVideoFrameRate, 1};
    video_->gop_size = 5 * kVideoFrameRate;  // a key frame every 5 s to seek to
    video_->thread_count = 0;                 // as many as the machine has
    // Standard-definition colours, said in the stream so players convert them back the same way.
    video_->color_range = AVCOL_RANGE_MPEG;
    video_->colorspace = AVCOL_SPC_SMPTE170M;
    video_->color_primaries = AVCOL_PRI_SMPTE170M;
    video_->color_trc = AVCOL_TRC_SMPTE170M;
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) video_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* settings = nullptr;
    if (std::string(codecs.video) == "libx264") {
        // Sharp sprites on flat backgrounds: a low constant quality factor keeps the bullets'
        // edges, and "veryfast" keeps encoding ahead of drawing on two cores.
        av_dict_set(&settings, "preset", "veryfast", 0);
        av_dict_set(&settings, "crf", "20", 0);
    } else {
        av_dict_set(&settings, "deadline", "realtime", 0);
        av_dict_set(&settings, "cpu-used", "8", 0);
        av_dict_set(&settings, "row-mt", "1", 0);
        av_dict_set(&settings, "crf", "32", 0);
        av_dict_set(&settings, "b", "0", 0);
    }
    int r = avcodec_open2(video_, codec, &settings);
    av_dict_free(&settings);
    if (r < 0) {
        *error = std::string("the ") + codecs.video + " encoder does not start: " + AvError(r);
        return false;
    }
    videoStream_ = avformat_new_stream(format_, nullptr);
    avcodec_parameters_from_context(videoStream_->codecpar, video_);
    videoStream_->time_base = video_->time_base;
    videoStream_->avg_frame_rate = video_->framerate;

    // Whole-pixel blocks when scaled: the game's pixels stay sharp. At its own size the chroma
    // is still averaged over each 2 x 2 block.
    const int flags = (options_.scale == 1 ? SWS_BICUBIC : SWS_POINT) | SWS_ACCURATE_RND;
    scaler_ = sws_getContext(options_.width, options_.height, AV_PIX_FMT_BGRA, width, height,
                             AV_PIX_FMT_YUV420P, flags, nullptr, nullptr, nullptr);
    if (scaler_ == nullptr) {
        *error = "FFmpeg cannot convert the frames";
        return false;
    }
    const int* bt601 = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(scaler_, bt601, 1, bt601, 0, 0, 1 << 16, 1 << 16);
    picture_ = av_frame_alloc();
    picture_->format = AV_PIX_FMT_YUV420P;
    picture_->width = width;
    picture_->height = height;
    if (av_frame_get_buffer(picture_, 0) < 0) {
        *error = "out of memory for a frame";
        return false;
    }
    return true;
}

bool FfmpegVideoFile::OpenAudio(const Codecs& codecs, std::string* error) {
    const AVCodec* codec = avcodec_find_encoder_by_name(codecs.audio);
    if (codec == nullptr) {
        *error = std::string("FFmpeg has no ") + codecs.audio + " encoder";
        return false;
    }
    audio_ = avcodec_alloc_context3(codec);
    audio_->sample_rate = codecs.audioRate;
    audio_->bit_rate = codecs.audioBitRate;
    av_channel_layout_default(&audio_->ch_layout, 2);
    // The encoder's own preferred sample format: the first it lists.
    audio_->sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    audio_->time_base = AVRational{1, codecs.audioRate};
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) audio_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int r = avcodec_open2(audio_, codec, nullptr);
    if (r < 0) {
        *error = std::string("the ") + codecs.audio + " encoder does not start: " + AvError(r);
        return false;
    }
    audioStream_ = avformat_new_stream(format_, nullptr);
    avcodec_parameters_from_context(audioStream_->codecpar, audio_);
    audioStream_->time_base = audio_->time_base;

    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    r = swr_alloc_set_opts2(&resampler_, &audio_->ch_layout, audio_->sample_fmt,
                            audio_->sample_rate, &stereo, AV_SAMPLE_FMT_S16, kVideoSoundRate, 0,
                            nullptr);
    if (r < 0 || swr_init(resampler_) < 0) {
        *error = "FFmpeg cannot convert the sound";
        return false;
    }
    fifo_ = av_audio_fifo_alloc(audio_->sample_fmt, 2, 4096);
    soundFrame_ = av_frame_alloc();
    if (fifo_ == nullptr || soundFrame_ == nullptr) {
        *error = "out of memory for the sound";
        return false;
    }
    return true;
}

bool FfmpegVideoFile::Failed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !error_.empty();
}

std::string FfmpegVideoFile::Error() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return error_;
}

bool FfmpegVideoFile::Fail(const std::string& what) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (error_.empty()) error_ = what;
    return false;
}

void FfmpegVideoFile::Submit(Job job) {
    std::unique_lock<std::mutex> lock(mutex_);
    const bool picture = !job.picture.empty();
    changed_.wait(lock, [&] {
        return !error_.empty() || !picture || queuedPictures_ < kQueuedPictures;
    });
    if (!error_.empty()) return;
    if (picture) ++queuedPictures_;
    jobs_.push_back(std::move(job));
    changed_.notify_all();
}

bool FfmpegVideoFile::AddPicture(const uint32_t* pixels) {
    if (finished_ || Failed()) return false;
    Job job;
    job.picture.assign(pixels, pixels + size_t(options_.width) * size_t(options_.height));
    Submit(std::move(job));
    return !Failed();
}

bool FfmpegVideoFile::AddSound(const int16_t* samples, int frames) {
    if (finished_ || Failed()) return false;
    if (frames <= 0) return true;
    Job job;
    job.sound.assign(samples, samples + size_t(frames) * 2);
    Submit(std::move(job));
    return !Failed();
}

void FfmpegVideoFile::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return closing_ || !jobs_.empty(); });
            if (jobs_.empty()) return;  // closing, nothing left
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        bool ok = job.picture.empty() ? EncodeSound(job.sound) : EncodePicture(job.picture);
        std::lock_guard<std::mutex> lock(mutex_);
        if (!job.picture.empty()) --queuedPictures_;
        if (!ok) jobs_.clear();
        changed_.notify_all();
        if (!ok) return;
    }
}

bool FfmpegVideoFile::EncodePicture(const std::vector<uint32_t>& pixels) {
    int r = av_frame_make_writable(picture_);
    if (r < 0) return Fail("out of memory for a frame");
    const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(pixels.data())};
    const int stride[1] = {options_.width * 4};
    sws_scale(scaler_, source, stride, 0, options_.height, picture_->data, picture_->linesize);
    picture_->pts = picturesEncoded_++;
    return Send(video_, videoStream_, picture_);
}

bool FfmpegVideoFile::EncodeSound(const std::vector<int16_t>& samples) {
    const int in = int(samples.size() / 2);
    const int room = swr_get_out_samples(resampler_, in);
    if (room < 0) return Fail("FFmpeg cannot convert the sound");
    uint8_t** out = nullptr;
    if (av_samples_alloc_array_and_samples(&out, nullptr, 2, std::max(room, 1), audio_->sample_fmt, 0) < 0) {
        return Fail("out of memory for the sound");
    }
    const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(samples.data())};
    int made = swr_convert(resampler_, out, room, samples.empty() ? nullptr : source, in);
    bool ok = made >= 0;
    if (ok && made > 0) ok = av_audio_fifo_write(fifo_, reinterpret_cast<void**>(out), made) == made;
    av_freep(&out[0]);
    av_freep(&out);
    if (!ok) return Fail("FFmpeg cannot convert the sound");
    return DrainAudioFifo(false);
}

// Hands the encoder whole frames of sound from the fifo; with `all`, the short rest as well.
bool FfmpegVideoFile::DrainAudioFifo(bool all) {
    const int size = audio_->frame_size > 0 ? audio_->frame_size : 1024;
    while (av_audio_fifo_size(fifo_) >= size || (all && av_audio_fifo_size(fifo_) > 0)) {
        const int n = std::min(size, av_audio_fifo_size(fifo_));
        av_frame_unref(soundFrame_);
        soundFrame_->nb_samples = n;
        soundFrame_->format = audio_->sample_fmt;
        soundFrame_->sample_rate = audio_->sample_rate;
        av_channel_layout_copy(&soundFrame_->ch_layout, &audio_->ch_layout);
        if (av_frame_get_buffer(soundFrame_, 0) < 0) return Fail("out of memory for the sound");
        if (av_audio_fifo_read(fifo_, reinterpret_cast<void**>(soundFrame_->data), n) != n) {
            return Fail("FFmpeg cannot convert the sound");
        }
        soundFrame_->pts = samplesEncoded_;
        samplesEncoded_ += n;
        if (!Send(audio_, audioStream_, soundFrame_)) return false;
    }
    return true;
}

// Gives the encoder one frame (nullptr: the end) and writes every packet it has ready.
bool FfmpegVideoFile::Send(AVCodecContext* codec, AVStream* stream, const AVFrame* frame) {
    int r = avcodec_send_frame(codec, frame);
    if (r < 0) return Fail("the encoder failed: " + AvError(r));
    for (;;) {
        r = avcodec_receive_packet(codec, packet_);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) return Fail("the encoder failed: " + AvError(r));
        av_packet_rescale_ts(packet_, codec->time_base, stream->time_base);
        packet_->stream_index = stream->index;
        r = av_interleaved_write_frame(format_, packet_);
        if (r < 0) return Fail(AvError(r));
    }
}

bool FfmpegVideoFile::Finish() {
    if (finished_) return true;
    {
        // Everything queued is encoded before the encoders are drained.
        std::unique_lock<std::mutex> lock(mutex_);
        closing_ = true;
        changed_.notify_all();
    }
    if (worker_.joinable()) worker_.join();
    if (Failed()) return false;
    // The resampler's last samples, the short last frame of sound, then both encoders' ends.
    if (!EncodeSound({}) || !DrainAudioFifo(true) || !Send(audio_, audioStream_, nullptr) ||
        !Send(video_, videoStream_, nullptr)) {
        return false;
    }
    int r = av_write_trailer(format_);
    if (r < 0) return Fail(AvError(r));
    r = avio_closep(&format_->pb);
    if (r < 0) return Fail(AvError(r));
    std::error_code ec;
    std::filesystem::rename(temporary_, options_.path, ec);
    if (ec) return Fail("cannot rename " + temporary_ + ": " + ec.message());
    finished_ = true;
    return true;
}

}  // namespace

std::unique_ptr<VideoFile> OpenVideoFile(const VideoFileOptions& options, std::string* error) {
    auto file = std::make_unique<FfmpegVideoFile>();
    if (!file->Open(options, error)) return nullptr;
    return file;
}
