#pragma once
// Reads and writes on non-blocking descriptors, bounded by deadlines.
#include <cstdint>
#include <span>
#include <vector>

#include "sim/LineTiming.h"

namespace k54::sim {

// Writes every byte, waiting for room until the deadline; false when the bytes could not all go out.
bool writeAll(int fd, std::span<const uint8_t> bytes, Clock::time_point deadline);

// Appends what can be read now without waiting; false at end of file or on an error.
bool readAvailable(int fd, std::vector<uint8_t>& into);

// Reads exactly `count` bytes unless the deadline passes first; returns what arrived.
std::vector<uint8_t> readCount(int fd, std::size_t count, Clock::time_point deadline);

// Milliseconds left until the deadline, for poll(): at least 0, rounded up.
int millisecondsUntil(Clock::time_point deadline);

}  // namespace k54::sim
