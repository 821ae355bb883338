#include "tests/support/PtyPair.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <stdexcept>
#include <thread>

namespace k54::test {

namespace {

using Clock = std::chrono::steady_clock;

std::size_t queued(int fd) {
    int count = 0;
    if (::ioctl(fd, FIONREAD, &count) != 0 || count < 0) {
        return 0;
    }
    return static_cast<std::size_t>(count);
}

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

PtyPair::PtyPair() : master_(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    if (!master_.valid() || ::grantpt(master_.get()) != 0 || ::unlockpt(master_.get()) != 0) {
        throw std::runtime_error("cannot make a pseudo-terminal");
    }
    unsigned number = 0;
    if (::ioctl(master_.get(), TIOCGPTN, &number) != 0) {
        throw std::runtime_error("cannot number the pseudo-terminal");
    }
    slavePath_ = "/dev/pts/" + std::to_string(number);
    keeper_.reset(::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!keeper_.valid()) {
        throw std::runtime_error("cannot open the pseudo-terminal's slave side");
    }
}

void PtyPair::linkAs(const std::filesystem::path& portsDir, uint8_t port) const {
    std::filesystem::create_directories(portsDir);
    std::filesystem::create_symlink(slavePath_, portsDir / ("com" + std::to_string(port)));
}

std::vector<uint8_t> PtyPair::readFromMaster(std::size_t count, std::chrono::milliseconds within) const {
    const auto deadline = Clock::now() + within;
    std::vector<uint8_t> got;
    std::array<uint8_t, 64> chunk{};
    while (got.size() < count) {
        pollfd entry{master_.get(), POLLIN, 0};
        const int ready = ::poll(&entry, 1, remainingMs(deadline));
        if (ready <= 0 || (entry.revents & POLLIN) == 0) {
            break;
        }
        const std::size_t want = std::min(chunk.size(), count - got.size());
        const ssize_t n = ::read(master_.get(), chunk.data(), want);
        if (n <= 0) {
            break;
        }
        got.insert(got.end(), chunk.begin(), chunk.begin() + n);
    }
    return got;
}

void PtyPair::writeToMaster(std::span<const uint8_t> bytes) const {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(master_.get(), bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            throw std::runtime_error("cannot write to the pseudo-terminal");
        }
        written += static_cast<std::size_t>(n);
    }
}

std::size_t PtyPair::pendingAtMaster() const {
    return queued(master_.get());
}

bool PtyPair::waitForSlaveInput(std::size_t count, std::chrono::milliseconds within) const {
    const auto deadline = Clock::now() + within;
    while (queued(keeper_.get()) < count) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace k54::test
