#pragma once
// Points in time as ISO 8601 text with the local offset from UTC, "2026-12-10T14:29:25.512+03:00".
#include <chrono>
#include <functional>
#include <string>

#include "base/LocalTime.h"  // localUtcOffset, the offset a recording uses

namespace k54 {

// How a recording learns the offset; tests give a fixed one.
using UtcOffsetAt = std::function<std::chrono::seconds(std::chrono::system_clock::time_point)>;

// The time in milliseconds, as local time with its offset ("+00:00" for UTC itself).
std::string isoTimestamp(std::chrono::system_clock::time_point time, std::chrono::seconds utcOffset);

}  // namespace k54
