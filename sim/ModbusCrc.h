#pragma once
// The CRC-16 that ends every RTU frame (low byte first). The simulated instrument computes it itself,
// not with the configurator's serial/Crc16, so that a fault in the master's CRC cannot agree with itself
// in the tests.
#include <cstdint>
#include <span>
#include <vector>

namespace k54::sim {

uint16_t modbusCrc(std::span<const uint8_t> bytes);

// Replaces the frame's last two bytes with the CRC of the bytes before them (frames of 3 bytes or more).
void rewriteCrc(std::vector<uint8_t>& frame);

}  // namespace k54::sim
