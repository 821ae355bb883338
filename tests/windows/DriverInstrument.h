#pragma once

// The run's one k54sim, which the Linux-side driver (scripts/test-windows) started and mapped to Wine COM
// ports: what every Windows test that reaches it does the same way.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/windows/DriverEnvironment.h"

namespace k54::test {

// Writes one control command to k54sim's control FIFO; throws std::runtime_error when it cannot.
void writeControlLine(const std::string& fifoPath, const std::string& command);

// Waits (30 s at most) until a plain request on `port` at `baud` gets a whole good reply followed by
// 100 ms of quiet, so that no late byte of an earlier test's exchange is still on its way; throws
// std::runtime_error when the port does not open or the instrument does not answer in time.
void waitForAQuietLine(uint8_t port, uint32_t baud);

// Every line of the trace file as it stands.
std::vector<std::string> allTraceLines(const std::string& tracePath);

}  // namespace k54::test
