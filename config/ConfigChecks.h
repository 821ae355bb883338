#pragma once
// The checks a whole configuration must pass before it goes to an instrument: each numeric parameter
// within the limits value entry applies to it (ranges, setpoints against the range they refer to,
// hystereses), each range's low end below its high end, the address one the instrument can answer to.
#include <vector>

#include "config/ConfigProblems.h"
#include "config/ParamTable.h"

namespace k54 {

inline constexpr int32_t kLowestAddress = 1;     // 0 is the broadcast address: no instrument answers it
inline constexpr int32_t kHighestAddress = 254;  // the highest the window's address field takes

// Every problem of the rows' values, in row order. A range whose ends are the wrong way round is one
// problem (on its low end); the setpoints and hystereses are not judged against a broken range.
std::vector<ConfigProblem> checkParameterValues(const ParamTable& rows);

}  // namespace k54
