#pragma once
// A parameter's value as a file or a command line gives it, read exactly into its register value, and
// the register value as that engineering number. Nothing is rounded or cut: a number with more
// decimals than the parameter has is refused, not shortened.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace k54 {

enum class ValueError {
    NotANumber,       // not a decimal number (nor, for a list, one of its items' texts)
    TooManyDecimals,  // more decimals than the parameter has
    TooLarge,         // beyond the instrument's 32-bit (wide) or 16-bit (narrow) register
    NoSuchItem,       // a list value that picks no item
};

struct ValueReading {
    int32_t raw = 0;  // the register value, when there is no error
    std::optional<ValueError> error;
};

// The decimals a row's value has: 0, 1 or 2.
int rowDecimals(int rowIndex);

// A decimal number (optional sign, digits with an optional point and fraction, an optional exponent
// E or e with optional sign) in the row's engineering units. A list row takes the number of an item.
ValueReading readValueText(int rowIndex, std::string_view text);
// A whole number in the row's engineering units (a JSON integer).
ValueReading readWholeValue(int rowIndex, int64_t number);
// As readValueText, and a list row also takes the exact text of one of its items.
ValueReading readValueOrItemText(int rowIndex, std::string_view text);

// The register value as the engineering number, written with the row's decimals ("12.3", "-50.0",
// "0.05"); a list row's value as its number.
std::string engineeringText(int rowIndex, int32_t raw);

}  // namespace k54
