#pragma once

#include "serial/OpenFailure.h"
#include "serial/ReadTimeouts.h"

#include <chrono>
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
    // Blocking until into.size() bytes have come, the inter-byte limit passes between two bytes after
    // the first, or the total limit for into.size() bytes passes (readTimeouts()); returns the number
    // of bytes read.
    virtual int32_t read(std::span<uint8_t> into) = 0;
    // Waits at most `wait` for a first byte, then takes what has come, up to into.size(), without
    // waiting further; the number of bytes taken (0 when none came), or -1 when the line has failed
    // (hung up, device gone) so that waiting longer is useless.
    virtual int32_t readAvailable(std::span<uint8_t> into, std::chrono::milliseconds wait) = 0;
    // The read time limits; they apply from the next read on, also to an open device.
    virtual void setReadTimeouts(const ReadTimeouts& timeouts) = 0;
    virtual ReadTimeouts readTimeouts() const = 0;
    virtual void closeDevice() = 0;
    virtual bool isOpen() const = 0;
    // The platform's device names, e.g. "COM3".
    virtual std::vector<std::string> deviceNames() const = 0;
    // The device behind a port number, for a tooltip.
    virtual std::string describe(uint8_t port) const = 0;
    // Why the last openDevice failed; nothing known (reason none) unless the back end tells.
    virtual OpenFailure openFailure() const { return {}; }
};

}  // namespace k54
