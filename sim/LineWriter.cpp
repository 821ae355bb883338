#include "sim/LineWriter.h"

#include <algorithm>

#include "sim/FdIo.h"

namespace k54::sim {

namespace {
constexpr auto kWriteDeadline = std::chrono::seconds(2);
}  // namespace

bool LineWriter::send(const OutgoingReply& reply, int baud) {
    auto start = Clock::now() + std::chrono::milliseconds(reply.lateMs);
    if (pacing_) start += kAnswerDelay;
    if (!sleepUntil(start)) return false;

    const std::span<const uint8_t> bytes(reply.bytes);
    const std::size_t split = std::min(reply.gapAfter, bytes.size());
    if (!sendPaced(bytes.first(split), baud)) return false;
    if (reply.gapMs > 0 && !sleepUntil(Clock::now() + std::chrono::milliseconds(reply.gapMs))) return false;
    return sendPaced(bytes.subspan(split), baud);
}

bool LineWriter::echo(std::span<const uint8_t> request) {
    return writeAll(lineFd_, request, Clock::now() + kWriteDeadline);
}

bool LineWriter::sendPaced(std::span<const uint8_t> bytes, int baud) {
    if (!pacing_) return writeAll(lineFd_, bytes, Clock::now() + kWriteDeadline);
    const auto start = Clock::now();
    const auto perCharacter = characterTime(baud);
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        // A character reaches the other end when its last bit has been sent.
        if (!sleepUntil(start + perCharacter * static_cast<int64_t>(sent + 1))) return false;
        const auto arrived = static_cast<std::size_t>((Clock::now() - start) / perCharacter);
        const std::size_t due = std::clamp<std::size_t>(arrived, sent + 1, bytes.size());
        if (!writeAll(lineFd_, bytes.subspan(sent, due - sent), Clock::now() + kWriteDeadline)) return false;
        sent = due;
    }
    return true;
}

}  // namespace k54::sim
