#pragma once

// The Linux serial back end: termios 8E1 raw at the given speed, no flow control, opened
// exclusively (the serial lock file, TIOCEXCL and a non-blocking flock); RS-485 direction by the
// kernel where the driver offers it, otherwise RTS raised around each write; reads and writes timed
// with poll(). The device's own line settings and RS-485 mode are put back when it is closed.

#include "serial/ReadTimeouts.h"
#include "serial/SerialBackend.h"
#include "serial/posix/DeviceLock.h"
#include "serial/posix/LinuxPorts.h"
#include "serial/posix/PosixLine.h"
#include "serial/posix/UniqueFd.h"

#include <filesystem>

namespace k54 {

struct PosixSerialSettings {
    std::filesystem::path lockFolder = defaultLockFolder();
    ReadTimeouts timeouts{};
    // When set, the device every port number opens (a device named by its path rather than by a number).
    std::filesystem::path fixedDevice{};
};

class PosixSerialBackend final : public SerialBackend {
public:
    explicit PosixSerialBackend(LinuxPorts ports, PosixSerialSettings settings = {});
    ~PosixSerialBackend() override;
    PosixSerialBackend(const PosixSerialBackend&) = delete;
    PosixSerialBackend& operator=(const PosixSerialBackend&) = delete;

    // Fails, holding nothing, when a live process holds the device's lock file.
    bool openDevice(uint8_t port, uint32_t baud) override;
    void purgeInput() override;
    void purgeOutput() override;
    void clearDtr() override;
    void setRts() override;
    int32_t write(std::span<const uint8_t> bytes) override;
    int32_t read(std::span<uint8_t> into) override;
    int32_t readAvailable(std::span<uint8_t> into, std::chrono::milliseconds wait) override;
    void setReadTimeouts(const ReadTimeouts& timeouts) override { settings_.timeouts = timeouts; }
    ReadTimeouts readTimeouts() const override { return settings_.timeouts; }
    // Puts back the device's own settings, lets it go and removes our lock file.
    void closeDevice() override;
    bool isOpen() const override;
    std::vector<std::string> deviceNames() const override;
    std::string describe(uint8_t port) const override;
    OpenFailure openFailure() const override { return failure_; }

private:
    std::filesystem::path devicePath(uint8_t port) const;
    bool openLocked(const std::filesystem::path& path, uint32_t baud);
    bool fail(OpenFailureReason reason, const std::filesystem::path& path, int systemError = 0);
    void setModemLine(int line, bool on) const;

    LinuxPorts ports_;
    PosixSerialSettings settings_;
    DeviceLock lock_;
    UniqueFd fd_;
    SavedLine savedLine_;
    bool kernelDrivesRts_ = false;
    OpenFailure failure_;
};

}  // namespace k54
