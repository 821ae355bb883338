#include "serial/posix/PosixIo.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace k54 {

namespace {

using Clock = std::chrono::steady_clock;

// What one poll() wait found.
enum class Readiness { ready, timedOut, retry, closed };

// poll() timeout for the time left until `deadline`, rounded up so the wait never ends early.
int pollMilliseconds(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// With the deadline passed the descriptor is still asked, without waiting: what is there already came
// in time, however long this program was kept from looking.
Readiness waitFor(int fd, short events, Clock::time_point deadline) {
    const int timeout = pollMilliseconds(deadline);
    pollfd entry{fd, events, 0};
    const int result = ::poll(&entry, 1, timeout);
    if (result < 0) {
        return errno == EINTR ? Readiness::retry : Readiness::closed;
    }
    if (result == 0) {
        // Before the deadline, the deadline is checked again on the next round.
        return timeout == 0 ? Readiness::timedOut : Readiness::retry;
    }
    if ((entry.revents & events) != 0) {
        return Readiness::ready;
    }
    return Readiness::closed;  // POLLHUP, POLLERR or POLLNVAL without data
}

bool transientError(int error) {
    return error == EINTR || error == EAGAIN || error == EWOULDBLOCK;
}

}  // namespace

int32_t readAvailable(int fd, std::span<uint8_t> into, std::chrono::milliseconds wait) {
    if (into.empty()) {
        return 0;
    }
    const auto deadline = Clock::now() + wait;
    Readiness readiness = waitFor(fd, POLLIN, deadline);
    while (readiness == Readiness::retry) {
        readiness = waitFor(fd, POLLIN, deadline);
    }
    if (readiness == Readiness::timedOut) {
        return 0;
    }
    if (readiness == Readiness::closed) {
        return -1;
    }
    const ssize_t n = ::read(fd, into.data(), into.size());
    if (n > 0) {
        return static_cast<int32_t>(n);
    }
    // End of file, or a hang-up (EIO on a pseudo-terminal): nothing more will come.
    return n < 0 && transientError(errno) ? 0 : -1;
}

int32_t writeWithin(int fd, std::span<const uint8_t> bytes, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const std::span<const uint8_t> rest = bytes.subspan(written);
        const ssize_t n = ::write(fd, rest.data(), rest.size());
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && !transientError(errno)) {
            break;
        }
        Readiness readiness = waitFor(fd, POLLOUT, deadline);
        while (readiness == Readiness::retry) {
            readiness = waitFor(fd, POLLOUT, deadline);
        }
        if (readiness != Readiness::ready) {
            break;
        }
    }
    return static_cast<int32_t>(written);
}

}  // namespace k54
