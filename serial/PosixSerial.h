#pragma once

// The Linux serial back end: termios 8E1 raw at the given speed, no flow control, opened
// exclusively (TIOCEXCL and a non-blocking flock); RS-485 direction by the kernel where the driver
// offers it, otherwise RTS raised around each write; reads and writes timed with poll().

#include "serial/LinuxPorts.h"
#include "serial/PosixIo.h"
#include "serial/SerialBackend.h"
#include "serial/UniqueFd.h"

namespace k54 {

class PosixSerialBackend final : public SerialBackend {
public:
    explicit PosixSerialBackend(LinuxPorts ports);
    ~PosixSerialBackend() override;
    PosixSerialBackend(const PosixSerialBackend&) = delete;
    PosixSerialBackend& operator=(const PosixSerialBackend&) = delete;

    bool openDevice(uint8_t port, uint32_t baud) override;
    void purgeInput() override;
    void purgeOutput() override;
    void clearDtr() override;
    void setRts() override;
    int32_t write(std::span<const uint8_t> bytes) override;
    int32_t read(std::span<uint8_t> into) override;
    void closeDevice() override;
    bool isOpen() const override;
    std::vector<std::string> deviceNames() const override;
    std::string describe(uint8_t port) const override;

private:
    void setModemLine(int line, bool on) const;

    LinuxPorts ports_;
    UniqueFd fd_;
    bool kernelDrivesRts_ = false;
    ReadTimeouts readTimeouts_;
};

}  // namespace k54
