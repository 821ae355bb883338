// The requests mBus builds, byte for byte: what the channel is asked to send and read (recording
// back end: the reply is asked for in two pieces, the five bytes no reply is shorter than, then the
// rest its first bytes foretell), and what really crosses a pseudo-terminal line with a good reply
// coming back.

#include "modbus/K54mdb.h"
#include "tests/support/FakeSlave.h"
#include "tests/support/PtyLine.h"
#include "tests/support/RecordingBackend.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <functional>

namespace {

using namespace std::chrono_literals;
using k54::kNoReply;
using k54::kReceiveBufferSize;
using k54::mBus;
using k54::test::BackendLog;
using k54::test::FakeSlave;
using k54::test::RecordingBackend;
using k54::test::ReplyStep;
using Bytes = std::vector<uint8_t>;
using Operation = std::function<uint8_t(mBus&, std::span<uint8_t> tx, std::span<uint8_t> rx)>;

struct FrameCase {
    const char* name;
    Operation operation;
    Bytes request;
    std::size_t replyLength;
    Bytes goodReply;

    friend void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }
};

Bytes readReplyOf39Registers() {
    Bytes reply{0x01, 0x03, 78};
    for (uint8_t k = 0; k < 78; ++k) {
        reply.push_back(k);
    }
    return k54::test::withCrc(reply);
}

const std::vector<int16_t> kTwoValues{0x0001, -2};

std::vector<FrameCase> frameCases() {
    return {
        {"Read39From0",
         [](mBus& bus, auto tx, auto rx) { return bus.readRegisters(tx, rx, 1, 0, 39); },
         {0x01, 0x03, 0x00, 0x00, 0x00, 0x27, 0x05, 0xD0},
         83,
         readReplyOf39Registers()},
        {"Read2From60",
         [](mBus& bus, auto tx, auto rx) { return bus.readRegisters(tx, rx, 1, 60, 2); },
         {0x01, 0x03, 0x00, 0x3C, 0x00, 0x02, 0x04, 0x07},
         9,
         {0x01, 0x03, 0x04, 0x00, 0x01, 0xE2, 0x40, 0xE2, 0xA3}},
        {"Write0x1234ToRegister5",
         [](mBus& bus, auto tx, auto rx) { return bus.writeRegister(tx, rx, 1, 5, 0x1234); },
         {0x01, 0x06, 0x00, 0x05, 0x12, 0x34, 0x94, 0xBC},
         8,
         {0x01, 0x06, 0x00, 0x05, 0x12, 0x34, 0x94, 0xBC}},
        {"WriteTwoRegistersFrom32",
         [](mBus& bus, auto tx, auto rx) { return bus.writeRegisters(tx, rx, 1, 32, 2, kTwoValues); },
         {0x01, 0x10, 0x00, 0x20, 0x00, 0x02, 0x04, 0x00, 0x01, 0xFF, 0xFE, 0x60, 0x07},
         8,
         {0x01, 0x10, 0x00, 0x20, 0x00, 0x02, 0x40, 0x02}},
    };
}

class ModbusFrames : public testing::TestWithParam<FrameCase> {};

TEST_P(ModbusFrames, AreBuiltInTxAndReadTheReplyLength) {
    const FrameCase& c = GetParam();
    BackendLog log;
    k54::cPort port(std::make_unique<RecordingBackend>(log, true, c.goodReply));
    ASSERT_TRUE(port.setup(1, 3));
    mBus bus(port);
    std::array<uint8_t, 512> tx{};
    std::array<uint8_t, kReceiveBufferSize> rx{};
    EXPECT_EQ(c.operation(bus, tx, rx), 0);
    EXPECT_EQ(log.written, c.request);
    EXPECT_TRUE(std::equal(c.request.begin(), c.request.end(), tx.begin()));
    EXPECT_EQ(log.availableAsked, (std::vector<std::size_t>{5, c.replyLength - 5}));
    EXPECT_EQ(log.calls, (std::vector<std::string>{"open", "purgeInput", "write", "readAvailable"}));
    EXPECT_EQ(bus.lastExchange().outcome, k54::Outcome::answered);
}

// An exception reply is foretold by its function code: the master asks for no byte past the fifth.
TEST_P(ModbusFrames, AnExceptionReplyIsAskedForFiveBytesOnly) {
    const FrameCase& c = GetParam();
    const Bytes exception = k54::test::withCrc({0x01, static_cast<uint8_t>(c.request[1] | 0x80), 0x02});
    Bytes arriving = exception;
    arriving.insert(arriving.end(), c.goodReply.begin(), c.goodReply.end());  // never asked for
    BackendLog log;
    k54::cPort port(std::make_unique<RecordingBackend>(log, true, arriving));
    ASSERT_TRUE(port.setup(1, 3));
    mBus bus(port);
    std::array<uint8_t, 512> tx{};
    std::array<uint8_t, kReceiveBufferSize> rx{};
    EXPECT_EQ(c.operation(bus, tx, rx), 2);
    EXPECT_EQ(log.availableAsked, std::vector<std::size_t>{5});
    EXPECT_TRUE(std::equal(exception.begin(), exception.end(), rx.begin()));
    EXPECT_EQ(rx[exception.size()], 0);
}

INSTANTIATE_TEST_SUITE_P(Requests, ModbusFrames, testing::ValuesIn(frameCases()),
                         [](const testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

class ModbusFramesOnTheLine : public k54::test::PtyLine, public testing::WithParamInterface<FrameCase> {};

TEST_P(ModbusFramesOnTheLine, CrossTheLineExactlyAndTheGoodReplyCounts) {
    const FrameCase& c = GetParam();
    mBus bus(port);
    std::array<uint8_t, 512> tx{};
    FakeSlave slave(pty, c.request.size(), {ReplyStep{c.goodReply}});
    EXPECT_EQ(c.operation(bus, tx, rx), 0);
    EXPECT_EQ(slave.request(), c.request);
    EXPECT_EQ(pty.pendingAtMaster(), 0U);
}

INSTANTIATE_TEST_SUITE_P(Requests, ModbusFramesOnTheLine, testing::ValuesIn(frameCases()),
                         [](const testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.name); });

// Arguments mBus cannot send: each gives kNoReply with nothing sent.
struct ArgumentCase {
    const char* name;
    std::size_t txSize;
    std::size_t rxSize;
    Operation operation;

    friend void PrintTo(const ArgumentCase& c, std::ostream* os) { *os << c.name; }
};

class ModbusArguments : public testing::TestWithParam<ArgumentCase> {};

TEST_P(ModbusArguments, RefusedWithNothingSent) {
    const ArgumentCase& c = GetParam();
    BackendLog log;
    k54::cPort port(std::make_unique<RecordingBackend>(log, true));
    ASSERT_TRUE(port.setup(1, 3));
    mBus bus(port);
    std::vector<uint8_t> tx(c.txSize, 0xAA);
    std::vector<uint8_t> rx(c.rxSize, 0xAA);
    EXPECT_EQ(c.operation(bus, tx, rx), kNoReply);
    EXPECT_EQ(bus.lastExchange().outcome, k54::Outcome::refused);
    EXPECT_EQ(log.calls, std::vector<std::string>{"open"});
    EXPECT_TRUE(std::ranges::all_of(tx, [](uint8_t b) { return b == 0xAA; }));
    EXPECT_TRUE(std::ranges::all_of(rx, [](uint8_t b) { return b == 0xAA; }));
}

const std::vector<int16_t> kTooManyValues(124, 1);

INSTANTIATE_TEST_SUITE_P(
    Refusals, ModbusArguments,
    testing::Values(
        ArgumentCase{"ReadTxTooShort", 7, 512,
                     [](mBus& b, auto tx, auto rx) { return b.readRegisters(tx, rx, 1, 0, 2); }},
        ArgumentCase{"ReadRxTooShort", 8, 511,
                     [](mBus& b, auto tx, auto rx) { return b.readRegisters(tx, rx, 1, 0, 2); }},
        ArgumentCase{"ReadCountZero", 8, 512,
                     [](mBus& b, auto tx, auto rx) { return b.readRegisters(tx, rx, 1, 0, 0); }},
        ArgumentCase{"ReadReplyLongerThanTheBuffer", 8, 512,
                     [](mBus& b, auto tx, auto rx) { return b.readRegisters(tx, rx, 1, 0, 254); }},
        ArgumentCase{"WriteTxTooShort", 7, 512,
                     [](mBus& b, auto tx, auto rx) { return b.writeRegister(tx, rx, 1, 5, 1); }},
        ArgumentCase{"WriteRxTooShort", 8, 100,
                     [](mBus& b, auto tx, auto rx) { return b.writeRegister(tx, rx, 1, 5, 1); }},
        ArgumentCase{"WriteManyTxTooShort", 12, 512,
                     [](mBus& b, auto tx, auto rx) { return b.writeRegisters(tx, rx, 1, 32, 2, kTwoValues); }},
        ArgumentCase{"WriteManyRxTooShort", 13, 8,
                     [](mBus& b, auto tx, auto rx) { return b.writeRegisters(tx, rx, 1, 32, 2, kTwoValues); }},
        ArgumentCase{"WriteManyNoValues", 512, 512,
                     [](mBus& b, auto tx, auto rx) { return b.writeRegisters(tx, rx, 1, 32, 0, {}); }},
        ArgumentCase{"WriteManyTooManyValues", 512, 512,
                     [](mBus& b, auto tx, auto rx) { return b.writeRegisters(tx, rx, 1, 0, 124, kTooManyValues); }}),
    [](const testing::TestParamInfo<ArgumentCase>& info) { return std::string(info.param.name); });

TEST(ModbusArgumentLimits, LargestAcceptedRequestsAreSent) {
    BackendLog log;
    Bytes longReply(511, 0xEE);
    longReply[0] = 0x01;
    longReply[1] = 0x03;
    k54::cPort port(std::make_unique<RecordingBackend>(log, true, longReply));
    ASSERT_TRUE(port.setup(1, 3));
    mBus bus(port);
    std::vector<uint8_t> tx(9 + 2 * 123);
    std::array<uint8_t, kReceiveBufferSize> rx{};
    EXPECT_EQ(bus.readRegisters(tx, rx, 1, 0, 253), kNoReply);
    EXPECT_EQ(log.availableAsked, (std::vector<std::size_t>{5, 506}));  // 253 registers: a 511-byte reply
    const std::vector<int16_t> values(123, 7);
    EXPECT_EQ(bus.writeRegisters(tx, rx, 1, 0, 123, values), kNoReply);
    EXPECT_EQ(log.written.size(), tx.size());
    EXPECT_EQ(log.written.at(6), 246);
}

}  // namespace
