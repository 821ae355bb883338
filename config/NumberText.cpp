#include "config/NumberText.h"

#include "config/TextFormat.h"

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

std::optional<double> parseDecimal(std::string_view text, char decimalSeparator) {
    text = trimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::string_view whole = takeDigits(text);
    bool hasSeparator = false;
    std::string_view fraction;
    if (!text.empty() && text.front() == decimalSeparator) {
        hasSeparator = true;
        text.remove_prefix(1);
        fraction = takeDigits(text);
    }
    if (whole.empty() && fraction.empty() && !hasSeparator) return std::nullopt;

    std::string exponent;
    if (!text.empty() && (text.front() == 'E' || text.front() == 'e')) {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
            exponent += text.front();
            text.remove_prefix(1);
        }
        const std::string_view expDigits = takeDigits(text);
        if (expDigits.empty()) return std::nullopt;
        exponent += expDigits;
    }
    if (!text.empty()) return std::nullopt;

    std::string plain = std::string(whole.empty() ? "0" : whole) + "." + std::string(fraction.empty() ? "0" : fraction);
    if (!exponent.empty()) plain += "e" + exponent;
    double value = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: the exponent's sign tells which.
        value = (!exponent.empty() && exponent.front() == '-') ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (error != std::errc{} || end != plain.data() + plain.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace k54
