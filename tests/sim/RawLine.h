#pragma once
// The configurator's end of k54sim's line opened raw, at a speed, for tests that need the exact bytes
// that come back (an echo before the reply) or must send bytes no master would.
#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace k54::test {

class RawLine {
public:
    // Opens the device raw at `baud` (a termios speed such as 9600); throws std::runtime_error when it cannot.
    RawLine(const std::string& device, int baud);
    ~RawLine();
    RawLine(const RawLine&) = delete;
    RawLine& operator=(const RawLine&) = delete;

    void send(std::span<const uint8_t> bytes);
    // Reads until `count` bytes have come or the deadline passes; what came.
    std::vector<uint8_t> receive(std::size_t count, std::chrono::milliseconds deadline = std::chrono::seconds(2));

private:
    int fd_;
};

}  // namespace k54::test
