// The line under k54ctl: the port chosen by number, by path or as the only one; a port that cannot be
// opened; a silent, refusing or garbling instrument; the traffic log; and every usage error.
#include <fstream>

#include "k54/Version.h"
#include "serial/K54com.h"
#include "serial/PlatformSerial.h"
#include "tests/k54ctl/CtlRig.h"

namespace k54::ctl::test {
namespace {

using TheLine = CtlTest;

TEST_F(TheLine, ThePortMayBeNamedByNumberByPathOrBeTheOnlyOne) {
    const std::vector<std::string> instrument{"--address", "17", "--baud", "9600"};
    auto with = [&](std::vector<std::string> args) {
        args.insert(args.end(), instrument.begin(), instrument.end());
        return run(args);
    };
    EXPECT_EQ(with({"info", "--ports-dir", sim.portsDir().string(), "--port", "4"}).status, 0);
    EXPECT_EQ(with({"info", "--device", sim.devicePath()}).status, 0);
    const Result ports = run({"ports", "--ports-dir", sim.portsDir().string()});
    EXPECT_TRUE(holds(ports.out, "COM4  " + sim.linkPath().string() + " -> " + sim.devicePath() + "\n"));
    if (ports.out == "COM4  " + sim.linkPath().string() + " -> " + sim.devicePath() + "\n") {
        // This machine has no other serial port: the one there is needs no name.
        EXPECT_EQ(with({"info", "--ports-dir", sim.portsDir().string()}).status, 0);
    }
}

TEST_F(TheLine, APortThatCannotBeOpenedSaysWhyAndWhatToCheck) {
    k54::cPort holder(makePlatformSerialBackend(sim.portsDir()));
    struct Quiet final : k54::StatusSink {
        void beep() override {}
        void reportStatus(std::string_view) override {}
    } quiet;
    ASSERT_TRUE(holder.open(kPort, 2, quiet));
    const Result busy = onLine({"read"});
    EXPECT_EQ(busy.status, 1);
    EXPECT_TRUE(holds(busy.err, "cannot open COM4 (" + sim.linkPath().string() + "): "));
    EXPECT_TRUE(holds(busy.err, "holds it") || holds(busy.err, "another program has it open"));
    holder.close();

    const Result missing = run({"read", "--ports-dir", sim.portsDir().string(), "--port", "COM200"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(holds(missing.err, "cannot open COM200: no device stands behind this number"));
    const Result gone = run({"read", "--device", (files.path() / "ttyGone").string()});
    EXPECT_EQ(gone.status, 1);
    EXPECT_TRUE(holds(gone.err, "the device is not there"));
}

struct FaultCase {
    const char* fault;
    const char* says;
};

class LineFaults : public CtlTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(LineFaults, EveryCommandSaysWhatCameAndWhatToCheck) {
    sim.control(std::string("fault ") + GetParam().fault);
    for (const char* command : {"info", "read", "watch"}) {
        const Result result = onLine({command});
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_EQ(result.out, "") << command;
        EXPECT_TRUE(holds(result.err, GetParam().says)) << command;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LineFaults,
    ::testing::Values(
        FaultCase{"silent",
                  "k54ctl: reading the firmware version: no reply (time-out) from address 17 at 9600 baud on "
                  "COM4. Check that the instrument has this address and speed"},
        FaultCase{"exception=4",
                  "exception 4 (slave device failure) from address 17 at 9600 baud on COM4: the "
                  "instrument refused the request."},
        FaultCase{"badcrc", "bad CRC from address 17 at 9600 baud on COM4: the reply came garbled."},
        FaultCase{"truncate", "the reply came garbled"}, FaultCase{"stranger=18", "another device answered"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) {
        std::string name = info.param.fault;
        std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
        return name;
    });

TEST_F(TheLine, TheTrafficLogHoldsEveryExchangeAndOneThatCannotBeWrittenIsAFileError) {
    const Result logged = onLine({"info", "--traffic-log", file("traffic.log").string()});
    EXPECT_EQ(logged.status, 0);
    std::ifstream in(file("traffic.log"));
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(holds(text, " tx 11 03 00 29 00 02 "));
    EXPECT_TRUE(holds(text, " rx 11 03 04 01 5A 00 0D "));
    EXPECT_TRUE(holds(text, "-- answered"));
    const Result refused = onLine({"info", "--traffic-log", (file("no-folder") / "t.log").string()});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(holds(refused.err, "cannot write the traffic log"));
    EXPECT_EQ(sim.requestsFrom().size(), 1u);
}

TEST_F(TheLine, UsageErrorsEndWithStatusTwoAndSendNothing) {
    const std::vector<std::vector<std::string>> usages{
        {},
        {"frobnicate"},
        {"read", "--baud", "1234"},
        {"read", "--address", "0"},
        {"read", "--address", "255"},
        {"read", "--port", "LPT1"},
        {"read", "--port", "COM4", "--device", "/dev/null"},
        {"read", "--timeout-ms", "0"},
        {"read", "extra"},
        {"scan", "--baud", "9600,1200"},
        {"scan", "--answer-ms", "0"},
        {"save"},
        {"load"},
        {"watch", "--interval", "0"},
        {"watch", "--count", "0"},
        {"info", "--no-such-option"},
    };
    for (std::vector<std::string> args : usages) {
        const std::string shown = args.empty() ? "(nothing)" : args.front() + (args.size() > 1 ? " " + args[1] : "");
        if (!args.empty() && args.front() != "frobnicate")
            args.insert(args.end(), {"--ports-dir", sim.portsDir().string()});
        const Result result = run(args);
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_FALSE(result.err.empty()) << shown;
    }
    EXPECT_TRUE(sim.requestsFrom().empty());
}

TEST_F(TheLine, HelpAndVersionGoToStandardOutput) {
    const Result help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(holds(help.out, "Exit status:\n  0  done\n  1  the instrument or the line failed"));
    for (const char* command :
         {"ports", "scan", "info", "read", "save", "load", "diff", "set", "factory", "password", "watch"}) {
        const Result commandHelp = run({command, "--help"});
        EXPECT_EQ(commandHelp.status, 0) << command;
        EXPECT_TRUE(holds(commandHelp.out, std::string("Usage: k54ctl ") + command)) << command;
        // diff's own, as diff(1): a difference is 1, any failure 2.
        EXPECT_TRUE(holds(commandHelp.out, std::string(command) == "diff"
                                               ? "Exit status, as diff(1): 0 the same; 1 they differ; 2 trouble"
                                               : "Exit status: 0 done; 1"))
            << command;
    }
    EXPECT_EQ(run({"--version"}).out, std::string("k54ctl ") + kProgramVersion + "\n");
}

}  // namespace
}  // namespace k54::ctl::test
