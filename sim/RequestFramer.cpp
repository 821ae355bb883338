#include "sim/RequestFramer.h"

#include <algorithm>

namespace k54::sim {

namespace {
constexpr std::size_t kFunctionIndex = 1;
constexpr std::size_t kWriteMultipleByteCountIndex = 6;
constexpr std::size_t kWriteMultipleHeader = 9;  // address .. byte count, plus CRC
}  // namespace

std::optional<std::size_t> requestLength(std::span<const uint8_t> start) {
    if (start.size() <= kFunctionIndex) return kFunctionIndex + 1;
    switch (start[kFunctionIndex]) {
        case 0x03:
        case 0x06:
            return 8;
        case 0x10:
            if (start.size() <= kWriteMultipleByteCountIndex) return kWriteMultipleHeader;
            return kWriteMultipleHeader + start[kWriteMultipleByteCountIndex];
        default:
            return std::nullopt;
    }
}

void RequestFramer::add(std::span<const uint8_t> bytes, Clock::time_point arrival) {
    if (bytes.empty()) return;
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    lastArrival_ = arrival;
}

std::optional<RequestFrame> RequestFramer::take(Clock::time_point now) {
    if (pending_.empty()) return std::nullopt;
    const auto length = requestLength(pending_);
    const bool knownFunction = pending_.size() >= 2 && length.has_value();
    if (knownFunction && pending_.size() >= *length && *length <= kLongestFrame) {
        return cut(*length, RequestFrame::End::ByLength, true);
    }
    if (pending_.size() >= kLongestFrame) return cut(kLongestFrame, RequestFrame::End::ByCap, knownFunction);
    if (now - lastArrival_ >= quietGap_) return cut(pending_.size(), RequestFrame::End::ByGap, knownFunction);
    return std::nullopt;
}

std::optional<Clock::time_point> RequestFramer::quietDeadline() const {
    if (pending_.empty()) return std::nullopt;
    return lastArrival_ + quietGap_;
}

RequestFrame RequestFramer::cut(std::size_t length, RequestFrame::End end, bool knownFunction) {
    const auto count = static_cast<std::ptrdiff_t>(std::min(length, pending_.size()));
    RequestFrame frame{std::vector<uint8_t>(pending_.begin(), pending_.begin() + count), end, knownFunction};
    pending_.erase(pending_.begin(), pending_.begin() + count);
    return frame;
}

}  // namespace k54::sim
