#pragma once
// Sends to the configurator's end of the line: replies timed as a real line would carry them (a short
// answer delay, then each character 11 bit times after the one before), and echoes at once.
#include <cstdint>
#include <span>

#include "sim/LineTiming.h"
#include "sim/ReplyShaper.h"

namespace k54::sim {

class LineWriter {
public:
    LineWriter(int lineFd, bool pacing) : lineFd_(lineFd), pacing_(pacing) {}

    // Sends the reply at the instrument's speed with its late start and mid-reply pause; false when it
    // could not all go out or a stop was requested meanwhile.
    bool send(const OutgoingReply& reply, int baud);

    // Hands a request back to the master unpaced: an adapter hears its own characters while it sends them,
    // so the echo is complete when the request is.
    bool echo(std::span<const uint8_t> request);

private:
    bool sendPaced(std::span<const uint8_t> bytes, int baud);

    int lineFd_;
    bool pacing_;
};

inline constexpr std::chrono::milliseconds kAnswerDelay{3};

}  // namespace k54::sim
