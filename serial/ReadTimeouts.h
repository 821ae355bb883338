#pragma once

// The channel's read time limits. The program uses the described ones (the defaults); tests and a
// quick scan of a line use shorter ones.

#include <chrono>
#include <cstddef>
#include <optional>

namespace k54 {

// The two limits one read of a given length runs under.
struct ReadLimits {
    std::chrono::milliseconds total;                       // from the start of the read to its end
    std::chrono::milliseconds interByte;                   // between two bytes, once the first has come
    std::optional<std::chrono::milliseconds> firstByte{};  // from the start until the first byte, when shorter
};

struct ReadTimeouts {
    std::chrono::milliseconds interByte{100};  // largest gap between two bytes once the first has come
    std::chrono::milliseconds perByte{100};    // total limit: perByte x count ...
    std::chrono::milliseconds constant{5000};  // ... + constant
    // When set, a read whose first byte has not come within this time ends there: a scan of a line
    // waits for an answer only as long as an instrument takes to begin one. (The described limits
    // have none.)
    std::optional<std::chrono::milliseconds> firstByte{};

    ReadLimits forCount(std::size_t count) const {
        return {perByte * static_cast<std::chrono::milliseconds::rep>(count) + constant, interByte, firstByte};
    }

    friend bool operator==(const ReadTimeouts&, const ReadTimeouts&) = default;
};

}  // namespace k54
