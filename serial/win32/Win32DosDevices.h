#pragma once

// The MS-DOS device names Windows knows (QueryDosDeviceA with no device name).

#include <string>
#include <vector>

namespace k54 {

// The size of the buffer the names are asked into.
inline constexpr unsigned long kDosDeviceListSize = 65535;

// Every device name ("COM3", "LPT1", "C:", ...) in the order Windows gives them; nothing when the call
// fails (for instance when the names do not fit into the buffer).
std::vector<std::string> queryDosDeviceNames();

}  // namespace k54
