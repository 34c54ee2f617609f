// attack_history.cpp -- the attacks' met, captured and best counts, and their file.
#include "replay/attack_history.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "core/state.h"
#include "replay/save_file.h"

namespace {

constexpr const char* kHeader = "Mirrorfall attack history 1";
constexpr const char* kKindNames[2] = {"game", "practice"};
// A dozen short lines; anything much larger is not this file.
constexpr uintmax_t kMaxHistoryBytes = 64 * 1024;

AttackHistory runHistory;
bool loaded = false;
bool changed = false;

AttackHistory& Loaded() {
    if (loaded) return runHistory;
    loaded = true;
    std::string why;
    switch (ReadHistoryFile(kHistoryFile, &runHistory, &why)) {
        case HistoryRead::Ok:
            break;
        case HistoryRead::Missing:
            FileLog("No attack history in %s yet; it starts empty", kHistoryFile);
            break;
        case HistoryRead::Damaged:
            FileLog("%s is damaged (%s); the attack history starts empty and the file is kept "
                       "aside at the next save", kHistoryFile, why.c_str());
            break;
        case HistoryRead::Unreadable:
            FileLog("%s cannot be read (%s); the attack history starts empty and is not saved",
                       kHistoryFile, why.c_str());
            break;
    }
    return runHistory;
}

bool ParseCount(const char* text, int64_t max, int64_t* out) {
    if (*text < '0' || *text > '9') return false;
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        int digit = *text - '0';
        // A digit above a small bound (an attack past the sixth) is out of range by itself.
        if (digit > max || value > (max - digit) / 10) return false;
        value = value * 10 + digit;
    }
    if (*text != '\0') return false;
    *out = value;
    return true;
}

// One line of the file: "KIND ATTACK MET CAPTURED BEST". The trailing spaces and CR are gone.
bool ParseLine(const std::string& line, int* kind, int* attack, AttackTally* tally) {
    char words[5][32];
    int count = 0;
    size_t at = 0;
    while (at < line.size()) {
        if (line[at] == ' ' || line[at] == '\t') {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
        if (count == 5 || end - at >= sizeof words[0]) return false;
        std::memcpy(words[count], line.data() + at, end - at);
        words[count][end - at] = '\0';
        ++count;
        at = end;
    }
    if (count != 5) return false;
    *kind = -1;
    for (int k = 0; k < 2; ++k) {
        if (std::strcmp(words[0], kKindNames[k]) == 0) *kind = k;
    }
    int64_t a = 0;
    if (*kind < 0 || !ParseCount(words[1], kHistoryAttacks, &a) || a < 1) return false;
    *attack = int(a);
    return ParseCount(words[2], INT32_MAX, &tally->met) &&
           ParseCount(words[3], INT32_MAX, &tally->captured) &&
           ParseCount(words[4], INT64_MAX, &tally->best) && tally->captured <= tally->met;
}

void KeepAside(const char* path) {
    namespace fs = std::filesystem;
    char aside[256];
    std::snprintf(aside, sizeof aside, "%s.damaged-%lld", path, static_cast<long long>(std::time(nullptr)));
    std::error_code error;
    if (fs::exists(aside, error)) return;  // kept once already this second
    fs::rename(path, aside, error);
    if (error) {
        FileLog("Could not keep the damaged %s aside: %s", path, error.message().c_str());
    } else {
        FileLog("The damaged %s is kept as %s", path, aside);
    }
}

}  // namespace

HistoryRead ReadHistoryFile(const char* path, AttackHistory* out, std::string* why) {
    namespace fs = std::filesystem;
    *out = AttackHistory{};
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) return HistoryRead::Missing;
    if (!fs::is_regular_file(status)) {
        *why = "it is not a regular file";
        return HistoryRead::Unreadable;
    }
    const uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxHistoryBytes) {
        *why = "it is larger than any history";
        return HistoryRead::Damaged;
    }
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        *why = "it cannot be opened";
        return HistoryRead::Unreadable;
    }
    std::string text(size_t(size), '\0');
    const size_t got = std::fread(text.data(), 1, text.size(), file);
    std::fclose(file);
    text.resize(got);

    AttackHistory history;
    bool seen[2][kHistoryAttacks] = {};
    int lineNumber = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        ++lineNumber;
        if (lineNumber == 1) {
            if (line != kHeader) {
                *why = "its first line is not the history's";
                return HistoryRead::Damaged;
            }
            continue;
        }
        if (line.empty()) continue;
        int kind = 0, attack = 0;
        AttackTally tally;
        if (!ParseLine(line, &kind, &attack, &tally) || seen[kind][attack - 1]) {
            *why = "line " + std::to_string(lineNumber) + " is not a count";
            return HistoryRead::Damaged;
        }
        seen[kind][attack - 1] = true;
        history.tally[kind][attack - 1] = tally;
    }
    for (const auto& kind : seen) {
        for (bool row : kind) {
            if (!row) {
                *why = lineNumber == 0 ? std::string("it is empty") : std::string("a count is missing");
                return HistoryRead::Damaged;
            }
        }
    }
    *out = history;
    return HistoryRead::Ok;
}

std::string HistoryText(const AttackHistory& history) {
    std::string text = std::string(kHeader) + "\n";
    char line[128];
    for (int kind = 0; kind < 2; ++kind) {
        for (int attack = 1; attack <= kHistoryAttacks; ++attack) {
            const AttackTally& t = history.tally[kind][attack - 1];
            std::snprintf(line, sizeof line, "%s %d %" PRId64 " %" PRId64 " %" PRId64 "\n",
                          kKindNames[kind], attack, t.met, t.captured, t.best);
            text += line;
        }
    }
    return text;
}

bool SaveHistoryFile(const char* path, const AttackHistory& history) {
    AttackHistory merged = history;
    AttackHistory stored;
    std::string why;
    switch (ReadHistoryFile(path, &stored, &why)) {
        case HistoryRead::Ok:
            // Another game may have counted since this one read the file: no count goes down.
            for (int kind = 0; kind < 2; ++kind) {
                for (int i = 0; i < kHistoryAttacks; ++i) {
                    AttackTally& m = merged.tally[kind][i];
                    const AttackTally& s = stored.tally[kind][i];
                    m.met = std::max(m.met, s.met);
                    m.captured = std::max(m.captured, s.captured);
                    m.best = std::max(m.best, s.best);
                    m.captured = std::min(m.captured, m.met);
                }
            }
            break;
        case HistoryRead::Missing:
            break;
        case HistoryRead::Damaged:
            KeepAside(path);
            break;
        case HistoryRead::Unreadable:
            FileLog("Attack history not saved: %s %s", path, why.c_str());
            return false;
    }
    return SaveWholeFile(path, HistoryText(merged), "Attack history");
}

const AttackHistory& History() { return Loaded(); }

void CountMet(HistoryKind kind, int attack) {
    if (attack < 1 || attack > kHistoryAttacks) return;
    Loaded().At(kind, attack).met += 1;
    changed = true;
}

void CountCaptured(HistoryKind kind, int attack) {
    if (attack < 1 || attack > kHistoryAttacks) return;
    AttackTally& t = Loaded().At(kind, attack);
    if (t.captured < t.met) t.captured += 1;
    changed = true;
}

void CountGained(HistoryKind kind, int attack, int64_t gained) {
    if (attack < 1 || attack > kHistoryAttacks) return;
    AttackTally& t = Loaded().At(kind, attack);
    if (gained > t.best) {
        t.best = gained;
        changed = true;
    }
}

void SaveHistoryIfChanged() {
    if (!changed) return;
    changed = false;
    SaveHistoryFile(kHistoryFile, runHistory);
}

void ForgetHistory() {
    runHistory = AttackHistory{};
    loaded = false;
    changed = false;
}
