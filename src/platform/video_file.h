// video_file.h -- a video file written through FFmpeg's libraries: the game's 640 x 480 frames,
// scaled up by whole pixels if asked, and its sound, encoded as the file's name says:
//   *.mp4   H.264 pictures (yuv420p) and AAC sound
//   *.webm  VP9 pictures (yuv420p) and Opus sound
// The file is written under a temporary name beside the final one (the final name with ".part"
// added) and only takes its final name when Finish succeeds, so a stopped or failed export never
// leaves a file a player would take for a finished video. Encoding runs on threads of its own:
// AddPicture and AddSound copy what they are given and return.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The sound a video file takes: interleaved stereo, signed 16-bit, this many samples a second
// (the game's own mixing rate; 735 samples for each of 60 frames a second).
constexpr int kVideoSoundRate = 44100;
constexpr int kVideoFrameRate = 60;
constexpr int kVideoMaxScale = 4;

enum class VideoContainer { Mp4, WebM };

// The container a file name asks for, by its extension (any case); false for any other.
bool VideoContainerFor(const std::string& path, VideoContainer* container);

// Where a video file is written until it is finished.
std::string VideoTemporaryName(const std::string& path);

struct VideoFileOptions {
    std::string path;    // the final name; its extension picks the container
    int width = 640;     // the frames handed to AddPicture
    int height = 480;
    int scale = 1;       // the video is width * scale x height * scale, each pixel a square block
};

class VideoFile {
public:
    // A file never finished is removed (its temporary name), whatever state it was left in.
    virtual ~VideoFile() = default;
    // One frame: width x height pixels 0xAARRGGBB, rows top to bottom. False once writing has
    // failed (Error says why); every later call then fails too.
    virtual bool AddPicture(const uint32_t* pixels) = 0;
    // Sound that follows what came before: `frames` stereo samples at kVideoSoundRate.
    virtual bool AddSound(const int16_t* samples, int frames) = 0;
    // Encodes what is left, writes the file's index, closes it and gives it its final name.
    virtual bool Finish() = 0;
    // Why writing failed, as one line ("No space left on device").
    virtual std::string Error() const = 0;
};

// Whether this build writes video files at all (it was built with FFmpeg's libraries).
bool VideoFilesAvailable();

// Opens the temporary file and the encoders. nullptr, with *error set to one line, when the
// name has no known extension, the folder cannot be written, or an encoder is missing.
std::unique_ptr<VideoFile> OpenVideoFile(const VideoFileOptions& options, std::string* error);
