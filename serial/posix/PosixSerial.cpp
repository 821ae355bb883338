#include "serial/posix/PosixSerial.h"

#include "serial/FrameReader.h"
#include "serial/posix/PosixIo.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace k54 {

namespace {

// A write may take 10 ms per byte + 10 ms, but never less than a second, so a busy
// pseudo-terminal does not lose a frame.
std::chrono::milliseconds writeLimit(std::size_t count) {
    const auto byCount = std::chrono::milliseconds(10) * static_cast<int64_t>(count) + std::chrono::milliseconds(10);
    return std::max(byCount, std::chrono::milliseconds(1000));
}

// The reason an open(2) of the device failed, from its error number.
OpenFailureReason reasonOfOpenError(int error) {
    switch (error) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
        case ENOTDIR:
        case ELOOP:
            return OpenFailureReason::noSuchDevice;
        case EACCES:
        case EPERM:
        case EROFS:
            return OpenFailureReason::noPermission;
        case EBUSY:
            return OpenFailureReason::busy;
        case EISDIR:
            return OpenFailureReason::notSerial;
        default:
            return OpenFailureReason::other;
    }
}

}  // namespace

PosixSerialBackend::PosixSerialBackend(LinuxPorts ports, PosixSerialSettings settings)
    : ports_(std::move(ports)), settings_(std::move(settings)) {}

PosixSerialBackend::~PosixSerialBackend() {
    closeDevice();
}

bool PosixSerialBackend::openDevice(uint8_t port, uint32_t baud) {
    closeDevice();
    failure_ = {};
    const std::filesystem::path path = devicePath(port);
    if (path.empty()) {
        return fail(OpenFailureReason::noSuchPort, path);
    }
    if (lock_.acquire(settings_.lockFolder, path) == DeviceLock::Outcome::heldByAnother) {
        fail(OpenFailureReason::heldByProcess, path);
        if (const std::optional<pid_t> holder = lock_.holder()) {
            failure_.holder = *holder;
            failure_.holderName = processName(*holder);
        }
        return false;
    }
    if (!openLocked(path, baud)) {
        lock_.release();
        return false;
    }
    return true;
}

std::filesystem::path PosixSerialBackend::devicePath(uint8_t port) const {
    return settings_.fixedDevice.empty() ? ports_.devicePath(port) : settings_.fixedDevice;
}

bool PosixSerialBackend::fail(OpenFailureReason reason, const std::filesystem::path& path, int systemError) {
    failure_ = OpenFailure{};
    failure_.reason = reason;
    failure_.device = path.string();
    failure_.systemError = systemError;
    return false;
}

bool PosixSerialBackend::openLocked(const std::filesystem::path& path, uint32_t baud) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        const int error = errno;
        return fail(reasonOfOpenError(error), path, error);
    }
    if (!isSerialDevice(fd.get())) {
        return fail(OpenFailureReason::notSerial, path);
    }
    if (!takeExclusively(fd.get())) {
        return fail(OpenFailureReason::busy, path, errno);
    }
    SavedLine saved = saveLine(fd.get());
    if (!applyLineSettings(fd.get(), baud)) {
        const int error = errno;
        static_cast<void>(::ioctl(fd.get(), TIOCNXCL));
        return fail(OpenFailureReason::settingsRefused, path, error);
    }
    kernelDrivesRts_ = enableKernelRs485(fd.get());
    savedLine_ = std::move(saved);
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
    return static_cast<int32_t>(readWhole(*this, into, settings_.timeouts.forCount(into.size())).count);
}

int32_t PosixSerialBackend::readAvailable(std::span<uint8_t> into, std::chrono::milliseconds wait) {
    if (!fd_.valid()) {
        return -1;
    }
    return k54::readAvailable(fd_.get(), into, wait);
}

void PosixSerialBackend::closeDevice() {
    if (fd_.valid()) {
        restoreLine(fd_.get(), savedLine_);
        static_cast<void>(::ioctl(fd_.get(), TIOCNXCL));
    }
    fd_.reset();
    savedLine_ = {};
    kernelDrivesRts_ = false;
    lock_.release();
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
