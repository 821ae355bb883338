#pragma once
// A running k54sim for tests. On Linux: its own ports folder, trace file and control FIFO in a fresh
// temporary folder (removed on destruction), started with posix_spawn and ready when its ready line has
// come. On Windows (under Wine): the run's one k54sim that the Linux-side driver started, returned to its
// start by the control command "reset" and given the arguments that have a control command
// (tests/windows/DriverSimInstrument.cpp); the scratch folder is there for the test's own files.
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/ScratchDir.h"

namespace k54::test {

using TraceLines = std::vector<std::string>;

class SimInstrument {
public:
    static constexpr std::chrono::seconds kStartDeadline{5};

    // Starts k54sim --port `port` with its own --ports-dir, --trace and --control, then `extraArgs`.
    // Throws std::runtime_error (with k54sim's error output) when no ready line comes within 5 s.
    explicit SimInstrument(const std::vector<std::string>& extraArgs = {}, int port = 1);
    // Stops it (SIGTERM) if it still runs.
    ~SimInstrument();
    SimInstrument(const SimInstrument&) = delete;
    SimInstrument& operator=(const SimInstrument&) = delete;

    // The path of the k54sim program this build made.
    static std::string programPath();

    int portNumber() const { return port_; }
    std::filesystem::path portsDir() const;
    std::filesystem::path linkPath() const;                        // <portsDir>/com<N>
    const std::string& devicePath() const { return devicePath_; }  // the pts the link names
    std::filesystem::path tracePath() const;
    std::filesystem::path controlPath() const;
    const std::string& readyLine() const { return readyLine_; }

    // The trace as it stands, one entry per line.
    TraceLines traceLines() const;

    // The requests in the trace from its line `mark` on, without their CRC: "11 03 00 29 00 02".
    std::vector<std::string> requestsFrom(std::size_t mark = 0) const;

    // Reads the trace until `predicate` holds for it or the deadline passes; whether it held.
    bool waitForTrace(const std::function<bool(const TraceLines&)>& predicate,
                      std::chrono::milliseconds deadline = std::chrono::seconds(2)) const;

    // Writes one command line (without its newline) to the control FIFO. k54sim applies it before it
    // serves the next request that arrives after this call.
    void control(const std::string& command);

    // SIGTERM, then waits (5 s) for the end; the exit status, or nothing when it did not end.
    // Calling it again gives the same status. On Windows the run's instrument goes silent instead.
    std::optional<int> stop();

    // What k54sim wrote to its standard error so far.
    std::string errorOutput() const;

private:
    // What the platform keeps of the running instrument (Linux: the k54sim process).
    struct Running;

    ScratchDir dir_;
    int port_;
    std::unique_ptr<Running> running_;
    std::string readyLine_;
    std::string devicePath_;
    // The trace's lines before this instrument's first request (Windows: the run's earlier tests').
    std::size_t traceStart_ = 0;
};

}  // namespace k54::test
