#pragma once
// The checks of a whole configuration before it goes to an instrument, in two kinds. A value outside
// its parameter's own limits (those that hold whatever the other parameters are) is one no instrument
// could hold: refused. A value that only breaks a relation the window keeps (ranges against the input
// type, setpoints against the range they refer to, hystereses, a range's ends in order) is one an
// instrument may well hold, e.g. after a new range mode whose recomputed setpoints the window does not
// send: named, and written as it is once the user confirms it, so that a backup always undoes.
#include <vector>

#include "config/files/ConfigProblems.h"
#include "config/params/ParamTable.h"

namespace k54 {

inline constexpr int32_t kLowestAddress = 1;     // 0 is the broadcast address: no instrument answers it
inline constexpr int32_t kHighestAddress = 254;  // the highest the window's address field takes

// Every value outside its parameter's own limits, in row order.
std::vector<ConfigProblem> checkParameterValues(const ParamTable& rows);

// Every relation the window keeps that the rows break, in row order. A range whose ends are the wrong
// way round is one breach (on its low end); the setpoints and hystereses are not judged against a
// broken range.
std::vector<ConfigProblem> checkParameterRelations(const ParamTable& rows);

}  // namespace k54
