#include "sim/IntegerText.h"

#include <charconv>

namespace k54::sim {

std::optional<long long> parseInteger(std::string_view text) {
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error != std::errc{} || end != last) return std::nullopt;
    return value;
}

std::optional<int> parseIntegerIn(std::string_view text, long long low, long long high) {
    const auto value = parseInteger(text);
    if (!value || *value < low || *value > high) return std::nullopt;
    return static_cast<int>(*value);
}

}  // namespace k54::sim
