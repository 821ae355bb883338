#include "serial/FrameReader.h"

#include <algorithm>

namespace k54 {

namespace {

using Clock = std::chrono::steady_clock;

// The time left until `deadline`, rounded up so that a wait never ends before it.
std::chrono::milliseconds timeLeft(Clock::time_point deadline) {
    return std::max(std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()),
                    std::chrono::milliseconds::zero());
}

}  // namespace

FrameRead readFrame(SerialBackend& backend, std::span<uint8_t> into, const ReadLimits& limits,
                    const FrameLength& length, const WaitHook& hook) {
    const auto start = Clock::now();
    const auto totalDeadline = start + limits.total;
    const auto firstByteDeadline =
        limits.firstByte ? std::min(start + *limits.firstByte, totalDeadline) : totalDeadline;
    FrameRead read;
    auto lastByte = start;
    for (;;) {
        const std::size_t needed = std::min(length(into.first(read.count)), into.size());
        if (read.count >= needed) {
            read.end = ReadEnd::complete;
            return read;
        }
        const auto gapDeadline = lastByte + limits.interByte;
        const bool gapFirst = read.count > 0 && gapDeadline < totalDeadline;
        const auto deadline = read.count == 0 ? firstByteDeadline : totalDeadline;
        const std::chrono::milliseconds left = timeLeft(gapFirst ? gapDeadline : deadline);
        if (hook && left > std::chrono::milliseconds::zero() && !hook()) {
            read.end = ReadEnd::abandoned;
            return read;
        }
        const std::chrono::milliseconds wait = hook ? std::min(left, kWaitSlice) : left;
        // Asked even when the time is up (then without waiting): the limits are on the line, and bytes
        // that arrived in time while this program was kept from running came in time.
        const int32_t got = backend.readAvailable(into.subspan(read.count, needed - read.count), wait);
        if (got < 0) {
            read.end = ReadEnd::lineFailed;
            return read;
        }
        if (got > 0) {
            read.count += std::min(static_cast<std::size_t>(got), needed - read.count);
            lastByte = Clock::now();
        } else if (left == std::chrono::milliseconds::zero()) {
            read.end = gapFirst ? ReadEnd::gap : ReadEnd::timeLimit;
            return read;
        }
    }
}

FrameRead readWhole(SerialBackend& backend, std::span<uint8_t> into, const ReadLimits& limits) {
    const std::size_t size = into.size();
    return readFrame(backend, into, limits, [size](std::span<const uint8_t>) { return size; });
}

}  // namespace k54
