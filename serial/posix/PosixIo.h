#pragma once

// Timed reads and writes on a non-blocking POSIX descriptor, driven by poll().

#include <chrono>
#include <cstdint>
#include <span>

namespace k54 {

// Waits at most `wait` for input, then reads what has come, up to into.size(); the number of bytes
// read (0 when none came in time), or -1 when the line hung up or failed.
int32_t readAvailable(int fd, std::span<uint8_t> into, std::chrono::milliseconds wait);

// Writes all bytes unless `limit` passes first or the device fails; returns the number written.
int32_t writeWithin(int fd, std::span<const uint8_t> bytes, std::chrono::milliseconds limit);

}  // namespace k54
