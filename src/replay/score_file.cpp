// score_file.cpp -- appending a finished game's score, its rank, and the sorted score list.
#include "replay/score_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Windows has no pipes in the file system to guard against, nor descriptors to keep from
// child programs.
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <functional>

#include "core/state.h"

ScoreList scoreList = {};

namespace {

constexpr const char* kScoreFile = "Replay/score.rpy";

enum class Read { End, Record, NoNumber };

// Reads the next record: a separator character, then the score. Records are written as 64-bit
// numbers and read back as 64-bit numbers, so a score beyond the 32-bit range comes back whole.
// A separator without a number after it (a hand-edited file ending in a line break) is no
// game: it must not count again the score read before it.
Read ReadRecord(FILE* file, int64_t& value) {
    char separator;
    if (std::fscanf(file, "%c", &separator) != 1) return Read::End;
    long long number;
    if (std::fscanf(file, "%lld", &number) != 1) return Read::NoNumber;
    value = number;
    return Read::Record;
}

// Opens the score file for reading: only an ordinary file, so a pipe or device in its place
// cannot stall the game.
FILE* OpenScoreFile() {
    const int fd = ::open(kScoreFile, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        hge->System_Log("%s is not a regular file; it is not read", kScoreFile);
        return nullptr;
    }
    FILE* file = ::fdopen(fd, "r");
    if (file == nullptr) ::close(fd);
    return file;
}

// Appends one record whole or not at all: a write cut short (a full disk) is taken back, so
// no partial number ever joins the records.
bool AppendRecord(int64_t finalScore) {
    const int fd = ::open(kScoreFile, O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        hge->System_Log("Could not open %s; the score is not recorded", kScoreFile);
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        hge->System_Log("%s is not a regular file; the score is not recorded", kScoreFile);
        return false;
    }
    char text[32];
    const int length = std::snprintf(text, sizeof text, " %" PRId64, finalScore);
    ssize_t written = 0;
    while (written < length) {
        const ssize_t n = ::write(fd, text + written, size_t(length - written));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += n;
    }
    bool ok = written == length;
    if (!ok && ::ftruncate(fd, info.st_size) != 0) {
        hge->System_Log("%s may end in a partial record", kScoreFile);
    }
    if (::close(fd) != 0) ok = false;
    if (!ok) hge->System_Log("Could not write to %s; the score is not recorded", kScoreFile);
    return ok;
}

}  // namespace

ScoreRank AppendScore(int64_t finalScore) {
    // A missing Replay folder would otherwise lose the score of the game just finished.
#if defined(_WIN32)
    const int made = ::mkdir("Replay");  // Windows folders have no mode bits
#else
    const int made = ::mkdir("Replay", 0755);
#endif
    if (made != 0 && errno != EEXIST) {
        hge->System_Log("Could not create the Replay folder");
    }
    if (!AppendRecord(finalScore)) return {};

    ScoreRank rank;
    FILE* file = OpenScoreFile();
    if (file == nullptr) return rank;
    int64_t stored = 0;
    for (Read read; (read = ReadRecord(file, stored)) != Read::End;) {
        if (read == Read::NoNumber) continue;
        // Ties count against the new game: equalling the best earlier score ranks second.
        if (stored >= finalScore) rank.rank += 1;
        rank.total += 1;
    }
    std::fclose(file);
    return rank;
}

bool LoadScoreList() {
    scoreList.count = 0;
    FILE* file = OpenScoreFile();
    if (file == nullptr) return false;
    int64_t* first = scoreList.records + 1;
    int64_t stored = 0;
    for (Read read; (read = ReadRecord(file, stored)) != Read::End;) {
        if (read == Read::NoNumber) continue;
        // With the list full, a new record only takes the place of the lowest one kept, so the
        // list never grows past its room and the best scores are never the ones dropped. Kept
        // as a heap with the lowest record first until the end.
        if (scoreList.count < kScoreListRoom) {
            first[scoreList.count] = stored;
            scoreList.count += 1;
            std::push_heap(first, first + scoreList.count, std::greater<int64_t>());
        } else if (stored > first[0]) {
            std::pop_heap(first, first + scoreList.count, std::greater<int64_t>());
            first[scoreList.count - 1] = stored;
            std::push_heap(first, first + scoreList.count, std::greater<int64_t>());
        }
    }
    std::fclose(file);
    std::sort(first, first + scoreList.count, std::greater<int64_t>());
    return true;
}
