#include "base/IsoTime.h"

#include <cstdlib>

#include "base/TextFormat.h"

namespace k54 {

using namespace std::chrono;

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
