// k54sim's line as a master meets it: an adapter that echoes every request, and instruments that answer
// only while the master's end of the line runs at their speed.
#include <gtest/gtest.h>
#include <modbus.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <string>
#include <vector>

#include "modbus/K54mdb.h"
#include "serial/K54com.h"
#include "serial/PlatformSerial.h"
#include "tests/sim/RawLine.h"
#include "tests/sim/SimMaster.h"
#include "tests/sim/TracePredicates.h"
#include "tests/support/SimInstrument.h"

namespace {

using k54::test::hasLine;
using k54::test::hasLineMatching;
using k54::test::kAnyCrc;
using k54::test::Outcome;
using k54::test::RawLine;
using k54::test::SimInstrument;
using k54::test::SimMaster;

// Function 3 for the firmware version (registers 41 - 42), to slave 1 and to slave 5.
constexpr std::array<uint8_t, 8> kVersionRequest{0x01, 0x03, 0x00, 0x29, 0x00, 0x02, 0x15, 0xC3};
constexpr std::array<uint8_t, 8> kVersionRequestTo5{0x05, 0x03, 0x00, 0x29, 0x00, 0x02, 0x14, 0x47};
constexpr std::array<uint8_t, 9> kVersionReply{0x01, 0x03, 0x04, 0x01, 0x5A, 0x00, 0x0D, 0x1A, 0x19};

std::vector<uint8_t> joined(std::span<const uint8_t> first, std::span<const uint8_t> second) {
    std::vector<uint8_t> bytes(first.begin(), first.end());
    bytes.insert(bytes.end(), second.begin(), second.end());
    return bytes;
}

TEST(K54SimLine, EchoesEveryRequestBeforeTheReplyAndAlsoWhenNoneFollows) {
    SimInstrument sim({"--fault", "echo"});
    RawLine line(sim.devicePath(), 19200);

    line.send(kVersionRequestTo5);
    EXPECT_EQ(line.receive(kVersionRequestTo5.size()),
              std::vector<uint8_t>(kVersionRequestTo5.begin(), kVersionRequestTo5.end()));
    EXPECT_TRUE(sim.waitForTrace(hasLine("rep none (no instrument at address 5)")));

    // Nothing but the echo came for the unanswered request: the next request's echo comes first.
    line.send(kVersionRequest);
    EXPECT_EQ(line.receive(kVersionRequest.size() + kVersionReply.size()), joined(kVersionRequest, kVersionReply));
    EXPECT_EQ(sim.traceLines(), (k54::test::TraceLines{
                                    "req 05 03 00 29 00 02 14 47",
                                    "echo 05 03 00 29 00 02 14 47",
                                    "rep none (no instrument at address 5)",
                                    "req 01 03 00 29 00 02 15 C3",
                                    "echo 01 03 00 29 00 02 15 C3",
                                    "rep 01 03 04 01 5A 00 0D 1A 19",
                                }));
}

TEST(K54SimLine, EchoComesAndGoesByControlCommand) {
    SimInstrument sim;
    RawLine line(sim.devicePath(), 19200);
    sim.control("fault echo silent");
    line.send(kVersionRequest);
    EXPECT_EQ(line.receive(kVersionRequest.size()),
              std::vector<uint8_t>(kVersionRequest.begin(), kVersionRequest.end()));
    EXPECT_TRUE(sim.waitForTrace(hasLine("rep none (silent)")));

    sim.control("clear");
    line.send(kVersionRequest);
    EXPECT_EQ(line.receive(kVersionReply.size()), std::vector<uint8_t>(kVersionReply.begin(), kVersionReply.end()));
}

// The configurator sets its end of the line with tcsetattr when it opens the port; the instrument hears
// only the speed it runs at.
TEST(K54SimLine, AnswersOnlyOnceTheConfiguratorsPortRunsAtTheInstrumentsSpeed) {
    SimInstrument sim;  // 19200 baud
    k54::cPort port(k54::makePlatformSerialBackend(sim.portsDir()));
    k54::mBus bus(port);
    struct : k54::StatusSink {
        void beep() override {}
        void reportStatus(std::string_view) override {}
    } sink;
    const auto portNumber = static_cast<uint8_t>(sim.portNumber());
    constexpr uint8_t kSpeed9600 = 2;
    constexpr uint8_t kSpeed19200 = 3;

    ASSERT_TRUE(port.open(portNumber, kSpeed9600, sink));
    ASSERT_EQ(port.transmit(kVersionRequest), static_cast<int32_t>(kVersionRequest.size()));
    EXPECT_TRUE(sim.waitForTrace(hasLine("rep none (line at 9600 baud, instrument at 19200)")))
        << ::testing::PrintToString(sim.traceLines());

    ASSERT_TRUE(port.open(portNumber, kSpeed19200, sink));
    std::array<uint8_t, 8> tx{};
    std::array<uint8_t, k54::kReceiveBufferSize> rx{};
    ASSERT_EQ(bus.readRegisters(tx, rx, 1, 41, 2), 0);
    EXPECT_EQ(std::vector<uint8_t>(rx.begin(), rx.begin() + kVersionReply.size()),
              std::vector<uint8_t>(kVersionReply.begin(), kVersionReply.end()));
    EXPECT_EQ(sim.traceLines().back(), "rep 01 03 04 01 5A 00 0D 1A 19");
}

TEST(K54SimLine, EachInstrumentAnswersAtItsOwnSpeed) {
    SimInstrument sim({"--address", "17", "--address", "30@9600"});  // 17 at the default --baud, 19200
    struct Case {
        int slave;
        int baud;
        int expectedRc;
        std::string replyInTrace;
    };
    const std::vector<Case> cases{
        {17, 19200, 2, "rep 11 03 04 01 5A 00 0D" + kAnyCrc + " \\(instrument 17\\)"},
        {30, 19200, -1, "rep none \\(line at 19200 baud, instrument at 9600\\)"},
        {30, 9600, 2, "rep 1E 03 04 01 5A 00 0D" + kAnyCrc + " \\(instrument 30\\)"},
        {17, 9600, -1, "rep none \\(line at 9600 baud, instrument at 19200\\)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.slave) + " at " + std::to_string(c.baud));
        SimMaster master(sim.devicePath(), c.slave, c.baud,
                         c.expectedRc < 0 ? SimMaster::kSilenceWait : SimMaster::kAnswerWait);
        const auto read = master.read(41, 2);
        EXPECT_EQ(read.rc, c.expectedRc);
        EXPECT_EQ(read.error, c.expectedRc < 0 ? ETIMEDOUT : 0);
        EXPECT_TRUE(sim.waitForTrace(hasLineMatching(c.replyInTrace))) << ::testing::PrintToString(sim.traceLines());
    }

    // A write at another speed never reaches the instrument; once it runs at the line's speed it answers.
    const Outcome factory = SimMaster(sim.devicePath(), 30, 9600).read(5, 1);
    ASSERT_EQ(factory.rc, 1) << modbus_strerror(factory.error);
    const uint16_t factoryValue = factory.values.at(0);
    SimMaster master(sim.devicePath(), 30, 19200, SimMaster::kSilenceWait);
    EXPECT_EQ(master.writeOne(5, static_cast<uint16_t>(factoryValue + 1)).error, ETIMEDOUT);
    sim.control("@30 baud 19200");
    EXPECT_EQ(master.read(5, 1).values, std::vector<uint16_t>{factoryValue});
}

}  // namespace
