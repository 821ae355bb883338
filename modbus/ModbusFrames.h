#pragma once

// Modbus RTU request frames (functions 3, 6 and 16) and the check of the reply to each.

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
std::size_t readReplyLength(uint16_t count);
std::size_t writeMultipleRequestLength(std::size_t valueCount);

// Each builder writes its frame, CRC appended low byte first, at the front of tx, which the caller
// has made long enough.
void buildReadRequest(std::span<uint8_t> tx, uint8_t slave, uint16_t start, uint16_t count);
void buildWriteSingleRequest(std::span<uint8_t> tx, uint8_t slave, uint16_t reg, int16_t value);
void buildWriteMultipleRequest(std::span<uint8_t> tx, uint8_t slave, uint16_t start, uint16_t quantity,
                               std::span<const int16_t> values);

// What a received frame (its CRC already checked) means for a request:
// 0 for the expected normal reply, the exception code of an exception reply, else kNoReply.
// `normalReply` is the length of the normal reply; `echo` is the request's leading bytes that the
// normal reply repeats (address, function, then two more fields for writes).
uint8_t replyOutcome(std::span<const uint8_t> reply, std::span<const uint8_t> echo, std::size_t normalReply);

}  // namespace k54
