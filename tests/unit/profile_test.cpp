// The profile-file reader and writer behind Keyconfig.ini: lookups, number reading, updates in
// place, line ends and safe replacement.
#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/profile_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        path_ = dir_ + "/Keyconfig.ini";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string Read() {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string dir_;
    std::string path_;
};

TEST_F(ProfileTest, ReadsValuesTheWayTheWindowsReaderDoes) {
    Write("; settings\r\n"
          "[keypress]\r\n"
          "  up = 38 \r\n"
          "DOWN=40abc\r\n"
          "LEFT=abc\r\n"
          "RIGHT=-1\r\n"
          "SLOW=+16\r\n"
          "SHOOT=\r\n"
          "BOMB=\"88\"\r\n"
          "SKIP=4294967297\r\n"
          "[Sound]\r\n"
          "BGM=80\r\n"
          "[KeyPress]\r\n"
          "UP=99\r\n");
    const struct {
        const char* section;
        const char* key;
        uint32_t expected;
    } cases[] = {
        {"KeyPress", "UP", 38},             // sections and keys ignore case and blanks
        {"KeyPress", "DOWN", 40},           // leading digits only
        {"KeyPress", "LEFT", 0},            // not a number
        {"KeyPress", "RIGHT", 0xFFFFFFFFu}, // a sign is read
        {"KeyPress", "SLOW", 16},
        {"KeyPress", "SHOOT", 7},           // an empty value gives the default
        {"KeyPress", "BOMB", 88},           // quotes around a value are dropped
        {"KeyPress", "SKIP", 1},            // wraps modulo 2^32
        {"KeyPress", "MISSING", 7},
        {"Sound", "BGM", 80},
        {"Sound", "UP", 7},                 // a key of another section
        {"System", "Window", 7},            // a missing section
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProfileGetInt(c.section, c.key, 7, path_), c.expected) << c.section << "/" << c.key;
    }
    EXPECT_EQ(ProfileGetInt("KeyPress", "UP", 7, dir_ + "/absent.ini"), 7u);
}

// Hand-edited and damaged files, each with the value the Windows profile functions read from it
// (GetPrivateProfileInt with the default 777; Wine 8's functions, run by
// tests/windows/profile_differential.sh, read every one alike).
TEST_F(ProfileTest, ReadsHandEditedFilesAsWindowsDoes) {
    using namespace std::string_literals;
    const std::string utf16 = "[Sound]\r\nBGM=80\r\n";
    std::string little = "\xFF\xFE", big = "\xFE\xFF";
    for (char c : utf16) {
        little += c;
        little += '\0';
        big += '\0';
        big += c;
    }
    const struct {
        std::string file;
        const char* section;
        const char* key;
        uint32_t windows;
    } cases[] = {
        // Line ends: a lone CR ends a line, so does any run of CRs and LFs.
        {"[KeyPress]\r\nUP=38\rDOWN=40\r\n", "KeyPress", "DOWN", 40},
        {"[KeyPress]\rUP=38\rDOWN=40\r[Sound]\rBGM=80\r", "Sound", "BGM", 80},
        {"[Sound]\r\r\nBGM=80\r\r\nSE=70\r\r\n", "Sound", "SE", 70},
        {"[Sound]\n\rBGM=80", "Sound", "BGM", 80},
        // Byte-order marks: UTF-16 either way round, UTF-8.
        {little, "Sound", "BGM", 80},
        {big, "Sound", "BGM", 80},
        {"\xEF\xBB\xBF[Sound]\r\nBGM=80\r\n", "Sound", "BGM", 80},
        // Blanks: tab, LF, VT, FF, CR, ^Z and space around names and values.
        {"\x1A[ Sound\t]\x0B\r\n\x0C BGM\x0B=\t\x1A 55\x1A\r\n", "Sound", "BGM", 55},
        // A NUL ends a name or a value.
        {"[Sound]\r\nBGM\0junk=66\r\n"s, "Sound", "BGM", 66},
        {"[Sound]\r\nBGM=6\0" "7\r\n"s, "Sound", "BGM", 6},
        {"[Sound]\r\nBGM=\0" "7\r\n"s, "Sound", "BGM", 777},
        {"[Sound\0junk]\r\nBGM=9\r\n"s, "Sound", "BGM", 9},
        // Section headers: the name runs to the LAST ']'; a '[' line without one is an entry.
        {"[Sound] ; volumes [0-100]\r\nBGM=80\r\n", "Sound", "BGM", 777},
        {"[Sound] ; volumes\r\nBGM=80\r\n", "Sound", "BGM", 80},
        {"[KeyPress]\r\nUP=38\r\n[Sound\r\nBGM=80\r\n", "Sound", "BGM", 777},
        {"[KeyPress]\r\nUP=38\r\n[Sound\r\nBGM=80\r\n", "KeyPress", "BGM", 80},
        // Only the first section of a name counts.
        {"[Sound]\r\nBGM=1\r\n[Sound]\r\nBGM=2\r\nSE=3\r\n", "Sound", "SE", 777},
        // Entries without '=' read as missing; comments are entries of their own.
        {"[Sound]\r\nBGM\r\nBGM=5\r\n", "Sound", "BGM", 777},
        {"[Sound]\r\n;BGM=5\r\nBGM=6 ; loud\r\n", "Sound", "BGM", 6},
        // Number forms.
        {"[Sound]\r\nBGM=0x10\r\n", "Sound", "BGM", 16},
        {"[Sound]\r\nBGM=0X10\r\n", "Sound", "BGM", 0},
        {"[Sound]\r\nBGM=-0x10\r\n", "Sound", "BGM", 4294967280u},
        {"[Sound]\r\nBGM=0o17\r\n", "Sound", "BGM", 15},
        {"[Sound]\r\nBGM=0b101\r\n", "Sound", "BGM", 5},
        {"[Sound]\r\nBGM=010\r\n", "Sound", "BGM", 10},
        {"[Sound]\r\nBGM=\x01" "42\r\n", "Sound", "BGM", 42},
        {"[Sound]\r\nBGM=- 5\r\n", "Sound", "BGM", 0},
        // At most 29 characters are read, then wrapped modulo 2^32.
        {"[Sound]\r\nBGM=123456789012345678901234567890123\r\n", "Sound", "BGM", 1849262357u},
        // Quoted, 30 characters after the opening quote: the buffer holds 29 of them and drops
        // its last for the closing quote it never got, so 28 digits are read.
        {"[Sound]\r\nBGM=\"12345678901234567890123456789\"\r\n", "Sound", "BGM", 3191403342u},
    };
    for (const auto& c : cases) {
        Profile profile;
        profile.FromText(c.file);
        EXPECT_EQ(profile.GetInt(c.section, c.key, 777), c.windows)
            << c.section << "/" << c.key << " in " << testing::PrintToString(c.file);
    }
    // Text: a key without '=' is missing (the default), an empty value is empty.
    Profile pad;
    pad.FromText("[Pad]\r\nSouth\r\nEast=\r\nWest='BOMB'\rNorth=\"SKIP\r\n");
    EXPECT_EQ(pad.GetString("Pad", "South", "SHOOT+13"), "SHOOT+13");
    EXPECT_EQ(pad.GetString("Pad", "East", "BOMB"), "");
    EXPECT_EQ(pad.GetString("Pad", "West", "x"), "BOMB");
    EXPECT_EQ(pad.GetString("Pad", "North", "x"), "\"SKIP");
}

TEST_F(ProfileTest, SavingKeepsTheFilesEncodingAndEveryLineItDoesNotChange) {
    using namespace std::string_literals;
    std::string little = "\xFF\xFE";
    for (char c : "[Sound]\r\nBGM=80\r\n; mine\r\n"s) {
        little += c;
        little += '\0';
    }
    Write(little);
    ASSERT_TRUE(ProfileWriteString("Sound", "SE", "70", path_));
    ASSERT_TRUE(ProfileWriteString("KeyPress", "UP", "38", path_));
    std::string expected = "\xFF\xFE";
    for (char c : "[Sound]\r\nBGM=80\r\n; mine\r\nSE=70\r\n[KeyPress]\r\nUP=38\r\n"s) {
        expected += c;
        expected += '\0';
    }
    EXPECT_EQ(Read(), expected);
    EXPECT_EQ(ProfileGetInt("Sound", "BGM", 0, path_), 80u);

    // A lone CR is a line end: saving UP keeps DOWN.
    Write("[KeyPress]\r\nUP=38\rDOWN=40\r\n");
    ASSERT_TRUE(ProfileWriteString("KeyPress", "UP", "87", path_));
    EXPECT_EQ(Read(), "[KeyPress]\r\nUP=87\rDOWN=40\r\n");
}

TEST_F(ProfileTest, ReadsTextValuesTrimmedAndUnquoted) {
    Write("[Pad]\r\nSouth = SHOOT \r\nEast=\"BOMB\"\r\nWest=\r\nStart=27\r\n[Other]\r\nNorth=SKIP\r\n");
    const struct {
        const char* key;
        const char* expected;
    } cases[] = {
        {"south", "SHOOT"},  // keys ignore case; blanks around the value go
        {"East", "BOMB"},    // quotes go
        {"West", ""},        // an empty value is empty, not the default
        {"Start", "27"},
        {"North", "none"},   // a key of another section
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProfileGetString("Pad", c.key, "none", path_), c.expected) << c.key;
    }
    EXPECT_EQ(ProfileGetString("Pad", "South", "none", dir_ + "/absent.ini"), "none");
}

TEST_F(ProfileTest, ReadsFilesWithBareLineFeeds) {
    Write("[Sound]\nBGM=55\nSE=65");
    EXPECT_EQ(ProfileGetInt("Sound", "BGM", 0, path_), 55u);
    EXPECT_EQ(ProfileGetInt("Sound", "SE", 0, path_), 65u);
}

TEST_F(ProfileTest, WritingIntoNoFileCreatesSectionsInOrder) {
    ASSERT_TRUE(ProfileWriteString("KeyPress", "UP", "38", path_));
    ASSERT_TRUE(ProfileWriteString("KeyPress", "DOWN", "40", path_));
    ASSERT_TRUE(ProfileWriteString("Sound", "BGM", "80", path_));
    ASSERT_TRUE(ProfileWriteString("KeyPress", "LEFT", "37", path_));
    EXPECT_EQ(Read(), "[KeyPress]\r\nUP=38\r\nDOWN=40\r\nLEFT=37\r\n[Sound]\r\nBGM=80\r\n");
}

TEST_F(ProfileTest, UpdatesInPlaceAndKeepsWhatItDoesNotKnow) {
    Write("; my keys\n[keypress]\nup=1\nTURBO=5\n\n[Sound]\nBGM=10\n[Other]\nx=y\n");
    ASSERT_TRUE(ProfileWriteString("KeyPress", "UP", "38", path_));
    ASSERT_TRUE(ProfileWriteString("KeyPress", "SLOW", "16", path_));
    ASSERT_TRUE(ProfileWriteString("Sound", "SE", "70", path_));
    ASSERT_TRUE(ProfileWriteString("System", "Window", "1", path_));
    // LF stays LF; the new key follows the section's last entry, before the blank line.
    EXPECT_EQ(Read(),
              "; my keys\n[keypress]\nup=38\nTURBO=5\nSLOW=16\n\n[Sound]\nBGM=10\nSE=70\n"
              "[Other]\nx=y\n[System]\nWindow=1\n");
}

// Every key the game reads, and one it does not know.
const struct {
    const char* section;
    const char* key;
} kKeys[] = {{"KeyPress", "UP"},  {"KeyPress", "DOWN"},  {"KeyPress", "LEFT"}, {"KeyPress", "RIGHT"},
             {"KeyPress", "SLOW"}, {"KeyPress", "SHOOT"}, {"KeyPress", "BOMB"}, {"KeyPress", "SKIP"},
             {"Sound", "BGM"},     {"Sound", "SE"},       {"System", "AutoBomb"}, {"System", "Window"},
             {"Other", "x"}};

TEST_F(ProfileTest, WritingOneKeyLeavesEveryOtherKeyReadingAsBefore) {
    const char* files[] = {
        "[KeyPress]\nSKIP=1\n[Sound]\nBGM=\"80\"\r\r\n",      // a CR before the CRLF
        "[KeyPress]\r\nUP=38\n[Sound]\r\nBGM=80\r\r\nSE=7\r",   // mixed ends, a bare CR last
        "[Sound]\r\nBGM=5\r\n[KeyPress]\nDOWN=40",                // no end on the last line
        "\xEF\xBB\xBF[System]\nWindow=1\r\n[Other]\nx=3\r\r\n",  // a byte-order mark
        "[Sound]\r\r\nBGM=9\r\n",                                // a header with a stray CR
        "[Sound]\nBGM=\r",                                         // a value of one CR, last (fuzzer)
        "",
    };
    for (const char* file : files) {
        for (const auto& written : kKeys) {
            Write(file);
            uint32_t before[std::size(kKeys)];
            for (size_t i = 0; i < std::size(kKeys); ++i) {
                before[i] = ProfileGetInt(kKeys[i].section, kKeys[i].key, 777, path_);
            }
            ASSERT_TRUE(ProfileWriteString(written.section, written.key, "12", path_));
            for (size_t i = 0; i < std::size(kKeys); ++i) {
                uint32_t after = ProfileGetInt(kKeys[i].section, kKeys[i].key, 777, path_);
                if (&kKeys[i] == &written) {
                    EXPECT_EQ(after, 12u) << testing::PrintToString(std::string(file));
                } else {
                    EXPECT_EQ(after, before[i])
                        << kKeys[i].key << " after writing " << written.key << " into "
                        << testing::PrintToString(std::string(file));
                }
            }
        }
    }
}

TEST_F(ProfileTest, AFileLargerThanAnySettingsFileIsNeitherReadNorReplaced) {
    std::string big = "[Sound]\r\nBGM=80\r\n;" + std::string(kMaxProfileBytes, 'x') + "\r\n";
    Write(big);
    Profile profile;
    EXPECT_EQ(profile.Load(path_), ProfileStatus::TooLarge);
    EXPECT_EQ(ProfileGetInt("Sound", "BGM", 0, path_), 0u);
    EXPECT_FALSE(ProfileWriteString("Sound", "BGM", "90", path_));
    EXPECT_EQ(Read(), big);
    // Exactly the limit still reads.
    const std::string head = "[Sound]\r\nBGM=80\r\n;";
    Write(head + std::string(kMaxProfileBytes - head.size(), 'x'));
    EXPECT_EQ(Read().size(), kMaxProfileBytes);
    EXPECT_EQ(ProfileGetInt("Sound", "BGM", 0, path_), 80u);
}

TEST_F(ProfileTest, APipeInTheFilesPlaceReadsAsUnreadableWithoutWaiting) {
    ASSERT_EQ(mkfifo(path_.c_str(), 0644), 0);
    Profile profile;
    EXPECT_EQ(profile.Load(path_), ProfileStatus::Unreadable);
    EXPECT_FALSE(ProfileWriteString("Sound", "BGM", "90", path_));
    struct stat info;
    ASSERT_EQ(stat(path_.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(ProfileTest, StaleTemporariesOfTheWriterAreRemovedAndNothingElse) {
    Write("[Sound]\r\nBGM=10\r\n");
    const char* ours[] = {"Keyconfig.ini.Ab3dE9.tmp", "Keyconfig.ini.zzzzzz.tmp"};
    const char* theirs[] = {"Keyconfig.ini.bak", "Keyconfig.ini.Ab3dE.tmp", "Keyconfig.ini.Ab3dE9.tmp~",
                            "Other.ini.Ab3dE9.tmp", "Keyconfig.ini.Ab-dE9.tmp"};
    for (const char* name : ours) std::ofstream(dir_ + "/" + name) << "[Sound]\r\nBG";
    for (const char* name : theirs) std::ofstream(dir_ + "/" + name) << "keep";
    EXPECT_EQ(ProfileRemoveStaleTemporaries(path_), 2);
    for (const char* name : ours) EXPECT_FALSE(std::filesystem::exists(dir_ + "/" + name)) << name;
    for (const char* name : theirs) EXPECT_TRUE(std::filesystem::exists(dir_ + "/" + name)) << name;
    EXPECT_EQ(Read(), "[Sound]\r\nBGM=10\r\n");
}

TEST_F(ProfileTest, AReadOnlyFileIsLeftWholeAndTheWriteFails) {
    Write("[Sound]\r\nBGM=10\r\n");
    ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
    EXPECT_FALSE(ProfileWriteString("Sound", "BGM", "90", path_));
    EXPECT_EQ(Read(), "[Sound]\r\nBGM=10\r\n");
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(ProfileTest, AFolderThatCannotBeWrittenKeepsTheOldFile) {
    Write("[Sound]\r\nBGM=10\r\n");
    ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
    bool writable = access(dir_.c_str(), W_OK) == 0;
    bool ok = ProfileWriteString("Sound", "BGM", "90", path_);
    chmod(dir_.c_str(), 0755);
    if (writable) GTEST_SKIP() << "running as a user who can write anything";
    EXPECT_FALSE(ok);
    EXPECT_EQ(Read(), "[Sound]\r\nBGM=10\r\n");
}

TEST_F(ProfileTest, PathFollowsTheCurrentDirectory) {
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    std::string path = ProfilePathInCurrentDirectory("Keyconfig.ini");
    ASSERT_EQ(chdir(old), 0);
    EXPECT_EQ(std::filesystem::path(path), std::filesystem::canonical(dir_) / "Keyconfig.ini");
}

}  // namespace
