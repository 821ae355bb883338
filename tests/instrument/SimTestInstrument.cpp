// On Linux: every link is a k54sim of its own, on a virtual port in its own ports folder.

#include "tests/instrument/TestInstrument.h"

#include "serial/PlatformSerial.h"
#include "tests/support/SimInstrument.h"

namespace k54::test {

namespace {

class SimTestInstrument final : public TestInstrument {
public:
    explicit SimTestInstrument(uint32_t baud) : sim_({"--baud", std::to_string(baud)}) {}

    uint8_t portNumber() const override { return static_cast<uint8_t>(sim_.portNumber()); }
    std::unique_ptr<SerialBackend> makeBackend(const ReadTimeouts& timeouts) const override {
        return makePlatformSerialBackend(sim_.portsDir(), timeouts);
    }
    void control(const std::string& command) override { sim_.control(command); }
    TraceLines traceLines() const override { return sim_.traceLines(); }

private:
    SimInstrument sim_;
};

}  // namespace

std::unique_ptr<TestInstrument> connectInstrument(uint32_t baud) {
    return std::make_unique<SimTestInstrument>(baud);
}

}  // namespace k54::test
