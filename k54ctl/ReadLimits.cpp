#include "k54ctl/ReadLimits.h"

#include <algorithm>

namespace k54::ctl {
namespace {

using std::chrono::milliseconds;

constexpr int64_t kBitsPerCharacter = 11;
constexpr milliseconds kInterByte{100};  // the described limit between two bytes of a reply

// A character's time rounded up to whole milliseconds, with one to spare: the per-byte share of a limit.
milliseconds perByteLimit(uint32_t baud) {
    return std::chrono::ceil<milliseconds>(wireTime(1, baud)) + milliseconds(1);
}

}  // namespace

std::chrono::microseconds wireTime(std::size_t bytes, uint32_t baud) {
    const int64_t bits = static_cast<int64_t>(bytes) * kBitsPerCharacter;
    return std::chrono::microseconds(baud == 0 ? 0 : (bits * 1'000'000 + baud - 1) / baud);
}

ReadTimeouts commandTimeouts(uint32_t baud, std::optional<int> timeoutMs) {
    if (!timeoutMs) return {};
    return {kInterByte, perByteLimit(baud), milliseconds(*timeoutMs)};
}

ReadTimeouts scanTimeouts(uint32_t baud, milliseconds answerWindow) {
    const auto firstByte = std::chrono::ceil<milliseconds>(silentProbeTime(baud, answerWindow));
    const milliseconds perByte = perByteLimit(baud);
    return {std::max(answerWindow, 2 * perByte), perByte, firstByte + answerWindow, firstByte};
}

std::chrono::microseconds silentProbeTime(uint32_t baud, milliseconds answerWindow) {
    return wireTime(kRequestLength, baud) + answerWindow;
}

}  // namespace k54::ctl
