// A factory write that the instrument refuses write by write, at 115200 baud: each exception reply
// ends the read at its fifth byte instead of waiting out the inter-byte limit, so the 31 writes take
// far less than the 31 gaps they used to wait. The same source runs on Linux and, through Wine, on
// Windows.

#include "tests/instrument/InstrumentSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <iostream>

namespace {

using Clock = std::chrono::steady_clock;
using k54::test::InstrumentSession;
using k54::test::kSpeed115200;

// The shape of the factory write: the 39 configuration registers in register order, eight of them
// pairs written with function 16, the rest one by one with function 6: 31 requests.
constexpr std::array<uint16_t, 8> kPairStarts{9, 11, 13, 15, 17, 19, 32, 34};

bool startsAPair(uint16_t reg) {
    return std::ranges::find(kPairStarts, reg) != kPairStarts.end();
}

TEST(InstrumentRefusedWrites, EveryExceptionEndsAtItsFifthByteWithoutWaitingForAGap) {
    InstrumentSession s({"exception=4"}, kSpeed115200, k54::ReadTimeouts{});
    ASSERT_TRUE(s.opened) << s.openFailure();
    const std::vector<int16_t> pair{1, 2};
    int requests = 0;
    const auto start = Clock::now();
    for (uint16_t reg = 0; reg < 39; reg += startsAPair(reg) ? 2 : 1, ++requests) {
        const uint8_t result = startsAPair(reg) ? s.bus.writeRegisters(s.tx, s.rx, 1, reg, 2, pair)
                                                : s.bus.writeRegister(s.tx, s.rx, 1, reg, 7);
        const k54::ExchangeReport& report = s.bus.lastExchange();
        EXPECT_EQ(result, 4) << "register " << reg << ": " << k54::describe(report);
        EXPECT_EQ(report.received, 5U) << "register " << reg;
        EXPECT_EQ(report.readEnd, k54::ReadEnd::complete) << "register " << reg;
    }
    const auto elapsed = Clock::now() - start;
    ASSERT_EQ(requests, 31);
    // Were each exchange still to wait out the inter-byte limit, the writes would take at least this.
    EXPECT_LT(elapsed, requests * s.port.readTimeouts().interByte);
    std::cout << "31 refused writes at 115200 baud took "
              << std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() << " ms\n";
}

}  // namespace
