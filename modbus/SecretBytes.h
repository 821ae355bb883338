#pragma once

// Which bytes of a frame on the line give away the instrument's service password (holding register 23),
// so that a traffic log, which an operator sends to a service engineer, does not: the register's two
// bytes in a write of it (function 6 and its reply, function 16) or in a read's reply (function 3), and
// the frame's CRC, from which a four-digit value is found at once by trying them all.

#include <cstdint>
#include <span>
#include <vector>

namespace k54 {

inline constexpr uint16_t kPasswordRegister = 23;

// For each byte of `frame`, whether it must not be shown; `request` is the request the frame is, echoes
// or answers (for a request: the frame itself).
std::vector<bool> secretBytes(std::span<const uint8_t> frame, std::span<const uint8_t> request);

}  // namespace k54
