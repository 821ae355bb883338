// cPort's own rules over a recording back end: call order, speeds, the receive check, calls while closed.

#include "serial/K54com.h"
#include "tests/support/RecordingBackend.h"
#include "tests/support/RecordingSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

using k54::cPort;
using k54::kReceiveBufferSize;
using k54::test::BackendLog;
using k54::test::RecordingBackend;
using k54::test::RecordingSink;
using Calls = std::vector<std::string>;
using Buffer = std::array<uint8_t, kReceiveBufferSize>;

cPort portOver(BackendLog& log, bool opens, std::vector<uint8_t> input = {}) {
    return cPort(std::make_unique<RecordingBackend>(log, opens, std::move(input)));
}

Buffer filledBuffer() {
    Buffer buffer{};
    buffer.fill(0xAA);
    return buffer;
}

bool allZero(std::span<const uint8_t> bytes) {
    return std::ranges::all_of(bytes, [](uint8_t b) { return b == 0; });
}

TEST(SerialChannel, SuccessfulOpenPurgesInputThenOutputDropsDtrAndSetsRts) {
    BackendLog log;
    cPort port = portOver(log, true);
    RecordingSink sink;
    EXPECT_TRUE(port.open(4, 3, sink));
    EXPECT_EQ(log.calls, (Calls{"open", "purgeInput", "purgeOutput", "clearDtr", "setRts"}));
    EXPECT_EQ(sink.beeps, 0);
    EXPECT_TRUE(sink.statuses.empty());
}

TEST(SerialChannel, FailedOpenBeepsReportsThePortAndTouchesNothingElse) {
    BackendLog log;
    cPort port = portOver(log, false);
    RecordingSink sink;
    EXPECT_FALSE(port.open(7, 3, sink));
    EXPECT_EQ(log.calls, (Calls{"open"}));
    EXPECT_EQ(sink.beeps, 1);
    EXPECT_EQ(sink.statuses, (Calls{"Ошибка инициализации Com7"}));
}

TEST(SerialChannel, SpeedIndexSelectsTheBaudRate) {
    for (uint8_t index = 0; index < k54::kBaudRates.size(); ++index) {
        BackendLog log;
        cPort port = portOver(log, true);
        EXPECT_TRUE(port.setup(1, index));
        EXPECT_EQ(log.openedBaud, k54::kBaudRates.at(index)) << "speed index " << int{index};
    }
}

TEST(SerialChannel, SpeedIndexOutsideTheListFailsWithoutOpening) {
    BackendLog log;
    cPort port = portOver(log, true);
    RecordingSink sink;
    EXPECT_FALSE(port.open(2, 7, sink));
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(sink.statuses, (Calls{"Ошибка инициализации Com2"}));
}

TEST(SerialChannel, OpeningAgainReleasesTheHeldDeviceFirst) {
    BackendLog log;
    cPort port = portOver(log, true);
    ASSERT_TRUE(port.setup(1, 3));
    ASSERT_TRUE(port.setup(2, 3));
    EXPECT_EQ(log.calls, (Calls{"open", "clearDtr", "close", "open"}));
}

TEST(SerialChannel, CloseDropsDtrThenClosesAndIsHarmlessWhenClosed) {
    BackendLog log;
    cPort port = portOver(log, true);
    ASSERT_TRUE(port.setup(1, 3));
    port.close();
    port.close();
    EXPECT_EQ(log.calls, (Calls{"open", "clearDtr", "close"}));
    EXPECT_FALSE(port.isOpen());
}

TEST(SerialChannel, CallsWhileClosedDoNothing) {
    BackendLog log;
    cPort port = portOver(log, false, {0x01, 0x02, 0x03});
    const std::array<uint8_t, 3> request{1, 2, 3};
    Buffer buffer = filledBuffer();
    EXPECT_EQ(port.transmit(request), 0);
    EXPECT_EQ(port.receive(3, buffer), 0);
    EXPECT_TRUE(allZero(buffer));
    port.discardInput();
    port.close();
    EXPECT_TRUE(log.calls.empty());
}

TEST(SerialChannel, DiscardInputPurgesTheInputQueue) {
    BackendLog log;
    cPort port = portOver(log, true);
    ASSERT_TRUE(port.setup(1, 3));
    port.discardInput();
    EXPECT_EQ(log.calls, (Calls{"open", "purgeInput"}));
}

TEST(SerialChannel, ListAndDescriptionComeFromTheBackend) {
    BackendLog log;
    cPort port = portOver(log, false);
    EXPECT_EQ(port.deviceNames(), (Calls{"COM2"}));
    EXPECT_EQ(port.describe(2), "recorded");
}

// What receive makes of the bytes that arrived for a read of `count`.
struct ReceiveCase {
    const char* name;
    std::vector<uint8_t> arrived;
    int32_t count;
    int32_t expected;
    std::size_t kept;  // bytes of `arrived` left in the buffer, zeros after them

    friend void PrintTo(const ReceiveCase& c, std::ostream* os) { *os << c.name; }
};

class SerialReceive : public testing::TestWithParam<ReceiveCase> {};

TEST_P(SerialReceive, ChecksTheCrcAndKeepsTheBytes) {
    const ReceiveCase& c = GetParam();
    BackendLog log;
    cPort port = portOver(log, true, c.arrived);
    ASSERT_TRUE(port.setup(1, 3));
    Buffer buffer = filledBuffer();
    EXPECT_EQ(port.receive(c.count, buffer), c.expected);
    EXPECT_TRUE(std::equal(c.arrived.begin(), c.arrived.begin() + static_cast<std::ptrdiff_t>(c.kept), buffer.begin()));
    EXPECT_TRUE(allZero(std::span(buffer).subspan(c.kept)));
}

INSTANTIATE_TEST_SUITE_P(
    Frames, SerialReceive,
    testing::Values(ReceiveCase{"GoodFrame", {0x01, 0x03, 0x00, 0x00, 0x00, 0x27, 0x05, 0xD0}, 8, 8, 8},
                    ReceiveCase{"ShorterGoodFrame", {0x01, 0x83, 0x02, 0xC0, 0xF1}, 9, 5, 5},
                    ReceiveCase{"SwappedCrcBytes", {0x01, 0x03, 0x00, 0x00, 0x00, 0x27, 0xD0, 0x05}, 8, 0, 8},
                    ReceiveCase{"BadCrc", {0x01, 0x83, 0x02, 0xC0, 0xF2}, 5, 0, 5},
                    ReceiveCase{"OneByte", {0x01}, 5, 0, 1},
                    ReceiveCase{"TwoBytesOfTheEmptyCrc", {0xFF, 0xFF}, 5, 2, 2}, ReceiveCase{"Nothing", {}, 5, 0, 0},
                    ReceiveCase{"MoreThanTheCountStaysOut", {0x01, 0x83, 0x02, 0xC0, 0xF1, 0x77}, 5, 5, 5},
                    ReceiveCase{"CountZero", {0x01, 0x83, 0x02, 0xC0, 0xF1}, 0, 0, 0},
                    ReceiveCase{"CountAboveTheBuffer", {0x01, 0x83, 0x02, 0xC0, 0xF1}, kReceiveBufferSize + 1, 0, 0}),
    [](const testing::TestParamInfo<ReceiveCase>& info) { return std::string(info.param.name); });

TEST(SerialChannel, ReceiveReadsExactlyTheCount) {
    BackendLog log;
    cPort port = portOver(log, true);
    ASSERT_TRUE(port.setup(1, 3));
    Buffer buffer{};
    port.receive(kReceiveBufferSize, buffer);
    EXPECT_EQ(log.lastReadSize, static_cast<std::size_t>(kReceiveBufferSize));
    port.receive(9, buffer);
    EXPECT_EQ(log.lastReadSize, 9U);
}

TEST(SerialChannel, ReceiveIntoAShortBufferLeavesItUntouched) {
    BackendLog log;
    cPort port = portOver(log, true, {0x01, 0x83, 0x02, 0xC0, 0xF1});
    ASSERT_TRUE(port.setup(1, 3));
    std::vector<uint8_t> shortBuffer(kReceiveBufferSize - 1, 0xAA);
    EXPECT_EQ(port.receive(5, shortBuffer), 0);
    EXPECT_TRUE(std::ranges::all_of(shortBuffer, [](uint8_t b) { return b == 0xAA; }));
    EXPECT_EQ(log.calls, (Calls{"open"}));
}

struct NameCase {
    uint8_t port;
    const char* name;

    friend void PrintTo(const NameCase& c, std::ostream* os) { *os << "port " << int{c.port}; }
};

class SerialDeviceName : public testing::TestWithParam<NameCase> {};

TEST_P(SerialDeviceName, UsesTheNamespaceFormFromTen) {
    EXPECT_EQ(cPort::deviceName(GetParam().port), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Ports, SerialDeviceName,
                         testing::Values(NameCase{1, "Com1"}, NameCase{9, "Com9"}, NameCase{10, "\\\\.\\Com10"},
                                         NameCase{255, "\\\\.\\Com255"}));

}  // namespace
