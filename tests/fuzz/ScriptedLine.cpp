#include "tests/fuzz/ScriptedLine.h"

#include <algorithm>
#include <thread>

#include "tests/fuzz/Violation.h"

namespace k54::fuzz {

void ScriptedLine::expect(LineScript script, std::size_t longestFrame) {
    script_ = std::move(script);
    longestFrame_ = longestFrame;
    nextByte_ = nextArrival_ = waits_ = 0;
    written_.clear();
    delivered_.clear();
}

int32_t ScriptedLine::write(std::span<const uint8_t> bytes) {
    if (!script_.staleInput.empty()) violated("a request sent before the stale input was dropped");
    const std::size_t taken = std::min(bytes.size(), script_.acceptedRequestBytes);
    written_.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(taken));
    return static_cast<int32_t>(taken);
}

int32_t ScriptedLine::read(std::span<uint8_t> into) {
    return readAvailable(into, timeouts_.forCount(into.size()).total);
}

int32_t ScriptedLine::readAvailable(std::span<uint8_t> into, std::chrono::milliseconds wait) {
    ++waits_;
    if (into.empty()) violated("a wait for no bytes at all");
    if (delivered_.size() + into.size() > longestFrame_)
        violated("the channel asked beyond an echo and the longest reply");
    const std::size_t left = script_.bytes.size() - nextByte_;
    if (left == 0) {
        if (script_.end == LineScript::End::lineFails) return -1;
        std::this_thread::sleep_for(wait);
        return 0;
    }
    std::size_t count = std::min(into.size(), left);
    if (nextArrival_ < script_.arrivalSizes.size())
        count = std::min<std::size_t>(count, script_.arrivalSizes[nextArrival_++]);
    const auto first = script_.bytes.begin() + static_cast<std::ptrdiff_t>(nextByte_);
    std::copy_n(first, count, into.begin());
    delivered_.insert(delivered_.end(), first, first + static_cast<std::ptrdiff_t>(count));
    nextByte_ += count;
    return static_cast<int32_t>(count);
}

}  // namespace k54::fuzz
