#pragma once

// What came back on the line for the request last transmitted.

#include "serial/FrameReader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace k54 {

struct Reception {
    std::vector<uint8_t> line;   // every byte read, an echo of the request included
    std::size_t echoLength = 0;  // the leading bytes that were the request's echo
    ReadEnd end = ReadEnd::timeLimit;

    std::span<const uint8_t> echo() const { return std::span(line).first(echoLength); }
    std::span<const uint8_t> reply() const { return std::span(line).subspan(echoLength); }
};

}  // namespace k54
