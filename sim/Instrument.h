#pragma once
// One simulated instrument on the line: its address and speed, its holding registers with its firmware
// version and live measurement, and the libmodbus slave that executes its requests.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "sim/FirmwareVersion.h"
#include "sim/LineTiming.h"
#include "sim/ModbusSlave.h"
#include "sim/RegisterBank.h"

namespace k54::sim {

struct InstrumentSetup {
    int address = 1;  // 1 - 247
    int baud = 19200;
    FirmwareVersion firmware{};
};

class Instrument {
public:
    // Throws std::runtime_error when libmodbus cannot be set up for it.
    explicit Instrument(const InstrumentSetup& setup);

    int address() const { return address_; }
    int baud() const { return baud_; }
    void setBaud(int baud) { baud_ = baud; }
    RegisterBank& registers() { return registers_; }

    // Why the instrument cannot hear a request while the line runs at `lineBaud` (nothing: none of the
    // usual speeds), or nothing when it hears it.
    std::optional<std::string> deafness(std::optional<int> lineBaud) const;

    // Lets libmodbus receive the request; a request for another address or with a bad CRC is refused.
    std::variant<AcceptedRequest, NoReply> receive(std::span<const uint8_t> request);

    // Executes an accepted request on the registers, the live measurement brought up to date first; the
    // reply libmodbus made.
    std::variant<std::vector<uint8_t>, NoReply> execute(const AcceptedRequest& request);

private:
    int address_;
    int baud_;
    RegisterBank registers_;
    ModbusSlave slave_;
    Clock::time_point start_ = Clock::now();
};

// The instrument at `address`, or nullptr when none of them has it.
Instrument* findInstrument(std::vector<Instrument>& instruments, int address);

}  // namespace k54::sim
