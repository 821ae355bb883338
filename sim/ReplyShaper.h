#pragma once
// Turns the reply libmodbus made into what the line carries under the current faults.
#include <cstdint>
#include <vector>

#include "sim/FaultSet.h"

namespace k54::sim {

struct OutgoingReply {
    std::vector<uint8_t> bytes;
    std::size_t gapAfter = 0;  // bytes sent before the pause (gapMs)
    int gapMs = 0;
    int lateMs = 0;  // wait before the first byte
};

// The exception reply (address, function | 0x80, code, CRC) to a request.
std::vector<uint8_t> exceptionReply(uint8_t address, uint8_t function, uint8_t code);

// Applies the reply-side faults: address and function rewrites (CRC recomputed), CRC damage,
// truncation, junk before and after, a pause in the middle, a late start.
OutgoingReply shapeReply(std::vector<uint8_t> reply, const FaultSet& faults);

}  // namespace k54::sim
