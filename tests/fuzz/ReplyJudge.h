#pragma once
// An independent judge of the replies mBus takes, written from the rules rather than from the master's
// code (its own CRC, its own frames): a reply counts only when it comes from the addressed slave with
// the request's function and the right length (function 3: a byte count of 2 x count; function 6 the
// echo of register and value; function 16 the echo of start and quantity) and a good CRC; an exception
// reply counts when it comes from the addressed slave with the request's function, bit 7 set, a code
// other than 0 and a good CRC.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace k54::fuzz {

inline constexpr uint8_t kNoResult = 255;  // mBus's result for no reply that counts

struct ModbusRequest {
    uint8_t function = 3;  // 3, 6 or 16
    uint8_t slave = 1;
    uint16_t first = 0;           // start, or the register of function 6
    uint16_t second = 0;          // count, value, or the quantity in a function 16 header
    std::vector<int16_t> values;  // function 16
};

// Whether mBus can send it at all (a count of 1 - 253, whose reply fits the 512-byte buffer; 1 - 123
// values).
bool sendable(const ModbusRequest& request);
// The request's bytes, CRC appended low byte first.
std::vector<uint8_t> requestFrame(const ModbusRequest& request);
// The length of the normal reply.
std::size_t normalReplyLength(const ModbusRequest& request);
// A normal reply (function 3: registers 0x0000, 0x0101, 0x0202, ...).
std::vector<uint8_t> goodReply(const ModbusRequest& request);

// A normal reply or an exception reply, as above.
bool countsAsReply(std::span<const uint8_t> reply, const ModbusRequest& request);
// What the master must return for this reply: 0, an exception code, or kNoResult.
uint8_t expectedResult(std::span<const uint8_t> reply, const ModbusRequest& request);

// The bytes that came, split into the request's echo and the reply behind it. On a line not yet
// known to echo, bytes that count as a reply by themselves are the reply; otherwise a received prefix
// equal to the request is its echo.
struct Received {
    std::size_t echoLength = 0;
    std::span<const uint8_t> reply;
};
Received splitEcho(std::span<const uint8_t> bytes, const ModbusRequest& request, bool lineKnownToEcho);

// Where the line's bytes begin with a reply that counts (behind the request's echo, where they begin
// with one that the rule above takes for an echo), the length of that frame: the master must take
// exactly it and nothing after it. Nothing where the bytes begin otherwise, or where a line known to
// echo begins with a reply that is also the start of the request (the master cannot tell it from the
// echo until a byte differs).
std::optional<std::size_t> leadingFrameLength(std::span<const uint8_t> line, const ModbusRequest& request,
                                              bool lineKnownToEcho);

// CRC-16/MODBUS, bit by bit.
uint16_t crc16(std::span<const uint8_t> bytes);
// A frame whose last two bytes hold the CRC of the others, low byte first.
bool crcHolds(std::span<const uint8_t> frame);

}  // namespace k54::fuzz
