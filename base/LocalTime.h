#pragma once
// The system's local calendar time and its offset from UTC: the one place that asks the platform.
#include <chrono>
#include <ctime>

namespace k54 {

// The local calendar time of a moment, as the system's time zone gives it.
std::tm localCalendarTime(std::time_t time);
// The local calendar time now: a backup's name, a configuration file's "saved", the window's clock.
std::tm localCalendarTimeNow();

// The local time's offset from UTC at that moment (daylight saving included), worked out from the two
// calendar times rather than asked of strftime's %z, which some C libraries answer with the zone's name.
std::chrono::seconds localUtcOffset(std::chrono::system_clock::time_point time);

}  // namespace k54
