#include "sim/FdIo.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace k54::sim {

namespace {
constexpr std::size_t kReadChunk = 512;

bool waitFor(int fd, short events, Clock::time_point deadline) {
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, millisecondsUntil(deadline));
    return ready > 0 && (entry.revents & events) != 0;
}
}  // namespace

int millisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(left.count(), 0, 60000));
}

bool writeAll(int fd, std::span<const uint8_t> bytes, Clock::time_point deadline) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const auto rest = bytes.subspan(written);
        const ssize_t count = ::write(fd, rest.data(), rest.size());
        if (count > 0) {
            written += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && errno != EAGAIN) return false;
        if (Clock::now() >= deadline || !waitFor(fd, POLLOUT, deadline)) return false;
    }
    return true;
}

bool readAvailable(int fd, std::vector<uint8_t>& into) {
    for (;;) {
        const std::size_t before = into.size();
        into.resize(before + kReadChunk);
        const ssize_t count = ::read(fd, into.data() + before, kReadChunk);
        into.resize(before + static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
        if (count > 0) continue;
        if (count < 0 && errno == EINTR) continue;
        return count < 0 && errno == EAGAIN;
    }
}

std::vector<uint8_t> readCount(int fd, std::size_t count, Clock::time_point deadline) {
    std::vector<uint8_t> bytes(count);
    std::size_t received = 0;
    while (received < count) {
        const auto rest = std::span<uint8_t>(bytes).subspan(received);
        const ssize_t got = ::read(fd, rest.data(), rest.size());
        if (got > 0) {
            received += static_cast<std::size_t>(got);
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got == 0 || errno != EAGAIN) break;
        if (Clock::now() >= deadline || !waitFor(fd, POLLIN, deadline)) break;
    }
    bytes.resize(received);
    return bytes;
}

}  // namespace k54::sim
