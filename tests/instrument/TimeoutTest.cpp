// The read time limits against the simulated instrument: at the described limits a silent instrument
// ends a 9-byte read after 100 ms x 9 + 5000 ms; a pause of more than 100 ms inside a reply ends the
// read at the pause, and a whole reply ends it at once. The same source runs on Linux and, through
// Wine, on Windows.

#include "tests/instrument/InstrumentSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using k54::test::InstrumentSession;

// Function 3 for registers 41 - 42 (the firmware version); the reply is 9 bytes long.
constexpr std::array<uint8_t, 8> kReadVersion{0x01, 0x03, 0x00, 0x29, 0x00, 0x02, 0x15, 0xC3};
constexpr int32_t kReplyLength = 9;
constexpr auto kTotalLimit = 100ms * kReplyLength + 5000ms;
constexpr auto kIntervalLimit = 100ms;
// How far a measured read may end before its limit: the platform timers' granularity.
constexpr auto kTimerSlack = 20ms;
// How far it may end after it: scheduling on a busy machine.
constexpr auto kLateSlack = 1000ms;

struct TimedRead {
    int32_t result;
    Clock::duration elapsed;
};

// Sends the version request and times the receive of its reply.
TimedRead sendAndTimeTheReply(InstrumentSession& s) {
    EXPECT_EQ(s.port.transmit(kReadVersion), static_cast<int32_t>(kReadVersion.size()));
    const auto start = Clock::now();
    const int32_t result = s.port.receive(kReplyLength, s.rx);
    return {result, Clock::now() - start};
}

bool allZero(std::span<const uint8_t> bytes) {
    return std::ranges::all_of(bytes, [](uint8_t b) { return b == 0; });
}

TEST(InstrumentTimeouts, SilentInstrumentEndsANineByteReadAfterTheTotalLimit) {
    InstrumentSession s({"silent"}, k54::test::kSpeed19200, k54::ReadTimeouts{});
    ASSERT_TRUE(s.opened) << s.openFailure();
    const TimedRead read = sendAndTimeTheReply(s);
    EXPECT_EQ(read.result, 0);
    EXPECT_GE(read.elapsed, kTotalLimit - kTimerSlack);
    EXPECT_LT(read.elapsed, kTotalLimit + kLateSlack);
    EXPECT_TRUE(allZero(s.rx));
    EXPECT_TRUE(s.link->traced("req 01 03 00 29 00 02 15 C3"));
}

TEST(InstrumentTimeouts, APauseOfMoreThan100MsEndsTheReadAtThePause) {
    InstrumentSession s({"gap=150"});
    ASSERT_TRUE(s.opened) << s.openFailure();
    const TimedRead read = sendAndTimeTheReply(s);
    EXPECT_EQ(read.result, 0);
    EXPECT_GE(read.elapsed, kIntervalLimit - kTimerSlack);
    EXPECT_LT(read.elapsed, kIntervalLimit + kLateSlack);
    // What came before the pause stays in the buffer: the address and the function code.
    EXPECT_EQ(s.rx[0], 0x01);
    EXPECT_EQ(s.rx[1], 0x03);
    EXPECT_TRUE(allZero(std::span(s.rx).subspan(kReplyLength)));
}

TEST(InstrumentTimeouts, AWholeReplyEndsTheReadAtOnce) {
    InstrumentSession s;
    ASSERT_TRUE(s.opened) << s.openFailure();
    const TimedRead read = sendAndTimeTheReply(s);
    EXPECT_EQ(read.result, kReplyLength);
    EXPECT_LT(read.elapsed, kLateSlack);
    EXPECT_TRUE(s.link->traced(k54::test::traceLine("rep", std::span(s.rx).first(kReplyLength))));
}

}  // namespace
