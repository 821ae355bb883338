// The line's pieces without the program around them, as a fuzz target or another tool would use them:
// bytes through RequestFramer into LineEmulator, its instruments' libmodbus slaves, and out to a pipe.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/FdIo.h"
#include "sim/Instrument.h"
#include "sim/LineEmulator.h"
#include "sim/LineWriter.h"
#include "sim/ModbusCrc.h"
#include "sim/RequestFramer.h"
#include "sim/TraceWriter.h"
#include "tests/support/ScratchDir.h"

namespace {

using namespace k54::sim;

constexpr std::array<uint8_t, 8> kVersionRequest{0x01, 0x03, 0x00, 0x29, 0x00, 0x02, 0x15, 0xC3};
constexpr std::array<uint8_t, 9> kVersionReply{0x01, 0x03, 0x04, 0x01, 0x5A, 0x00, 0x0D, 0x1A, 0x19};

// A pipe standing in for the configurator's end of the line.
struct Pipe {
    Pipe() {
        if (::pipe2(fds.data(), O_NONBLOCK | O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
    }
    ~Pipe() {
        ::close(fds[0]);
        ::close(fds[1]);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    std::array<int, 2> fds{};
};

class InProcessLine : public testing::Test {
protected:
    // Everything the line has sent so far.
    std::vector<uint8_t> sent() {
        std::vector<uint8_t> bytes;
        readAvailable(pipe_.fds[0], bytes);
        return bytes;
    }

    std::vector<std::string> traceLines() const {
        std::ifstream file(tracePath_);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }

    // Cuts the bytes into frames as the line's silence after them would, and serves each.
    void serveAfterSilence(std::span<const uint8_t> bytes) {
        const auto now = Clock::now();
        framer_.add(bytes, now);
        while (const auto frame = framer_.take(now + frameGap(19200))) line_.handle(*frame, 19200);
    }

    k54::test::ScratchDir dir_{"k54sim-in-process-"};
    std::string tracePath_ = (dir_.path() / "trace.log").string();
    Pipe pipe_;
    std::vector<Instrument> instruments_ = [] {
        std::vector<Instrument> made;
        made.emplace_back(InstrumentSetup{1, 19200, *parseFirmwareVersion(kDefaultFirmwareVersion)});
        return made;
    }();
    TraceWriter trace_{tracePath_};
    LineWriter writer_{pipe_.fds[1], false};
    LineEmulator line_{instruments_, trace_, writer_, FaultSet{}};
    RequestFramer framer_{frameGap(19200)};
};

TEST_F(InProcessLine, FramesServesAndAnswersOnlyAtTheInstrumentsSpeed) {
    const auto now = Clock::now();
    framer_.add(std::span(kVersionRequest).first(3), now);
    EXPECT_FALSE(framer_.take(now).has_value());
    framer_.add(std::span(kVersionRequest).subspan(3), now);
    const auto frame = framer_.take(now);
    ASSERT_TRUE(frame.has_value());

    line_.handle(*frame, 9600);
    EXPECT_TRUE(sent().empty());
    line_.handle(*frame, 19200);
    EXPECT_EQ(sent(), std::vector<uint8_t>(kVersionReply.begin(), kVersionReply.end()));
    EXPECT_EQ(traceLines(), (std::vector<std::string>{
                                "req 01 03 00 29 00 02 15 C3",
                                "rep none (line at 9600 baud, instrument at 19200)",
                                "req 01 03 00 29 00 02 15 C3",
                                "rep 01 03 04 01 5A 00 0D 1A 19",
                            }));
}

// libmodbus reads as many bytes as the function code gives and checks their CRC; a frame that only the
// line's silence ended may carry more, and then its CRC must hold over all of it.
TEST_F(InProcessLine, AWholeRequestAtTheFrontOfALongerFrameGetsNoReply) {
    const auto withCrc = [](std::vector<uint8_t> body) {
        body.resize(body.size() + 2);
        rewriteCrc(body);
        return body;
    };
    const std::vector<uint8_t> unknownFunction = withCrc({0x01, 0x2B});
    const std::vector<uint8_t> readCoils = withCrc({0x01, 0x01, 0x00, 0x00, 0x00, 0x08});
    for (std::vector<uint8_t> frame : {unknownFunction, readCoils}) {
        frame.push_back(0x55);
        serveAfterSilence(frame);
        EXPECT_TRUE(sent().empty()) << hexBytes(frame);
        EXPECT_EQ(traceLines().back(), "rep none (bad crc)") << hexBytes(frame);
    }
    serveAfterSilence(std::span(unknownFunction).first(3));
    EXPECT_EQ(traceLines().back(), "rep none (incomplete request)");

    // The same requests alone are answered: the unknown function with libmodbus's exception 1.
    serveAfterSilence(unknownFunction);
    EXPECT_EQ(sent(), withCrc({0x01, 0xAB, 0x01}));
    serveAfterSilence(readCoils);
    const std::vector<uint8_t> reply = sent();
    ASSERT_GE(reply.size(), 2u);
    EXPECT_EQ(reply[1] & 0x7F, 0x01);
}

}  // namespace
