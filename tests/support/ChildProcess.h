#pragma once
// A program started without a shell (posix_spawn), its standard output read through a pipe with
// deadlines, its standard error written to a file.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace k54::test {

class ChildProcess {
public:
    // Starts `program` with `args` (without the program name); throws std::runtime_error when it cannot.
    ChildProcess(const std::string& program, const std::vector<std::string>& args, const std::string& stderrPath);
    // Kills the program if it still runs, and reaps it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of standard output (without its newline); nothing when none is complete before the
    // timeout or the output ended.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);

    // The rest of standard output up to its end, or up to the timeout.
    std::string readRest(std::chrono::milliseconds timeout);

    void sendSignal(int signalNumber);

    // The exit status once the program has ended (128 + signal number when a signal ended it); nothing
    // when it still runs after the timeout.
    std::optional<int> waitExit(std::chrono::milliseconds timeout);

    bool running() const { return !exitStatus_.has_value(); }

private:
    // Reads what arrives before the deadline; false when nothing came or the output has ended.
    bool fillBuffer(std::chrono::steady_clock::time_point deadline);
    void waitForEnd(std::chrono::steady_clock::time_point deadline) const;

    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    int pidFd_ = -1;
    std::string buffered_;
    bool outputEnded_ = false;
    std::optional<int> exitStatus_;
};

struct ProgramResult {
    int exitStatus = -1;  // -1: still running at the deadline (then killed)
    std::string out;
    std::string err;
};

// Runs the program to its end (at most `timeout`) and collects both outputs.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         std::chrono::milliseconds timeout);

}  // namespace k54::test
