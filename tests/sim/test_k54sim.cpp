// k54sim seen from outside: a libmodbus RTU master on its virtual port, its trace, its control FIFO,
// its command line and its exit.
#include <gtest/gtest.h>
#include <modbus.h>
#include <signal.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/ParamTable.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/SimInstrument.h"
#include "tests/support/ScratchDir.h"

namespace {

using namespace std::chrono_literals;
using k54::test::SimInstrument;
using k54::test::TraceLines;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// The result of one master request: libmodbus' return code and errno, and the registers read.
struct Outcome {
    int rc = -1;
    int error = 0;
    std::vector<uint16_t> values;
};

// A libmodbus RTU master, 8E1, on a device path.
class Master {
public:
    explicit Master(const std::string& device, int slave = 1, int baud = 19200,
                    std::chrono::milliseconds responseTimeout = 1000ms)
        : context_(modbus_new_rtu(device.c_str(), baud, 'E', 8, 1)) {
        if (context_ == nullptr) throw std::runtime_error("modbus_new_rtu refused " + device);
        modbus_set_slave(context_, slave);
        const auto micro = std::chrono::duration_cast<std::chrono::microseconds>(responseTimeout).count();
        modbus_set_response_timeout(context_, static_cast<uint32_t>(micro / 1000000),
                                    static_cast<uint32_t>(micro % 1000000));
        modbus_set_byte_timeout(context_, 0, 100000);
        if (modbus_connect(context_) != 0) {
            modbus_free(context_);
            throw std::runtime_error("cannot open " + device + ": " + modbus_strerror(errno));
        }
    }
    ~Master() {
        modbus_close(context_);
        modbus_free(context_);
    }
    Master(const Master&) = delete;
    Master& operator=(const Master&) = delete;

    Outcome read(int address, int count) {
        Outcome outcome;
        outcome.values.resize(static_cast<std::size_t>(count));
        outcome.rc = modbus_read_registers(context_, address, count, outcome.values.data());
        outcome.error = outcome.rc < 0 ? errno : 0;
        if (outcome.rc < 0) outcome.values.clear();
        return outcome;
    }

    Outcome writeOne(int address, uint16_t value) {
        const int rc = modbus_write_register(context_, address, value);
        return {rc, rc < 0 ? errno : 0, {}};
    }

    Outcome writeMany(int address, const std::vector<uint16_t>& values) {
        const int rc = modbus_write_registers(context_, address, static_cast<int>(values.size()), values.data());
        return {rc, rc < 0 ? errno : 0, {}};
    }

private:
    modbus_t* context_;
};

std::vector<uint16_t> factoryImage() {
    const auto image = k54::registerImage(k54::kParamTemplate, true);
    return {image.begin(), image.end()};
}

int32_t measurementOf(const Outcome& read) {
    return k54::decodeWide(read.values.at(0), read.values.at(1));
}

auto hasLine(const std::string& line) {
    return [line](const TraceLines& lines) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
}

auto hasLineMatching(const std::string& pattern) {
    return [pattern](const TraceLines& lines) {
        const std::regex expression(pattern);
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return std::regex_match(line, expression); });
    };
}

constexpr const char* kVersionRequest = "req 01 03 00 29 00 02 15 C3";
constexpr const char* kVersionReply = "rep 01 03 04 01 5A 00 0D 1A 19";

TEST(K54Sim, ReportsItsVersionAndStartsWithTheFactoryConfiguration) {
    struct Case {
        std::vector<std::string> args;
        uint16_t register41, register42;
    };
    const std::vector<Case> cases{
        {{}, 0x015A, 0x000D},  // default 1.90.0013
        {{"--version", "0.00.0000"}, 0x0000, 0x0000},
        {{"--version=255.07.1204"}, 0xFF07, 0x0C04},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "default version" : c.args.back());
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
    const std::string crc = " [0-9A-F]{2} [0-9A-F]{2}";
    const std::vector<Case> cases{
        {{"silent"}, ETIMEDOUT, "rep none \\(silent\\)"},
        {{"drop-every=1"}, ETIMEDOUT, "rep none \\(dropped\\)"},
        {{"exception=2"}, EMBXILADD, "rep 01 83 02" + crc},
        {{"exception=3"}, EMBXILVAL, "rep 01 83 03" + crc},
        {{"badcrc"}, EMBBADCRC, "rep 01 03 04 01 5A 00 0D 1A 18"},
        {{"truncate"}, ETIMEDOUT, "rep 01 03 04 01"},
        {{"gap=250"}, ETIMEDOUT, std::string(kVersionReply)},
        {{"late=600"}, ETIMEDOUT, std::string(kVersionReply)},
        {{"stranger=9"}, EMBBADSLAVE, "rep 09 03 04 01 5A 00 0D" + crc},
        {{"wrongfc"}, EMBBADDATA, "rep 01 04 04 01 5A 00 0D" + crc},
        {{"garbage"}, EMBBADSLAVE, "rep FF 55 AA 01 03 04 01 5A 00 0D 1A 19"},
        {{"trailing", "exception=4"}, EMBXSFAIL, "rep 01 83 04" + crc + " FF 55 AA"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args;
        for (const std::string& fault : c.faults) args.insert(args.end(), {"--fault", fault});
        SCOPED_TRACE(c.faults.front());
        SimInstrument sim(args);
        Master master(sim.devicePath(), 1, 19200, 400ms);
        const Outcome read = master.read(41, 2);
        EXPECT_EQ(read.rc, -1);
        EXPECT_EQ(read.error, c.expectedError) << modbus_strerror(read.error);
        EXPECT_TRUE(sim.waitForTrace(hasLine(kVersionRequest)));
        EXPECT_TRUE(sim.waitForTrace(hasLineMatching(c.replyInTrace))) << ::testing::PrintToString(sim.traceLines());
    }
}

TEST(K54Sim, AppliesControlCommandsBeforeTheNextRequest) {
    SimInstrument sim;
    Master master(sim.devicePath(), 1, 19200, 400ms);

    sim.control("set 5 1234");
    sim.control("set 4 -2");
    EXPECT_EQ(master.read(4, 2).values, (std::vector<uint16_t>{0xFFFE, 1234}));

    sim.control("version 3.21.0405");
    EXPECT_EQ(master.read(41, 2).values, (std::vector<uint16_t>{0x0315, 0x0405}));

    sim.control("fault exception=4");
    EXPECT_EQ(master.read(41, 2).error, EMBXSFAIL);
    sim.control("fault silent");
    EXPECT_EQ(master.read(41, 2).error, ETIMEDOUT);
    sim.control("clear");
    EXPECT_EQ(master.read(41, 2).rc, 2);

    sim.control("launch rockets");
    sim.control("set 100 1");
    EXPECT_EQ(master.read(0, 1).values, (std::vector<uint16_t>{factoryImage().at(0)}));
    EXPECT_NE(sim.errorOutput().find("unknown command 'launch rockets'"), std::string::npos) << sim.errorOutput();
    EXPECT_NE(sim.errorOutput().find("no holding register '100'"), std::string::npos) << sim.errorOutput();
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
        Master stranger(sim.devicePath(), 1, 9600, 300ms);
        EXPECT_EQ(stranger.read(41, 2).error, ETIMEDOUT);
    }
    EXPECT_TRUE(sim.waitForTrace(hasLine("rep none (other address)")));

    const int line = ::open(sim.devicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(line, 0);
    const std::vector<uint8_t> damaged{0x07, 0x03, 0x00, 0x29, 0x00, 0x02, 0x00, 0x00};
    EXPECT_EQ(::write(line, damaged.data(), damaged.size()), static_cast<ssize_t>(damaged.size()));
    ::close(line);
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

TEST(K54Sim, ExplainsItsOptionsAndRefusesBadOnes) {
    const auto help = k54::test::runProgram(SimInstrument::programPath(), {"--help"}, 5s);
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* option :
         {"--port",  "--ports-dir", "--baud",  "--address", "--version",   "--no-pacing", "--trace",
          "--fault", "--control",   "--help",  "silent",    "badcrc",      "exception=",  "truncate",
          "gap=",    "late=",       "garbage", "trailing",  "drop-every=", "stranger=",   "wrongfc"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }

    const std::vector<std::vector<std::string>> refused{
        {"--port", "0"},      {"--port", "256"},       {"--baud", "1200"},
        {"--address", "248"}, {"--version", "1.9.13"}, {"--version", "1.90.013"},
        {"--fault", "noise"}, {"--fault", "gap=x"},    {"--trace"},
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
