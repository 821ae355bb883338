// Any bytes as the line's answer to mBus's read (function 3), write of one register (6) and write of
// several (16), handed over in scripted arrivals with waits that pass with nothing, on a line that may
// echo, ending with the line failing or with silence waited out under short read limits.
// Promises, judged by ReplyJudge apart from the master's own check: the result is 0 only for a reply
// that passes every check, an exception code only for a well-formed exception reply from the addressed
// slave to the request's function, and each such reply (alone, or behind the echo) is taken as it is;
// stale input is dropped before the request; the master never asks the line for more than an echo and
// the longest reply; rx holds the reply at its front and zeros after it, nothing past its 512 bytes is
// touched, and no register is decoded from beyond the reply; arguments that cannot be sent send nothing.
//
// The input (missing bytes read as 0):
//   byte 0     bits 0-1: 1 function 6, 2 function 16, else function 3
//              bit 2: the line is known to echo (a read answered behind its echo teaches it first)
//              bit 3: a good reply to the request waits in the input queue, stale, before it is sent
//              bit 4: the line ends in silence, waited out (short limits); else the line fails at once
//              bit 5: the line takes only part of the request
//   byte 1     slave address;  bytes 2-3 start or register;  bytes 4-5 count, value or quantity
//   byte 6     n, then 2n bytes: the values of function 16 (read but unused for 3 and 6)
//   byte       p, then p bytes: the most each wait hands over (0: a wait that passes with nothing)
//   the rest   the bytes on the line
#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "modbus/K54mdb.h"
#include "tests/fuzz/ReplyJudge.h"
#include "tests/fuzz/ScriptedLine.h"
#include "tests/fuzz/Violation.h"

namespace k54::fuzz {
namespace {

using std::chrono::milliseconds;

constexpr std::size_t kRx = kReceiveBufferSize;
constexpr std::size_t kGuard = 16;
constexpr uint8_t kUntouched = 0x5A, kGuardByte = 0xA5;
// Silence is waited out for real, under limits short enough for the fuzzer; a line that fails at its
// end is read under limits that no pause of the fuzzing process can reach, so that only the bytes
// decide where a read ends.
constexpr ReadTimeouts kShortLimits{milliseconds(1), milliseconds(0), milliseconds(1)};
constexpr ReadTimeouts kEndlessLimits{std::chrono::hours(1), milliseconds(0), std::chrono::hours(1)};

// The input read front to back; bytes past its end read as 0.
class Input {
public:
    Input(const uint8_t* data, std::size_t size) : bytes_(data, size) {}
    uint8_t byte() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
    uint16_t word() { return static_cast<uint16_t>((byte() << 8) | byte()); }
    std::vector<uint8_t> take(std::size_t count) {
        std::vector<uint8_t> taken;
        while (count-- > 0 && at_ < bytes_.size()) taken.push_back(bytes_[at_++]);
        return taken;
    }
    std::vector<uint8_t> rest() { return take(bytes_.size()); }

private:
    std::span<const uint8_t> bytes_;
    std::size_t at_ = 0;
};

struct Rig {
    explicit Rig(std::unique_ptr<ScriptedLine> owned = std::make_unique<ScriptedLine>())
        : line(*owned), port(std::move(owned)), bus(port) {}
    ScriptedLine& line;  // owned by the port
    cPort port;
    mBus bus;
};

uint8_t perform(mBus& bus, const ModbusRequest& request, std::span<uint8_t> rx) {
    std::vector<uint8_t> tx(requestFrame(request).size());  // no byte to spare: ASan sees an overrun
    switch (request.function) {
        case 6:
            return bus.writeRegister(tx, rx, request.slave, request.first, static_cast<int16_t>(request.second));
        case 16:
            return bus.writeRegisters(tx, rx, request.slave, request.first, request.second, request.values);
        default:
            return bus.readRegisters(tx, rx, request.slave, request.first, request.second);
    }
}

// A read answered behind its echo: from then on the port knows that the line echoes.
void teachEcho(Rig& rig) {
    const ModbusRequest read{3, 1, 60, 2, {}};
    LineScript script;
    script.bytes = requestFrame(read);
    const std::vector<uint8_t> reply = goodReply(read);
    script.bytes.insert(script.bytes.end(), reply.begin(), reply.end());
    rig.line.expect(script, script.bytes.size());
    std::vector<uint8_t> rx(kRx);
    if (perform(rig.bus, read, rx) != 0 || !rig.port.lineEchoes())
        violated("a read answered behind its echo taught nothing");
}

uint16_t word(std::span<const uint8_t> bytes, std::size_t at) {
    return static_cast<uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

void checkRegisters(std::span<const uint8_t> rx, std::span<const uint8_t> reply, const ModbusRequest& request,
                    uint8_t result) {
    if (result == 0 && request.function == 3)
        for (int k = 0; k < request.second; ++k)
            if (replyRegister(rx, k) != word(reply, 3 + 2 * static_cast<std::size_t>(k)))
                violated("a register decoded other than the reply holds");
    const int pastReply = reply.size() <= 3 ? 0 : static_cast<int>(reply.size() - 2) / 2;
    for (int k = pastReply; k <= static_cast<int>(kRx); ++k)
        if (replyRegister(rx, k) != 0) violated("a register decoded from beyond the reply");
    if (replyRegister(rx, -1) != 0 || replyRegister(rx, INT_MAX) != 0) violated("a register outside rx decoded");
}

void checkReception(const Rig& rig, std::span<const uint8_t> buffer, const ModbusRequest& request, bool echoKnown,
                    bool timingCannotEnd, uint8_t result) {
    const Received received = splitEcho(rig.line.delivered(), request, echoKnown);
    if (timingCannotEnd) {
        const auto frame = leadingFrameLength(rig.line.script().bytes, request, echoKnown);
        if (frame && rig.line.delivered().size() != *frame) violated("a reply that counts not taken whole and alone");
    }
    const uint8_t expected = expectedResult(received.reply, request);
    if (result == 0 && expected != 0) violated("0 for a reply that fails a check");
    if (result != 0 && result != kNoResult && result != expected)
        violated("an exception code without a well-formed exception reply to the request");
    if (result != expected) violated("a reply that counts, alone or behind the echo, was not taken");
    if (rig.port.lineEchoes() != (echoKnown || received.echoLength > 0)) violated("the line's echo learnt wrongly");

    const std::span<const uint8_t> rx = buffer.first(kRx);
    const std::size_t shown = std::min(received.reply.size(), kRx);
    if (!std::equal(received.reply.begin(), received.reply.begin() + static_cast<std::ptrdiff_t>(shown), rx.begin()) ||
        !std::all_of(rx.begin() + static_cast<std::ptrdiff_t>(shown), rx.end(), [](uint8_t b) { return b == 0; }))
        violated("rx holds other than the reply and zeros");
    checkRegisters(rx, received.reply, request, result);
}

}  // namespace
}  // namespace k54::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace k54;
    using namespace k54::fuzz;
    static Rig rig;
    Input input(data, size);
    const uint8_t flags = input.byte();
    ModbusRequest request;
    request.function = std::array<uint8_t, 4>{3, 6, 16, 3}[flags & 3];
    request.slave = input.byte();
    request.first = input.word();
    request.second = input.word();
    const std::size_t valueCount = input.byte();
    for (std::size_t k = 0; k < valueCount; ++k) request.values.push_back(static_cast<int16_t>(input.word()));
    if (request.function != 16) request.values.clear();
    LineScript script;
    script.arrivalSizes = input.take(input.byte());
    script.bytes = input.rest();
    script.end = (flags & 0x10) != 0 ? LineScript::End::silence : LineScript::End::lineFails;
    const std::vector<uint8_t> frame = requestFrame(request);
    if ((flags & 0x20) != 0) script.acceptedRequestBytes = frame.size() - 1;
    if ((flags & 0x08) != 0 && sendable(request)) script.staleInput = goodReply(request);

    rig.port.setup(1, 3);  // a new connection: nothing learnt about the line
    rig.port.setReadTimeouts(kEndlessLimits);
    if ((flags & 0x04) != 0) teachEcho(rig);
    if (script.end == LineScript::End::silence) rig.port.setReadTimeouts(kShortLimits);
    const bool echoKnown = rig.port.lineEchoes();
    rig.line.expect(script, frame.size() + normalReplyLength(request));

    std::vector<uint8_t> buffer(kRx + kGuard, kUntouched);
    std::fill(buffer.begin() + kRx, buffer.end(), kGuardByte);
    const uint8_t result = perform(rig.bus, request, std::span(buffer).first(kRx));
    if (!std::all_of(buffer.begin() + kRx, buffer.end(), [](uint8_t b) { return b == kGuardByte; }))
        violated("a byte past rx's 512 written");

    if (!sendable(request)) {
        const bool untouched =
            std::all_of(buffer.begin(), buffer.end() - kGuard, [](uint8_t b) { return b == kUntouched; });
        if (result != kNoResult || !rig.line.written().empty() || rig.line.waits() != 0 || !untouched)
            violated("arguments that cannot be sent sent something or touched rx");
        return 0;
    }
    if (!std::equal(rig.line.written().begin(), rig.line.written().end(), frame.begin()))
        violated("a request other than the one asked for");
    if (rig.line.written().size() < frame.size()) {
        if (result != kNoResult || rig.line.waits() != 0) violated("a request cut short waited for a reply");
        return 0;
    }
    checkReception(rig, buffer, request, echoKnown, script.end == LineScript::End::lineFails, result);
    return 0;
}
