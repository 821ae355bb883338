#pragma once

// Reading one frame whose length the bytes themselves tell: the reader asks the back end only for
// the bytes the frame still needs, so it ends as soon as the frame is whole instead of waiting out
// the inter-byte limit. Time limits as in a plain read: the total limit from the start, the
// inter-byte limit once the first byte has come.

#include "serial/ReadTimeouts.h"
#include "serial/SerialBackend.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace k54 {

// How many bytes the frame needs in all, judged from those that have come so far: while they cannot
// tell yet, a lower bound. A result above the buffer's size is taken as the buffer's size.
using FrameLength = std::function<std::size_t(std::span<const uint8_t> arrived)>;

// Told while a read waits on the line, at least every kWaitSlice: whether to go on waiting. A window
// keeps painting from here instead of freezing for the whole wait; false ends the wait at once (the
// request already sent stays whole on the line: only the wait for its reply is given up).
using WaitHook = std::function<bool()>;
inline constexpr std::chrono::milliseconds kWaitSlice{10};

// Why a read ended.
enum class ReadEnd : uint8_t {
    complete,    // the frame (or the count asked for) is whole
    gap,         // the inter-byte limit passed after the first byte
    timeLimit,   // the total limit passed
    lineFailed,  // the line hung up or the device failed
    abandoned,   // the wait hook asked to stop waiting
};

struct FrameRead {
    std::size_t count = 0;  // bytes read into the front of the buffer
    ReadEnd end = ReadEnd::timeLimit;
};

// Reads into `into` until the frame is whole by `length`, a limit passes or the line fails. With a wait
// hook the waits are cut into slices of kWaitSlice with the hook asked between them; the limits are the
// same either way.
FrameRead readFrame(SerialBackend& backend, std::span<uint8_t> into, const ReadLimits& limits,
                    const FrameLength& length, const WaitHook& hook = {});

// A frame of fixed length: all of the buffer.
FrameRead readWhole(SerialBackend& backend, std::span<uint8_t> into, const ReadLimits& limits);

}  // namespace k54
