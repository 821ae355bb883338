#pragma once

// The simulated instrument a test talks to, on either platform. On Linux every link starts a k54sim of
// its own; on Windows the link reaches the one k54sim that the Linux-side driver started for the run
// and mapped to a Wine COM port. Faults are set through k54sim's control commands on both, so the
// tests that use a link are the same source on both platforms.

#include "serial/ReadTimeouts.h"
#include "serial/SerialBackend.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace k54::test {

using TraceLines = std::vector<std::string>;

class TestInstrument {
public:
    virtual ~TestInstrument() = default;

    // The port number the instrument answers on.
    virtual uint8_t portNumber() const = 0;
    // A serial back end of this platform that reaches that port, reading under the given limits.
    virtual std::unique_ptr<SerialBackend> makeBackend(const ReadTimeouts& timeouts) const = 0;
    // One k54sim control command ("fault badcrc", "clear"); it applies from the next request on.
    virtual void control(const std::string& command) = 0;
    // The trace lines k54sim wrote since this link was made.
    virtual TraceLines traceLines() const = 0;

    // Whether the trace holds `line` before the deadline passes.
    bool traced(const std::string& line, std::chrono::milliseconds deadline = std::chrono::seconds(2)) const;
};

// The instrument of this platform, with no fault set, at `baud`, the speed the test opens its port at:
// k54sim answers only while the port runs at the instrument's speed. On Linux the instrument is started
// at that speed; on Windows the run's instrument is set to it.
std::unique_ptr<TestInstrument> connectInstrument(uint32_t baud);

// A trace line as k54sim writes it: the kind ("req", "rep") and the bytes in upper-case hex.
std::string traceLine(std::string_view kind, std::span<const uint8_t> bytes);

}  // namespace k54::test
