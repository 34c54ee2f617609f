// main.cpp -- mirrorfall-sim: plays replays headless, prints their frame-by-frame trace, records
// games from scripted inputs and checks that replays still play back to the end they recorded.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <unistd.h>
#if !defined(_WIN32)
#include <sys/mman.h>
#include <sys/wait.h>
#endif

#include "app/game_reset.h"
#include "app/screen_flow.h"
#include "core/state.h"
#include "platform/private_folder.h"
#include "replay/replay.h"
#include "platform/headless_engine.h"
#include "sim_driver.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitDiffers = 1;  // verify: a replay did not play back to its recorded end
constexpr int kExitError = 2;    // bad arguments, a file that cannot be read or written

const char kUsage[] =
    "usage: mirrorfall-sim [--verbose] COMMAND ...\n"
    "\n"
    "Runs the game without a window.\n"
    "\n"
    "commands:\n"
    "  trace [--immortal] REPLAY_FILE\n"
    "      Plays the replay and prints one line of game state after every game frame, until the\n"
    "      game stops running or 200000 frames have run. --immortal keeps every life (a life\n"
    "      loss does everything else it does), so the trace can reach every attack. A practice's\n"
    "      replay plays as the practice of its attack.\n"
    "  record [options] OUT_FILE\n"
    "      Plays a game from a seed with scripted keys and saves it as a replay file.\n"
    "        --seed N         seed of the game's generator (default: the clock, as a new game)\n"
    "        --pattern P      idle | walk | bomb | chaos (default chaos)\n"
    "        --input-seed N   seed of the chaos pattern's own key generator (default 1)\n"
    "        --frames N       stop after N frames of play (default: play until the game ends)\n"
    "        --practice N     a practice of attack N (1..6) alone instead of a whole game: the\n"
    "                         boss starts attack N at its arrival and the game ends with it\n"
    "        --name T, --player T, --comment T   the replay's three text lines\n"
    "        --trace          also print the trace of the recorded game\n"
    "  verify [--immortal] REPLAY_FILE...\n"
    "      Plays each replay to its end and checks the result, score and length it reaches\n"
    "      against the ones the file records. One line per file.\n"
    "\n"
    "options:\n"
    "  --verbose   keep the engine's log (missing data files and the like) on standard error\n"
    "  --help      this text\n"
    "\n"
    "The game runs in a private temporary folder, so nothing is written beside the files named.\n"
    "Exit status: 0 success; 1 verify found a replay that differs; 2 bad usage or a file that\n"
    "cannot be read or written.\n";

FILE* errorOut = stderr;  // the real standard error, kept while the engine's log is silenced
int savedStderr = -1;

void Error(const char* format, const char* detail) {
    std::fprintf(errorOut, "mirrorfall-sim: ");
    std::fprintf(errorOut, format, detail);
    std::fputc('\n', errorOut);
}

// The game's log names every missing picture and sound; the tool runs without data files, so by
// default that log goes nowhere and only the tool's own messages reach standard error.
void SilenceEngineLog() {
    int saved = dup(STDERR_FILENO);
    if (saved < 0) return;
    FILE* kept = fdopen(saved, "w");
#if defined(_WIN32)
    int null = open("NUL", O_WRONLY);
#else
    int null = open("/dev/null", O_WRONLY);
#endif
    if (kept == nullptr || null < 0) return;
    dup2(null, STDERR_FILENO);
    close(null);
    savedStderr = saved;
    errorOut = kept;
    setvbuf(errorOut, nullptr, _IONBF, 0);
}

// A private working folder: the game writes its snapshot and may look for data files and the
// score file relative to it. It goes away however the tool ends: a signal, even SIGKILL, too.
PrivateFolder workFolder;

bool EnterWorkFolder() {
    std::string reason;
    if (!workFolder.Create("mirrorfall-sim", reason)) {
        Error("cannot create a temporary folder: %s", reason.c_str());
        return false;
    }
    std::error_code error;
    fs::current_path(workFolder.Path(), error);
    if (error) {
        Error("cannot enter the temporary folder: %s", error.message().c_str());
        return false;
    }
    return true;
}

void LeaveWorkFolder() {
    if (workFolder.Path().empty()) return;
    std::error_code error;
    fs::current_path(fs::path(workFolder.Path()).parent_path(), error);
    workFolder.Remove();
}

bool ParseInt(const char* text, int64_t min, int64_t max, int64_t* out) {
    if (text == nullptr || *text == '\0') return false;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < min || value > max) return false;
    *out = value;
    return true;
}

// A replay named on the command line: it must exist, be a file and be readable; its head must
// load. Damage after the head is reported and the record plays as far as it is sound.
bool LoadNamedReplay(const std::string& path, ReplaySummary* summary, std::string* refusal = nullptr) {
    if (const char* why = LoadNamedReplayFile(path.c_str(), summary)) {
        // verify says why on its own line; the other commands on standard error.
        if (refusal != nullptr) *refusal = why;
        else Error("%s", (path + ": " + why).c_str());
        return false;
    }
    if (record.replayEnd != summary->end) {
        std::string detail = path + ": the recorded frames are damaged after frame " +
                             std::to_string(record.replayEnd - 1) + " of " +
                             std::to_string(summary->end - 1) + "; it plays that far";
        Error("%s", detail.c_str());
    }
    return true;
}

std::string Absolute(const char* path) {
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    return error ? std::string(path) : absolute.string();
}

int Trace(int argc, char** argv) {
    bool immortal = false;
    const char* file = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--immortal") == 0) {
            immortal = true;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            Error("trace: unknown option %s", argv[i]);
            return kExitError;
        } else if (file == nullptr) {
            file = argv[i];
        } else {
            Error("trace: only one replay file, got also %s", argv[i]);
            return kExitError;
        }
    }
    if (file == nullptr) {
        Error("%s", "trace: no replay file given (see --help)");
        return kExitError;
    }
    std::string path = Absolute(file);
    if (!EnterWorkFolder()) return kExitError;
    SimStartUp().SetSkipDrawing(true);  // only the game's state is wanted
    ReplaySummary summary;
    if (!LoadNamedReplay(path, &summary)) return kExitError;
    SimPlayBack(immortal, [](const std::string& line) {
        std::fputs(line.c_str(), stdout);
        std::fputc('\n', stdout);
    });
    if (std::fflush(stdout) != 0) return kExitError;
    return kExitOk;
}

int Record(int argc, char** argv) {
    SimRecordOptions options;
    options.seed = static_cast<int32_t>(std::time(nullptr));
    const char* out = nullptr;
    const char* name = nullptr;
    const char* player = "mirrorfall-sim";
    std::string comment;
    bool trace = false;
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        int64_t number = 0;
        if (std::strcmp(arg, "--trace") == 0) {
            trace = true;
            continue;
        }
        if (std::strcmp(arg, "--immortal") == 0) {
            options.immortal = true;
            continue;
        }
        bool takesValue = std::strcmp(arg, "--seed") == 0 || std::strcmp(arg, "--pattern") == 0 ||
                          std::strcmp(arg, "--frames") == 0 || std::strcmp(arg, "--practice") == 0 ||
                          std::strcmp(arg, "--input-seed") == 0 || std::strcmp(arg, "--name") == 0 ||
                          std::strcmp(arg, "--player") == 0 || std::strcmp(arg, "--comment") == 0;
        if (takesValue && value == nullptr) {
            Error("record: %s needs a value", arg);
            return kExitError;
        }
        if (std::strcmp(arg, "--seed") == 0) {
            if (!ParseInt(value, INT32_MIN, INT32_MAX, &number)) {
                Error("record: --seed takes a 32-bit integer, not %s", value);
                return kExitError;
            }
            options.seed = static_cast<int32_t>(number);
        } else if (std::strcmp(arg, "--pattern") == 0) {
            if (!ParseSimPattern(value, &options.pattern)) {
                Error("record: --pattern is idle, walk, bomb or chaos, not %s", value);
                return kExitError;
            }
        } else if (std::strcmp(arg, "--frames") == 0) {
            if (!ParseInt(value, 1, kReplayMaxWords, &number)) {
                Error("record: --frames takes 1 to 100000, not %s", value);
                return kExitError;
            }
            options.frames = static_cast<int32_t>(number);
        } else if (std::strcmp(arg, "--practice") == 0) {
            if (!ParseInt(value, 1, kPracticeAttacks, &number)) {
                Error("record: --practice takes an attack 1 to 6, not %s", value);
                return kExitError;
            }
            options.practice = static_cast<int32_t>(number);
        } else if (std::strcmp(arg, "--input-seed") == 0) {
            if (!ParseInt(value, 0, UINT32_MAX, &number)) {
                Error("record: --input-seed takes 0 to 4294967295, not %s", value);
                return kExitError;
            }
            options.inputSeed = static_cast<uint32_t>(number);
        } else if (std::strcmp(arg, "--name") == 0) {
            name = value;
        } else if (std::strcmp(arg, "--player") == 0) {
            player = value;
        } else if (std::strcmp(arg, "--comment") == 0) {
            comment = value;
        } else if (arg[0] == '-' && arg[1] != '\0') {
            Error("record: unknown option %s", arg);
            return kExitError;
        } else if (out == nullptr) {
            out = arg;
            continue;
        } else {
            Error("record: only one output file, got also %s", arg);
            return kExitError;
        }
        ++i;  // the option's value
    }
    if (out == nullptr) {
        Error("%s", "record: no output file given (see --help)");
        return kExitError;
    }
    std::string path = Absolute(out);
    if (name == nullptr) name = SimPatternName(options.pattern);
    if (comment.empty() && options.practice != 0) {
        comment = "practice " + std::to_string(options.practice) + ", seed " + std::to_string(options.seed);
    }
    if (comment.empty()) comment = "seed " + std::to_string(options.seed);

    if (!EnterWorkFolder()) return kExitError;
    SimStartUp().SetSkipDrawing(true);  // only the game's state is wanted
    std::function<void(const std::string&)> onFrame;
    if (trace) {
        onFrame = [](const std::string& line) {
            std::fputs(line.c_str(), stdout);
            std::fputc('\n', stdout);
        };
    }
    SimOutcome outcome = SimRecord(options, onFrame);
    const std::string practice =
        options.practice != 0 ? "practice of attack " + std::to_string(options.practice) + ", " : "";

    char date[64];
    std::time_t now = std::time(nullptr);
    std::strftime(date, sizeof date, "%Y/%m/%d %X", std::localtime(&now));
    if (!WriteReplayFile(path.c_str(), name, player, comment.c_str(), date)) {
        Error("%s: the replay could not be written", path.c_str());
        return kExitError;
    }
    std::fprintf(trace ? errorOut : stdout,
                 "recorded %s: %sseed %d, %s, %d frames of play, result %d, score %" PRId64 "\n",
                 path.c_str(), practice.c_str(), int(record.randomSeed),
                 outcome.endedByItself ? "game ended" : "stopped",
                 int(outcome.framesOfPlay), int(outcome.result), outcome.score);
    return std::fflush(stdout) == 0 ? kExitOk : kExitError;
}

// One replay's verdict: the line verify prints for it and what it means for the exit status.
struct Verdict {
    int status = kExitOk;
    std::string line;
};

Verdict VerifyOne(const std::string& file, const char* shown, bool immortal) {
    Verdict v;
    char line[1024];
    ReplaySummary summary;
    std::string why;
    if (!LoadNamedReplay(file, &summary, &why)) {
        std::snprintf(line, sizeof line, "ERROR %s: %s", shown, why.c_str());
        v.status = kExitError;
        v.line = line;
        return v;
    }
    bool damaged = record.replayEnd != summary.end;
    SimOutcome got = SimPlayBack(immortal, nullptr);
    int32_t frames = summary.end - 1;
    bool same = !damaged && SimMatchesRecord(got, summary.result, summary.score, summary.end);
    const char* how = got.endedByItself ? "game ended" : got.ranOut ? "record ran out"
                                                                      : "frame cap reached";
    if (same) {
        std::snprintf(line, sizeof line, "OK    %s: %s, %d frames of play, result %d, score %" PRId64,
                      shown, how, int(frames), int(summary.result), summary.score);
    } else {
        std::snprintf(line, sizeof line,
                      "DIFF  %s: recorded %d frames, result %d, score %" PRId64
                      "; played %d frames (%s%s), result %d, score %" PRId64,
                      shown, int(frames), int(summary.result), summary.score,
                      int(got.framesOfPlay), how, damaged ? ", damaged record" : "",
                      int(got.result), got.score);
        v.status = kExitDiffers;
    }
    v.line = line;
    return v;
}

// Verdicts of every file, played on as many processes as there are cores: the game keeps its
// state in globals, so each process plays one game at a time. Workers take the next file from a
// counter they share and leave their verdicts in a file of the work folder; a file whose
// verdict a worker did not leave (it crashed) is played again here.
std::vector<Verdict> VerifyAll(const std::vector<std::string>& files,
                               const std::vector<const char*>& shown, bool immortal) {
    std::vector<Verdict> verdicts(files.size());
    std::vector<bool> done(files.size(), false);
#if !defined(_WIN32)  // Windows has no fork: there the loop at the end plays every file in turn
    long cores = sysconf(_SC_NPROCESSORS_ONLN);
    size_t workers = std::min<size_t>(files.size(), cores > 1 ? size_t(cores) : 1);
    void* shared = workers > 1 ? mmap(nullptr, sizeof(std::atomic<size_t>), PROT_READ | PROT_WRITE,
                                      MAP_SHARED | MAP_ANONYMOUS, -1, 0)
                               : MAP_FAILED;
    if (shared == MAP_FAILED) workers = 1;
    std::atomic<size_t>* next = workers > 1 ? new (shared) std::atomic<size_t>(0) : nullptr;
    std::vector<pid_t> children;
    std::fflush(stdout);
    std::fflush(stderr);
    for (size_t w = 1; w < workers; ++w) {
        pid_t pid = fork();
        if (pid < 0) break;
        if (pid == 0) {
            std::string name = "verdicts." + std::to_string(w);
            FILE* out = std::fopen(name.c_str(), "w");
            if (out == nullptr) _exit(kExitError);
            for (size_t i; (i = next->fetch_add(1)) < files.size();) {
                Verdict v = VerifyOne(files[i], shown[i], immortal);
                std::fprintf(out, "%zu %d %s\n", i, v.status, v.line.c_str());
                std::fflush(out);
            }
            std::fflush(stderr);
            _exit(std::fclose(out) == 0 ? kExitOk : kExitError);
        }
        children.push_back(pid);
    }
    if (next != nullptr) {
        for (size_t i; (i = next->fetch_add(1)) < files.size();) {
            verdicts[i] = VerifyOne(files[i], shown[i], immortal);
            done[i] = true;
        }
    }
    for (pid_t pid : children) waitpid(pid, nullptr, 0);
    for (size_t w = 1; w <= children.size(); ++w) {
        std::string name = "verdicts." + std::to_string(w);
        FILE* in = std::fopen(name.c_str(), "r");
        if (in == nullptr) continue;
        char text[1200];
        while (std::fgets(text, sizeof text, in) != nullptr) {
            size_t i = 0;
            int status = 0, used = 0;
            if (std::sscanf(text, "%zu %d %n", &i, &status, &used) < 2 || i >= files.size()) continue;
            std::string line = text + used;
            if (!line.empty() && line.back() == '\n') line.pop_back();
            verdicts[i] = {status, line};
            done[i] = true;
        }
        std::fclose(in);
    }
    if (next != nullptr) munmap(shared, sizeof(std::atomic<size_t>));
#endif
    for (size_t i = 0; i < files.size(); ++i) {
        if (!done[i]) verdicts[i] = VerifyOne(files[i], shown[i], immortal);
    }
    return verdicts;
}

int Verify(int argc, char** argv) {
    std::vector<std::string> files;
    std::vector<const char*> shownNames;
    bool immortal = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--immortal") == 0) {
            immortal = true;
            continue;
        }
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            Error("verify: unknown option %s", argv[i]);
            return kExitError;
        }
        files.push_back(Absolute(argv[i]));
        shownNames.push_back(argv[i]);
    }
    if (files.empty()) {
        Error("%s", "verify: no replay file given (see --help)");
        return kExitError;
    }
    if (!EnterWorkFolder()) return kExitError;
    SimStartUp().SetSkipDrawing(true);  // only the game's state is wanted
    int status = kExitOk;
    for (const Verdict& v : VerifyAll(files, shownNames, immortal)) {
        std::printf("%s\n", v.line.c_str());
        if (v.status == kExitError) status = kExitError;
        if (v.status == kExitDiffers && status == kExitOk) status = kExitDiffers;
    }
    if (std::fflush(stdout) != 0) status = kExitError;
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOFBF, 1 << 20);
    // A reader that stops early (a trace piped into head) makes writes fail instead of killing
    // the tool before it has removed its work folder.
#if defined(SIGPIPE)
    std::signal(SIGPIPE, SIG_IGN);
#endif
    int first = 1;
    bool verbose = false;
    while (first < argc && argv[first][0] == '-') {
        if (std::strcmp(argv[first], "--help") == 0 || std::strcmp(argv[first], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return kExitOk;
        }
        if (std::strcmp(argv[first], "--verbose") == 0) {
            verbose = true;
            ++first;
            continue;
        }
        Error("unknown option %s (see --help)", argv[first]);
        return kExitError;
    }
    if (first >= argc) {
        std::fputs(kUsage, stderr);
        return kExitError;
    }
    const char* command = argv[first];
    int restCount = argc - first - 1;
    char** rest = argv + first + 1;
    for (int i = 0; i < restCount; ++i) {
        if (std::strcmp(rest[i], "--help") == 0 || std::strcmp(rest[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return kExitOk;
        }
    }
    if (!verbose) SilenceEngineLog();

    int status = kExitError;
    if (std::strcmp(command, "trace") == 0) {
        status = Trace(restCount, rest);
    } else if (std::strcmp(command, "record") == 0) {
        status = Record(restCount, rest);
    } else if (std::strcmp(command, "verify") == 0) {
        status = Verify(restCount, rest);
    } else if (std::strcmp(command, "help") == 0) {
        std::fputs(kUsage, stdout);
        status = kExitOk;
    } else {
        Error("unknown command %s (see --help)", command);
    }
    LeaveWorkFolder();
    // Whatever reports at exit (a sanitizer, say) speaks on the real standard error again.
    std::fflush(errorOut);
    if (savedStderr >= 0) dup2(savedStderr, STDERR_FILENO);
    return status;
}
