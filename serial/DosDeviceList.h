#pragma once

// The list of MS-DOS device names as Windows hands it out: each name ends with a zero byte and an
// empty name ends the list ("COM3\0LPT1\0\0").

#include <span>
#include <string>
#include <vector>

namespace k54 {

// The names in the list, in its order. Reading stops at the empty name or at the end of the buffer;
// a last name without its zero byte is dropped.
std::vector<std::string> splitDosDeviceList(std::span<const char> list);

}  // namespace k54
