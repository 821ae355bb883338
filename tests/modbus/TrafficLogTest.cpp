// The traffic log's lines, exactly: a fixed clock, time in UTC, an instrument scripted in a recording
// back end. (Its lines against the simulated instrument are in ../instrument.)

#include "modbus/K54mdb.h"
#include "modbus/TrafficLog.h"
#include "tests/support/FakeSlave.h"
#include "tests/support/RecordingBackend.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <ctime>
#include <fstream>

namespace {

using namespace std::chrono;
using k54::TrafficLog;
using k54::test::BackendLog;
using k54::test::RecordingBackend;
using k54::test::withCrc;
using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

constexpr std::string_view kStamp = "2025-03-14 10:32:05.123 +0000 ";
const Bytes kReadRequest{0x01, 0x03, 0x00, 0x3C, 0x00, 0x02, 0x04, 0x07};
const Bytes kReadReply = withCrc({0x01, 0x03, 0x04, 0x00, 0x01, 0xE2, 0x40});

system_clock::time_point fixedTime() {
    return sys_days{year{2025} / March / 14} + hours{10} + minutes{32} + seconds{5} + milliseconds{123};
}

Lines fileLines(const std::filesystem::path& file) {
    Lines lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string stamped(std::string_view text) {
    return std::string(kStamp) + std::string(text);
}

class TrafficLogLines : public testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }

    // An mBus on a port whose line answers with `input`, logging to the file.
    uint8_t readWithAnswer(const Bytes& input, TrafficLog& log) {
        BackendLog backendLog;
        k54::cPort port(std::make_unique<RecordingBackend>(backendLog, true, input));
        EXPECT_TRUE(port.setup(1, 3));
        k54::mBus bus(port);
        bus.setObserver(&log);
        return bus.readRegisters(tx, rx, 1, 60, 2);
    }

    k54::test::ScratchDir dir{"k54-traffic"};
    std::filesystem::path file = dir.path() / "traffic.log";
    std::array<uint8_t, 8> tx{};
    std::array<uint8_t, k54::kReceiveBufferSize> rx{};
};

TEST_F(TrafficLogLines, ShowEachRequestAndReplyInHexWithTheOutcome) {
    TrafficLog log(file, fixedTime);
    ASSERT_TRUE(log.isOpen());
    ASSERT_EQ(readWithAnswer(kReadReply, log), 0);
    ASSERT_EQ(readWithAnswer(withCrc({0x01, 0x83, 0x02}), log), 2);
    ASSERT_EQ(readWithAnswer({}, log), k54::kNoReply);
    EXPECT_EQ(fileLines(file),
              (Lines{stamped("tx 01 03 00 3C 00 02 04 07"), stamped("rx 01 03 04 00 01 E2 40 E2 A3 -- answered"),
                     stamped("tx 01 03 00 3C 00 02 04 07"),
                     stamped("rx 01 83 02 C0 F1 -- exception 2 (illegal data address)"),
                     stamped("tx 01 03 00 3C 00 02 04 07"), stamped("rx -- no reply (time-out)")}));
}

TEST_F(TrafficLogLines, ShowAnEchoApartFromTheReply) {
    Bytes echoThenReply = kReadRequest;
    echoThenReply.insert(echoThenReply.end(), kReadReply.begin(), kReadReply.end());
    TrafficLog log(file, fixedTime);
    ASSERT_EQ(readWithAnswer(echoThenReply, log), 0);
    EXPECT_EQ(fileLines(file).at(1),
              stamped("rx echo 01 03 00 3C 00 02 04 07 + 01 03 04 00 01 E2 40 E2 A3 -- answered"));
}

TEST_F(TrafficLogLines, SayWhatWasNotSent) {
    TrafficLog log(file, fixedTime);
    BackendLog backendLog;
    k54::cPort closed(std::make_unique<RecordingBackend>(backendLog, false));
    k54::mBus bus(closed);
    bus.setObserver(&log);
    EXPECT_EQ(bus.writeRegister(tx, rx, 1, 5, 7), k54::kNoReply);
    EXPECT_EQ(bus.readRegisters(tx, rx, 1, 0, 0), k54::kNoReply);
    EXPECT_EQ(fileLines(file), (Lines{stamped("rx -- request not sent (port not open or write failed)"),
                                      stamped("-- arguments refused, nothing sent")}));
}

TEST_F(TrafficLogLines, AreAppendedToWhatTheFileHolds) {
    std::ofstream(file) << "earlier line\n";
    {
        TrafficLog log(file, fixedTime);
        readWithAnswer(kReadReply, log);
    }
    TrafficLog again(file, fixedTime);
    readWithAnswer(kReadReply, again);
    const Lines lines = fileLines(file);
    ASSERT_EQ(lines.size(), 5U);
    EXPECT_EQ(lines.front(), "earlier line");
    EXPECT_EQ(lines.at(3), stamped("tx 01 03 00 3C 00 02 04 07"));
}

TEST_F(TrafficLogLines, AFileThatCannotBeWrittenLogsNothingAndHarmsNothing) {
    TrafficLog log(dir.path() / "no-such-folder" / "traffic.log", fixedTime);
    EXPECT_FALSE(log.isOpen());
    EXPECT_EQ(readWithAnswer(kReadReply, log), 0);
}

TEST(TrafficLogTime, IsLocalWithItsOffsetFromUtc) {
    k54::test::ScratchDir dir{"k54-traffic"};
    ::setenv("TZ", "<-0330>3:30", 1);
    ::tzset();
    {
        TrafficLog log(dir.path() / "t.log", fixedTime);
        log.exchangeEnded({}, {}, k54::ExchangeReport{.outcome = k54::Outcome::refused});
    }
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(fileLines(dir.path() / "t.log"),
              Lines{"2025-03-14 07:02:05.123 -0330 -- arguments refused, nothing sent"});
}

}  // namespace
