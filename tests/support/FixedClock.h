#pragma once
// The clock the test windows run on: 2009-11-18 08:05:29.
#include <ctime>

namespace k54::test {

inline std::tm fixedClock() {
    std::tm t{};
    t.tm_year = 2009 - 1900;
    t.tm_mon = 10;
    t.tm_mday = 18;
    t.tm_hour = 8;
    t.tm_min = 5;
    t.tm_sec = 29;
    return t;
}

}  // namespace k54::test
