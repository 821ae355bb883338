#pragma once

// A scripted instrument on the master side of a PtyPair: it reads one request of a known length,
// then writes its reply in steps, each after an optional pause (a deliberate gap on the line).

#include "tests/support/PtyPair.h"

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace k54::test {

struct ReplyStep {
    std::vector<uint8_t> bytes;
    std::chrono::milliseconds pauseBefore{0};
};

class FakeSlave {
public:
    FakeSlave(const PtyPair& pty, std::size_t requestLength, std::vector<ReplyStep> reply);
    FakeSlave(const FakeSlave&) = delete;
    FakeSlave& operator=(const FakeSlave&) = delete;
    ~FakeSlave();

    // Waits for the script to end and gives the request it read.
    std::vector<uint8_t> request();

private:
    void run(std::size_t requestLength, std::vector<ReplyStep> reply);

    const PtyPair& pty_;
    std::vector<uint8_t> request_;
    std::thread thread_;
};

// The bytes followed by their CRC-16/MODBUS, low byte first.
std::vector<uint8_t> withCrc(std::vector<uint8_t> bytes);

}  // namespace k54::test
