#pragma once
// The parameter writes of one change (a list choice, a committed value with the resets it brings):
// each row's value in the given order. An exception reply is noted and the writes go on; once a request
// gets no reply the rest are skipped, since each would only wait out its time-out on the silent line.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/instrument/InstrumentLink.h"

namespace k54 {

struct ParameterWrites {
    std::vector<std::pair<int, uint8_t>> results;  // each row sent and its Modbus result, in order
    std::vector<int> skipped;                      // the rows not sent once the line was silent
    // A row refused, unanswered or skipped.
    bool failed() const;
    // A request got no reply.
    bool lineSilent() const;
    // The first row refused or unanswered, with its result; nothing when every row sent was written.
    std::optional<std::pair<int, uint8_t>> firstFailure() const;
};

// Why a write failed, in the window's language: "прибор не ответил" or "прибор отказал, код 2".
std::string writeFailureReason(uint8_t modbusResult);

// Writes the rows' values (as the rows hold them) in the order given.
ParameterWrites writeParameters(InstrumentLink& link, const ParamTable& rows, const std::vector<int>& rowIndices);

}  // namespace k54
