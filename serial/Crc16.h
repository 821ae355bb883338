#pragma once

#include <cstdint>
#include <span>

namespace k54 {

// CRC-16/MODBUS: init 0xFFFF, reflected polynomial 0xA001, no final xor; no bytes give 0xFFFF.
uint16_t crc16Modbus(std::span<const uint8_t> bytes);

}  // namespace k54
