#pragma once
// The live measured value, polled every 500 ms while the operator has it on, and the clock.
#include <ctime>
#include <string>

#include "config/Session.h"

namespace k54 {

inline constexpr uint16_t kRegMeasurement = 60;

// The instrument's value (thousandths of the input unit) in the units the display settings give:
// modes 2 and 3 map it onto the scaled range; modes 0 and 1 leave it.
int32_t convertMeasurement(const k54L& k, int32_t raw);
// The value's text with the display precision (0 - 3, cut not rounded), as "%6.0f" ... "%9.3f".
std::string formatMeasurement(int32_t thousandths, int precision, char decimalSeparator);
// The clock's text, "2009-11-18   08:05:29".
std::string clockText(const std::tm& time);

void startMeasurementPoll(Session& s);
void stopMeasurementPoll(Session& s);
// One poll; true when a value was shown.
bool pollMeasurement(Session& s);
void endPollBlink(Session& s);
void showClock(Session& s);

}  // namespace k54
