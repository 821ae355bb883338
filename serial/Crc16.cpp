#include "serial/Crc16.h"

namespace k54 {

namespace {

constexpr uint16_t kCrcInit = 0xFFFF;
constexpr uint16_t kReflectedPolynomial = 0xA001;

uint16_t feedByte(uint16_t crc, uint8_t byte) {
    crc = static_cast<uint16_t>(crc ^ byte);
    for (int bit = 0; bit < 8; ++bit) {
        const bool carry = (crc & 1U) != 0;
        crc = static_cast<uint16_t>(crc >> 1U);
        if (carry) {
            crc = static_cast<uint16_t>(crc ^ kReflectedPolynomial);
        }
    }
    return crc;
}

}  // namespace

uint16_t crc16Modbus(std::span<const uint8_t> bytes) {
    uint16_t crc = kCrcInit;
    for (const uint8_t byte : bytes) {
        crc = feedByte(crc, byte);
    }
    return crc;
}

}  // namespace k54
