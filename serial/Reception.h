#pragma once

// What the channel must know of the reply it waits for, and what came back on the line for the
// request last transmitted.

#include "serial/FrameReader.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace k54 {

struct ReplyShape {
    FrameLength length;                                    // the reply's length from its first bytes
    std::function<bool(std::span<const uint8_t>)> counts;  // a whole frame that counts as the reply
};

struct Reception {
    std::vector<uint8_t> line;   // every byte read, an echo of the request included
    std::size_t echoLength = 0;  // the leading bytes that were the request's echo
    ReadEnd end = ReadEnd::timeLimit;

    std::span<const uint8_t> echo() const { return std::span(line).first(echoLength); }
    std::span<const uint8_t> reply() const { return std::span(line).subspan(echoLength); }
};

}  // namespace k54
