// attack_history_test.cpp -- the attack history's file: its layout, counting, saving whole and
// never with less than the file held, and damaged or odd files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "replay/attack_history.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWholeFile(const fs::path& path, const std::string& text) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Every row of an empty history, then `extra` in place of the row it names.
std::string Rows(const std::string& header = "Mirrorfall attack history 1") {
    std::string text = header + "\n";
    for (const char* kind : {"game", "practice"}) {
        for (int attack = 1; attack <= 6; ++attack) {
            text += std::string(kind) + " " + std::to_string(attack) + " 0 0 0\n";
        }
    }
    return text;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

int FilesNamedLike(const std::string& prefix) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("Replay")) {
        if (entry.path().filename().string().rfind(prefix, 0) == 0) ++count;
    }
    return count;
}

class AttackHistoryTest : public ::testing::Test {
protected:
    void SetUp() override { ForgetHistory(); }
    void TearDown() override { ForgetHistory(); }
    WorkInTempDir dir_{"attack_history_test"};
};

TEST_F(AttackHistoryTest, CountsAreKeptPerKindAndAttackAndSavedInTheirLayout) {
    EXPECT_EQ(History().At(HistoryKind::Game, 4).met, 0);  // no file: empty
    CountMet(HistoryKind::Game, 4);
    CountMet(HistoryKind::Game, 4);
    CountCaptured(HistoryKind::Game, 4);
    CountGained(HistoryKind::Game, 4, 120);
    CountGained(HistoryKind::Game, 4, 80);  // not better
    CountMet(HistoryKind::Practice, 6);
    CountCaptured(HistoryKind::Practice, 6);
    CountCaptured(HistoryKind::Practice, 6);  // never more captures than meetings
    CountMet(HistoryKind::Practice, 7);       // no such attack
    CountMet(HistoryKind::Game, 0);

    SaveHistoryIfChanged();
    std::string expected = Replace(Rows(), "game 4 0 0 0", "game 4 2 1 120");
    expected = Replace(expected, "practice 6 0 0 0", "practice 6 1 1 0");
    EXPECT_EQ(ReadWholeFile(kHistoryFile), expected);
    EXPECT_FALSE(fs::exists(std::string(kHistoryFile) + ".tmp"));

    // A later run reads it back.
    ForgetHistory();
    EXPECT_EQ(History().At(HistoryKind::Game, 4).met, 2);
    EXPECT_EQ(History().At(HistoryKind::Game, 4).captured, 1);
    EXPECT_EQ(History().At(HistoryKind::Game, 4).best, 120);
    EXPECT_EQ(History().At(HistoryKind::Practice, 6).captured, 1);
    EXPECT_EQ(History().At(HistoryKind::Practice, 1).met, 0);
}

TEST_F(AttackHistoryTest, NothingCountedNothingWritten) {
    History();
    SaveHistoryIfChanged();
    EXPECT_FALSE(fs::exists(kHistoryFile));
}

TEST_F(AttackHistoryTest, ASaveNeverLeavesLessThanTheFileHeld) {
    // Another game counted more since this one read the file.
    History();
    WriteWholeFile(kHistoryFile, Replace(Rows(), "game 2 0 0 0", "game 2 9 5 700"));
    CountMet(HistoryKind::Game, 2);
    CountMet(HistoryKind::Game, 3);
    CountGained(HistoryKind::Game, 3, 50);
    SaveHistoryIfChanged();
    ForgetHistory();
    EXPECT_EQ(History().At(HistoryKind::Game, 2).met, 9);
    EXPECT_EQ(History().At(HistoryKind::Game, 2).captured, 5);
    EXPECT_EQ(History().At(HistoryKind::Game, 2).best, 700);
    EXPECT_EQ(History().At(HistoryKind::Game, 3).met, 1);
    EXPECT_EQ(History().At(HistoryKind::Game, 3).best, 50);
}

TEST_F(AttackHistoryTest, ReadsOnlyWholeSoundFiles) {
    struct Case {
        const char* what;
        std::string text;
        HistoryRead expected;
    };
    const std::string sound = Replace(Rows(), "practice 3 0 0 0", "practice 3 7 2 9000000000");
    const Case cases[] = {
        {"sound", sound, HistoryRead::Ok},
        {"Windows line ends", Replace(Replace(sound, "\n", "\r\n"), "game 1 0 0 0\r\n", "game 1 0 0 0 \r\n"), HistoryRead::Ok},
        {"rows in any order", Replace(Replace(Rows(), "game 1 0 0 0\n", ""), "practice 6 0 0 0\n", "practice 6 0 0 0\ngame 1 0 0 0\n"), HistoryRead::Ok},
        {"empty file", "", HistoryRead::Damaged},
        {"another header", Rows("Mirrorfall attack history 2"), HistoryRead::Damaged},
        {"a row missing", Replace(Rows(), "game 5 0 0 0\n", ""), HistoryRead::Damaged},
        {"a row twice", Rows() + "game 5 0 0 0\n", HistoryRead::Damaged},
        {"attack 7", Replace(Rows(), "game 5 0 0 0", "game 7 0 0 0"), HistoryRead::Damaged},
        {"unknown kind", Replace(Rows(), "game 5 0 0 0", "extra 5 0 0 0"), HistoryRead::Damaged},
        {"more captured than met", Replace(Rows(), "game 5 0 0 0", "game 5 1 2 0"), HistoryRead::Damaged},
        {"a negative count", Replace(Rows(), "game 5 0 0 0", "game 5 -1 0 0"), HistoryRead::Damaged},
        {"a count past 32 bits", Replace(Rows(), "game 5 0 0 0", "game 5 2147483648 0 0"), HistoryRead::Damaged},
        {"letters in a number", Replace(Rows(), "game 5 0 0 0", "game 5 1x 0 0"), HistoryRead::Damaged},
        {"a word too many", Replace(Rows(), "game 5 0 0 0", "game 5 0 0 0 0"), HistoryRead::Damaged},
        {"cut short", Rows().substr(0, 60), HistoryRead::Damaged},
        {"binary", std::string("\0\x01\xff\n", 4), HistoryRead::Damaged},
        {"far too large", Rows() + std::string(70000, ' '), HistoryRead::Damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteWholeFile("Replay/case.txt", c.text);
        AttackHistory got;
        got.At(HistoryKind::Game, 1).met = 99;
        std::string why;
        EXPECT_EQ(ReadHistoryFile("Replay/case.txt", &got, &why), c.expected);
        if (c.expected == HistoryRead::Ok) {
            EXPECT_EQ(got.At(HistoryKind::Practice, 3).met, c.text == sound || c.what[0] == 'W' ? 7 : 0);
        } else {
            EXPECT_FALSE(why.empty());
            EXPECT_EQ(got.At(HistoryKind::Game, 1).met, 0) << "a damaged file gives an empty history";
        }
    }
    AttackHistory got;
    std::string why;
    EXPECT_EQ(ReadHistoryFile("Replay/none.txt", &got, &why), HistoryRead::Missing);
    fs::create_directories("Replay/folder.txt");
    EXPECT_EQ(ReadHistoryFile("Replay/folder.txt", &got, &why), HistoryRead::Unreadable);
}

TEST_F(AttackHistoryTest, ADamagedFileIsKeptAsideNotOverwritten) {
    const std::string damaged = Replace(Rows(), "game 1 0 0 0", "game 1 40 30 garbled");
    WriteWholeFile(kHistoryFile, damaged);
    EXPECT_EQ(History().At(HistoryKind::Game, 1).met, 0);
    CountMet(HistoryKind::Practice, 2);
    SaveHistoryIfChanged();

    // The new history is whole, and what the damaged file held is still there to mend by hand.
    AttackHistory saved;
    std::string why;
    ASSERT_EQ(ReadHistoryFile(kHistoryFile, &saved, &why), HistoryRead::Ok);
    EXPECT_EQ(saved.At(HistoryKind::Practice, 2).met, 1);
    ASSERT_EQ(FilesNamedLike("history.txt.damaged-"), 1);
    for (const auto& entry : fs::directory_iterator("Replay")) {
        if (entry.path().filename().string().rfind("history.txt.damaged-", 0) == 0) {
            EXPECT_EQ(ReadWholeFile(entry.path()), damaged);
        }
    }
}

TEST_F(AttackHistoryTest, AFileThatCannotBeReadIsLeftAlone) {
    fs::create_directories(kHistoryFile);  // a folder in the file's place
    CountMet(HistoryKind::Game, 1);
    SaveHistoryIfChanged();
    EXPECT_TRUE(fs::is_directory(kHistoryFile));
    EXPECT_EQ(FilesNamedLike("history.txt.damaged-"), 0);
}

TEST_F(AttackHistoryTest, AFailedSaveLeavesTheOldFileWhole) {
    CountMet(HistoryKind::Game, 1);
    SaveHistoryIfChanged();
    const std::string before = ReadWholeFile(kHistoryFile);
    // The save's temporary cannot be made: a folder stands in its place.
    fs::create_directories(std::string(kHistoryFile) + ".tmp");
    CountMet(HistoryKind::Game, 2);
    SaveHistoryIfChanged();
    EXPECT_EQ(ReadWholeFile(kHistoryFile), before);
    EXPECT_TRUE(fs::is_directory(std::string(kHistoryFile) + ".tmp"));
}

}  // namespace
