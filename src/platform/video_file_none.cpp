// video_file_none.cpp -- VideoFile where the game is built without FFmpeg's libraries: the
// export says so and writes nothing.
#include "platform/video_file.h"

std::unique_ptr<VideoFile> OpenVideoFile(const VideoFileOptions&, std::string* error) {
    *error = "this build of the game cannot write videos (it was built without FFmpeg)";
    return nullptr;
}
