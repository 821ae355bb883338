#pragma once
// The rules of value entry: the limits of each numeric parameter, how an entered number becomes the
// register value, and how the range mode decides what is stored and what is reset with it.
#include <cstdint>

#include "config/params/ParamTable.h"
#include "config/rules/ChangePlan.h"

namespace k54 {

// The ten numeric parameter rows whose numbers the operator types.
bool isValueEntryRow(int rowIndex);

struct RawLimits {
    int64_t low, high;
};

// The inclusive raw bounds of a numeric row, from the input type, the range mode and the other rows.
RawLimits valueLimits(const ParamTable& rows, int rowIndex);

// The entered number in single precision, nudged by 0.0001 away from zero so that a number that is
// meant exactly survives the cut toward zero.
float nudgedEntry(double number);

struct LimitedEntry {
    int32_t raw;        // in register units, within the row's limits
    bool coarse;        // a wide value of 1000.0 or more, or below -100.0, keeps no decimal
    bool held = false;  // the entered number lay outside the row's limits and was held to the nearer one
};

// The register value of an entered (nudged) number: scaled, cut toward zero, held to the row's limits,
// then coarsened to whole units where a wide value is large.
LimitedEntry limitEntry(const ParamTable& rows, int rowIndex, float entry);

// Stores the value as the range mode allows: the range rows are stored only in the modes that let
// the operator set them, otherwise reset; a new range recomputes the setpoints. The row itself is sent
// last, whether its value changed or not.
ChangePlan storeEntry(ParamTable& rows, int rowIndex, int32_t raw);

}  // namespace k54
