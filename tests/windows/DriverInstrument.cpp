#include "tests/windows/DriverInstrument.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <fstream>
#include <span>
#include <stdexcept>

#include "serial/K54com.h"
#include "serial/PlatformSerial.h"
#include "serial/win32/UniqueHandle.h"

namespace k54::test {

namespace {

constexpr auto kSettleDeadline = std::chrono::seconds(30);
// Function 3 for the firmware version (registers 41 - 42) to slave 1; its reply is 9 bytes long.
constexpr std::array<uint8_t, 8> kReadVersion{0x01, 0x03, 0x00, 0x29, 0x00, 0x02, 0x15, 0xC3};
constexpr std::size_t kVersionReplyLength = 9;
// More than any earlier test's leftovers and the reply together, so the read ends by the 100 ms gap.
constexpr std::size_t kQuietReadLength = 64;

// Sends the version request and reads until the line has been quiet for 100 ms; true when what came
// ends with a whole, good reply to it.
bool exchangeEndsQuietWithAGoodReply(SerialBackend& backend) {
    backend.purgeInput();
    if (backend.write(kReadVersion) != static_cast<int32_t>(kReadVersion.size())) {
        return false;
    }
    std::array<uint8_t, kQuietReadLength> input{};
    const int32_t got = backend.read(input);
    if (got < static_cast<int32_t>(kVersionReplyLength) || got >= static_cast<int32_t>(input.size())) {
        return false;
    }
    const auto reply = std::span(input).first(static_cast<std::size_t>(got)).last(kVersionReplyLength);
    const auto addressAndFunction = std::span(kReadVersion).first(2);
    return std::ranges::equal(reply.first(2), addressAndFunction) && cPort::crc16(reply) == 0;
}

}  // namespace

void writeControlLine(const std::string& fifoPath, const std::string& command) {
    const UniqueHandle fifo(::CreateFileA(fifoPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!fifo.valid()) {
        throw std::runtime_error("cannot open k54sim's control FIFO " + fifoPath);
    }
    const std::string line = command + "\n";
    DWORD written = 0;
    if (!::WriteFile(fifo.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size()) {
        throw std::runtime_error("control command not written: " + command);
    }
}

void waitForAQuietLine(uint8_t port, uint32_t baud) {
    // The described limits: the line counts as quiet only after 100 ms without a byte.
    const std::unique_ptr<SerialBackend> backend = makePlatformSerialBackend(ReadTimeouts{});
    if (!backend->openDevice(port, baud)) {
        throw std::runtime_error("the run's instrument port COM" + std::to_string(port) + " cannot be opened");
    }
    const auto end = std::chrono::steady_clock::now() + kSettleDeadline;
    while (!exchangeEndsQuietWithAGoodReply(*backend)) {
        if (std::chrono::steady_clock::now() >= end) {
            throw std::runtime_error("the run's instrument does not answer a plain request");
        }
    }
}

std::vector<std::string> allTraceLines(const std::string& tracePath) {
    std::vector<std::string> lines;
    std::ifstream trace(tracePath);
    for (std::string line; std::getline(trace, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace k54::test
