// save_file.h -- saving a whole file so that it is never found half written: the replays and the
// attack history go through here.
#pragma once

#include <cstdio>
#include <string>

#include "core/state.h"

// A line in the engine's log when there is an engine (tests of the files alone may run without
// one: then on standard error).
template <typename... Args>
void FileLog(const char* format, Args... args) {
    if (hge != nullptr) {
        hge->System_Log(format, args...);
    } else {
        std::fprintf(stderr, format, args...);
        std::fputc('\n', stderr);
    }
}

// Writes `text` to `path` + ".tmp", puts it on disk and renames it over `path`, so a save that
// fails or is killed leaves the file that was there untouched (a ".tmp" left behind is removed
// by the next run); a missing folder is created. `what` names the file in the log ("Replay",
// "Attack history"). False, with a log line saying why, when nothing was saved.
bool SaveWholeFile(const char* path, const std::string& text, const char* what);
