#pragma once
// The instrument's four-digit service password as text: what the window's field and the command line take.
#include <cstdint>
#include <optional>
#include <string_view>

namespace k54 {

// The text's digits as a number (one to four digits, blanks around them allowed); nothing when it
// holds no such number.
std::optional<uint16_t> passwordFromText(std::string_view text);

}  // namespace k54
