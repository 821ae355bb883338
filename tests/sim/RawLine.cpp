#include "tests/sim/RawLine.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace k54::test {

namespace {

using Clock = std::chrono::steady_clock;

speed_t termiosSpeed(int baud) {
    switch (baud) {
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 115200:
            return B115200;
        default:
            throw std::invalid_argument("RawLine has no termios speed for " + std::to_string(baud));
    }
}

}  // namespace

RawLine::RawLine(const std::string& device, int baud) : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    if (fd_ < 0) throw std::runtime_error("cannot open " + device + ": " + std::strerror(errno));
    termios settings{};
    ::tcgetattr(fd_, &settings);
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, termiosSpeed(baud));
    ::cfsetospeed(&settings, termiosSpeed(baud));
    if (::tcsetattr(fd_, TCSANOW, &settings) != 0) {
        ::close(fd_);
        throw std::runtime_error("cannot set " + device + " raw: " + std::strerror(errno));
    }
}

RawLine::~RawLine() {
    ::close(fd_);
}

void RawLine::send(std::span<const uint8_t> bytes) {
    if (::write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("the request did not go out whole");
    }
}

std::vector<uint8_t> RawLine::receive(std::size_t count, std::chrono::milliseconds deadline) {
    std::vector<uint8_t> bytes(count);
    std::size_t received = 0;
    const auto end = Clock::now() + deadline;
    while (received < count && Clock::now() < end) {
        pollfd entry{fd_, POLLIN, 0};
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
        if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
        const ssize_t got = ::read(fd_, bytes.data() + received, count - received);
        if (got > 0) received += static_cast<std::size_t>(got);
    }
    bytes.resize(received);
    return bytes;
}

}  // namespace k54::test
