#pragma once
// Whole decimal numbers read from option values and control commands.
#include <optional>
#include <string_view>

namespace k54::sim {

// The number the whole text spells (an optional leading '-', then digits), or nothing.
std::optional<long long> parseInteger(std::string_view text);

// The number, when the text spells one inside [low, high].
std::optional<int> parseIntegerIn(std::string_view text, long long low, long long high);

}  // namespace k54::sim
