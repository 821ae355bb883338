// On Windows: every link reaches the one k54sim that the Linux-side driver started for the run, through
// the Wine COM port mapped to it. A new link clears the faults an earlier test set, sets the instrument to
// the speed the test opens its port at (it answers only at its own speed) and waits until the line is
// quiet: a plain request whose answer, read until 100 ms pass without a byte, ends with a whole good
// reply. Then no late byte of an earlier test's reply is still on its way. The link's trace starts after
// that request.

#include "tests/instrument/TestInstrument.h"

#include "serial/PlatformSerial.h"
#include "tests/windows/DriverInstrument.h"

#include <algorithm>
#include <string>

namespace k54::test {

namespace {

class DriverTestInstrument final : public TestInstrument {
public:
    explicit DriverTestInstrument(uint32_t baud) : environment_(driverEnvironment()), baud_(baud) {
        control("clear");
        control("baud " + std::to_string(baud_));
        waitForAQuietLine(environment_.port, baud_);
        traceStart_ = allTraceLines(environment_.tracePath).size();
    }

    uint8_t portNumber() const override { return environment_.port; }
    std::unique_ptr<SerialBackend> makeBackend(const ReadTimeouts& timeouts) const override {
        return makePlatformSerialBackend(timeouts);
    }
    void control(const std::string& command) override { writeControlLine(environment_.controlPath, command); }

    TraceLines traceLines() const override {
        TraceLines lines = allTraceLines(environment_.tracePath);
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(traceStart_, lines.size())));
        return lines;
    }

private:
    DriverEnvironment environment_;
    uint32_t baud_;
    std::size_t traceStart_ = 0;
};

}  // namespace

std::unique_ptr<TestInstrument> connectInstrument(uint32_t baud) {
    return std::make_unique<DriverTestInstrument>(baud);
}

}  // namespace k54::test
