#include "config/rules/MeasurementConversion.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "base/TextFormat.h"
#include "config/params/InputTypes.h"
#include "config/rules/RangeRules.h"

namespace k54 {
namespace {

struct PrecisionFormat {
    int32_t integerDivisor;
    float floatDivisor;
    const char* format;
};

constexpr std::array<PrecisionFormat, 4> kPrecisionFormats{{
    {1000, 1.0f, "%6.0f"},
    {100, 10.0f, "%7.1f"},
    {10, 100.0f, "%8.2f"},
    {1, 1000.0f, "%9.3f"},
}};

// Maps raw (thousandths) from [lo, hi] (tenths) onto the scaled range [ioLo, ioHi] (tenths); an empty
// range [lo, lo] gives the scaled range's low value instead of a division by zero.
int32_t mapOntoScaledRange(int32_t raw, int64_t lo, int64_t hi, int64_t ioLo, int64_t ioHi) {
    if (hi == lo) return static_cast<int32_t>(std::clamp<int64_t>(ioLo * 100, INT32_MIN, INT32_MAX));
    const long double scaled =
        std::trunc((raw - lo * 100.0L) * static_cast<long double>(ioHi - ioLo) / static_cast<long double>(hi - lo));
    const long double result = scaled + static_cast<long double>(ioLo * 100);
    return static_cast<int32_t>(std::clamp<long double>(result, INT32_MIN, INT32_MAX));
}

int32_t valueOf(const ParamTable& rows, int index) {
    return rows.at(static_cast<std::size_t>(index)).value;
}

int heldPrecision(int precision) {
    return std::clamp(precision, 0, 3);
}

}  // namespace

int32_t convertMeasurement(const ParamTable& rows, int32_t raw) {
    const int32_t mode = valueOf(rows, row::Rng);
    const int64_t ioLo = valueOf(rows, row::Iol), ioHi = valueOf(rows, row::Ioh);
    if (mode == kScaledFull) {
        const auto range = inputRangeTenths(valueOf(rows, row::Mod));
        return range ? mapOntoScaledRange(raw, range->low, range->high, ioLo, ioHi) : raw;
    }
    if (mode == kScaledSet)
        return mapOntoScaledRange(raw, valueOf(rows, row::Dpl), valueOf(rows, row::Dph), ioLo, ioHi);
    return raw;
}

std::string formatMeasurement(int32_t thousandths, int precision, char decimalSeparator) {
    const PrecisionFormat& f = kPrecisionFormats.at(static_cast<std::size_t>(heldPrecision(precision)));
    const float value = static_cast<float>(thousandths / f.integerDivisor) / f.floatDivisor;
    std::string text = formatText(f.format, static_cast<double>(value));
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

std::string measurementText(const ParamTable& rows, int32_t raw, char decimalSeparator) {
    return formatMeasurement(convertMeasurement(rows, raw), measurementDecimals(rows), decimalSeparator);
}

int measurementDecimals(const ParamTable& rows) {
    return heldPrecision(valueOf(rows, row::Ufp) & 0xFF);
}

std::optional<double> measurementNumber(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    std::string number(text.substr(first, text.find_last_not_of(' ') + 1 - first));
    std::replace(number.begin(), number.end(), ',', '.');
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc{} || end != number.data() + number.size()) return std::nullopt;
    return value;
}

std::optional<MeasurementBand> measurementBand(const ParamTable& rows) {
    const auto info = inputTypeInfo(valueOf(rows, row::Mod));
    if (!info) return std::nullopt;
    constexpr double kThousandths = 1000.0;
    const double low = convertMeasurement(rows, info->rangeLow * 1000) / kThousandths;
    const double high = convertMeasurement(rows, info->rangeHigh * 1000) / kThousandths;
    return MeasurementBand{std::min(low, high), std::max(low, high)};
}

std::string_view measurementUnit(const ParamTable& rows) {
    const auto info = inputTypeInfo(valueOf(rows, row::Mod));
    return info ? info->units : std::string_view{};
}

MeasurementPoll measurementPoll(const ParamTable& rows, std::optional<int32_t> raw,
                                std::chrono::system_clock::time_point time, char decimalSeparator) {
    MeasurementPoll poll;
    poll.time = time;
    if (!raw) return poll;
    poll.answered = true;
    poll.text = measurementText(rows, *raw, decimalSeparator);
    poll.value = measurementNumber(poll.text).value_or(0.0);
    poll.decimals = measurementDecimals(rows);
    poll.unit = measurementUnit(rows);
    poll.band = measurementBand(rows);
    return poll;
}

}  // namespace k54
