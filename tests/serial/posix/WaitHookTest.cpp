// The channel's wait hook on a real descriptor: a window keeps painting from it while a reply is waited
// for. The wait is cut into slices with the hook asked between them, under the same limits; a hook that
// answers false ends the wait at once and stops the channel (nothing more is sent) until a port opens.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/support/FakeSlave.h"
#include "tests/support/PtyLine.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using k54::ReadEnd;
using k54::ReplyShape;

const std::vector<uint8_t> kRequest{0x01, 0x03, 0x00, 0x29, 0x00, 0x02, 0x15, 0xC3};
const ReplyShape kNineBytes{[](std::span<const uint8_t>) { return std::size_t{9}; },
                            [](std::span<const uint8_t>) { return true; }};

class ChannelWaitHook : public k54::test::PtyLine {
protected:
    void SetUp() override {
        PtyLine::SetUp();
        port.setReadTimeouts({.interByte = 100ms, .perByte = 0ms, .constant = 300ms});
        ASSERT_EQ(port.transmit(kRequest), 8);
        ASSERT_EQ(pty.readFromMaster(8, 2s).size(), 8u);
    }
};

TEST_F(ChannelWaitHook, IsAskedThroughoutAWaitThatKeepsItsLimit) {
    int asked = 0;
    port.setWaitHook([&asked] {
        ++asked;
        return true;
    });
    const auto start = Clock::now();
    const k54::Reception reception = port.receiveReply(rx, 9, kNineBytes);
    EXPECT_EQ(reception.end, ReadEnd::timeLimit);
    EXPECT_GE(Clock::now() - start, 300ms);
    // Some 30 slices of 10 ms; a loaded machine gives fewer, never a single wait.
    EXPECT_GE(asked, 5);
    EXPECT_FALSE(port.stopped());
}

TEST_F(ChannelWaitHook, AReplyComingDuringTheSlicedWaitIsReadWhole) {
    port.setWaitHook([] { return true; });
    const std::vector<uint8_t> reply = k54::test::withCrc({0x01, 0x03, 0x04, 0x01, 0x5A, 0x00, 0x0D});
    pty.writeToMaster(reply);
    const k54::Reception reception = port.receiveReply(rx, 9, kNineBytes);
    EXPECT_EQ(reception.end, ReadEnd::complete);
    EXPECT_TRUE(std::equal(reply.begin(), reply.end(), rx.begin()));
}

TEST_F(ChannelWaitHook, AnsweringFalseEndsTheWaitAndStopsTheChannelUntilItOpensAgain) {
    int asked = 0;
    port.setWaitHook([&asked] { return ++asked < 3; });
    const auto start = Clock::now();
    EXPECT_EQ(port.receiveReply(rx, 9, kNineBytes).end, ReadEnd::abandoned);
    EXPECT_LT(Clock::now() - start, 250ms);  // three slices, not the 300 ms limit
    EXPECT_EQ(asked, 3);
    EXPECT_TRUE(port.stopped());

    // Stopped: nothing is sent, nothing waited for.
    EXPECT_EQ(port.transmit(kRequest), 0);
    EXPECT_EQ(port.receiveReply(rx, 9, kNineBytes).end, ReadEnd::abandoned);
    EXPECT_EQ(pty.pendingAtMaster(), 0u);
    EXPECT_EQ(asked, 3);

    // Opened again, it works as before.
    port.setWaitHook({});
    ASSERT_TRUE(port.open(kPort, kSpeed19200, sink));
    EXPECT_FALSE(port.stopped());
    EXPECT_EQ(port.transmit(kRequest), 8);
    EXPECT_EQ(pty.readFromMaster(8, 2s).size(), 8u);
}

}  // namespace
