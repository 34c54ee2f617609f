// The game's files as a player meets them when things go wrong: a writer killed mid-save, a
// disk that fills up, a read-only Replay folder, a tool ended by a signal. Nothing saved is
// ever lost or replaced by a partial file, the log names what failed, and the program goes on.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/state.h"
#include "platform/profile.h"
#include "replay/replay.h"
#include "replay/score_file.h"
#include "support/headless.h"
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

// Game g of the kill test: its seed is g, it lasts 1500 + g % 97 frames, word k is (k + g) % 256.
void MakeGame(int32_t g) {
    record.randomSeed = g;
    run.resultCode = -1;
    run.score = int64_t(g) * 10;
    record.replayFrame = 1500 + g % 97;
    for (int32_t k = 1; k <= record.replayFrame; ++k) record.replayInputs[k] = (k + g) % 256;
}

// The slot holds one whole game of the kill test, or the call fails the test.
int32_t WholeGameInSlot(const char* path) {
    if (!LoadReplayFile(path)) {
        ADD_FAILURE() << path << " does not load";
        return -1;
    }
    const int32_t g = record.randomSeed;
    EXPECT_EQ(record.replayEnd, 1500 + g % 97 + 1) << "game " << g;
    for (int32_t k = 1; k < record.replayEnd; ++k) {
        if (record.replayInputs[k] != (k + g) % 256) {
            ADD_FAILURE() << "game " << g << ": word " << k << " is " << record.replayInputs[k];
            break;
        }
    }
    return g;
}

std::vector<std::string> LogLines(const fs::path& log) {
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(FaultToleranceTest, AReplayKilledMidSaveLeavesTheOldOrTheNewGameWhole) {
    WorkInTempDir dir("kill_replay");
    const char* slot = "Replay/qz507_01.rpy";
    MakeGame(1);
    ASSERT_TRUE(WriteReplayFile(slot, "n", "p", "c", "d"));
    std::mt19937 random(5);
    int32_t lastSeen = 1;
    for (int round = 0; round < 20; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int32_t g = lastSeen + 1;; ++g) {
                MakeGame(g);
                WriteReplayFile(slot, "n", "p", "c", "d");
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const int32_t g = WholeGameInSlot(slot);
        EXPECT_GE(g, lastSeen) << "round " << round;
        lastSeen = g;
    }
}

class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!disk_.Mounted()) GTEST_SKIP() << disk_.WhyNot();
        UseHeadlessEngine();
        previous_ = fs::current_path();
        fs::current_path(disk_.Path());
        fs::create_directory("Replay");
        hge->System_SetState(HGE_LOGFILE, log_.c_str());
    }
    void TearDown() override {
        if (!disk_.Mounted()) return;
        hge->System_SetState(HGE_LOGFILE, "");
        fs::current_path(previous_);
    }
    SmallDisk disk_{256 * 1024};
    WorkInTempDir logDir_{"full_disk_log"};
    std::string log_ = (logDir_.Path() / "log.txt").string();
    fs::path previous_;
};

TEST_F(FullDiskTest, AReplaySavedOnAFullDiskKeepsTheOldReplayAndSaysSo) {
    MakeGame(7);
    ASSERT_TRUE(WriteReplay(1, "old", "p", "c", "d"));
    const std::string before = ReadWhole("Replay/qz507_01.rpy");
    disk_.Fill();
    MakeGame(8);
    record.replayFrame = kReplayMaxWords;  // a long game: far more than the space left
    EXPECT_FALSE(WriteReplay(1, "new", "p", "c", "d"));
    EXPECT_EQ(ReadWhole("Replay/qz507_01.rpy"), before);
    EXPECT_FALSE(fs::exists("Replay/qz507_01.rpy.tmp"));
    const std::vector<std::string> log = LogLines(log_);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("Replay not saved"), std::string::npos) << log[0];
}

TEST_F(FullDiskTest, AScoreThatDoesNotFitIsTakenBackWhole) {
    // Three bytes left in the file's last page: " 123456" would be cut to " 12".
    std::string records;
    for (int i = 0; i < 2046; ++i) records += " 1";
    records += "1";  // 4093 bytes, 2046 records
    ASSERT_EQ(records.size(), 4093u);
    { std::ofstream("Replay/score.rpy", std::ios::binary) << records; }
    disk_.Fill();
    const ScoreRank rank = AppendScore(123456);
    EXPECT_EQ(rank.rank, 0);
    EXPECT_EQ(rank.total, 0);
    EXPECT_EQ(ReadWhole("Replay/score.rpy"), records);
    const std::vector<std::string> log = LogLines(log_);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("the score is not recorded"), std::string::npos) << log[0];
    disk_.FreeUp();
    EXPECT_EQ(AppendScore(123456).total, 2047.0f);
}

TEST_F(FullDiskTest, AReadOnlyReplayFolderStillPlaysAndSaysOnceWhatCannotBeSaved) {
    MakeGame(9);
    ASSERT_TRUE(WriteReplay(2, "kept", "p", "c", "d"));
    { std::ofstream("Replay/score.rpy") << " 500 300"; }
    ASSERT_TRUE(disk_.MakeReadOnly());
    MakeGame(10);
    EXPECT_FALSE(WriteReplay(2, "new", "p", "c", "d"));
    const ScoreRank rank = AppendScore(400);
    EXPECT_EQ(rank.total, 0);
    // What is there still reads.
    EXPECT_EQ(WholeGameInSlot("Replay/qz507_02.rpy"), 9);
    ASSERT_TRUE(LoadScoreList());
    EXPECT_EQ(scoreList.count, 2);
    const std::vector<std::string> log = LogLines(log_);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].find("Replay not saved"), std::string::npos) << log[0];
    EXPECT_NE(log[1].find("the score is not recorded"), std::string::npos) << log[1];
}

#ifdef MIRRORFALL_SIM
// mirrorfall-sim's private folder in $TMPDIR goes away whatever ends the tool.
TEST(FaultToleranceTest, TheSimsWorkingFolderGoesWhateverEndsIt) {
    WorkInTempDir tmp("sim_signals");
    const std::string base = tmp.Path().string();
    auto folders = [&] {
        int count = 0;
        for (const auto& e : fs::directory_iterator(base)) {
            if (e.path().filename().string().rfind("mirrorfall-sim-", 0) == 0) ++count;
        }
        return count;
    };
    auto runSim = [&](const std::vector<std::string>& args) {
        const pid_t child = fork();
        if (child == 0) {
            setenv("TMPDIR", base.c_str(), 1);
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, 1);
            dup2(devNull, 2);
            std::vector<char*> argv = {const_cast<char*>(MIRRORFALL_SIM)};
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(MIRRORFALL_SIM, argv.data());
            _exit(127);
        }
        return child;
    };
    const std::string replay = base + "/long.rpy";
    const pid_t recorder = runSim({"record", "--seed", "3", "--pattern", "walk", replay});
    int status = 0;
    ASSERT_EQ(waitpid(recorder, &status, 0), recorder);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(folders(), 0);
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGKILL}) {
        const pid_t sim = runSim({"trace", "--immortal", replay});
        for (int i = 0; i < 200 && folders() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_EQ(folders(), 1) << "signal " << signal;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ::kill(sim, signal);
        waitpid(sim, nullptr, 0);
        for (int i = 0; i < 200 && folders() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(folders(), 0) << "after signal " << signal;
    }
}
#endif

}  // namespace
