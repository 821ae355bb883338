#pragma once
// A libmodbus RTU master (8E1) on the simulated instrument's line, for the k54sim tests: each request
// gives libmodbus' return code, its errno and the registers read.
#include <modbus.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace k54::test {

struct Outcome {
    int rc = -1;
    int error = 0;
    std::vector<uint16_t> values;
};

class SimMaster {
public:
    // How long a master waits for a reply: as long as a busy test run may delay one when a reply is
    // expected; less where the case expects none, so that its silence costs little.
    static constexpr std::chrono::milliseconds kAnswerWait{2000};
    static constexpr std::chrono::milliseconds kSilenceWait{400};

    // Opens the device at `baud`; throws std::runtime_error when libmodbus cannot.
    explicit SimMaster(const std::string& device, int slave = 1, int baud = 19200,
                       std::chrono::milliseconds responseTimeout = kAnswerWait);
    ~SimMaster();
    SimMaster(const SimMaster&) = delete;
    SimMaster& operator=(const SimMaster&) = delete;

    Outcome read(int address, int count);
    Outcome writeOne(int address, uint16_t value);
    Outcome writeMany(int address, const std::vector<uint16_t>& values);

private:
    modbus_t* context_;
};

// The measurement in a read of registers 60 - 61.
int32_t measurementOf(const Outcome& read);

}  // namespace k54::test
