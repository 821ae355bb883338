#pragma once

// What the Linux-side driver (scripts/test-windows) tells the Windows test programs about the k54sim it
// started for the run, through environment variables:
//   K54_INSTRUMENT_PORT        the Wine COM port number mapped to the instrument (10 or above)
//   K54_INSTRUMENT_SHORT_PORT  a second number below 10 mapped to the same instrument
//   K54_INSTRUMENT_TRACE       k54sim's trace file, as a Windows path
//   K54_INSTRUMENT_CONTROL     k54sim's control FIFO, as a Windows path

#include <cstdint>
#include <string>

namespace k54::test {

struct DriverEnvironment {
    uint8_t port = 0;
    uint8_t shortPort = 0;
    std::string tracePath;
    std::string controlPath;
};

// Reads the four variables; throws std::runtime_error naming the first one missing or malformed.
DriverEnvironment driverEnvironment();

}  // namespace k54::test
