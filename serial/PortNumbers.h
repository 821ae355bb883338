#pragma once

// Port numbers as the platform's device names and people give them: "COM1" ... "COM255".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace k54 {

// What every port name starts with, on every platform.
inline constexpr std::string_view kPortPrefix = "COM";

// The name of port `number`: "COM4".
std::string portName(int number);

// The port numbers 1 - 255 that the platform's device names "COMn" name, each once, ascending.
std::vector<int> portNumbersFromDeviceNames(const std::vector<std::string>& names);

// A port as a person names it on a command line: "COM4", "com4" or "4" (1 - 255); nothing for
// anything else.
std::optional<int> parsePortName(std::string_view text);

}  // namespace k54
