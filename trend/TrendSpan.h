#pragma once
// What the trend shows of its buffer: the chosen span back from the newest poll, its statistics, and
// the points to draw, thinned to what a chart of some hundred pixels can show.
#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "trend/TrendBuffer.h"

namespace k54 {

enum class TrendSpan { OneMinute, TenMinutes, OneHour, All };

struct TrendSpanChoice {
    TrendSpan span;
    std::string_view text;  // the item of the span list
};
inline constexpr std::array<TrendSpanChoice, 4> kTrendSpans{{
    {TrendSpan::OneMinute, "1 мин"},
    {TrendSpan::TenMinutes, "10 мин"},
    {TrendSpan::OneHour, "1 ч"},
    {TrendSpan::All, "Всё"},
}};

// The span's length; nothing for All.
std::optional<std::chrono::seconds> spanLength(TrendSpan span);

// The interval the span covers, ending at `end` (the newest poll): from end - length to end, inclusive.
struct TrendInterval {
    std::chrono::system_clock::time_point from, to;
};
// The span's interval; for All, from the oldest point of the newest series (or `end` when there is none).
TrendInterval spanInterval(const TrendBuffer& buffer, TrendSpan span, std::chrono::system_clock::time_point end);

// Index of the first point inside the interval: the newest points back to the first one older than its
// start, never back beyond the newest series (older values are on another scale); of those, any later
// than its end (kept from before the clock was set back) are passed over.
std::size_t firstInInterval(const TrendBuffer& buffer, const TrendInterval& interval);

struct TrendStatistics {
    double current = 0, minimum = 0, maximum = 0, mean = 0;
    std::size_t count = 0;
};
// Current (newest), minimum, maximum and mean of the points inside the interval; nothing when none is.
std::optional<TrendStatistics> statisticsOf(const TrendBuffer& buffer, const TrendInterval& interval);

// The points inside the interval, in order, at most maxPoints of them (at least 2): where there are more,
// each of maxPoints / 2 runs of neighbouring points gives its lowest and its highest, in time order, so
// that no peak disappears. A run that contains a gap starts after the gap.
std::vector<TrendPoint> pointsToDraw(const TrendBuffer& buffer, const TrendInterval& interval, std::size_t maxPoints);

}  // namespace k54
