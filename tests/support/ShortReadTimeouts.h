#pragma once
// Read limits for the tests that wait out a silent or broken line: the described inter-byte limit of
// 100 ms (the simulated instrument's faults are built around it) but a total limit of a tenth of the
// described one. One test per layer still runs at the described limits.
#include <chrono>

#include "serial/ReadTimeouts.h"

namespace k54::test {

inline constexpr ReadTimeouts kShortReadTimeouts{std::chrono::milliseconds(100), std::chrono::milliseconds(10),
                                                 std::chrono::milliseconds(500)};

}  // namespace k54::test
