#pragma once

// Modbus RTU request frames (functions 3, 6 and 16) and the length of the reply to each.

#include <cstddef>
#include <cstdint>
#include <span>

namespace k54 {

inline constexpr uint8_t kReadHoldingRegisters = 0x03;
inline constexpr uint8_t kWriteSingleRegister = 0x06;
inline constexpr uint8_t kWriteMultipleRegisters = 0x10;
inline constexpr std::size_t kMaxWriteValues = 123;

// The length of each frame, CRC included.
inline constexpr std::size_t kReadRequestLength = 8;
inline constexpr std::size_t kWriteSingleLength = 8;
inline constexpr std::size_t kWriteMultipleReplyLength = 8;
inline constexpr std::size_t kExceptionReplyLength = 5;
inline constexpr uint8_t kExceptionBit = 0x80;
std::size_t readReplyLength(uint16_t count);
std::size_t writeMultipleRequestLength(std::size_t valueCount);

// The reply's length foretold by its first bytes: after the address and the function code, a
// function code with bit 7 set means a 5-byte exception reply, any other the normal reply of
// `normalReply` bytes. Before the function code has come, 5: no reply is shorter.
std::size_t foretoldReplyLength(std::span<const uint8_t> arrived, std::size_t normalReply);

// Each builder writes its frame, CRC appended low byte first, at the front of tx, which the caller
// has made long enough.
void buildReadRequest(std::span<uint8_t> tx, uint8_t slave, uint16_t start, uint16_t count);
void buildWriteSingleRequest(std::span<uint8_t> tx, uint8_t slave, uint16_t reg, int16_t value);
void buildWriteMultipleRequest(std::span<uint8_t> tx, uint8_t slave, uint16_t start, uint16_t quantity,
                               std::span<const int16_t> values);

}  // namespace k54
