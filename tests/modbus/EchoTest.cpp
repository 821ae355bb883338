// A line whose RS-485 adapter hands every request back before the reply, as raw bytes written into a
// pseudo-terminal: the line is learnt from a read (whose echo cannot be its reply) and from then on
// every reply is found behind its echo, also for a write of one register, whose normal reply is the
// echo's exact copy. A line that does not echo is never taken for one.

#include "modbus/K54mdb.h"
#include "tests/support/FakeSlave.h"
#include "tests/support/PtyLine.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using k54::kNoReply;
using k54::Outcome;
using k54::ReadEnd;
using k54::replyRegister;
using k54::test::FakeSlave;
using k54::test::ReplyStep;
using k54::test::withCrc;
using Bytes = std::vector<uint8_t>;

// The requests under test, as mBus builds them, and their normal replies.
const Bytes kRead2From60{0x01, 0x03, 0x00, 0x3C, 0x00, 0x02, 0x04, 0x07};
const Bytes kWrite5{0x01, 0x06, 0x00, 0x05, 0x12, 0x34, 0x94, 0xBC};
const Bytes kWrite32{0x01, 0x10, 0x00, 0x20, 0x00, 0x02, 0x04, 0x00, 0x01, 0xFF, 0xFE, 0x60, 0x07};
const Bytes kReadReply = withCrc({0x01, 0x03, 0x04, 0x00, 0x01, 0xE2, 0x40});
const Bytes kWrite32Reply = withCrc({0x01, 0x10, 0x00, 0x20, 0x00, 0x02});
const std::vector<int16_t> kTwoValues{0x0001, -2};

class EchoLine : public k54::test::PtyLine {
protected:
    // The instrument's side answers `request` with the given steps (the echo is one of them).
    uint8_t exchange(const Bytes& request, std::vector<ReplyStep> steps) {
        FakeSlave slave(pty, request.size(), std::move(steps));
        uint8_t result = kNoReply;
        if (request == kRead2From60) {
            result = bus.readRegisters(tx, rx, 1, 60, 2);
        } else if (request == kWrite5) {
            result = bus.writeRegister(tx, rx, 1, 5, 0x1234);
        } else {
            result = bus.writeRegisters(tx, rx, 1, 32, 2, kTwoValues);
        }
        EXPECT_EQ(slave.request(), request);
        return result;
    }
    uint8_t echoed(const Bytes& request, const Bytes& reply) {
        return exchange(request, {ReplyStep{request}, ReplyStep{reply}});
    }
    void learn() {
        ASSERT_EQ(echoed(kRead2From60, kReadReply), 0);
        ASSERT_TRUE(port.lineEchoes());
    }

    k54::mBus bus{port};
    std::array<uint8_t, 512> tx{};
};

TEST_F(EchoLine, AReadTeachesTheLineAndItsReplyIsFoundBehindTheEcho) {
    EXPECT_FALSE(port.lineEchoes());
    EXPECT_EQ(echoed(kRead2From60, kReadReply), 0);
    EXPECT_TRUE(port.lineEchoes());
    EXPECT_TRUE(bus.lastExchange().echoSkipped);
    EXPECT_EQ(bus.lastExchange().readEnd, ReadEnd::complete);
    EXPECT_EQ(replyRegister(rx, 0), 0x0001);
    EXPECT_EQ(replyRegister(rx, 1), 0xE240);
    EXPECT_EQ(rx[kReadReply.size()], 0);  // the reply alone at the front of rx
}

TEST_F(EchoLine, ALearntLineFindsEveryKindOfReplyBehindItsEcho) {
    learn();
    EXPECT_EQ(echoed(kWrite5, kWrite5), 0);  // the reply of function 6 is the echo's copy
    EXPECT_EQ(bus.lastExchange().received, kWrite5.size());
    EXPECT_EQ(bus.lastExchange().readEnd, ReadEnd::complete);
    EXPECT_EQ(echoed(kWrite5, withCrc({0x01, 0x86, 0x02})), 2);
    EXPECT_EQ(echoed(kWrite32, kWrite32Reply), 0);
    EXPECT_EQ(echoed(kRead2From60, withCrc({0x01, 0x83, 0x04})), 4);
    EXPECT_EQ(bus.lastExchange().readEnd, ReadEnd::complete);
    EXPECT_TRUE(bus.lastExchange().echoSkipped);
}

TEST_F(EchoLine, TheEchoAloneIsNoReplyAndCostsOneInterByteGap) {
    learn();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(exchange(kWrite5, {ReplyStep{kWrite5}}), kNoReply);
    EXPECT_LT(std::chrono::steady_clock::now() - start, port.readTimeouts().forCount(8).total);
    EXPECT_EQ(bus.lastExchange().outcome, Outcome::noReply);
    EXPECT_EQ(bus.lastExchange().readEnd, ReadEnd::gap);
}

TEST_F(EchoLine, AFirstReadAnsweredOnlyByItsEchoTeachesTheLineToo) {
    EXPECT_EQ(exchange(kRead2From60, {ReplyStep{kRead2From60}}), kNoReply);
    EXPECT_EQ(bus.lastExchange().outcome, Outcome::noReply);
    EXPECT_TRUE(port.lineEchoes());
}

TEST_F(EchoLine, APrefixThatDiffersFromTheRequestIsNoEcho) {
    learn();
    Bytes almost = kRead2From60;
    almost.back() ^= 0x01;
    EXPECT_EQ(exchange(kRead2From60, {ReplyStep{almost}, ReplyStep{kReadReply}}), kNoReply);
    EXPECT_FALSE(bus.lastExchange().echoSkipped);
    EXPECT_EQ(bus.lastExchange().received, kReadReply.size());  // taken as a reply of the read's length
    EXPECT_EQ(bus.lastExchange().readEnd, ReadEnd::complete);
    ASSERT_TRUE(pty.waitForSlaveInput(kReadReply.size() - 1, 2s));  // the rest stays on the line
}

TEST_F(EchoLine, ReopeningThePortForgetsTheEcho) {
    learn();
    ASSERT_TRUE(port.open(kPort, kSpeed19200, sink));
    EXPECT_FALSE(port.lineEchoes());
}

TEST_F(EchoLine, ALineThatDoesNotEchoIsNotTakenForOneAndKeepsItsPace) {
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(exchange(kWrite5, {ReplyStep{kWrite5}}), 0);  // looks like an echo, is the reply
        EXPECT_EQ(bus.lastExchange().readEnd, ReadEnd::complete);
        EXPECT_EQ(exchange(kRead2From60, {ReplyStep{kReadReply}}), 0);
        EXPECT_EQ(exchange(kWrite32, {ReplyStep{kWrite32Reply}}), 0);
        EXPECT_EQ(bus.lastExchange().readEnd, ReadEnd::complete);
        EXPECT_FALSE(bus.lastExchange().echoSkipped);
        EXPECT_FALSE(port.lineEchoes());
    }
}

}  // namespace
