#include "sim/ReplyShaper.h"

#include <array>

#include "sim/ModbusCrc.h"

namespace k54::sim {

namespace {

constexpr std::array<uint8_t, 3> kJunk{0xFF, 0x55, 0xAA};
constexpr uint8_t kExceptionBit = 0x80;

// Read holding registers becomes read input registers; every other function becomes read holding
// registers. The exception bit is kept.
uint8_t otherFunction(uint8_t function) {
    const auto base = static_cast<uint8_t>(function & ~kExceptionBit);
    const uint8_t replacement = base == 0x03 ? 0x04 : 0x03;
    return static_cast<uint8_t>((function & kExceptionBit) | replacement);
}

void rewriteHeader(std::vector<uint8_t>& bytes, const FaultSet& faults) {
    if (bytes.size() < 4) return;
    if (faults.strangerAddress) bytes.front() = *faults.strangerAddress;
    if (faults.wrongFunction) bytes.at(1) = otherFunction(bytes.at(1));
    if (faults.strangerAddress || faults.wrongFunction) rewriteCrc(bytes);
    if (faults.badCrc) bytes.back() ^= 0x01;
}

void addJunk(std::vector<uint8_t>& bytes, const FaultSet& faults) {
    if (faults.garbage) bytes.insert(bytes.begin(), kJunk.begin(), kJunk.end());
    if (faults.trailing) bytes.insert(bytes.end(), kJunk.begin(), kJunk.end());
}

}  // namespace

std::vector<uint8_t> exceptionReply(uint8_t address, uint8_t function, uint8_t code) {
    std::vector<uint8_t> reply{address, static_cast<uint8_t>(function | kExceptionBit), code, 0, 0};
    rewriteCrc(reply);
    return reply;
}

OutgoingReply shapeReply(std::vector<uint8_t> reply, const FaultSet& faults) {
    OutgoingReply outgoing;
    outgoing.bytes = std::move(reply);
    rewriteHeader(outgoing.bytes, faults);
    if (faults.truncate) outgoing.bytes.resize(outgoing.bytes.size() / 2);
    addJunk(outgoing.bytes, faults);
    outgoing.gapMs = faults.gapMs;
    outgoing.gapAfter = faults.gapMs > 0 ? outgoing.bytes.size() / 2 : 0;
    outgoing.lateMs = faults.lateMs;
    return outgoing;
}

}  // namespace k54::sim
