// replay.cpp -- the replay record, the slot files, and writing, summarising and loading them.
#include "replay/replay.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <set>

#include "replay/save_file.h"


namespace {

// The word before a practice's attack number in its file.
constexpr const char* kPracticeMark = "practice";

// No replay the game writes comes near this: four text lines and at most 100000 words of up to
// four characters each. A larger file is refused before anything is read.
constexpr long long kMaxReplayBytes = 2 * 1024 * 1024;
// A head line longer than this is damage, not a name: reading stops there.
constexpr int kMaxLineBytes = 64 * 1024;

// Opens a replay for reading. Only an ordinary file of a replay's size is read, so a device or
// pipe in a slot's place (or named to mirrorfall-sim) cannot stall the reader. Null with the
// reason when it is refused or missing (`why` null: it does not exist or cannot be opened).
FILE* OpenReplay(const char* path, const char** why) {
    *why = nullptr;
#if defined(_WIN32)
    return std::fopen(path, "r");
#else
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *why = "it is not a regular file";
    } else if (info.st_size > kMaxReplayBytes) {
        *why = "it is larger than any replay";
    }
    FILE* file = *why == nullptr ? ::fdopen(fd, "r") : nullptr;
    if (file == nullptr) ::close(fd);
    return file;
#endif
}

// Says once per file and run why a slot is passed over: the replay screens read every slot's
// head on every frame.
void ReportRefusedOnce(const char* path, const char* why) {
    static std::set<std::string> reported;
    if (reported.insert(path).second) FileLog("Replay %s is passed over: %s", path, why);
}

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Reads a replay file in large blocks: the replay screens read all ten slot heads on every
// frame, and a head line may be tens of kilobytes that must be passed over to reach the numbers
// after it; a library call per character made that a frame's work.
class ByteReader {
public:
    explicit ByteReader(FILE* file) : file_(file) {}
    int Get() {
        if (!Fill()) return EOF;
        return buffer_[pos_++];
    }
    // Makes at least one byte available; false at the end of the file.
    bool Fill() {
        if (pos_ < length_) return true;
        pos_ = 0;
        length_ = std::fread(buffer_, 1, sizeof buffer_, file_);
        return length_ > 0;
    }
    const unsigned char* Data() const { return buffer_ + pos_; }
    size_t Available() const { return length_ - pos_; }
    void Skip(size_t n) { pos_ += n; }

private:
    FILE* file_;
    unsigned char buffer_[16384];
    size_t pos_ = 0;
    size_t length_ = 0;
};

// Reads one line: every character up to the next line feed, which is consumed. A carriage
// return before it is dropped, so a file saved with Windows line ends reads the same. A line
// longer than the buffer is cut but still consumed whole, up to kMaxLineBytes. False at the end
// of the file and for a longer line.
bool ReadLine(ByteReader& in, char* out, int size) {
    if (!in.Fill()) {
        out[0] = '\0';
        return false;
    }
    size_t length = 0;
    size_t consumed = 0;
    while (in.Fill()) {
        const unsigned char* start = in.Data();
        const size_t available = in.Available();
        const void* feed = std::memchr(start, '\n', available);
        const size_t take = feed != nullptr ? size_t(static_cast<const unsigned char*>(feed) - start) : available;
        const size_t copy = std::min(take, size_t(size - 1) - length);
        std::memcpy(out + length, start, copy);
        length += copy;
        if (consumed + take > size_t(kMaxLineBytes)) {
            out[length] = '\0';
            return false;
        }
        consumed += take;
        in.Skip(take);
        if (feed != nullptr) {
            in.Skip(1);
            break;
        }
    }
    if (length > 0 && out[length - 1] == '\r') --length;
    out[length] = '\0';
    return true;
}

enum class NumberRead { Ok, End, Bad };

// Reads the next whitespace-separated decimal integer and checks it lies in min..max. A number
// run straight into other characters ("12abc") or too large for 64 bits is Bad, as is one out
// of range; nothing left but whitespace is End.
NumberRead ReadNumber(ByteReader& file, int64_t min, int64_t max, int64_t* out) {
    int c = file.Get();
    while (c != EOF && IsSpace(c)) c = file.Get();
    if (c == EOF) return NumberRead::End;
    bool negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        c = file.Get();
    }
    if (c == EOF || c < '0' || c > '9') return NumberRead::Bad;
    uint64_t magnitude = 0;
    const uint64_t limit = uint64_t(INT64_MAX) + 1;  // the magnitude of INT64_MIN
    bool overflow = false;
    while (c != EOF && c >= '0' && c <= '9') {
        if (magnitude > (limit - uint64_t(c - '0')) / 10) overflow = true;
        if (!overflow) magnitude = magnitude * 10 + uint64_t(c - '0');
        c = file.Get();
    }
    if (c != EOF && !IsSpace(c)) return NumberRead::Bad;
    if (overflow || (!negative && magnitude > uint64_t(INT64_MAX))) return NumberRead::Bad;
    int64_t value = negative ? int64_t(0 - magnitude) : int64_t(magnitude);
    if (value < min || value > max) return NumberRead::Bad;
    *out = value;
    return NumberRead::Ok;
}

// Adds a text line's contents. A line break inside the text would shift every later line of
// the file, so any that slips through is stored as a space.
void AppendText(std::string& out, const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        char c = *p;
        out += c == '\n' || c == '\r' ? ' ' : c;
    }
}

// Reads the practice mark at the start of a practice's numbers, if it is there, and the attack
// after it. True when the file goes on with the seed: no mark, or a mark with a sound attack.
bool ReadPracticeMark(ByteReader& file, int32_t* attack) {
    *attack = 0;
    while (file.Fill() && IsSpace(*file.Data())) file.Skip(1);
    if (!file.Fill() || *file.Data() != kPracticeMark[0]) return true;
    for (const char* p = kPracticeMark; *p != '\0'; ++p) {
        if (file.Get() != *p) return false;
    }
    const int c = file.Get();
    if (c == EOF || !IsSpace(c)) return false;
    int64_t value = 0;
    if (ReadNumber(file, 1, kPracticeAttacks, &value) != NumberRead::Ok) return false;
    *attack = int32_t(value);
    return true;
}

// Reads a replay's head: its four text lines, then seed, result, score and frame count, each
// as far as the file holds them and counted in linesRead and numbersRead. Leaves the file just
// after the frame count, at the first word.
void ReadHead(ByteReader& file, ReplaySummary* head) {
    std::memset(head, 0, sizeof *head);
    while (head->linesRead < 4 && ReadLine(file, head->lines[head->linesRead], ReplaySummary::kLineSize)) {
        ++head->linesRead;
    }
    if (head->linesRead < 4) return;
    if (!ReadPracticeMark(file, &head->practiceAttack)) return;
    int64_t value = 0;
    if (ReadNumber(file, INT32_MIN, INT32_MAX, &value) != NumberRead::Ok) return;
    head->seed = int32_t(value);
    ++head->numbersRead;
    if (ReadNumber(file, INT32_MIN, INT32_MAX, &value) != NumberRead::Ok) return;
    head->result = int32_t(value);
    ++head->numbersRead;
    if (ReadNumber(file, INT64_MIN, INT64_MAX, &value) != NumberRead::Ok) return;
    head->score = value;
    ++head->numbersRead;
    if (ReadNumber(file, INT32_MIN, INT32_MAX, &value) != NumberRead::Ok) return;
    head->end = int32_t(value);
    ++head->numbersRead;
}

const char* OrDefault(const char* text, const char* fallback) {
    return text == nullptr || text[0] == '\0' ? fallback : text;
}

}  // namespace

ReplaySlotSet replaySlotSet = ReplaySlotSet::Games;

bool SlotFileName(ReplaySlotSet set, int slot, char* out, int outSize) {
    if (slot < 1 || slot > kReplaySlotCount || outSize <= 0) return false;
    const char* pattern = set == ReplaySlotSet::Practice ? "Replay/practice_%02d.rpy" : "Replay/qz507_%02d.rpy";
    int written = std::snprintf(out, size_t(outSize), pattern, slot);
    return written > 0 && written < outSize;
}

bool ReplaySlotFileName(int slot, char* out, int outSize) {
    return SlotFileName(replaySlotSet, slot, out, outSize);
}

bool WriteReplayFile(const char* path, const char* replayName, const char* playerName,
                     const char* illustration, const char* dateText) {
    int32_t words = record.replayFrame;
    if (words < 0) words = 0;
    if (words > kReplayMaxWords) words = kReplayMaxWords;

    std::string text;
    text.reserve(64 + size_t(words) * 4);
    AppendText(text, OrDefault(replayName, "None"));
    text += " \n";
    AppendText(text, OrDefault(playerName, "Unnamed"));
    text += " \n";
    AppendText(text, OrDefault(illustration, "None"));
    text += " \n";
    AppendText(text, dateText == nullptr ? "" : dateText);
    text += '\n';
    char number[96];
    // A practice's record says which attack it practised before its numbers, where a reader
    // that knows only whole games finds no seed and refuses the file.
    if (record.practiceAttack != 0) {
        std::snprintf(number, sizeof number, "%s %" PRId32 " ", kPracticeMark, record.practiceAttack);
        text += number;
    }
    std::snprintf(number, sizeof number, "%" PRId32 " %" PRId32 " %" PRId64 " %" PRId32 " ",
                  record.randomSeed, run.resultCode, run.score, words + 1);
    text += number;
    for (int32_t k = 1; k <= words; ++k) {
        std::snprintf(number, sizeof number, "%" PRId32 " ", record.replayInputs[k]);
        text += number;
    }
    return SaveWholeFile(path, text, "Replay");
}

bool WriteReplay(int slot, const char* replayName, const char* playerName, const char* illustration,
                 const char* dateText) {
    char path[32];
    if (!ReplaySlotFileName(slot, path, sizeof path)) return false;
    return WriteReplayFile(path, replayName, playerName, illustration, dateText);
}

bool ReadReplaySummaryFile(const char* path, ReplaySummary* summary) {
    const char* why = nullptr;
    FILE* file = OpenReplay(path, &why);
    if (file == nullptr) {
        if (why != nullptr) ReportRefusedOnce(path, why);
        std::memset(summary, 0, sizeof *summary);
        return false;
    }
    ByteReader reader(file);
    ReadHead(reader, summary);
    std::fclose(file);
    return true;
}

bool ReadReplaySummary(int slot, ReplaySummary* summary) {
    char path[32];
    if (!ReplaySlotFileName(slot, path, sizeof path)) return false;
    return ReadReplaySummaryFile(path, summary);
}

bool LoadReplayFile(const char* path) {
    const char* why = nullptr;
    FILE* file = OpenReplay(path, &why);
    if (file == nullptr) {
        if (why != nullptr) FileLog("Replay %s not loaded: %s", path, why);
        return false;
    }

    ByteReader reader(file);
    ReplaySummary head;
    ReadHead(reader, &head);
    const char* damage = nullptr;
    if (head.linesRead < 4) {
        damage = "it ends within its first four lines";
    } else if (head.numbersRead < 4) {
        constexpr const char* kMissing[4] = {"no seed", "no result", "no score", "no frame count"};
        damage = kMissing[head.numbersRead];
    } else if (head.end < 1 || head.end > kReplayMaxEnd) {
        damage = "a frame count outside 0..100000";
    }
    if (damage != nullptr) {
        FileLog("Replay %s not loaded: %s", path, damage);
        std::fclose(file);
        return false;
    }

    const int32_t seed = head.seed;
    const int32_t end = head.end;
    record.randomSeed = int32_t(seed);
    record.practiceAttack = head.practiceAttack;
    int32_t loaded = 0;
    while (loaded < end - 1) {
        int64_t word = 0;
        // The game writes words 0..255; any other 32-bit number still decodes by the frame's
        // own rule, so it is kept as written.
        NumberRead read = ReadNumber(reader, INT32_MIN, INT32_MAX, &word);
        if (read != NumberRead::Ok) {
            FileLog("Replay %s: %s after frame %d of %d; it plays back that far", path,
                      read == NumberRead::End ? "the file ends" : "a damaged word", int(loaded),
                      int(end - 1));
            break;
        }
        record.replayInputs[++loaded] = int32_t(word);
    }
    record.replayEnd = loaded + 1;
    // Frames past the record hold no actions, whatever a longer earlier record left there.
    std::memset(record.replayInputs + record.replayEnd, 0,
                sizeof record.replayInputs - sizeof(int32_t) * size_t(record.replayEnd));
    std::fclose(file);
    return true;
}

const char* LoadNamedReplayFile(const char* path, ReplaySummary* summary) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) return "no such file";
    if (error) return "cannot be read";
    if (status.type() == fs::file_type::directory) return "a folder, not a replay file";
    if (status.type() != fs::file_type::regular) return "not a regular file (a device or pipe is never a replay)";
    const uintmax_t size = fs::file_size(path, error);
    if (!error && size > uintmax_t(kMaxReplayBytes)) return "larger than any replay";
    if (!ReadReplaySummaryFile(path, summary)) return "cannot be read";
    if (!LoadReplayFile(path)) {
        return "not a replay file (its first four lines or numbers are missing or damaged)";
    }
    return nullptr;
}

bool LoadReplay(int slot) {
    char path[32];
    if (!ReplaySlotFileName(slot, path, sizeof path)) return false;
    return LoadReplayFile(path);
}

void RemoveStaleReplayTemporaries() {
    namespace fs = std::filesystem;
    for (int n = 0; n < 2 * kReplaySlotCount; ++n) {
        const ReplaySlotSet set = n < kReplaySlotCount ? ReplaySlotSet::Games : ReplaySlotSet::Practice;
        const int slot = n % kReplaySlotCount + 1;
        char path[32];
        if (!SlotFileName(set, slot, path, sizeof path)) continue;
        const std::string temporary = std::string(path) + ".tmp";
        std::error_code error;
        if (!fs::is_regular_file(fs::symlink_status(temporary, error))) continue;
        const auto age = fs::file_time_type::clock::now() - fs::last_write_time(temporary, error);
        if (error || age < std::chrono::seconds(60)) continue;
        if (fs::remove(temporary, error)) {
            FileLog("Removed %s, an unfinished save left by an earlier run", temporary.c_str());
        }
    }
}
