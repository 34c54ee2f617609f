// Where the game keeps its files: a build's folder stays as it is; an installed game works in the
// player's data folder, made on first run, and reads its shipped data from the share folder.
#include "platform/data_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/headless_engine.h"
#include "support/headless.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class DataFolderTest : public ::testing::Test {
protected:
    DataFolderTest() : temp_("data_folder_test") {}
    void SetUp() override {
        root_ = temp_.Path();
        bin_ = root_ / "prefix" / "bin";
        share_ = root_ / "prefix" / "share" / "mirrorfall";
        fs::create_directories(bin_);
        WriteText(share_ / "gamedat.zip", "not really a zip");
        WriteText(share_ / "Keyconfig.default.ini", "[KeyPress]\r\nUP=38\r\n");
        fs::permissions(share_ / "Keyconfig.default.ini", fs::perms::owner_read | fs::perms::group_read);
        start_ = fs::current_path();
    }
    void TearDown() override {
        SetShareFolder("");
        fs::current_path(start_);
    }

    WorkInTempDir temp_;
    fs::path root_, bin_, share_, start_;
};

TEST_F(DataFolderTest, ABuildKeepsEverythingInItsWorkingFolder) {
    fs::path game = root_ / "build" / "game";
    WriteText(game / "gamedat.zip", "pack");
    // Even with an install's layout around it, a pack beside the executable means a build.
    WriteText(root_ / "build" / "share" / "mirrorfall" / "gamedat.zip", "pack");
    // A test or tool of the build has neither.
    fs::create_directories(root_ / "tools" / "bin");
    for (const fs::path& exeDir : {game, root_ / "tools" / "bin", fs::path()}) {
        DataFolderChoice choice = UseDataFolder(exeDir.string(), (root_ / "xdg").c_str(), root_.c_str());
        EXPECT_FALSE(choice.installed) << exeDir;
        EXPECT_EQ(choice.shareFolder, "") << exeDir;
        EXPECT_EQ(fs::current_path(), start_) << exeDir;
        EXPECT_EQ(ShareFolder(), "");
    }
    EXPECT_FALSE(fs::exists(root_ / "xdg"));
}

TEST_F(DataFolderTest, AnInstalledGameWorksInThePlayersDataFolder) {
    fs::path data = root_ / "xdg" / "mirrorfall";
    DataFolderChoice choice = UseDataFolder(bin_.string(), (root_ / "xdg").c_str(), (root_ / "home").c_str());
    ASSERT_TRUE(choice.installed);
    EXPECT_TRUE(choice.log.empty());
    EXPECT_EQ(fs::path(choice.dataFolder), data);
    EXPECT_EQ(fs::path(choice.shareFolder), share_);
    EXPECT_EQ(fs::current_path(), data);
    EXPECT_TRUE(fs::is_directory(data / "Replay"));
    // The first run starts from the shipped settings, in a copy the player may change.
    EXPECT_EQ(ReadText(data / "Keyconfig.ini"), "[KeyPress]\r\nUP=38\r\n");
    EXPECT_NE(fs::status(data / "Keyconfig.ini").permissions() & fs::perms::owner_write, fs::perms::none);
    // Nothing is written into the install.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::recursive_directory_iterator(root_ / "prefix")) ++entries;
    EXPECT_EQ(entries, 5);  // bin, share, share/mirrorfall and its two files

    // A later run keeps the player's own settings.
    WriteText(data / "Keyconfig.ini", "[KeyPress]\r\nUP=87\r\n");
    fs::current_path(start_);
    choice = UseDataFolder(bin_.string(), (root_ / "xdg").c_str(), (root_ / "home").c_str());
    ASSERT_TRUE(choice.installed);
    EXPECT_EQ(ReadText(data / "Keyconfig.ini"), "[KeyPress]\r\nUP=87\r\n");
}

TEST_F(DataFolderTest, AnEmptySettingsFileLeftByAFailedFirstStartIsReplacedByTheDefaults) {
    fs::path data = root_ / "xdg" / "mirrorfall";
    fs::create_directories(data / "Replay");
    WriteText(data / "Keyconfig.ini", "");
    DataFolderChoice choice = UseDataFolder(bin_.string(), (root_ / "xdg").c_str(), (root_ / "home").c_str());
    ASSERT_TRUE(choice.installed);
    EXPECT_EQ(ReadText(data / "Keyconfig.ini"), "[KeyPress]\r\nUP=38\r\n");
    ASSERT_EQ(choice.log.size(), 1u);
    EXPECT_NE(choice.log[0].find("was empty"), std::string::npos);
    // A file with anything in it is the player's and stays.
    WriteText(data / "Keyconfig.ini", "\r\n");
    fs::current_path(start_);
    UseDataFolder(bin_.string(), (root_ / "xdg").c_str(), (root_ / "home").c_str());
    EXPECT_EQ(ReadText(data / "Keyconfig.ini"), "\r\n");
}

TEST_F(DataFolderTest, AFirstStartOnAFullDiskLeavesNoEmptySettingsAndSaysWhy) {
    SmallDisk disk(256 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot();
    fs::create_directories(disk.Path() / "mirrorfall" / "Replay");
    disk.Fill();
    DataFolderChoice choice = UseDataFolder(bin_.string(), disk.Path().c_str(), (root_ / "home").c_str());
    EXPECT_FALSE(fs::exists(disk.Path() / "mirrorfall" / "Keyconfig.ini"));
    ASSERT_EQ(choice.log.size(), 1u);
    EXPECT_NE(choice.log[0].find("No space left on device"), std::string::npos) << choice.log[0];
    // The settings are read from the install meanwhile.
    EXPECT_EQ(fs::path(ShippedSettingsFile()), share_ / "Keyconfig.default.ini");
    // Once there is room, the next start copies them.
    disk.FreeUp();
    fs::current_path(start_);
    UseDataFolder(bin_.string(), disk.Path().c_str(), (root_ / "home").c_str());
    EXPECT_EQ(ReadText(disk.Path() / "mirrorfall" / "Keyconfig.ini"), "[KeyPress]\r\nUP=38\r\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(disk.Path() / "mirrorfall")) ++entries;
    EXPECT_EQ(entries, 2);  // Replay and the settings: no temporary left behind
    fs::current_path(start_);
}

TEST_F(DataFolderTest, AnInstallIntoTheDataHomeSharesItsFolderWithThePlayer) {
    // --prefix ~/.local: the share folder is the data folder.
    fs::path local = root_ / "home" / ".local";
    fs::create_directories(local / "bin");
    WriteText(local / "share" / "mirrorfall" / "gamedat.zip", "pack");
    WriteText(local / "share" / "mirrorfall" / "Keyconfig.default.ini", "[KeyPress]\r\nUP=38\r\n");
    DataFolderChoice choice = UseDataFolder((local / "bin").string(), nullptr, (root_ / "home").c_str());
    ASSERT_TRUE(choice.installed);
    EXPECT_EQ(fs::path(choice.dataFolder), fs::path(choice.shareFolder));
    EXPECT_EQ(ReadText(local / "share" / "mirrorfall" / "Keyconfig.ini"), "[KeyPress]\r\nUP=38\r\n");
}

TEST_F(DataFolderTest, WithoutAnAbsoluteXdgDataHomeTheHomesLocalShareIsUsed) {
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relative/path"}) {
        fs::current_path(start_);
        DataFolderChoice choice = UseDataFolder(bin_.string(), xdg, (root_ / "home").c_str());
        ASSERT_TRUE(choice.installed) << (xdg != nullptr ? xdg : "(unset)");
        EXPECT_EQ(fs::path(choice.dataFolder), root_ / "home" / ".local" / "share" / "mirrorfall");
    }
    EXPECT_FALSE(fs::exists(fs::path(start_) / "relative"));
}

TEST_F(DataFolderTest, ADataFolderThatCannotBeMadeLeavesTheWorkingFolderAndSaysWhy) {
    WriteText(root_ / "xdg" / "mirrorfall", "a file where the folder should be");
    DataFolderChoice choice = UseDataFolder(bin_.string(), (root_ / "xdg").c_str(), (root_ / "home").c_str());
    EXPECT_FALSE(choice.installed);
    ASSERT_EQ(choice.log.size(), 1u);
    EXPECT_NE(choice.log[0].find("stay in the working folder"), std::string::npos) << choice.log[0];
    EXPECT_EQ(fs::current_path(), start_);
    // The shipped data is still found.
    EXPECT_EQ(fs::path(ShareFolder()), share_);
}

TEST_F(DataFolderTest, ShippedFilesAreFoundAfterThePlayersOwn) {
    HeadlessEngine& engine = UseHeadlessEngine();
    WriteText(share_ / "Graphics" / "shipped.txt", "from the install");
    WriteText(share_ / "Graphics" / "both.txt", "from the install");
    ASSERT_TRUE(UseDataFolder(bin_.string(), (root_ / "xdg").c_str(), nullptr).installed);
    WriteText(fs::current_path() / "Graphics" / "both.txt", "the player's");
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(engine.ReadResource("Graphics\\shipped.txt", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "from the install");
    ASSERT_TRUE(engine.ReadResource("Graphics/both.txt", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "the player's");
    EXPECT_FALSE(engine.ReadResource("Graphics/none.txt", bytes));
}

}  // namespace
