#pragma once
// How long characters take on a serial line, and waits that end early when a stop is requested.
#include <chrono>

namespace k54::sim {

using Clock = std::chrono::steady_clock;

// One character: start bit, 8 data bits, parity, stop bit.
Clock::duration characterTime(int baud);

// The quiet time that ends a frame whose length its function code does not give:
// 3.5 characters, at least 5 ms.
Clock::duration frameGap(int baud);

// Sleeps until the time point; false when a stop was requested first.
bool sleepUntil(Clock::time_point wakeTime);

}  // namespace k54::sim
