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
// Bytes as they are: Windows would otherwise turn CRLF into LF and stop at a ^Z.
#ifdef O_BINARY
#define O_BINARY_READ O_BINARY
#else
#define O_BINARY_READ 0
#endif

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <functional>

#include "core/state.h"

ScoreList scoreList = {};

namespace {

constexpr const char* kScoreFile = "Replay/score.rpy";

// Far past any player's record (seven bytes a game: nine million games); a larger file is read
// from its newest records, never cut or rewritten.
constexpr int64_t kMaxScoreBytes = int64_t(64) << 20;

bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads records from the bytes of the score file in one pass, exactly as the records have always
// been read (a separator character with "%c", then a number with "%lld"), without a library call
// per character: a separator, any blanks, an optional sign, then digits up to the first that is
// not one. A separator without a number after it (a hand-edited file ending in a line break) is
// no game and counts nothing; the character that stopped the number is the next separator.
// Records are 64-bit, so a score beyond the 32-bit range comes back whole; one beyond 64 bits
// comes back as the largest value of its sign.
class RecordReader {
public:
    template <class Emit>
    void Feed(const char* data, size_t size, Emit&& emit) {
        for (size_t i = 0; i < size; ++i) {
            const unsigned char c = static_cast<unsigned char>(data[i]);
            switch (state_) {
            case State::Separator:
                state_ = State::Blanks;
                break;
            case State::Blanks:
                if (IsSpace(c)) break;
                if (c == '+' || c == '-') {
                    negative_ = c == '-';
                    state_ = State::Sign;
                    break;
                }
                negative_ = false;
                [[fallthrough]];
            case State::Sign:
                if (c >= '0' && c <= '9') {
                    magnitude_ = uint64_t(c - '0');
                    overflow_ = false;
                    state_ = State::Digits;
                } else {
                    state_ = State::Blanks;  // no number: this character was the next separator
                }
                break;
            case State::Digits:
                if (c >= '0' && c <= '9') {
                    if (magnitude_ > (UINT64_MAX - 9) / 10) overflow_ = true;
                    else magnitude_ = magnitude_ * 10 + uint64_t(c - '0');
                } else {
                    emit(Value());
                    state_ = State::Blanks;
                }
                break;
            }
        }
    }
    template <class Emit>
    void End(Emit&& emit) {
        if (state_ == State::Digits) emit(Value());
        state_ = State::Separator;
    }

private:
    enum class State { Separator, Blanks, Sign, Digits };
    int64_t Value() const {
        constexpr uint64_t kMax = uint64_t(INT64_MAX);
        if (negative_) return overflow_ || magnitude_ > kMax + 1 ? INT64_MIN : int64_t(0 - magnitude_);
        return overflow_ || magnitude_ > kMax ? INT64_MAX : int64_t(magnitude_);
    }
    State state_ = State::Separator;
    bool negative_ = false;
    bool overflow_ = false;
    uint64_t magnitude_ = 0;
};

// Opens the score file for reading: only an ordinary file, so a pipe or device in its place
// cannot stall the game. Returns the descriptor and its size, or -1.
int OpenScoreFile(int64_t& size) {
    const int fd = ::open(kScoreFile, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_BINARY_READ);
    if (fd < 0) return -1;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        hge->System_Log("%s is not a regular file; it is not read", kScoreFile);
        return -1;
    }
    size = int64_t(info.st_size);
    return fd;
}

// Calls `emit` with every record of the score file, in one pass of large reads. False when the
// file cannot be opened.
template <class Emit>
bool ForEachRecord(Emit&& emit) {
    int64_t size = 0;
    const int fd = OpenScoreFile(size);
    if (fd < 0) return false;
    RecordReader reader;
    if (size > kMaxScoreBytes) {
        static bool reported = false;
        if (!reported) {
            reported = true;
            hge->System_Log("%s holds %" PRId64 " bytes, more than any player's games; only its newest %" PRId64
                            " MB are read, and the file is kept as it is", kScoreFile, size, kMaxScoreBytes >> 20);
        }
        // Start at a record's separator: the first space of the newest part.
        ::lseek(fd, off_t(size - kMaxScoreBytes), SEEK_SET);
        char c = 0;
        ssize_t n;
        while ((n = ::read(fd, &c, 1)) == 1 && c != ' ') {
        }
        if (n == 1) reader.Feed(&c, 1, emit);
    }
    static char buffer[1 << 16];
    int64_t left = kMaxScoreBytes + 1;  // the file may grow while it is read
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        reader.Feed(buffer, size_t(n), emit);
        left -= n;
        if (left <= 0) break;
    }
    reader.End(emit);
    ::close(fd);
    return true;
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
    ForEachRecord([&](int64_t stored) {
        // Ties count against the new game: equalling the best earlier score ranks second.
        if (stored >= finalScore) rank.rank += 1;
        rank.total += 1;
    });
    return rank;
}

bool LoadScoreList() {
    scoreList.count = 0;
    int64_t* first = scoreList.records + 1;
    const bool opened = ForEachRecord([&](int64_t stored) {
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
    });
    if (!opened) return false;
    std::sort(first, first + scoreList.count, std::greater<int64_t>());
    return true;
}
