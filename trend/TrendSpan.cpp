#include "trend/TrendSpan.h"

#include <algorithm>

namespace k54 {

using std::chrono::system_clock;

std::optional<std::chrono::seconds> spanLength(TrendSpan span) {
    using namespace std::chrono_literals;
    switch (span) {
        case TrendSpan::OneMinute:
            return 60s;
        case TrendSpan::TenMinutes:
            return 600s;
        case TrendSpan::OneHour:
            return 3600s;
        case TrendSpan::All:
            break;
    }
    return std::nullopt;
}

TrendInterval spanInterval(const TrendBuffer& buffer, TrendSpan span, system_clock::time_point end) {
    if (const auto length = spanLength(span)) return {end - *length, end};
    return {buffer.empty() ? end : std::min(buffer[buffer.seriesStart()].time, end), end};
}

std::size_t firstInInterval(const TrendBuffer& buffer, const TrendInterval& interval) {
    std::size_t first = buffer.size();
    while (first > buffer.seriesStart() && buffer[first - 1].time >= interval.from) --first;
    // Points later than the interval's end, kept from before the clock was set back, are passed over.
    while (first < buffer.size() && buffer[first].time > interval.to) ++first;
    return first;
}

std::optional<TrendStatistics> statisticsOf(const TrendBuffer& buffer, const TrendInterval& interval) {
    std::optional<TrendStatistics> result;
    double sum = 0;
    for (std::size_t i = firstInInterval(buffer, interval); i < buffer.size() && buffer[i].time <= interval.to; ++i) {
        const double v = buffer[i].value;
        if (!result) result = TrendStatistics{v, v, v, v, 0};
        result->current = v;
        result->minimum = std::min(result->minimum, v);
        result->maximum = std::max(result->maximum, v);
        sum += v;
        ++result->count;
    }
    if (result) result->mean = sum / static_cast<double>(result->count);
    return result;
}

std::vector<TrendPoint> pointsToDraw(const TrendBuffer& buffer, const TrendInterval& interval, std::size_t maxPoints) {
    const std::size_t first = firstInInterval(buffer, interval);
    std::size_t last = first;
    while (last < buffer.size() && buffer[last].time <= interval.to) ++last;
    const std::size_t count = last - first;
    maxPoints = std::max<std::size_t>(maxPoints, 2);

    std::vector<TrendPoint> drawn;
    if (count <= maxPoints) {
        for (std::size_t i = first; i < last; ++i) drawn.push_back(buffer[i]);
        return drawn;
    }
    const std::size_t runs = maxPoints / 2;
    for (std::size_t run = 0; run < runs; ++run) {
        const std::size_t begin = first + count * run / runs;
        const std::size_t end = first + count * (run + 1) / runs;
        std::size_t low = begin, high = begin;
        bool gap = false;
        for (std::size_t i = begin; i < end; ++i) {
            gap = gap || buffer[i].afterGap;
            if (buffer[i].value < buffer[low].value) low = i;
            if (buffer[i].value > buffer[high].value) high = i;
        }
        TrendPoint earlier = buffer[std::min(low, high)];
        TrendPoint later = buffer[std::max(low, high)];
        earlier.afterGap = gap;
        later.afterGap = false;
        drawn.push_back(earlier);
        if (high != low) drawn.push_back(later);
    }
    return drawn;
}

}  // namespace k54
