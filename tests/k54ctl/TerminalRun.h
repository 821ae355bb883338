#pragma once
// A program run on a pseudo-terminal of its own, as on a user's terminal: its standard input, output and
// error are the terminal; a test types lines into it and reads what it shows.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace k54::ctl::test {

class TerminalRun {
public:
    // Starts `program` with `args`; throws std::runtime_error when it cannot.
    TerminalRun(const std::string& program, const std::vector<std::string>& args);
    // Kills the program if it still runs, and reaps it.
    ~TerminalRun();
    TerminalRun(const TerminalRun&) = delete;
    TerminalRun& operator=(const TerminalRun&) = delete;

    // Reads what the terminal shows until it holds `text` or `timeout` passes; whether it does.
    bool waitFor(const std::string& text, std::chrono::milliseconds timeout);
    // Types a line (and Enter).
    void type(const std::string& line);
    void sendSignal(int signalNumber);
    // Reads until the program ends (at most `timeout`); its exit status, or nothing.
    std::optional<int> waitExit(std::chrono::milliseconds timeout);
    // Everything shown so far.
    const std::string& shown() const { return shown_; }

private:
    bool readSome(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int master_ = -1;
    std::string shown_;
    std::optional<int> exitStatus_;
};

}  // namespace k54::ctl::test
