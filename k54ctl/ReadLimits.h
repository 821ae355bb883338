#pragma once
// How long bytes take on the line (11 bits a character: start, 8 data, parity, stop), and the read
// limits k54ctl works under: the described ones unless told, and a scan's short answer window.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "serial/ReadTimeouts.h"

namespace k54::ctl {

inline constexpr std::size_t kRequestLength = 8;  // a read request: address, function, start, count, CRC
inline constexpr std::size_t kVersionReplyLength = 9;

// The time `bytes` characters take on the line at `baud`.
std::chrono::microseconds wireTime(std::size_t bytes, uint32_t baud);

// The read limits of every command but scan: the described ones, or, with --timeout-ms, a reply that
// must be whole within that time plus its own length on the line.
ReadTimeouts commandTimeouts(uint32_t baud, std::optional<int> timeoutMs);

// A scan's limits: a reply must begin within the request's own time on the line plus the answer window;
// one that has begun may take its own length on the line, plus the window once more.
ReadTimeouts scanTimeouts(uint32_t baud, std::chrono::milliseconds answerWindow);

// What one probe of a silent address costs at least: the request on the line and the answer window.
std::chrono::microseconds silentProbeTime(uint32_t baud, std::chrono::milliseconds answerWindow);

}  // namespace k54::ctl
