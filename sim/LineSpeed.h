#pragma once
// The speeds of the line: those an instrument can be set to, and the one the configurator has set its end
// of the line to. A pseudo-terminal carries bytes whatever its speed, but it keeps the speed it is set to
// (its parity bit it clears), so the instrument can answer only while that speed is its own.
#include <optional>
#include <string>
#include <string_view>

namespace k54::sim {

// A speed an instrument can be set to (those of the configurator: 2400 ... 115200), from its decimal text.
std::optional<int> parseInstrumentBaud(std::string_view text);

// "2400 4800 9600 19200 38400 57600 115200", for messages.
std::string instrumentBauds();

// The output speed of the terminal behind `fd`, in baud; nothing when it cannot be read or is none of
// the usual speeds (50 - 4000000).
std::optional<int> terminalBaud(int fd);

}  // namespace k54::sim
