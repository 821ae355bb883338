#pragma once

// Timed reads and writes on a non-blocking POSIX descriptor, driven by poll().

#include <chrono>
#include <cstdint>
#include <span>

namespace k54 {

// The channel's read time limits.
struct ReadTimeouts {
    std::chrono::milliseconds interByte{100};  // largest gap between two bytes once the first has come
    std::chrono::milliseconds perByte{100};    // total limit: perByte x count ...
    std::chrono::milliseconds constant{5000};  // ... + constant
};

// Reads into `into` until it is full, the inter-byte gap passes after the first byte, the total
// limit passes, or the line hangs up; returns the number of bytes read.
int32_t readWithTimeouts(int fd, std::span<uint8_t> into, const ReadTimeouts& timeouts);

// Writes all bytes unless `limit` passes first or the device fails; returns the number written.
int32_t writeWithin(int fd, std::span<const uint8_t> bytes, std::chrono::milliseconds limit);

}  // namespace k54
