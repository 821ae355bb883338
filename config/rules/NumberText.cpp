#include "config/rules/NumberText.h"

#include "base/TextFormat.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace k54 {
namespace {

int decimalsOf(std::string_view format) {
    const auto point = format.find('.');
    return point == std::string_view::npos ? 0 : static_cast<int>(format.size() - point - 1);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Takes the leading digits off text and returns them.
std::string_view takeDigits(std::string_view& text) {
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n])) ++n;
    const std::string_view digits = text.substr(0, n);
    text.remove_prefix(n);
    return digits;
}

// Takes a sign off the front of text; true for a minus.
bool takeSign(std::string_view& text) {
    if (text.empty() || (text.front() != '+' && text.front() != '-')) return false;
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
}

}  // namespace

std::string formatWithTemplate(long double x, std::string_view format, char decimalSeparator) {
    const int decimals = decimalsOf(format);
    const long double rounded = std::round(x * std::pow(10.0L, decimals));
    if (!std::isfinite(rounded)) return std::isnan(rounded) ? "NAN" : (rounded < 0 ? "-INF" : "INF");
    // Written from the floating-point value itself: a number typed in exponent form (1e30) has more
    // digits than any integer type holds.
    std::string digits = formatText("%.0Lf", std::fabs(rounded));
    if (static_cast<int>(digits.size()) <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
    if (decimals > 0) digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, decimalSeparator);
    return rounded < 0 ? "-" + digits : digits;
}

std::optional<DecimalParts> splitDecimal(std::string_view text, char decimalSeparator) {
    DecimalParts parts;
    parts.negative = takeSign(text);
    parts.whole = takeDigits(text);
    if (!text.empty() && text.front() == decimalSeparator) {
        parts.hasSeparator = true;
        text.remove_prefix(1);
        parts.fraction = takeDigits(text);
    }
    if (!text.empty() && (text.front() == 'E' || text.front() == 'e')) {
        text.remove_prefix(1);
        parts.negativeExponent = takeSign(text);
        parts.exponent = takeDigits(text);
        if (parts.exponent.empty()) return std::nullopt;
    }
    if (!text.empty()) return std::nullopt;
    return parts;
}

std::optional<double> parseDecimal(std::string_view text, char decimalSeparator) {
    const auto parts = splitDecimal(trimBlanks(text), decimalSeparator);
    if (!parts || (parts->whole.empty() && parts->fraction.empty() && !parts->hasSeparator)) return std::nullopt;

    std::string plain = std::string(parts->whole.empty() ? "0" : parts->whole) + "." +
                        std::string(parts->fraction.empty() ? "0" : parts->fraction);
    if (!parts->exponent.empty()) plain += (parts->negativeExponent ? "e-" : "e") + std::string(parts->exponent);
    double value = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: the exponent's sign tells which.
        value = parts->negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (error != std::errc{} || end != plain.data() + plain.size()) {
        return std::nullopt;
    }
    return parts->negative ? -value : value;
}

}  // namespace k54
