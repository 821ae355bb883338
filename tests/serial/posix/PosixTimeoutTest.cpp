// The read time limits on a real descriptor: a full count ends at once, a gap of more than 100 ms
// after the first byte ends the read, a hang-up ends it with what came; the limits are the back end's,
// the described ones unless it is made with others, and can change while the port is open.

#include "serial/PlatformSerial.h"
#include "tests/support/FakeSlave.h"
#include "tests/support/PtyLine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <chrono>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using k54::test::FakeSlave;
using k54::test::PtyLine;
using k54::test::ReplyStep;
using k54::test::withCrc;

using SerialTimeouts = PtyLine;

TEST_F(SerialTimeouts, FullCountEndsTheReadAtOnce) {
    const std::vector<uint8_t> frame = withCrc({0x01, 0x03, 0x04, 0x00, 0x01, 0xE2, 0x40});
    pty.writeToMaster(frame);
    ASSERT_TRUE(pty.waitForSlaveInput(frame.size(), 2s));
    const auto start = Clock::now();
    EXPECT_EQ(port.receive(static_cast<int32_t>(frame.size()), rx), static_cast<int32_t>(frame.size()));
    EXPECT_LT(Clock::now() - start, 50ms);
}

// A reply that comes in two parts with a pause between them.
struct GapCase {
    const char* name;
    std::vector<uint8_t> head;
    std::vector<uint8_t> tail;
    std::chrono::milliseconds pause;
    int32_t expected;
    std::size_t kept;

    friend void PrintTo(const GapCase& c, std::ostream* os) { *os << c.name; }
};

class SerialGap : public PtyLine, public testing::WithParamInterface<GapCase> {};

TEST_P(SerialGap, EndsTheReadOnlyWhenLongerThan100Ms) {
    const GapCase& c = GetParam();
    const std::size_t count = c.head.size() + c.tail.size();
    const auto start = Clock::now();  // before the slave's pauses, which then all fall after it
    FakeSlave slave(pty, 0, {ReplyStep{c.head, 20ms}, ReplyStep{c.tail, c.pause}});
    EXPECT_EQ(port.receive(static_cast<int32_t>(count), rx), c.expected);
    const auto elapsed = Clock::now() - start;
    std::vector<uint8_t> whole = c.head;
    whole.insert(whole.end(), c.tail.begin(), c.tail.end());
    EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(c.kept), rx.begin()));
    EXPECT_TRUE(
        std::all_of(rx.begin() + static_cast<std::ptrdiff_t>(c.kept), rx.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_GE(elapsed, c.pause < 100ms ? c.pause : 100ms);
    EXPECT_LT(elapsed, 1s);
}

const std::vector<uint8_t> kWholeFrame = withCrc({0x01, 0x03, 0x04, 0x00, 0x01, 0xE2, 0x40});

INSTANTIATE_TEST_SUITE_P(
    Pauses, SerialGap,
    testing::Values(
        GapCase{"Pause150MsEndsTheRead", withCrc({0x01, 0x83, 0x02}), {0xAA, 0xBB, 0xCC, 0xDD}, 150ms, 5, 5},
        GapCase{"Pause30MsKeepsReading",
                {kWholeFrame.begin(), kWholeFrame.begin() + 5},
                {kWholeFrame.begin() + 5, kWholeFrame.end()},
                30ms,
                9,
                9}),
    [](const testing::TestParamInfo<GapCase>& info) { return std::string(info.param.name); });

TEST(SerialHangUp, EndsTheReadWithWhatCame) {
    k54::test::ScratchDir dir{"k54-serial"};
    auto pty = std::make_unique<k54::test::PtyPair>();
    pty->linkAs(dir.path(), 1);
    k54::cPort port(k54::test::linuxBackend(dir.path(), dir.path() / "lock"));
    k54::test::RecordingSink sink;
    ASSERT_TRUE(port.open(1, 3, sink));
    pty->writeToMaster(std::vector<uint8_t>{0x01, 0x03});
    ASSERT_TRUE(pty->waitForSlaveInput(2, 2s));
    pty.reset();
    std::array<uint8_t, k54::kReceiveBufferSize> rx{};
    const auto start = Clock::now();
    EXPECT_EQ(port.receive(9, rx), 0);
    EXPECT_LT(Clock::now() - start, 1s);
}

// A silent line: the read of `count` bytes ends at the total limit, not before it.
Clock::duration silentReadTime(k54::cPort& port, std::span<uint8_t> rx, int32_t count) {
    const auto start = Clock::now();
    EXPECT_EQ(port.receive(count, rx), 0);
    return Clock::now() - start;
}

TEST_F(SerialTimeouts, TheTotalLimitIsTheBackEndsAndChangesWhileThePortIsOpen) {
    port.setReadTimeouts({100ms, 1ms, 50ms});
    const auto shortRead = silentReadTime(port, rx, 9);
    EXPECT_GE(shortRead, 59ms);
    port.setReadTimeouts({100ms, 2ms, 200ms});
    EXPECT_EQ(port.readTimeouts(), (k54::ReadTimeouts{100ms, 2ms, 200ms}));
    const auto longerRead = silentReadTime(port, rx, 9);
    EXPECT_GE(longerRead, 218ms);
    EXPECT_LT(shortRead, longerRead);
}

// A scan's limits: a reply must begin within the first-byte limit, and one that has begun is read whole
// though it ends after that limit.
TEST_F(SerialTimeouts, TheFirstByteLimitEndsASilentReadButNotAReplyBegunInTime) {
    const k54::ReplyShape nineBytes{[](std::span<const uint8_t>) { return std::size_t{9}; },
                                    [](std::span<const uint8_t>) { return true; }};
    port.setReadTimeouts({100ms, 1ms, 1000ms, 60ms});
    auto start = Clock::now();
    EXPECT_TRUE(port.receiveReply(rx, 9, nineBytes).line.empty());
    const auto silent = Clock::now() - start;
    EXPECT_GE(silent, 60ms);
    EXPECT_LT(silent, 500ms);

    // A reply begun 20 ms in and ending 220 ms in, past a first-byte limit of 150 ms: the limit leaves the
    // slave's thread 130 ms to start on a loaded machine, and the pauses of 100 ms stay well below the
    // 300 ms gap, also when the slave's thread runs late.
    port.setReadTimeouts({300ms, 1ms, 1000ms, 150ms});
    const std::vector<uint8_t> frame = withCrc({0x01, 0x03, 0x04, 0x01, 0x5A, 0x00, 0x0D});
    start = Clock::now();  // before the slave's pauses, which then all fall after it
    FakeSlave slave(
        pty, 0,
        {ReplyStep{{frame.begin(), frame.begin() + 2}, 20ms}, ReplyStep{{frame.begin() + 2, frame.begin() + 5}, 100ms},
         ReplyStep{{frame.begin() + 5, frame.end()}, 100ms}});
    const k54::Reception reception = port.receiveReply(rx, 9, nineBytes);
    EXPECT_EQ(reception.line, frame);
    EXPECT_EQ(reception.end, k54::ReadEnd::complete);
    EXPECT_GE(Clock::now() - start, 220ms);
}

// The limits are on the line, not on how soon the program looks: a reply that has wholly arrived while
// the program was kept from running (a busy machine) is read, though every limit has passed by the time
// it looks. Limits of 0 ms stand for the longest such delay; a reply told by its shape, read a piece at a
// time, must also take its pieces already there.
TEST_F(SerialTimeouts, AReplyAlreadyArrivedIsReadThoughTheLimitsPassedBeforeTheProgramLooked) {
    const std::vector<uint8_t> frame = withCrc({0x01, 0x03, 0x04, 0x01, 0x5A, 0x00, 0x0D});
    const k54::ReplyShape byItsHeader{
        [](std::span<const uint8_t> arrived) { return arrived.size() < 3 ? std::size_t{3} : 5u + arrived[2]; },
        [](std::span<const uint8_t>) { return true; }};
    port.setReadTimeouts({0ms, 0ms, 0ms});

    pty.writeToMaster(frame);
    ASSERT_TRUE(pty.waitForSlaveInput(frame.size(), 2s));
    EXPECT_EQ(port.receive(static_cast<int32_t>(frame.size()), rx), static_cast<int32_t>(frame.size()));

    pty.writeToMaster(frame);
    ASSERT_TRUE(pty.waitForSlaveInput(frame.size(), 2s));
    const k54::Reception reception = port.receiveReply(rx, 9, byItsHeader);
    EXPECT_EQ(reception.line, frame);
    EXPECT_EQ(reception.end, k54::ReadEnd::complete);

    // Nothing there: the read still ends at once.
    const auto start = Clock::now();
    EXPECT_EQ(port.receive(9, rx), 0);
    EXPECT_LT(Clock::now() - start, 50ms);
}

TEST(SerialTimeoutsOfTheProgram, AreTheDescribedOnesUnlessTheBackEndIsMadeWithOthers) {
    EXPECT_EQ(k54::makePlatformSerialBackend()->readTimeouts(), (k54::ReadTimeouts{100ms, 100ms, 5000ms}));
    const k54::ReadTimeouts quickScan{20ms, 2ms, 50ms};
    EXPECT_EQ(k54::makePlatformSerialBackend(quickScan)->readTimeouts(), quickScan);
    EXPECT_EQ(k54::makePlatformSerialBackend("/nonexistent", quickScan)->readTimeouts(), quickScan);
}

}  // namespace
