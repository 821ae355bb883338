#include "config/files/ParamValueText.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "config/params/ListItems.h"
#include "config/params/ParamTable.h"
#include "config/rules/NumberText.h"

namespace k54 {
namespace {

// A decimal number exactly: |value| = digits x 10^exponent, digits without leading or trailing
// zeros (empty for zero).
struct Decimal {
    bool negative = false;
    std::string digits;
    int64_t exponent = 0;
};

constexpr int64_t kExponentCap = 1'000'000;  // far beyond any register; keeps the sums small

std::optional<Decimal> parseDecimal(std::string_view text) {
    const auto parts = splitDecimal(text, '.');
    if (!parts || (parts->whole.empty() && parts->fraction.empty())) return std::nullopt;
    int64_t exponent = 0;
    for (const char c : parts->exponent) exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
    if (parts->negativeExponent) exponent = -exponent;

    Decimal d;
    d.negative = parts->negative;
    const std::string_view whole = parts->whole, fraction = parts->fraction;
    d.digits = std::string(whole) + std::string(fraction);
    d.exponent = exponent - static_cast<int64_t>(fraction.size());
    d.digits.erase(0, std::min(d.digits.find_first_not_of('0'), d.digits.size()));
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
        ++d.exponent;
    }
    return d;
}

ValueReading failure(ValueError error) {
    return {0, error};
}

// Does the row's register hold the value: 32 bits for a wide row, 16 for a narrow one (which the
// instrument reads as signed).
bool fitsRegister(int rowIndex, int64_t raw) {
    if (kParamTemplate.at(static_cast<std::size_t>(rowIndex)).wide)
        return raw >= std::numeric_limits<int32_t>::min() && raw <= std::numeric_limits<int32_t>::max();
    return raw >= std::numeric_limits<int16_t>::min() && raw <= std::numeric_limits<int16_t>::max();
}

// A list value must pick one of its items.
ValueReading checked(int rowIndex, int64_t raw) {
    if (!fitsRegister(rowIndex, raw)) return failure(ValueError::TooLarge);
    const auto value = static_cast<int32_t>(raw);
    if (!listItems(rowIndex).empty() && !listItemText(rowIndex, value)) return failure(ValueError::NoSuchItem);
    return {value, std::nullopt};
}

ValueReading rawOf(int rowIndex, const Decimal& d) {
    if (d.digits.empty()) return checked(rowIndex, 0);
    const int64_t shift = d.exponent + rowDecimals(rowIndex);
    if (shift < 0) return failure(ValueError::TooManyDecimals);
    if (static_cast<int64_t>(d.digits.size()) + shift > 10) return failure(ValueError::TooLarge);
    int64_t magnitude = 0;
    for (const char c : d.digits) magnitude = magnitude * 10 + (c - '0');
    for (int64_t i = 0; i < shift; ++i) magnitude *= 10;
    return checked(rowIndex, d.negative ? -magnitude : magnitude);
}

}  // namespace

int rowDecimals(int rowIndex) {
    int decimals = 0;
    for (int32_t scale = kParamTemplate.at(static_cast<std::size_t>(rowIndex)).scale; scale > 1; scale /= 10)
        ++decimals;
    return decimals;
}

ValueReading readValueText(int rowIndex, std::string_view text) {
    const auto decimal = parseDecimal(text);
    return decimal ? rawOf(rowIndex, *decimal) : failure(ValueError::NotANumber);
}

ValueReading readWholeValue(int rowIndex, int64_t number) {
    Decimal d;
    d.negative = number < 0;
    // The magnitude's digits; INT64_MIN's magnitude is one beyond INT64_MAX, so take it unsigned.
    const uint64_t magnitude = d.negative ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number);
    d.digits = magnitude == 0 ? std::string{} : std::to_string(magnitude);
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
        ++d.exponent;
    }
    return rawOf(rowIndex, d);
}

ValueReading readValueOrItemText(int rowIndex, std::string_view text) {
    const std::vector<std::string_view> items = listItems(rowIndex);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text)
            return checked(rowIndex, valueForListIndex(kParamTemplate.at(static_cast<std::size_t>(rowIndex)),
                                                       static_cast<int>(i)));
    return readValueText(rowIndex, text);
}

std::string engineeringText(int rowIndex, int32_t raw) {
    const ParamRow& row = kParamTemplate.at(static_cast<std::size_t>(rowIndex));
    if (row.kind == ParamKind::Combo) return std::to_string(raw);
    return formatWithTemplate(static_cast<long double>(raw) / row.scale, row.format, '.');
}

}  // namespace k54
