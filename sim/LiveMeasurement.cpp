#include "sim/LiveMeasurement.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "config/params/InputTypes.h"

namespace k54::sim {

namespace {

constexpr int64_t kThousandths = 1000;
constexpr int32_t kRangeLowOutsideTable = 0;
constexpr int32_t kRangeHighOutsideTable = 1000;

}  // namespace

int32_t liveMeasurement(int32_t inputType, std::chrono::duration<double> elapsed) {
    const auto info = inputTypeInfo(inputType);
    const int64_t low = (info ? info->rangeLow : kRangeLowOutsideTable) * kThousandths;
    const int64_t high = (info ? info->rangeHigh : kRangeHighOutsideTable) * kThousandths;
    const double phase = 2.0 * std::numbers::pi * elapsed.count() / static_cast<double>(kWavePeriod.count());
    const double fraction = 0.5 + 0.5 * std::sin(phase);
    const auto value = low + std::llround(static_cast<double>(high - low) * fraction);
    return static_cast<int32_t>(std::clamp<int64_t>(value, low, high));
}

}  // namespace k54::sim
