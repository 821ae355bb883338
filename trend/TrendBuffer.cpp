#include "trend/TrendBuffer.h"

#include <algorithm>

namespace k54 {

TrendBuffer::TrendBuffer(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {}

void TrendBuffer::add(std::chrono::system_clock::time_point time, double value) {
    if (points_.size() == capacity_) {
        points_.pop_front();
        if (seriesStart_ > 0) --seriesStart_;
    }
    if (seriesPending_) seriesStart_ = points_.size();
    points_.push_back({time, value, gapPending_ && !points_.empty()});
    gapPending_ = false;
    seriesPending_ = false;
}

void TrendBuffer::startSeries() {
    seriesPending_ = true;
    gapPending_ = true;
}

}  // namespace k54
