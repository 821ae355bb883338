#include "base/LocalTime.h"

namespace k54 {
namespace {

using namespace std::chrono;

// A calendar time read as if it were UTC, so that two of them can be subtracted.
sys_seconds asIfUtc(const std::tm& time) {
    const sys_days day =
        year{time.tm_year + 1900} / month{static_cast<unsigned>(time.tm_mon + 1)} / static_cast<unsigned>(time.tm_mday);
    return day + hours{time.tm_hour} + minutes{time.tm_min} + seconds{time.tm_sec};
}

}  // namespace

std::tm localCalendarTime(std::time_t time) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    return local;
}

std::tm localCalendarTimeNow() {
    return localCalendarTime(std::time(nullptr));
}

seconds localUtcOffset(system_clock::time_point time) {
    const std::time_t utc = system_clock::to_time_t(time);
    return asIfUtc(localCalendarTime(utc)) - sys_seconds{seconds{utc}};
}

}  // namespace k54
