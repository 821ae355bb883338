// mBus and cPort against the simulated instrument: the requests in its trace, its answers read back,
// and the result codes for its faults. The same source runs on Linux and, through Wine, on Windows.

#include "tests/instrument/InstrumentSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using k54::kNoReply;
using k54::replyRegister;
using k54::test::InstrumentSession;
using k54::test::kSpeed115200;
using k54::test::kSpeed19200;
using k54::test::traceLine;

constexpr uint16_t kVersionHigh = 0x015A;  // 1.90.0013: V1 = 1, V2 = 90
constexpr uint16_t kVersionLow = 0x000D;   //            V3 = 0, V4 = 13

struct SpeedCase {
    uint8_t speedIndex;
    const char* baud;

    friend void PrintTo(const SpeedCase& c, std::ostream* os) { *os << c.baud << " baud"; }
};

class ModbusSim : public testing::TestWithParam<SpeedCase> {};

TEST_P(ModbusSim, ReadsTheVersionTheMeasurementAndTheConfiguration) {
    InstrumentSession s({}, GetParam().speedIndex);
    ASSERT_TRUE(s.opened) << s.openFailure();
    ASSERT_EQ(s.bus.readRegisters(s.tx, s.rx, 1, 41, 2), 0);
    EXPECT_EQ(replyRegister(s.rx, 0), kVersionHigh);
    EXPECT_EQ(replyRegister(s.rx, 1), kVersionLow);
    EXPECT_TRUE(s.link->traced("req 01 03 00 29 00 02 15 C3"));
    EXPECT_TRUE(s.link->traced(traceLine("rep", std::span(s.rx).first(9))));

    ASSERT_EQ(s.bus.readRegisters(s.tx, s.rx, 1, 60, 2), 0);
    EXPECT_TRUE(s.link->traced("req 01 03 00 3C 00 02 04 07"));
    EXPECT_EQ(s.rx[2], 4);

    ASSERT_EQ(s.bus.readRegisters(s.tx, s.rx, 1, 0, 39), 0);
    EXPECT_TRUE(s.link->traced("req 01 03 00 00 00 27 05 D0"));
    EXPECT_EQ(s.rx[2], 78);
    EXPECT_TRUE(s.link->traced(traceLine("rep", std::span(s.rx).first(83))));
}

TEST_P(ModbusSim, WritesRegistersAndReadsThemBack) {
    InstrumentSession s({}, GetParam().speedIndex);
    ASSERT_TRUE(s.opened) << s.openFailure();
    ASSERT_EQ(s.bus.writeRegister(s.tx, s.rx, 1, 5, 0x1234), 0);
    EXPECT_TRUE(s.link->traced("req 01 06 00 05 12 34 94 BC"));
    const std::vector<int16_t> values{0x0001, -2};
    ASSERT_EQ(s.bus.writeRegisters(s.tx, s.rx, 1, 32, 2, values), 0);
    EXPECT_TRUE(s.link->traced("req 01 10 00 20 00 02 04 00 01 FF FE 60 07"));
    EXPECT_TRUE(s.link->traced("rep 01 10 00 20 00 02 40 02"));

    ASSERT_EQ(s.bus.readRegisters(s.tx, s.rx, 1, 0, 39), 0);
    EXPECT_EQ(replyRegister(s.rx, 5), 0x1234);
    EXPECT_EQ(replyRegister(s.rx, 32), 0x0001);
    EXPECT_EQ(replyRegister(s.rx, 33), 0xFFFE);
}

INSTANTIATE_TEST_SUITE_P(Speeds, ModbusSim,
                         testing::Values(SpeedCase{kSpeed19200, "19200"}, SpeedCase{kSpeed115200, "115200"}));

TEST(ModbusSimFaults, ExceptionReachesEveryOperation) {
    InstrumentSession s({"exception=2"});
    ASSERT_TRUE(s.opened) << s.openFailure();
    const std::vector<int16_t> values{0x0001, 0x0002};
    EXPECT_EQ(s.bus.readRegisters(s.tx, s.rx, 1, 0, 39), 2);
    EXPECT_EQ(s.bus.writeRegister(s.tx, s.rx, 1, 5, 7), 2);
    EXPECT_EQ(s.bus.writeRegisters(s.tx, s.rx, 1, 32, 2, values), 2);
    EXPECT_TRUE(s.requestTraced(13));
    EXPECT_TRUE(s.link->traced("rep 01 90 02 CD C1"));
}

struct FaultCase {
    const char* fault;
    uint8_t expected;

    friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.fault; }
};

class ModbusSimFault : public testing::TestWithParam<FaultCase> {};

TEST_P(ModbusSimFault, JudgesTheShapedReply) {
    InstrumentSession s({GetParam().fault});
    ASSERT_TRUE(s.opened) << s.openFailure();
    EXPECT_EQ(s.bus.readRegisters(s.tx, s.rx, 1, 41, 2), GetParam().expected);
    EXPECT_TRUE(s.requestTraced(8));
}

INSTANTIATE_TEST_SUITE_P(Faults, ModbusSimFault,
                         testing::Values(FaultCase{"badcrc", kNoReply}, FaultCase{"truncate", kNoReply},
                                         FaultCase{"gap=150", kNoReply}, FaultCase{"garbage", kNoReply},
                                         FaultCase{"stranger=7", kNoReply}, FaultCase{"wrongfc", kNoReply},
                                         FaultCase{"trailing", 0}, FaultCase{"late=300", 0}));

TEST(ModbusSimFaults, ReadSucceedsAgainOnceTheFaultIsCleared) {
    InstrumentSession s({"badcrc"});
    ASSERT_TRUE(s.opened) << s.openFailure();
    EXPECT_EQ(s.bus.readRegisters(s.tx, s.rx, 1, 41, 2), kNoReply);
    s.link->control("clear");
    ASSERT_EQ(s.bus.readRegisters(s.tx, s.rx, 1, 41, 2), 0);
    EXPECT_EQ(replyRegister(s.rx, 0), kVersionHigh);
    EXPECT_EQ(replyRegister(s.rx, 1), kVersionLow);
}

}  // namespace
