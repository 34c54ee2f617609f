// video_file.cpp -- what every build's VideoFile shares: the container a name asks for, and
// where the file is written until it is finished.
#include "platform/video_file.h"

#include <cctype>
#include <filesystem>

bool VideoContainerFor(const std::string& path, VideoContainer* container) {
    std::string name = std::filesystem::path(path).filename().string();
    for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
    auto endsWith = [&](const std::string& ext) {
        return name.size() > ext.size() &&
               name.compare(name.size() - ext.size(), ext.size(), ext) == 0;
    };
    if (endsWith(".mp4")) {
        *container = VideoContainer::Mp4;
        return true;
    }
    if (endsWith(".webm")) {
        *container = VideoContainer::WebM;
        return true;
    }
    return false;
}

std::string VideoTemporaryName(const std::string& path) { return path + ".part"; }

bool VideoFilesAvailable() {
#ifdef MIRRORFALL_VIDEO
    return true;
#else
    return false;
#endif
}
