#pragma once
// The live measured value, polled every 500 ms while the operator has it on, and the clock.
#include <ctime>
#include <string>
#include <string_view>

#include "config/MeasurementListener.h"
#include "config/Session.h"

namespace k54 {

// The clock's text, "2009-11-18   08:05:29".
std::string clockText(const std::tm& time);

void startMeasurementPoll(Session& s);
void stopMeasurementPoll(Session& s);
// One poll; true when a value was shown.
bool pollMeasurement(Session& s);
void endPollBlink(Session& s);
void showClock(Session& s);

}  // namespace k54
