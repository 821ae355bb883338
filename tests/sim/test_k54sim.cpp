// k54sim seen from outside: a libmodbus RTU master on its virtual port, its trace, its control FIFO,
// its command line and its exit.
#include <gtest/gtest.h>
#include <modbus.h>
#include <signal.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "config/params/ParamTable.h"
#include "k54/Version.h"
#include "tests/sim/RawLine.h"
#include "tests/sim/SimMaster.h"
#include "tests/sim/TracePredicates.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/SimInstrument.h"

namespace {

using namespace std::chrono_literals;
using k54::test::hasLine;
using k54::test::hasLineMatching;
using k54::test::kAnyCrc;
using k54::test::measurementOf;
using k54::test::Outcome;
using k54::test::RawLine;
using k54::test::SimInstrument;
using k54::test::TraceLines;
using Master = k54::test::SimMaster;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

std::vector<uint16_t> factoryImage() {
    const auto image = k54::registerImage(k54::kParamTemplate, true);
    return {image.begin(), image.end()};
}

constexpr const char* kVersionRequest = "req 01 03 00 29 00 02 15 C3";
constexpr const char* kVersionReply = "rep 01 03 04 01 5A 00 0D 1A 19";

TEST(K54Sim, ReportsItsFirmwareAndStartsWithTheFactoryConfiguration) {
    struct Case {
        std::vector<std::string> args;
        uint16_t register41, register42;
    };
    const std::vector<Case> cases{
        {{}, 0x015A, 0x000D},  // default 1.90.0013
        {{"--firmware", "0.00.0000"}, 0x0000, 0x0000},
        {{"--firmware=255.07.1204"}, 0xFF07, 0x0C04},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "default firmware" : c.args.back());
        SimInstrument sim(c.args);
        Master master(sim.devicePath());
        EXPECT_EQ(master.read(41, 2).values, (std::vector<uint16_t>{c.register41, c.register42}));
        EXPECT_EQ(master.read(0, 39).values, factoryImage());
        EXPECT_EQ(master.read(39, 2).values, (std::vector<uint16_t>{0, 0}));
    }
}

TEST(K54Sim, KeepsEveryWriteAndTracesEachRequestAndReply) {
    SimInstrument sim;
    ASSERT_EQ(fs::read_symlink(sim.linkPath()).string(), sim.devicePath());
    Master master(sim.linkPath().string());

    ASSERT_EQ(master.writeOne(3, 7).rc, 1);
    const std::vector<uint16_t> wide{0x0001, 0x0002, 0xFFFF, 0xFFFE};
    ASSERT_EQ(master.writeMany(6, wide).rc, 4);

    std::vector<uint16_t> expected = factoryImage();
    expected.at(3) = 7;
    std::copy(wide.begin(), wide.end(), expected.begin() + 6);
    EXPECT_EQ(master.read(0, 39).values, expected);

    EXPECT_TRUE(sim.waitForTrace(hasLineMatching("req 01 06 00 03 00 07 [0-9A-F]{2} [0-9A-F]{2}")));
    EXPECT_TRUE(sim.waitForTrace(hasLineMatching("rep 01 06 00 03 00 07 [0-9A-F]{2} [0-9A-F]{2}")));
    EXPECT_TRUE(
        sim.waitForTrace(hasLineMatching("req 01 10 00 06 00 04 08 00 01 00 02 FF FF FF FE [0-9A-F]{2} [0-9A-F]{2}")));
    EXPECT_TRUE(sim.waitForTrace(hasLineMatching("rep 01 10 00 06 00 04 [0-9A-F]{2} [0-9A-F]{2}")));
    ASSERT_TRUE(sim.waitForTrace([](const TraceLines& lines) { return lines.size() == 6; }));

    const std::regex lineFormat("(req|rep)( [0-9A-F]{2})+|rep none \\([^)]+\\)");
    const TraceLines lines = sim.traceLines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(std::regex_match(lines.at(i), lineFormat)) << lines.at(i);
        EXPECT_EQ(lines.at(i).substr(0, 3), i % 2 == 0 ? "req" : "rep") << lines.at(i);
    }
}

TEST(K54Sim, InjectsTheFaultsItIsGiven) {
    struct Case {
        std::vector<std::string> faults;
        int expectedError;         // errno of the master's read of registers 41-42
        std::string replyInTrace;  // the whole trace line of the reply, as a regular expression
    };
    const std::vector<Case> cases{
        {{"silent"}, ETIMEDOUT, "rep none \\(silent\\)"},
        {{"drop-every=1"}, ETIMEDOUT, "rep none \\(dropped\\)"},
        {{"exception=2"}, EMBXILADD, "rep 01 83 02" + kAnyCrc},
        {{"exception=3"}, EMBXILVAL, "rep 01 83 03" + kAnyCrc},
        {{"badcrc"}, EMBBADCRC, "rep 01 03 04 01 5A 00 0D 1A 18"},
        {{"truncate"}, ETIMEDOUT, "rep 01 03 04 01"},
        {{"gap=1000"}, ETIMEDOUT, std::string(kVersionReply)},
        {{"late=600"}, ETIMEDOUT, std::string(kVersionReply)},
        {{"stranger=9"}, EMBBADSLAVE, "rep 09 03 04 01 5A 00 0D" + kAnyCrc},
        {{"wrongfc"}, EMBBADDATA, "rep 01 04 04 01 5A 00 0D" + kAnyCrc},
        {{"garbage"}, EMBBADSLAVE, "rep FF 55 AA 01 03 04 01 5A 00 0D 1A 19"},
        {{"trailing", "exception=4"}, EMBXSFAIL, "rep 01 83 04" + kAnyCrc + " FF 55 AA"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args;
        for (const std::string& fault : c.faults) args.insert(args.end(), {"--fault", fault});
        SCOPED_TRACE(c.faults.front());
        SimInstrument sim(args);
        Master master(sim.devicePath(), 1, 19200, Master::kSilenceWait);
        const Outcome read = master.read(41, 2);
        EXPECT_EQ(read.rc, -1);
        EXPECT_EQ(read.error, c.expectedError) << modbus_strerror(read.error);
        EXPECT_TRUE(sim.waitForTrace(hasLine(kVersionRequest)));
        EXPECT_TRUE(sim.waitForTrace(hasLineMatching(c.replyInTrace))) << ::testing::PrintToString(sim.traceLines());
    }
}

TEST(K54Sim, AppliesControlCommandsBeforeTheNextRequest) {
    SimInstrument sim;
    Master master(sim.devicePath(), 1, 19200);

    sim.control("set 5 1234");
    sim.control("set 4 -2");
    EXPECT_EQ(master.read(4, 2).values, (std::vector<uint16_t>{0xFFFE, 1234}));

    sim.control("firmware 3.21.0405");
    EXPECT_EQ(master.read(41, 2).values, (std::vector<uint16_t>{0x0315, 0x0405}));

    for (const char* refused : {"launch rockets", "set 100 1", "version 1.90.0013", "firmware 1.9.13", "baud 1200"}) {
        sim.control(refused);
    }
    EXPECT_EQ(master.read(0, 1).values, (std::vector<uint16_t>{factoryImage().at(0)}));
    EXPECT_EQ(master.read(41, 2).values, (std::vector<uint16_t>{0x0315, 0x0405}));
    for (const char* reason : {"unknown command 'launch rockets'", "no holding register '100'",
                               "unknown command 'version 1.90.0013'", "firmware '1.9.13'", "baud '1200'"}) {
        EXPECT_NE(sim.errorOutput().find(reason), std::string::npos) << reason << "\n" << sim.errorOutput();
    }
}

// A fault command states the line's faults whole: it replaces the faults in force (those of the command
// line too), so that a test sees the fault it set and no other.
TEST(K54Sim, AFaultCommandReplacesTheFaultsInForce) {
    SimInstrument sim({"--fault", "silent"});
    Master master(sim.devicePath(), 1, 19200, Master::kSilenceWait);
    EXPECT_EQ(master.read(41, 2).error, ETIMEDOUT);

    sim.control("fault exception=3");
    EXPECT_EQ(master.read(41, 2).error, EMBXILVAL);
    sim.control("fault silent");
    EXPECT_EQ(master.read(41, 2).error, ETIMEDOUT);
    sim.control("fault exception=4");
    EXPECT_EQ(master.read(41, 2).error, EMBXSFAIL) << "the silence must be gone";

    sim.control("fault stranger=9 exception=2");
    EXPECT_EQ(master.read(41, 2).error, EMBBADSLAVE);
    EXPECT_TRUE(sim.waitForTrace(hasLineMatching("rep 09 83 02" + kAnyCrc)));

    sim.control("fault silent noise");  // refused whole: the faults stay
    EXPECT_EQ(master.read(41, 2).error, EMBBADSLAVE);
    EXPECT_NE(sim.errorOutput().find("unknown fault 'noise'"), std::string::npos) << sim.errorOutput();

    sim.control("clear");
    EXPECT_EQ(master.read(41, 2).rc, 2);
}

TEST(K54Sim, LiveMeasurementMovesInsideTheInputTypeRange) {
    struct Case {
        const char* inputType;  // "" keeps the factory type 22 (0 - 320 Ohm)
        int32_t low, high;      // thousandths
    };
    const std::vector<Case> cases{
        {"", 0, 320000},       {"13", 300000, 1800000},  // thermocouple B
        {"0", -50000, 200000},                           // resistance thermometer
        {"99", 0, 1000000},                              // outside the table
        {"-1", 0, 1000000},
    };
    SimInstrument sim;
    Master master(sim.devicePath());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inputType);
        if (*c.inputType != '\0') sim.control(std::string("set 0 ") + c.inputType);
        const Outcome first = master.read(60, 2);
        ASSERT_EQ(first.rc, 2);
        Outcome later = first;
        const auto deadline = Clock::now() + 3s;
        while (measurementOf(later) == measurementOf(first) && Clock::now() < deadline) {
            later = master.read(60, 2);
            ASSERT_EQ(later.rc, 2);
        }
        EXPECT_NE(measurementOf(later), measurementOf(first));
        for (const int32_t value : {measurementOf(first), measurementOf(later)}) {
            EXPECT_GE(value, c.low);
            EXPECT_LE(value, c.high);
        }
    }
}

TEST(K54Sim, AMeasuredValueSetThroughTheControlFifoStays) {
    SimInstrument sim;
    Master master(sim.devicePath());
    sim.control("set 60 1");  // 1 * 65536 + 57920 = 123456 thousandths
    sim.control("set 61 57920");
    // Long enough for the wave (20 s period) to have moved a value it still wrote.
    const auto until = Clock::now() + 1500ms;
    int reads = 0;
    while (Clock::now() < until) {
        const Outcome read = master.read(60, 2);
        ASSERT_EQ(read.rc, 2);
        EXPECT_EQ(measurementOf(read), 123456);
        ++reads;
    }
    EXPECT_GE(reads, 2);
}

TEST(K54Sim, AnswersOnlyItsAddressWithAGoodCrcAtTheLinesPace) {
    SimInstrument sim({"--address", "7", "--baud", "9600"});
    {
        Master stranger(sim.devicePath(), 1, 9600, Master::kSilenceWait);
        EXPECT_EQ(stranger.read(41, 2).error, ETIMEDOUT);
    }
    EXPECT_TRUE(sim.waitForTrace(hasLine("rep none (no instrument at address 1)")));

    const std::array<uint8_t, 8> damaged{0x07, 0x03, 0x00, 0x29, 0x00, 0x02, 0x00, 0x00};
    RawLine(sim.devicePath(), 9600).send(damaged);
    EXPECT_TRUE(sim.waitForTrace(hasLine("rep none (bad crc)"))) << ::testing::PrintToString(sim.traceLines());

    Master own(sim.devicePath(), 7, 9600);
    const auto start = Clock::now();
    const Outcome read = own.read(41, 2);
    const auto took = Clock::now() - start;
    EXPECT_EQ(read.values, (std::vector<uint16_t>{0x015A, 0x000D}));
    // 9 reply characters of 11 bits at 9600 baud after a 3 ms answer delay: at least 13 ms.
    EXPECT_GE(took, 13ms);
}

TEST(K54Sim, RemovesItsLinkOnStopAndGuardsALivePort) {
    SimInstrument sim({}, 3);
    ASSERT_TRUE(fs::is_symlink(sim.linkPath()));
    ASSERT_TRUE(fs::exists(sim.controlPath()));

    const auto second = k54::test::runProgram(SimInstrument::programPath(),
                                              {"--port", "3", "--ports-dir", sim.portsDir().string()}, 5s);
    EXPECT_EQ(second.exitStatus, 1);
    EXPECT_NE(second.err.find("taken"), std::string::npos) << second.err;
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(fs::read_symlink(sim.linkPath()).string(), sim.devicePath());

    EXPECT_EQ(sim.stop(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(sim.linkPath())));
    EXPECT_FALSE(fs::exists(fs::symlink_status(sim.controlPath())));
}

TEST(K54Sim, ReplacesAStaleLinkAndStopsOnSigint) {
    const k54::test::ScratchDir dir("k54sim-stale-");
    const fs::path link = dir.path() / "com4";
    fs::create_symlink("/dev/pts/k54-no-such-device", link);

    k54::test::ChildProcess sim(SimInstrument::programPath(), {"--port", "4", "--ports-dir", dir.path().string()},
                                (dir.path() / "stderr.log").string());
    const auto ready = sim.readLine(SimInstrument::kStartDeadline);
    ASSERT_TRUE(ready.has_value());
    const std::string target = fs::read_symlink(link).string();
    EXPECT_EQ(*ready, "k54sim: COM4 ready at " + link.string() + " -> " + target);
    EXPECT_TRUE(fs::exists(target));

    sim.sendSignal(SIGINT);
    EXPECT_EQ(sim.waitExit(5s), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_EQ(sim.readRest(1s), "");
}

TEST(K54Sim, ShowsTheProgramsVersion) {
    const auto version = k54::test::runProgram(SimInstrument::programPath(), {"--version"}, 5s);
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, std::string("k54sim ") + k54::kProgramVersion + "\n");
    EXPECT_EQ(version.err, "");
}

TEST(K54Sim, ExplainsItsOptionsAndRefusesBadOnes) {
    const auto help = k54::test::runProgram(SimInstrument::programPath(), {"--help"}, 5s);
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* option : {"--port",
                               "--ports-dir",
                               "--baud",
                               "--address A[@B]",
                               "--firmware",
                               "--no-pacing",
                               "--trace",
                               "--fault",
                               "--control",
                               "--version",
                               "--help",
                               "silent",
                               "badcrc",
                               "exception=",
                               "truncate",
                               "gap=",
                               "late=",
                               "garbage",
                               "trailing",
                               "drop-every=",
                               "stranger=",
                               "wrongfc",
                               "echo",
                               "fault FAULT...",
                               "clear",
                               "[@A] set REG VALUE",
                               "[@A] firmware V",
                               "[@A] baud B"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }

    const std::vector<std::vector<std::string>> refused{
        {"--port", "0"},
        {"--port", "256"},
        {"--baud", "1200"},
        {"--address", "248"},
        {"--address", "0@9600"},
        {"--address", "30@1200"},
        {"--address", "30@"},
        {"--address", "17", "--address", "17@9600"},
        {"--firmware", "1.9.13"},
        {"--firmware", "1.90.013"},
        {"--version=1.90.0013"},
        {"--fault", "noise"},
        {"--fault", "gap=x"},
        {"--fault", "echo=1"},
        {"--trace"},
        {"--bogus"},
    };
    for (const auto& args : refused) {
        SCOPED_TRACE(args.front() + (args.size() > 1 ? " " + args.back() : ""));
        const auto result = k54::test::runProgram(SimInstrument::programPath(), args, 5s);
        EXPECT_EQ(result.exitStatus, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(args.back()), std::string::npos) << result.err;
    }
}

}  // namespace
