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
