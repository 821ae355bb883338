#pragma once
// One KEY=VALUE of "k54ctl set", checked against the parameter table alone before anything is sent:
// a numeric parameter takes a number as the window's value entry reads it (either decimal separator,
// an exponent; the limits are applied when it is stored); a list takes an item's number, as a
// configuration file gives it, or the item's exact text; the address takes 1 - 254.
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace k54::ctl {

struct Assignment {
    int row = 0;
    std::string text;              // the value as given
    std::optional<double> number;  // a numeric parameter's number
    int32_t raw = 0;               // a list's or the address's register value
};

// The assignment, or the text of a usage error.
std::variant<Assignment, std::string> parseAssignment(std::string_view text);

}  // namespace k54::ctl
