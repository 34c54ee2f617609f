// profile_differential.cpp -- our settings reader and writer against the Windows profile
// functions, run under Wine: thousands of generated settings files (line ends, blanks, NULs,
// brackets, entries without '=', number forms, byte-order marks) are read by both, and after our
// writer saves one key, Windows must read that key's new value and every other key as before.
// Built with MinGW-w64 by profile_differential.sh; prints one line per difference.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/profile.h"

namespace {

struct Key {
    const char* section;
    const char* key;
};
const Key kInts[] = {{"KeyPress", "UP"},   {"KeyPress", "DOWN"},  {"KeyPress", "LEFT"},   {"KeyPress", "RIGHT"},
                     {"KeyPress", "SLOW"}, {"KeyPress", "SHOOT"}, {"KeyPress", "BOMB"},   {"KeyPress", "SKIP"},
                     {"Sound", "BGM"},     {"Sound", "SE"},       {"System", "AutoBomb"}, {"System", "Window"},
                     {"Pad", "DeadZone"},  {"Hotkeys", "Screenshot"}};
const Key kStrings[] = {{"Pad", "South"}, {"Pad", "East"}, {"Pad", "DPadUp"}, {"Pad", "Start"}};

uint32_t state = 12345;
uint32_t Next(uint32_t n) {
    state = state * 214013u + 2531011u;
    return ((state >> 16) & 0x7FFF) % n;
}

const char* Pick(const std::vector<const char*>& v) { return v[Next(uint32_t(v.size()))]; }

// One generated settings file, in ANSI bytes.
std::string MakeFile() {
    const std::vector<const char*> sections = {"KeyPress", "keypress", "Sound", "System", "Pad", "Hotkeys",
                                               "Other", "Sound] ; volumes [0-100", "KeyPress\x1a"};
    const std::vector<const char*> keys = {"UP", "DOWN", "left", "RIGHT", "SLOW", "SHOOT", "BOMB", "SKIP",
                                           "BGM", "SE", "AutoBomb", "Window", "DeadZone", "Screenshot",
                                           "South", "East", "DPadUp", "Start", "X"};
    static const std::vector<std::string> values = {"38", "40", "0x10", "0X10", "0o17", "0b101", "-1", "+16", "010",
                                             " 7", "\"88\"", "'5'", "\"9", "abc", "12abc", "",
                                             "99999999999999999999999999999999999", "4294967297",
                                             "\"1234567890123456789012345678\"", "\"12345678901234567890123456789\"",
                                             "SHOOT+13", "BOMB", "UP+38", "27", "0x", "- 5", "\x01" "3",
                                             "12 ; comment", "0xFFFFFFFF", std::string("1\0" "9", 3)};
    const std::vector<const char*> blanks = {"", "", "", " ", "\t", "\v", "\f", "\x1a", " \t"};
    const std::vector<const char*> ends = {"\r\n", "\r\n", "\n", "\r", "\r\r\n", "\n\r", "\r\n\r\n"};
    std::string file;
    const uint32_t lines = 1 + Next(24);
    for (uint32_t i = 0; i < lines; ++i) {
        std::string line;
        const uint32_t kind = Next(20);
        if (kind < 4) {
            line = std::string(Pick(blanks)) + "[" + Pick(blanks) + Pick(sections) + Pick(blanks) +
                   (Next(8) == 0 ? "" : "]") + (Next(6) == 0 ? " ; [x]" : "");
        } else if (kind < 16) {
            line = std::string(Pick(blanks)) + Pick(keys) + Pick(blanks) + (Next(10) == 0 ? "" : "=") +
                   Pick(blanks);
            line += values[Next(uint32_t(values.size()))];
            line += Pick(blanks);
            if (Next(15) == 0) line += std::string(1, '\0') + "junk";
        } else if (kind < 18) {
            line = std::string("; comment ") + Pick(keys) + "=1";
        } else {
            line = Pick(blanks);
        }
        file += line;
        if (i + 1 < lines || Next(3) != 0) file += Pick(ends);
    }
    return file;
}

// The same text in one of the four encodings the profile functions know.
std::string Encode(const std::string& ansi, int encoding) {
    if (encoding == 0) return ansi;
    if (encoding == 1) return "\xEF\xBB\xBF" + ansi;
    std::string out = encoding == 2 ? "\xFF\xFE" : "\xFE\xFF";
    for (char c : ansi) {
        if (encoding == 2) {
            out += c;
            out += '\0';
        } else {
            out += '\0';
            out += c;
        }
    }
    return out;
}

void WriteFile(const std::string& path, const std::string& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

std::string Printable(const std::string& s) {
    std::string out;
    char buf[8];
    for (unsigned char c : s) {
        if (c >= 32 && c < 127 && c != '\\') {
            out += char(c);
        } else {
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    int differences = 0;
    int files = 0;
    for (int n = 0; n < count; ++n) {
        const std::string ansi = MakeFile();
        const int encoding = int(Next(8) < 5 ? 0 : Next(3) + 1);
        const std::string data = Encode(ansi, encoding);
        const std::string path = std::string(folder) + "\\case" + std::to_string(n) + ".ini";
        WriteFile(path, data);
        ++files;
        Profile ours;
        ours.FromText(data);
        uint32_t windows[std::size(kInts)];
        for (size_t i = 0; i < std::size(kInts); ++i) {
            windows[i] = GetPrivateProfileIntA(kInts[i].section, kInts[i].key, 777, path.c_str());
            const uint32_t mine = ours.GetInt(kInts[i].section, kInts[i].key, 777);
            if (mine != windows[i]) {
                ++differences;
                std::printf("read %s/%s: windows %u, ours %u in \"%s\"\n", kInts[i].section, kInts[i].key,
                            windows[i], mine, Printable(data).c_str());
            }
        }
        for (const Key& k : kStrings) {
            char buffer[256];
            GetPrivateProfileStringA(k.section, k.key, "none", buffer, sizeof buffer, path.c_str());
            const std::string mine = ours.GetString(k.section, k.key, "none");
            if (mine != buffer) {
                ++differences;
                std::printf("text %s/%s: windows \"%s\", ours \"%s\" in \"%s\"\n", k.section, k.key,
                            Printable(buffer).c_str(), Printable(mine).c_str(), Printable(data).c_str());
            }
        }
        // Our writer saves one key; Windows reads the result.
        const Key& written = kInts[Next(12)];
        Profile edited = ours;
        edited.Set(written.section, written.key, "21");
        const std::string savedPath = std::string(folder) + "\\saved" + std::to_string(n) + ".ini";
        WriteFile(savedPath, edited.ToText());
        for (size_t i = 0; i < std::size(kInts); ++i) {
            const uint32_t after = GetPrivateProfileIntA(kInts[i].section, kInts[i].key, 777, savedPath.c_str());
            const uint32_t expected = &kInts[i] == &written ? 21u : windows[i];
            if (after != expected) {
                ++differences;
                std::printf("save %s/%s changed %s/%s: windows reads %u, not %u, in \"%s\" (was \"%s\")\n",
                            written.section, written.key, kInts[i].section, kInts[i].key, after, expected,
                            Printable(edited.ToText()).c_str(), Printable(data).c_str());
            }
        }
        DeleteFileA(path.c_str());
        DeleteFileA(savedPath.c_str());
    }
    std::printf("%d files, %d differences\n", files, differences);
    return differences == 0 ? 0 : 1;
}
