#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace k54 {

// The few platform operations the channel needs (one back end per platform).
class SerialBackend {
public:
    virtual ~SerialBackend() = default;

    // Opens the device exclusively, applies 8E1 at the baud rate, the queues and the timeouts;
    // false when the device cannot be opened (then nothing is held).
    virtual bool openDevice(uint8_t port, uint32_t baud) = 0;
    virtual void purgeInput() = 0;
    virtual void purgeOutput() = 0;
    virtual void clearDtr() = 0;
    virtual void setRts() = 0;
    // Blocking; returns the number of bytes written.
    virtual int32_t write(std::span<const uint8_t> bytes) = 0;
    // Blocking until into.size() bytes have come, 100 ms pass between two bytes after the first,
    // or 100 ms per byte + 5000 ms pass in all; returns the number of bytes read.
    virtual int32_t read(std::span<uint8_t> into) = 0;
    virtual void closeDevice() = 0;
    virtual bool isOpen() const = 0;
    // The platform's device names, e.g. "COM3".
    virtual std::vector<std::string> deviceNames() const = 0;
    // The device behind a port number, for a tooltip.
    virtual std::string describe(uint8_t port) const = 0;
};

}  // namespace k54
