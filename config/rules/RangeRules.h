#pragma once
// The input type's range and the display range mode: where the setpoints refer to, and the defaults
// that a new range mode or an edited range loads.
#include <cstdint>
#include <optional>
#include <vector>

#include "config/params/ParamTable.h"

namespace k54 {

// RangeMode, the value of the range-mode list: where the setpoints refer to and what may be set.
enum RangeMode : int32_t { kInputFull = 0, kInputSet = 1, kScaledFull = 2, kScaledSet = 3 };

// Modes 2 and 3 refer the setpoints to the scaled range (bit 1 of the mode).
inline bool refersToScaledRange(int32_t mode) {
    return (mode & 2) != 0;
}

// The input type's range in tenths of its unit, or nothing for a type outside the table.
struct TenthsRange {
    int64_t low, high;
};
std::optional<TenthsRange> inputRangeTenths(int32_t inputType);

// Loads the default display range (full input range) and/or scaled range (0.0 ... 100.0) for the
// mode; returns the rows that changed, in the order they go to the instrument (upper before lower).
std::vector<int> resetDisplayRange(ParamTable& rows, int32_t mode);

// Setpoints at one and four fifths of the reference range of the basis (0: the input type's range,
// 1: the display range, 2 and 3: the scaled range), hystereses 0.1. False, with nothing changed, when
// the basis has no range (an input type outside the table).
bool resetSetpoints(ParamTable& rows, int32_t basis);

}  // namespace k54
