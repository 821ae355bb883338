#pragma once
// The live measurement: a slow wave inside the input type's measuring range.
#include <chrono>
#include <cstdint>

namespace k54::sim {

inline constexpr std::chrono::seconds kWavePeriod{20};

// The measurement `elapsed` after start, in thousandths of the type's unit; for a type outside the
// table the range is 0 - 1000.
int32_t liveMeasurement(int32_t inputType, std::chrono::duration<double> elapsed);

}  // namespace k54::sim
