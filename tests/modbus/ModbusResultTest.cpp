// What each operation makes of the bytes that come back, written exactly into a pseudo-terminal.

#include "modbus/K54mdb.h"
#include "tests/support/FakeSlave.h"
#include "tests/support/PtyLine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <functional>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using k54::kNoReply;
using k54::mBus;
using k54::Outcome;
using k54::replyRegister;
using k54::test::FakeSlave;
using k54::test::PtyLine;
using k54::test::ReplyStep;
using k54::test::withCrc;
using Bytes = std::vector<uint8_t>;

// The three requests under test, at address 1.
enum class Request { read2From60, write6, write16 };

constexpr std::size_t requestLength(Request request) {
    return request == Request::write16 ? 13 : 8;
}

const std::vector<int16_t> kTwoValues{0x0001, -2};

uint8_t perform(mBus& bus, Request request, std::span<uint8_t> tx, std::span<uint8_t> rx) {
    switch (request) {
        case Request::read2From60:
            return bus.readRegisters(tx, rx, 1, 60, 2);
        case Request::write6:
            return bus.writeRegister(tx, rx, 1, 5, 0x1234);
        case Request::write16:
            return bus.writeRegisters(tx, rx, 1, 32, 2, kTwoValues);
    }
    return 0;
}

Bytes concat(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Bytes swappedCrc(Bytes frame) {
    std::swap(frame.at(frame.size() - 1), frame.at(frame.size() - 2));
    return frame;
}

Bytes flippedLastByte(Bytes frame) {
    frame.back() ^= 0x01;
    return frame;
}

const Bytes kGoodRead = withCrc({0x01, 0x03, 0x04, 0x00, 0x01, 0xE2, 0x40});
const Bytes kGoodWrite6 = withCrc({0x01, 0x06, 0x00, 0x05, 0x12, 0x34});
const Bytes kGoodWrite16 = withCrc({0x01, 0x10, 0x00, 0x20, 0x00, 0x02});

struct ResultCase {
    const char* name;
    Request request;
    Bytes reply;
    uint8_t expected;
    Outcome outcome;

    friend void PrintTo(const ResultCase& c, std::ostream* os) { *os << c.name; }
};

class ModbusLine : public PtyLine {
protected:
    uint8_t exchange(Request request, const Bytes& reply) {
        FakeSlave slave(pty, requestLength(request), {ReplyStep{reply}});
        const uint8_t result = perform(bus, request, tx, rx);
        EXPECT_EQ(slave.request().size(), requestLength(request));
        return result;
    }

    mBus bus{port};
    std::array<uint8_t, 512> tx{};
};

class ModbusResults : public ModbusLine, public testing::WithParamInterface<ResultCase> {};

TEST_P(ModbusResults, FollowTheReply) {
    EXPECT_EQ(exchange(GetParam().request, GetParam().reply), GetParam().expected);
    EXPECT_EQ(bus.lastExchange().outcome, GetParam().outcome) << k54::describe(bus.lastExchange());
    EXPECT_EQ(bus.lastExchange().result(), GetParam().expected);
    EXPECT_FALSE(bus.lastExchange().echoSkipped);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ModbusResults,
    testing::Values(
        ResultCase{"ReadNormal", Request::read2From60, kGoodRead, 0, Outcome::answered},
        ResultCase{"Write6Echo", Request::write6, kGoodWrite6, 0, Outcome::answered},
        ResultCase{"Write16Echo", Request::write16, kGoodWrite16, 0, Outcome::answered},
        ResultCase{"ReadException", Request::read2From60, withCrc({0x01, 0x83, 0x02}), 2, Outcome::exception},
        ResultCase{"Write6Exception", Request::write6, withCrc({0x01, 0x86, 0x02}), 2, Outcome::exception},
        ResultCase{"Write16Exception", Request::write16, withCrc({0x01, 0x90, 0x02}), 2, Outcome::exception},
        ResultCase{"ExceptionCodeZero", Request::read2From60, withCrc({0x01, 0x83, 0x00}), kNoReply,
                   Outcome::malformed},
        ResultCase{"ExceptionFromAStranger", Request::write6, withCrc({0x02, 0x86, 0x02}), kNoReply, Outcome::stranger},
        ResultCase{"ExceptionToAnotherFunction", Request::write6, withCrc({0x01, 0x83, 0x02}), kNoReply,
                   Outcome::wrongFunction},
        ResultCase{"OneByte", Request::read2From60, {0x01}, kNoReply, Outcome::incomplete},
        ResultCase{"CutReply",
                   Request::read2From60,
                   {kGoodRead.begin(), kGoodRead.begin() + 6},
                   kNoReply,
                   Outcome::incomplete},
        ResultCase{"BadCrc", Request::read2From60, flippedLastByte(kGoodRead), kNoReply, Outcome::badCrc},
        ResultCase{"SwappedCrc", Request::read2From60, swappedCrc(kGoodRead), kNoReply, Outcome::badCrc},
        ResultCase{"Write16SwappedCrc", Request::write16, swappedCrc(kGoodWrite16), kNoReply, Outcome::badCrc},
        ResultCase{"StrangersAddress", Request::read2From60, withCrc({0x02, 0x03, 0x04, 0x00, 0x01, 0xE2, 0x40}),
                   kNoReply, Outcome::stranger},
        ResultCase{"WrongFunctionCode", Request::read2From60, withCrc({0x01, 0x04, 0x04, 0x00, 0x01, 0xE2, 0x40}),
                   kNoReply, Outcome::wrongFunction},
        ResultCase{"WrongByteCount", Request::read2From60, withCrc({0x01, 0x03, 0x06, 0x00, 0x01, 0xE2, 0x40}),
                   kNoReply, Outcome::malformed},
        ResultCase{"ShortReplyWithItsOwnByteCount", Request::read2From60, withCrc({0x01, 0x03, 0x02, 0x00, 0x01}),
                   kNoReply, Outcome::incomplete},
        ResultCase{"GarbageBeforeTheFrame", Request::read2From60, concat({0xFF}, kGoodRead), kNoReply, Outcome::badCrc},
        ResultCase{"Write6WrongValueEcho", Request::write6, withCrc({0x01, 0x06, 0x00, 0x05, 0x12, 0x35}), kNoReply,
                   Outcome::malformed},
        ResultCase{"Write6WrongRegisterEcho", Request::write6, withCrc({0x01, 0x06, 0x00, 0x06, 0x12, 0x34}), kNoReply,
                   Outcome::malformed},
        ResultCase{"Write16WrongQuantityEcho", Request::write16, withCrc({0x01, 0x10, 0x00, 0x20, 0x00, 0x03}),
                   kNoReply, Outcome::malformed},
        ResultCase{"Write16WrongStartEcho", Request::write16, withCrc({0x01, 0x10, 0x00, 0x21, 0x00, 0x02}), kNoReply,
                   Outcome::malformed}),
    [](const testing::TestParamInfo<ResultCase>& info) { return std::string(info.param.name); });

using ModbusReplies = ModbusLine;

TEST_F(ModbusReplies, NormalReadLeavesTheRegistersThenZeros) {
    ASSERT_EQ(exchange(Request::read2From60, kGoodRead), 0);
    EXPECT_EQ(replyRegister(rx, 0), 0x0001);
    EXPECT_EQ(replyRegister(rx, 1), 0xE240);
    EXPECT_TRUE(std::all_of(rx.begin() + 9, rx.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(ModbusReplies, BytesAfterTheFrameDoNotReachTheNextRequest) {
    const Bytes trailing{0x01, 0x03, 0x04};
    ASSERT_EQ(exchange(Request::read2From60, concat(kGoodRead, trailing)), 0);
    ASSERT_TRUE(pty.waitForSlaveInput(trailing.size(), 2s));
    const Bytes next = withCrc({0x01, 0x03, 0x04, 0x7F, 0xFF, 0x80, 0x00});
    EXPECT_EQ(exchange(Request::read2From60, next), 0);
    EXPECT_EQ(replyRegister(rx, 0), 0x7FFF);
    EXPECT_EQ(replyRegister(rx, 1), 0x8000);
}

TEST_F(ModbusReplies, LateReplyToAnEarlierRequestIsDropped) {
    const Bytes late = withCrc({0x01, 0x03, 0x04, 0x11, 0x11, 0x22, 0x22});
    pty.writeToMaster(late);
    ASSERT_TRUE(pty.waitForSlaveInput(late.size(), 2s));
    EXPECT_EQ(exchange(Request::read2From60, kGoodRead), 0);
    EXPECT_EQ(replyRegister(rx, 0), 0x0001);
    EXPECT_EQ(replyRegister(rx, 1), 0xE240);
}

// Slow: at the described limits an unanswered request waits out 100 ms per expected byte + 5000 ms.
TEST_F(ModbusReplies, SilenceGivesNoReplyAfterTheTotalLimit) {
    port.setReadTimeouts(k54::ReadTimeouts{});
    rx.fill(0xAA);
    const auto start = Clock::now();
    EXPECT_EQ(perform(bus, Request::read2From60, tx, rx), kNoReply);
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, 5850ms);
    EXPECT_LT(elapsed, 6800ms);
    EXPECT_TRUE(std::ranges::all_of(rx, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(pty.readFromMaster(8, 1s).size(), 8U);
    EXPECT_EQ(bus.lastExchange().outcome, Outcome::noReply);
    EXPECT_EQ(bus.lastExchange().readEnd, k54::ReadEnd::timeLimit);
}

// The reply's first bytes tell its length, so a whole reply ends the read without waiting out the
// inter-byte limit, whichever its length: an exception at its fifth byte.
TEST_F(ModbusReplies, AWholeReplyEndsTheReadAtItsLastByte) {
    for (const auto& [request, reply] :
         {std::pair{Request::write16, withCrc({0x01, 0x90, 0x04})}, std::pair{Request::read2From60, kGoodRead}}) {
        exchange(request, reply);
        EXPECT_EQ(bus.lastExchange().readEnd, k54::ReadEnd::complete);
        EXPECT_EQ(bus.lastExchange().received, reply.size());
    }
}

TEST_F(ModbusReplies, ACutReplyEndsAtTheGapAndSaysHowFarItGot) {
    exchange(Request::read2From60, {kGoodRead.begin(), kGoodRead.begin() + 6});
    EXPECT_EQ(bus.lastExchange().outcome, Outcome::incomplete);
    EXPECT_EQ(bus.lastExchange().received, 6U);
    EXPECT_EQ(bus.lastExchange().expected, kGoodRead.size());
    EXPECT_EQ(bus.lastExchange().readEnd, k54::ReadEnd::gap);
}

TEST_F(ModbusReplies, AClosedPortSendsNothingAndSaysSo) {
    port.close();
    rx.fill(0xAA);
    EXPECT_EQ(perform(bus, Request::write6, tx, rx), kNoReply);
    EXPECT_EQ(bus.lastExchange().outcome, Outcome::notSent);
    EXPECT_TRUE(std::ranges::all_of(rx, [](uint8_t b) { return b == 0; }));
}

TEST(ModbusReplyRegister, StaysInsideTheReply) {
    const Bytes reply{0x01, 0x03, 0x04, 0x12, 0x34, 0xAB, 0xCD};
    EXPECT_EQ(replyRegister(reply, 0), 0x1234);
    EXPECT_EQ(replyRegister(reply, 1), 0xABCD);
    EXPECT_EQ(replyRegister(reply, 2), 0);
    EXPECT_EQ(replyRegister(reply, -1), 0);
    EXPECT_EQ(replyRegister({}, 0), 0);
}

}  // namespace
