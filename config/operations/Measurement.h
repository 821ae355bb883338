#pragma once
// The live measured value, polled every 500 ms while the operator has it on, and the clock.
#include <ctime>
#include <string>
#include <string_view>

#include "config/operations/WindowSession.h"
#include "config/rules/MeasurementListener.h"

namespace k54 {

// The clock's text, "2009-11-18   08:05:29".
std::string clockText(const std::tm& time);

void startMeasurementPoll(WindowSession& s);
void stopMeasurementPoll(WindowSession& s);
// One poll; true when a value was shown.
bool pollMeasurement(WindowSession& s);
void endPollBlink(WindowSession& s);
void showClock(WindowSession& s);

}  // namespace k54
