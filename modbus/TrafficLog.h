#pragma once

// The traffic log: every request and reply of an mBus as hex with a timestamp and the outcome,
// appended to a file, so that a service engineer can send what happened on the line. Lines:
//   2025-03-14 10:32:05.123 +0300 tx 01 03 00 29 00 02 15 C3
//   2025-03-14 10:32:05.141 +0300 rx 01 03 04 01 5A 00 0D 1A 19 -- answered
//   2025-03-14 10:32:11.041 +0300 rx -- no reply (time-out)
//   2025-03-14 10:32:12.001 +0300 rx echo 01 06 00 05 12 34 94 BC + 01 86 02 C3 A1 -- exception 2 (...)
// Times are local, with their offset from UTC. Each line is written through at once, so that the log
// holds everything up to a crash. The service password is never written: its bytes and the CRC of a
// frame that carries it are "**" (SecretBytes.h).

#include "modbus/ExchangeObserver.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace k54 {

class TrafficLog final : public ExchangeObserver {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    // Appends to `file`, making it when missing; `clock` gives each line's time.
    explicit TrafficLog(const std::filesystem::path& file, Clock clock = std::chrono::system_clock::now);

    // False when the file could not be opened for appending (nothing is logged then).
    bool isOpen() const { return out_.is_open(); }
    // Whether a line could not be written (a full disk): the log is then incomplete.
    bool writeFailed() const { return out_.is_open() && out_.fail(); }

    void requestSent(std::span<const uint8_t> request) override;
    void exchangeEnded(std::span<const uint8_t> echo, std::span<const uint8_t> reply,
                       const ExchangeReport& report) override;

private:
    void writeLine(const std::string& text);

    std::ofstream out_;
    Clock clock_;
    std::vector<uint8_t> request_;  // the last request sent: what the reply answers
};

}  // namespace k54
