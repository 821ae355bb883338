#include "sim/ModbusCrc.h"

namespace k54::sim {

uint16_t modbusCrc(std::span<const uint8_t> bytes) {
    uint16_t crc = 0xFFFF;
    for (const uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            const bool lowBitSet = (crc & 1u) != 0;
            crc = static_cast<uint16_t>(crc >> 1);
            if (lowBitSet) crc ^= 0xA001;
        }
    }
    return crc;
}

void rewriteCrc(std::vector<uint8_t>& frame) {
    if (frame.size() < 3) return;
    const std::size_t bodySize = frame.size() - 2;
    const uint16_t crc = modbusCrc(std::span<const uint8_t>(frame).first(bodySize));
    frame.at(bodySize) = static_cast<uint8_t>(crc & 0xFF);
    frame.at(bodySize + 1) = static_cast<uint8_t>(crc >> 8);
}

}  // namespace k54::sim
