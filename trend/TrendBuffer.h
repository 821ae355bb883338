#pragma once
// The live values the trend keeps: a bounded buffer, oldest first. At the bound the oldest value goes
// for each new one, so that a week of polling holds no more memory than a day.
#include <chrono>
#include <cstddef>
#include <deque>

namespace k54 {

// The last 24 hours at the poll's pace (2 polls a second): 172 800 values of 24 bytes, about 4 MB.
inline constexpr std::size_t kTrendCapacity = std::size_t{24} * 60 * 60 * 2;

struct TrendPoint {
    std::chrono::system_clock::time_point time;
    double value = 0;
    bool afterGap = false;  // polling stopped between the previous point and this one
};

class TrendBuffer {
public:
    explicit TrendBuffer(std::size_t capacity = kTrendCapacity);

    // Adds a value; it follows a gap when polling stopped since the last value.
    void add(std::chrono::system_clock::time_point time, double value);
    // Polling stopped: the next value does not join the one before it.
    void markGap() { gapPending_ = true; }
    // The values from the next one on are on another scale (another unit, another range conversion):
    // they begin a series of their own, which no line, statistic or band shares with the values before.
    void startSeries();
    // Index of the first value of the newest series (0 while there is one series, or none).
    std::size_t seriesStart() const { return seriesStart_; }

    std::size_t size() const { return points_.size(); }
    bool empty() const { return points_.empty(); }
    const TrendPoint& operator[](std::size_t i) const { return points_.at(i); }
    const TrendPoint& back() const { return points_.back(); }

private:
    std::size_t capacity_;
    std::deque<TrendPoint> points_;
    bool gapPending_ = false;
    bool seriesPending_ = false;
    std::size_t seriesStart_ = 0;
};

}  // namespace k54
