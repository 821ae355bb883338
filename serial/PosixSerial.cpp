#include "serial/PosixSerial.h"

#include "serial/PosixLine.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <utility>

namespace k54 {

namespace {

// A write may take 10 ms per byte + 10 ms, but never less than a second, so a busy
// pseudo-terminal does not lose a frame.
std::chrono::milliseconds writeLimit(std::size_t count) {
    const auto byCount = std::chrono::milliseconds(10) * static_cast<int64_t>(count) + std::chrono::milliseconds(10);
    return std::max(byCount, std::chrono::milliseconds(1000));
}

}  // namespace

PosixSerialBackend::PosixSerialBackend(LinuxPorts ports) : ports_(std::move(ports)) {}

PosixSerialBackend::~PosixSerialBackend() {
    closeDevice();
}

bool PosixSerialBackend::openDevice(uint8_t port, uint32_t baud) {
    closeDevice();
    const std::filesystem::path path = ports_.devicePath(port);
    if (path.empty()) {
        return false;
    }
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid() || !isSerialDevice(fd.get()) || !takeExclusively(fd.get())) {
        return false;
    }
    if (!applyLineSettings(fd.get(), baud)) {
        static_cast<void>(::ioctl(fd.get(), TIOCNXCL));
        return false;
    }
    kernelDrivesRts_ = enableKernelRs485(fd.get());
    fd_ = std::move(fd);
    return true;
}

void PosixSerialBackend::purgeInput() {
    if (fd_.valid()) {
        static_cast<void>(::tcflush(fd_.get(), TCIFLUSH));
    }
}

void PosixSerialBackend::purgeOutput() {
    if (fd_.valid()) {
        static_cast<void>(::tcflush(fd_.get(), TCOFLUSH));
    }
}

// Modem lines: a pseudo-terminal has none, so errors are ignored.
void PosixSerialBackend::setModemLine(int line, bool on) const {
    if (fd_.valid()) {
        static_cast<void>(::ioctl(fd_.get(), on ? TIOCMBIS : TIOCMBIC, &line));
    }
}

void PosixSerialBackend::clearDtr() {
    setModemLine(TIOCM_DTR, false);
}

void PosixSerialBackend::setRts() {
    setModemLine(TIOCM_RTS, true);
}

int32_t PosixSerialBackend::write(std::span<const uint8_t> bytes) {
    if (!fd_.valid()) {
        return 0;
    }
    if (!kernelDrivesRts_) {
        setModemLine(TIOCM_RTS, true);
    }
    const int32_t written = writeWithin(fd_.get(), bytes, writeLimit(bytes.size()));
    if (!kernelDrivesRts_) {
        static_cast<void>(::tcdrain(fd_.get()));
        setModemLine(TIOCM_RTS, false);
    }
    return written;
}

int32_t PosixSerialBackend::read(std::span<uint8_t> into) {
    if (!fd_.valid()) {
        return 0;
    }
    return readWithTimeouts(fd_.get(), into, readTimeouts_);
}

void PosixSerialBackend::closeDevice() {
    if (fd_.valid()) {
        static_cast<void>(::ioctl(fd_.get(), TIOCNXCL));
    }
    fd_.reset();
    kernelDrivesRts_ = false;
}

bool PosixSerialBackend::isOpen() const {
    return fd_.valid();
}

std::vector<std::string> PosixSerialBackend::deviceNames() const {
    return ports_.deviceNames();
}

std::string PosixSerialBackend::describe(uint8_t port) const {
    return ports_.describe(port);
}

}  // namespace k54
