#pragma once
// Numbers as the window shows and takes them, with the system's decimal separator.
#include <optional>
#include <string>
#include <string_view>

namespace k54 {

// Writes x with a display template "0", "0.0" or "0.00": that many decimals, rounded half away from
// zero. A result that rounds to zero carries no sign.
std::string formatWithTemplate(long double x, std::string_view format, char decimalSeparator);

// The parts of a decimal number's text: [sign] digits [separator digits] [(E|e) [sign] digits].
struct DecimalParts {
    bool negative = false;
    std::string_view whole;  // the digits before the separator (may be empty)
    bool hasSeparator = false;
    std::string_view fraction;  // the digits after it (may be empty)
    bool negativeExponent = false;
    std::string_view exponent;  // the exponent's digits; empty when there is no exponent
};

// Splits the whole text into those parts; nothing when anything else is there or an exponent has no
// digits. Whether a number needs digits is the caller's rule.
std::optional<DecimalParts> splitDecimal(std::string_view text, char decimalSeparator);

// Reads a decimal number: optional blanks, an optional sign, digits with at most one decimal
// separator, an optional exponent (E or e, optional sign, digits), optional blanks, nothing else.
// At least one digit or the separator must be there; a lone separator reads as 0. Nothing when the
// text is not such a number. An exponent beyond the double range gives an infinity of the sign.
std::optional<double> parseDecimal(std::string_view text, char decimalSeparator);

}  // namespace k54
