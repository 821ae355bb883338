#include "config/IsoTime.h"

#include <cstdlib>
#include <ctime>

#include "config/TextFormat.h"

namespace k54 {

using namespace std::chrono;

seconds localUtcOffset(system_clock::time_point time) {
    const std::time_t utc = system_clock::to_time_t(time);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &utc);
#else
    localtime_r(&utc, &local);
#endif
    // The local calendar time read as if it were UTC, less the real UTC time.
    const sys_days day = year{local.tm_year + 1900} / month{static_cast<unsigned>(local.tm_mon + 1)} /
                         static_cast<unsigned>(local.tm_mday);
    const sys_seconds asIfUtc = day + hours{local.tm_hour} + minutes{local.tm_min} + seconds{local.tm_sec};
    return asIfUtc - sys_seconds{seconds{utc}};
}

std::string isoTimestamp(system_clock::time_point time, seconds utcOffset) {
    const auto local = floor<milliseconds>(time) + utcOffset;
    const auto day = floor<days>(local);
    const year_month_day date{day};
    const hh_mm_ss clock{local - day};
    const long long offsetMinutes = std::llabs(duration_cast<minutes>(utcOffset).count());
    return formatText("%04d-%02u-%02uT%02lld:%02lld:%02lld.%03lld%c%02lld:%02lld", static_cast<int>(date.year()),
                      static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                      static_cast<long long>(clock.hours().count()), static_cast<long long>(clock.minutes().count()),
                      static_cast<long long>(clock.seconds().count()),
                      static_cast<long long>(clock.subseconds().count()), utcOffset < seconds{0} ? '-' : '+',
                      offsetMinutes / 60, offsetMinutes % 60);
}

}  // namespace k54
