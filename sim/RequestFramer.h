#pragma once
// Cuts the bytes arriving from the line into request frames.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sim/LineTiming.h"

namespace k54::sim {

inline constexpr std::size_t kLongestFrame = 256;

struct RequestFrame {
    enum class End {
        ByLength,  // the length its function code gives (3 and 6: 8 bytes; 16: 9 + byte count)
        ByGap,     // the line went quiet before that length, or the function code gives none
        ByCap,     // kLongestFrame bytes without an end
    };
    std::vector<uint8_t> bytes;
    End end;
    bool knownFunction;  // the function code gives the frame's length
};

class RequestFramer {
public:
    explicit RequestFramer(Clock::duration quietGap) : quietGap_(quietGap) {}

    void add(std::span<const uint8_t> bytes, Clock::time_point arrival);

    // The next frame that is complete at `now`, if any; call until it gives nothing.
    std::optional<RequestFrame> take(Clock::time_point now);

    // When the bytes waiting now become a frame by the quiet gap; nothing when none wait.
    std::optional<Clock::time_point> quietDeadline() const;

private:
    RequestFrame cut(std::size_t length, RequestFrame::End end, bool knownFunction);

    Clock::duration quietGap_;
    std::vector<uint8_t> pending_;
    Clock::time_point lastArrival_{};
};

// The length of the request that begins with these bytes, by its function code; nothing for a code
// that gives none. For function 16 before its byte count has arrived, the shortest such frame.
std::optional<std::size_t> requestLength(std::span<const uint8_t> start);

}  // namespace k54::sim
