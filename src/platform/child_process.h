// child_process.h -- another program run beside the game, whose output the game reads as it
// comes: the replay list runs the game's own video export this way, so the export can never
// disturb the game that shows its progress.
#pragma once

#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    // A child still running is interrupted (as by Ctrl+C) and waited for.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `program` with `args` in the current folder, its standard output and error both
    // read through TakeLines. False (with *error set) when it cannot be started.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               std::string* error);
    // The whole lines it printed since the last call, without their line ends.
    std::vector<std::string> TakeLines();
    // Whether it still runs; once it has ended, ExitStatus says how (128 + N for signal N).
    bool Running();
    int ExitStatus() const { return status_; }
    // Asks it to stop, as Ctrl+C in a terminal does.
    void Interrupt();

private:
    int pid_ = -1;
    int output_ = -1;  // the read end of its output
    int status_ = -1;
    std::string partial_;  // a line not finished yet
};

// This program's own executable, to run another copy of it; empty when it cannot be told.
std::string OwnExecutable();
