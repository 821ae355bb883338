// Any byte stream from the master into k54sim's line, in process: RequestFramer cuts it into frames
// (by length, by the quiet gap between arrivals, or at its cap), LineEmulator serves each one by the
// libmodbus slaves of three instruments (addresses 1 and 17 at 19200 baud, 30 at 9600) and writes what
// goes back into a socket pair, which the target reads after every frame.
// Promises: nothing crashes; a frame with a bad CRC, for an address no instrument has (the broadcast
// address included) or for an instrument deaf at the line's speed gets no reply at all (an echo, when
// the line echoes, is no reply); every reply that goes out is a well-formed Modbus reply to the frame it
// answers (same address, same function or its exception, good CRC, the length its function gives); a
// whole good read, write or write of several registers for an instrument that hears it gets a reply.
//
// The input: byte 0: bit 0 the line echoes every request; bit 1 the line runs at 9600 baud; bit 2 the
// instruments answer with the exception whose code is byte 1. Then arrivals, each as n, a pause after
// it in milliseconds, and n bytes, until the input ends.
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "serial/posix/UniqueFd.h"
#include "sim/FdIo.h"
#include "sim/Instrument.h"
#include "sim/LineEmulator.h"
#include "sim/LineWriter.h"
#include "sim/RequestFramer.h"
#include "sim/TraceWriter.h"
#include "tests/fuzz/ReplyJudge.h"
#include "tests/fuzz/Violation.h"

namespace k54::fuzz {
namespace {

using namespace k54::sim;

struct Setup {
    int address;
    int baud;
};
constexpr std::array<Setup, 3> kInstruments{{{1, 19200}, {17, 19200}, {30, 9600}}};

// A socket pair standing in for the line: the simulator writes its replies into one end, the master's
// end reads them.
struct SocketPair {
    SocketPair() {
        std::array<int, 2> fds{};
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds.data()) != 0)
            throw std::runtime_error("no socket pair");
        masterEnd.reset(fds[0]);
        simEnd.reset(fds[1]);
    }
    k54::UniqueFd masterEnd, simEnd;
};

// The simulator's line, made once: every instrument holds a libmodbus context on a pseudo-terminal.
struct SimLine {
    SimLine() {
        for (const Setup& setup : kInstruments)
            instruments.emplace_back(
                InstrumentSetup{setup.address, setup.baud, *parseFirmwareVersion(kDefaultFirmwareVersion)});
        for (Instrument& instrument : instruments) {
            auto& image = startImages.emplace_back();
            for (int reg = 0; reg < RegisterBank::kRegisterCount; ++reg)
                image.at(static_cast<std::size_t>(reg)) = instrument.registers().get(reg);
        }
    }

    // Every instrument back to its registers at start, the faults as asked, nothing left on the line.
    void reset(const FaultSet& faults) {
        for (std::size_t k = 0; k < instruments.size(); ++k)
            for (int reg = 0; reg < RegisterBank::kRegisterCount; ++reg)
                instruments[k].registers().set(reg, startImages[k].at(static_cast<std::size_t>(reg)));
        emulator.setFaults(faults);
        sent();
    }

    std::vector<uint8_t> sent() {
        std::vector<uint8_t> bytes;
        readAvailable(master.masterEnd.get(), bytes);
        return bytes;
    }

    SocketPair master;
    std::vector<Instrument> instruments;
    std::vector<std::array<uint16_t, RegisterBank::kRegisterCount>> startImages;
    TraceWriter trace{""};
    LineWriter writer{master.simEnd.get(), false};
    LineEmulator emulator{instruments, trace, writer, FaultSet{}};
};

bool hears(uint8_t address, int lineBaud) {
    return std::ranges::any_of(kInstruments,
                               [&](const Setup& s) { return s.address == address && s.baud == lineBaud; });
}

bool startsWith(std::span<const uint8_t> bytes, std::span<const uint8_t> start) {
    return bytes.size() >= start.size() && std::equal(start.begin(), start.end(), bytes.begin());
}

// The length a normal reply to this function has by its own bytes; nothing where the function gives none.
std::optional<std::size_t> normalLength(std::span<const uint8_t> reply) {
    switch (reply[1]) {
        case 0x01:
        case 0x02:
        case 0x03:
        case 0x04:
        case 0x11:
        case 0x17:
            return reply.size() >= 3 ? std::optional<std::size_t>(5u + reply[2]) : std::nullopt;
        case 0x05:
        case 0x06:
        case 0x0F:
        case 0x10:
            return 8;
        case 0x16:
            return 10;
        default:
            return std::nullopt;
    }
}

// A reply that fits the frame it answers: its address and function (or the function's exception, 5
// bytes), a good CRC and the length its function gives; for functions 3, 6 and 16 the byte count of the
// read and the echo of the write.
bool fitsRequest(std::span<const uint8_t> reply, std::span<const uint8_t> request) {
    if (reply.size() < 4 || !crcHolds(reply) || reply[0] != request[0]) return false;
    if (reply[1] == (request[1] | 0x80)) return reply.size() == 5 && reply[2] != 0;
    if (reply[1] != request[1]) return false;
    const auto length = normalLength(reply);
    if (length && reply.size() != *length) return false;
    switch (request[1]) {
        case 0x03:
            return request.size() >= 6 && reply[2] == 2 * ((request[4] << 8) | request[5]);
        case 0x06:
            return std::ranges::equal(reply, request.first(std::min<std::size_t>(request.size(), 8)));
        case 0x10:
            return std::equal(reply.begin(), reply.begin() + 6, request.begin());
        default:
            return true;
    }
}

bool wholeGoodRequest(const RequestFrame& frame) {
    const uint8_t function = frame.bytes.size() >= 2 ? frame.bytes[1] : 0;
    return frame.end == RequestFrame::End::ByLength && (function == 3 || function == 6 || function == 16) &&
           crcHolds(frame.bytes);
}

void check(const RequestFrame& frame, std::span<const uint8_t> sent, bool echoes, int lineBaud) {
    if (echoes && !startsWith(sent, frame.bytes)) violated("the line's echo is not the request");
    const std::span<const uint8_t> reply = sent.subspan(echoes ? frame.bytes.size() : 0);
    const bool answerable = frame.bytes.size() >= 4 && crcHolds(frame.bytes) && hears(frame.bytes[0], lineBaud);
    if (reply.empty()) {
        if (answerable && wholeGoodRequest(frame))
            violated("a whole good request for an instrument that hears it got no reply");
        return;
    }
    if (!crcHolds(frame.bytes)) violated("a reply to a request with a bad CRC");
    if (!answerable) violated("a reply to a request for another address or for a deaf instrument");
    if (!fitsRequest(reply, frame.bytes)) violated("a reply that is not a well-formed reply to its request");
}

// Reads a two-byte arrival header and its bytes; false at the end of the input.
struct Arrivals {
    std::span<const uint8_t> rest;
    bool next(std::span<const uint8_t>& bytes, std::chrono::milliseconds& pause) {
        if (rest.size() < 2) return false;
        const std::size_t n = std::min<std::size_t>(rest[0], rest.size() - 2);
        pause = std::chrono::milliseconds(rest[1]);
        bytes = rest.subspan(2, n);
        rest = rest.subspan(2 + n);
        return true;
    }
};

}  // namespace
}  // namespace k54::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace k54::fuzz;
    using namespace k54::sim;
    if (size < 2) return 0;
    static SimLine line;
    FaultSet faults;  // as k54sim's --fault options give them
    if ((data[0] & 1) != 0) addFault(faults, "echo");
    if ((data[0] & 4) != 0) addFault(faults, "exception=" + std::to_string(data[1]));  // 1 - 255; 0 is refused
    const int lineBaud = (data[0] & 2) != 0 ? 9600 : 19200;
    line.reset(faults);

    RequestFramer framer(frameGap(lineBaud));
    auto now = Clock::time_point{} + std::chrono::hours(1);
    const auto serveFrames = [&] {
        while (const auto frame = framer.take(now)) {
            line.emulator.handle(*frame, lineBaud);
            check(*frame, line.sent(), faults.echo, lineBaud);
        }
    };
    Arrivals arrivals{std::span(data, size).subspan(2)};
    std::span<const uint8_t> bytes;
    std::chrono::milliseconds pause{};
    while (arrivals.next(bytes, pause)) {
        framer.add(bytes, now);
        now += pause;
        serveFrames();
    }
    now += std::chrono::seconds(1);  // the line falls quiet
    serveFrames();
    return 0;
}
