// mBus and cPort against the simulated instrument k54sim on a virtual port: the requests in its
// trace, its answers read back, and its injected faults.

#include "RecordingSink.h"
#include "modbus/K54mdb.h"
#include "serial/K54com.h"
#include "serial/PlatformSerial.h"
#include "tests/support/SimInstrument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::chrono_literals;
using k54::kNoReply;
using k54::mBus;
using k54::replyRegister;
using k54::test::SimInstrument;
using k54::test::TraceLines;

constexpr uint8_t kSpeed19200 = 3;
constexpr uint16_t kVersionHigh = 0x015A;   // 1.90.0013: V1 = 1, V2 = 90
constexpr uint16_t kVersionLow = 0x000D;    //            V3 = 0, V4 = 13

std::string traceLine(const char* kind, std::span<const uint8_t> bytes)
{
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string line = kind;
    for (const uint8_t byte : bytes) {
        line += ' ';
        line += kDigits.at(byte >> 4U);
        line += kDigits.at(byte & 0x0FU);
    }
    return line;
}

// A channel and a master opened on a running k54sim.
class SimLink {
public:
    SimLink(const std::vector<std::string>& simArgs, uint8_t speedIndex)
        : sim(simArgs), port(k54::makePlatformSerialBackend(sim.portsDir())), bus(port)
    {
        opened = port.open(static_cast<uint8_t>(sim.portNumber()), speedIndex, sink);
    }

    bool traced(const std::string& line) const
    {
        return sim.waitForTrace([&](const TraceLines& lines) {
            return std::ranges::find(lines, line) != lines.end();
        });
    }

    // Whether the trace shows the request now in tx, `length` bytes long.
    bool requestTraced(std::size_t length) const { return traced(traceLine("req", std::span(tx).first(length))); }

    SimInstrument sim;
    k54::test::RecordingSink sink;
    k54::cPort port;
    mBus bus;
    bool opened = false;
    std::array<uint8_t, 512> tx{};
    std::array<uint8_t, k54::kReceiveBufferSize> rx{};
};

struct SpeedCase {
    uint8_t speedIndex;
    const char* baud;

    friend void PrintTo(const SpeedCase& c, std::ostream* os) { *os << c.baud << " baud"; }
};

class ModbusSim : public testing::TestWithParam<SpeedCase> {};

TEST_P(ModbusSim, ReadsTheVersionTheMeasurementAndTheConfiguration)
{
    SimLink link({"--baud", GetParam().baud}, GetParam().speedIndex);
    ASSERT_TRUE(link.opened) << (link.sink.statuses.empty() ? "" : link.sink.statuses.front());
    ASSERT_EQ(link.bus.readRegisters(link.tx, link.rx, 1, 41, 2), 0);
    EXPECT_EQ(replyRegister(link.rx, 0), kVersionHigh);
    EXPECT_EQ(replyRegister(link.rx, 1), kVersionLow);
    EXPECT_TRUE(link.traced("req 01 03 00 29 00 02 15 C3"));
    EXPECT_TRUE(link.traced(traceLine("rep", std::span(link.rx).first(9))));

    ASSERT_EQ(link.bus.readRegisters(link.tx, link.rx, 1, 60, 2), 0);
    EXPECT_TRUE(link.traced("req 01 03 00 3C 00 02 04 07"));
    EXPECT_EQ(link.rx[2], 4);

    ASSERT_EQ(link.bus.readRegisters(link.tx, link.rx, 1, 0, 39), 0);
    EXPECT_TRUE(link.traced("req 01 03 00 00 00 27 05 D0"));
    EXPECT_EQ(link.rx[2], 78);
    EXPECT_TRUE(link.traced(traceLine("rep", std::span(link.rx).first(83))));
}

TEST_P(ModbusSim, WritesRegistersAndReadsThemBack)
{
    SimLink link({"--baud", GetParam().baud}, GetParam().speedIndex);
    ASSERT_TRUE(link.opened);
    ASSERT_EQ(link.bus.writeRegister(link.tx, link.rx, 1, 5, 0x1234), 0);
    EXPECT_TRUE(link.traced("req 01 06 00 05 12 34 94 BC"));
    const std::vector<int16_t> values{0x0001, -2};
    ASSERT_EQ(link.bus.writeRegisters(link.tx, link.rx, 1, 32, 2, values), 0);
    EXPECT_TRUE(link.traced("req 01 10 00 20 00 02 04 00 01 FF FE 60 07"));
    EXPECT_TRUE(link.traced("rep 01 10 00 20 00 02 40 02"));

    ASSERT_EQ(link.bus.readRegisters(link.tx, link.rx, 1, 0, 39), 0);
    EXPECT_EQ(replyRegister(link.rx, 5), 0x1234);
    EXPECT_EQ(replyRegister(link.rx, 32), 0x0001);
    EXPECT_EQ(replyRegister(link.rx, 33), 0xFFFE);
}

INSTANTIATE_TEST_SUITE_P(Speeds, ModbusSim, testing::Values(SpeedCase{3, "19200"}, SpeedCase{6, "115200"}));

TEST(ModbusSimFaults, ExceptionReachesEveryOperation)
{
    SimLink link({"--fault", "exception=2"}, kSpeed19200);
    ASSERT_TRUE(link.opened);
    const std::vector<int16_t> values{0x0001, 0x0002};
    EXPECT_EQ(link.bus.readRegisters(link.tx, link.rx, 1, 0, 39), 2);
    EXPECT_EQ(link.bus.writeRegister(link.tx, link.rx, 1, 5, 7), 2);
    EXPECT_EQ(link.bus.writeRegisters(link.tx, link.rx, 1, 32, 2, values), 2);
    EXPECT_TRUE(link.requestTraced(13));
}

// Slow: the read waits out 100 ms per expected byte + 5000 ms.
TEST(ModbusSimFaults, SilentInstrumentGivesNoReply)
{
    SimLink link({"--fault", "silent"}, kSpeed19200);
    ASSERT_TRUE(link.opened);
    EXPECT_EQ(link.bus.readRegisters(link.tx, link.rx, 1, 60, 2), kNoReply);
    EXPECT_TRUE(link.requestTraced(8));
    EXPECT_TRUE(std::ranges::all_of(link.rx, [](uint8_t b) { return b == 0; }));
}

struct FaultCase {
    const char* fault;
    uint8_t expected;

    friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.fault; }
};

class ModbusSimFault : public testing::TestWithParam<FaultCase> {};

TEST_P(ModbusSimFault, JudgesTheShapedReply)
{
    SimLink link({"--fault", GetParam().fault}, kSpeed19200);
    ASSERT_TRUE(link.opened);
    EXPECT_EQ(link.bus.readRegisters(link.tx, link.rx, 1, 41, 2), GetParam().expected);
    EXPECT_TRUE(link.requestTraced(8));
}

INSTANTIATE_TEST_SUITE_P(Faults, ModbusSimFault,
                         testing::Values(FaultCase{"badcrc", kNoReply}, FaultCase{"truncate", kNoReply},
                                         FaultCase{"gap=150", kNoReply}, FaultCase{"garbage", kNoReply},
                                         FaultCase{"stranger=7", kNoReply}, FaultCase{"wrongfc", kNoReply},
                                         FaultCase{"trailing", 0}, FaultCase{"late=300", 0}));

TEST(ModbusSimFaults, ReadSucceedsAgainOnceTheFaultIsCleared)
{
    SimLink link({"--fault", "badcrc"}, kSpeed19200);
    ASSERT_TRUE(link.opened);
    EXPECT_EQ(link.bus.readRegisters(link.tx, link.rx, 1, 41, 2), kNoReply);
    link.sim.control("clear");
    ASSERT_EQ(link.bus.readRegisters(link.tx, link.rx, 1, 41, 2), 0);
    EXPECT_EQ(replyRegister(link.rx, 0), kVersionHigh);
    EXPECT_EQ(replyRegister(link.rx, 1), kVersionLow);
}

} // namespace
