#pragma once
// The instrument's measured value as the display settings show it.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/params/ParamTable.h"
#include "config/rules/MeasurementListener.h"

namespace k54 {

inline constexpr uint16_t kRegMeasurement = 60;  // registers 60 - 61, thousandths of the input's unit

// The value (thousandths of the input unit) in the units the display settings give: modes 2 and 3
// map it onto the scaled range; modes 0 and 1 leave it.
int32_t convertMeasurement(const ParamTable& rows, int32_t raw);
// The value's text with the display precision (0 - 3, cut not rounded), as "%6.0f" ... "%9.3f";
// a precision outside 0 - 3 is taken as 3.
std::string formatMeasurement(int32_t thousandths, int precision, char decimalSeparator);
// The converted value's text with the precision the rows hold.
std::string measurementText(const ParamTable& rows, int32_t raw, char decimalSeparator);
// The input type's unit ("°C", "мВ", "мА", "Ом"); empty for a type outside the table. The scaled
// modes still show the input type's unit.
std::string_view measurementUnit(const ParamTable& rows);
// Digits after the decimal separator in the value's text (the display precision, held to 0 - 3).
int measurementDecimals(const ParamTable& rows);
// The number a value's text shows (blanks around it and either decimal separator allowed); nothing
// for a text that is no number.
std::optional<double> measurementNumber(std::string_view text);
// The input type's range where the value is shown: its two limits converted as a measured value is
// (in modes 2 and 3 onto the scaled range), low before high; nothing for a type outside the table.
std::optional<MeasurementBand> measurementBand(const ParamTable& rows);
// One poll of the measurement at `time` as it is shown: the raw value of registers 60 - 61 converted,
// its text, number, decimals, unit and band; a poll without an answer when raw is nothing.
MeasurementPoll measurementPoll(const ParamTable& rows, std::optional<int32_t> raw,
                                std::chrono::system_clock::time_point time, char decimalSeparator);

}  // namespace k54
