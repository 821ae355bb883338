#pragma once
// Sends replies to the configurator's end of the line, timed as a real line would carry them:
// a short answer delay, then each character 11 bit times after the one before.
#include <span>

#include "sim/LineTiming.h"
#include "sim/ReplyShaper.h"

namespace k54::sim {

class LineWriter {
public:
    LineWriter(int lineFd, int baud, bool pacing) : lineFd_(lineFd), baud_(baud), pacing_(pacing) {}

    // Sends the reply with its late start and mid-reply pause; false when it could not all go out
    // or a stop was requested meanwhile.
    bool send(const OutgoingReply& reply);

private:
    bool sendPaced(std::span<const uint8_t> bytes);

    int lineFd_;
    int baud_;
    bool pacing_;
};

inline constexpr std::chrono::milliseconds kAnswerDelay{3};

}  // namespace k54::sim
