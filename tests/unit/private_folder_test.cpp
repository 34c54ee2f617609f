// The private working folder of a tool goes away however the tool ends: normally, by a signal,
// even by SIGKILL, and when even its guard was killed, on the next run.
#include "platform/private_folder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class PrivateFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("TMPDIR");
        oldTmp_ = old != nullptr ? old : "";
        hadTmp_ = old != nullptr;
        setenv("TMPDIR", base_.Path().c_str(), 1);
    }
    void TearDown() override {
        if (hadTmp_) setenv("TMPDIR", oldTmp_.c_str(), 1);
        else unsetenv("TMPDIR");
    }
    int FoldersLeft() {
        int count = 0;
        for (const auto& e : fs::directory_iterator(base_.Path())) {
            if (e.path().filename().string().rfind("tool-", 0) == 0) ++count;
        }
        return count;
    }
    // Waits up to 5 s for the folders to go.
    bool AllGone() {
        for (int i = 0; i < 100 && FoldersLeft() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return FoldersLeft() == 0;
    }
    // A child that makes its folder, writes into it, tells us, and waits to be ended.
    pid_t StartTool() {
        int ready[2];
        EXPECT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(ready[0]);
            PrivateFolder folder;
            std::string error;
            if (!folder.Create("tool", error)) _exit(3);
            fs::create_directories(folder.Path() + "/Replay");
            std::ofstream(folder.Path() + "/Replay/score.rpy") << " 100";
            (void)!write(ready[1], "r", 1);
            for (;;) pause();
        }
        close(ready[1]);
        char byte = 0;
        EXPECT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        return child;
    }

    WorkInTempDir base_{"private_folder"};
    std::string oldTmp_;
    bool hadTmp_ = false;
};

TEST_F(PrivateFolderTest, GoesOnANormalEnd) {
    {
        PrivateFolder folder;
        std::string error;
        ASSERT_TRUE(folder.Create("tool", error)) << error;
        EXPECT_TRUE(fs::is_directory(folder.Path()));
        std::ofstream(folder.Path() + "/snapshot.dat") << "x";
        EXPECT_EQ(FoldersLeft(), 1);
    }
    EXPECT_EQ(FoldersLeft(), 0);
}

TEST_F(PrivateFolderTest, GoesWhateverSignalEndsTheTool) {
    for (int signal : {SIGKILL, SIGTERM, SIGINT, SIGHUP, SIGSEGV}) {
        const pid_t tool = StartTool();
        ASSERT_EQ(FoldersLeft(), 1);
        kill(tool, signal);
        waitpid(tool, nullptr, 0);
        EXPECT_TRUE(AllGone()) << "after signal " << signal;
    }
}

TEST_F(PrivateFolderTest, AFolderWhoseOwnerAndGuardDiedGoesOnTheNextRun) {
    // What a killed process group leaves: an owner's folder with no one left to remove it.
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    const fs::path stale = base_.Path() / ("tool-" + std::to_string(dead) + "-AbC123");
    fs::create_directories(stale / "Replay");
    std::ofstream(stale / "Replay" / "qz507_01.rpy") << "x";
    const fs::path alive = base_.Path() / ("tool-" + std::to_string(getpid()) + "-AbC123");
    const fs::path other = base_.Path() / "tool-notes";
    fs::create_directories(alive);
    fs::create_directories(other);

    PrivateFolder folder;
    std::string error;
    ASSERT_TRUE(folder.Create("tool", error)) << error;
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(alive));  // its owner (this process) still runs
    EXPECT_TRUE(fs::exists(other));  // not a name of the pattern
    folder.Remove();
    fs::remove_all(alive);
    fs::remove_all(other);
}

}  // namespace
