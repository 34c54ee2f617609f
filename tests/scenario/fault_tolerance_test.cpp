// The game's files as a player meets them when things go wrong: a writer killed mid-save, a
// disk that fills up. Nothing saved is ever lost or replaced by a partial file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "platform/profile.h"
#include "support/small_disk.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const char* const kSettingKeys[][2] = {
    {"KeyPress", "UP"},   {"KeyPress", "DOWN"},  {"KeyPress", "LEFT"},   {"KeyPress", "RIGHT"},
    {"KeyPress", "SLOW"}, {"KeyPress", "SHOOT"}, {"KeyPress", "BOMB"},   {"KeyPress", "SKIP"},
    {"Sound", "BGM"},     {"Sound", "SE"},       {"System", "AutoBomb"}, {"System", "Window"}};

// Saves every setting with the same value, in one write, as the options menu does.
bool SaveAll(const std::string& path, int value) {
    Profile profile;
    const ProfileStatus status = profile.Load(path);
    if (status != ProfileStatus::Ok && status != ProfileStatus::Missing) return false;
    const std::string text = std::to_string(value);
    for (const auto& key : kSettingKeys) profile.Set(key[0], key[1], text.c_str());
    return profile.Save(path);
}

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int LeftoverTemporaries(const fs::path& dir) {
    int count = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().extension() == ".tmp") ++count;
    }
    return count;
}

TEST(FaultToleranceTest, SettingsKilledMidSaveAreTheOldOrTheNewNeverAMix) {
    WorkInTempDir dir("kill_settings");
    const std::string path = (dir.Path() / "Keyconfig.ini").string();
    ASSERT_TRUE(SaveAll(path, 1));
    std::mt19937 random(12);
    int lastSeen = 1;
    for (int round = 0; round < 25; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int value = lastSeen + 1;; ++value) SaveAll(path, value);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);

        // Every key holds the value of one and the same complete save.
        Profile profile;
        ASSERT_EQ(profile.Load(path), ProfileStatus::Ok) << "round " << round;
        const uint32_t first = profile.GetInt("KeyPress", "UP", 0);
        EXPECT_GE(first, uint32_t(lastSeen)) << "round " << round;
        for (const auto& key : kSettingKeys) {
            EXPECT_EQ(profile.GetInt(key[0], key[1], 0), first) << key[1] << ", round " << round;
        }
        lastSeen = int(first);
        // What the killed writer left beside the file goes on the next run.
        ProfileRemoveStaleTemporaries(path);
        EXPECT_EQ(LeftoverTemporaries(dir.Path()), 0);
    }
}

TEST(FaultToleranceTest, SettingsOnAFullDiskKeepTheOldFile) {
    SmallDisk disk(64 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << disk.WhyNot();
    const std::string path = (disk.Path() / "Keyconfig.ini").string();
    ASSERT_TRUE(SaveAll(path, 80));
    const std::string before = ReadWhole(path);
    disk.Fill();
    EXPECT_FALSE(SaveAll(path, 55));
    EXPECT_EQ(ReadWhole(path), before);
    EXPECT_EQ(LeftoverTemporaries(disk.Path()), 0);
    disk.FreeUp();
    EXPECT_TRUE(SaveAll(path, 55));
    EXPECT_EQ(ProfileGetInt("Sound", "BGM", 0, path), 55u);
}

}  // namespace
