// k54ctl scan against simulated instruments that answer only while the line runs at their own speed:
// what it finds, in which order it asks, what it says when nothing or something strange answers.
#include <algorithm>

#include "tests/k54ctl/CtlRig.h"

namespace k54::ctl::test {
namespace {

// The address of each version read on the wire, in order.
std::vector<int> probedAddresses(const std::vector<std::string>& requests) {
    std::vector<int> addresses;
    for (const std::string& request : requests)
        if (request.substr(2) == " 03 00 29 00 02") addresses.push_back(std::stoi(request.substr(0, 2), nullptr, 16));
    return addresses;
}

class Scan : public CtlTest {
protected:
    Scan() = default;
    explicit Scan(std::vector<std::string> simArgs) : CtlTest(std::move(simArgs)) {}

    Result scan(std::vector<std::string> args, bool outIsTerminal = false) {
        args.insert(args.begin(), "scan");
        for (const std::string& option : portOptions()) args.push_back(option);
        // A real instrument begins its answer within milliseconds; the simulated one, a process among a
        // whole test run's, may be held back longer, and a probe it answers late looks unanswered.
        args.insert(args.end(), {"--answer-ms", "200"});
        return run(args, outIsTerminal);
    }
};

TEST_F(Scan, FindsTheInstrumentAtItsAddressAndSpeedAskingEachAddressOncePerSpeed) {
    const Result result = scan({"--address", "15-18", "--baud", "9600,19200"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "address 17, 9600 baud: firmware 1.90.0013\n");
    EXPECT_TRUE(holds(result.err, "1 device found on COM4 (8 of 8 probes"));
    std::vector<int> expected;
    for (int pass = 0; pass < 2; ++pass)
        for (int address = 15; address <= 18; ++address) expected.push_back(address);
    EXPECT_EQ(probedAddresses(sim.requestsFrom()), expected);
    const auto trace = sim.traceLines();
    EXPECT_NE(std::ranges::find(trace, "rep none (line at 19200 baud, instrument at 9600)"), trace.end());
    EXPECT_EQ(std::ranges::count_if(
                  trace, [](const std::string& line) { return line.starts_with("rep 11 03 04 01 5A 00 0D"); }),
              1);
}

TEST_F(Scan, WithoutATerminalThereIsNoProgressBarAndOnOneTheFoundLineStandsAlone) {
    const Result piped = scan({"--address", "16-17", "--baud", "9600"});
    EXPECT_EQ(piped.out.find('\r'), std::string::npos);
    const Result terminal = scan({"--address", "16-17", "--baud", "9600"}, true);
    EXPECT_TRUE(holds(terminal.out, "\rscan [#"));
    // The bar is blanked out before the found line takes its place.
    EXPECT_TRUE(holds(terminal.out, "9600 baud, address 17\r      "));
    EXPECT_TRUE(holds(terminal.out, "      \raddress 17, 9600 baud: firmware 1.90.0013\n"));
}

TEST_F(Scan, NothingAnsweringIsAFailureThatSaysWhatWasScannedAndWhatToCheck) {
    const Result result = scan({"--address", "40-42", "--baud", "19200,9600"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(holds(result.err, "nothing answered on COM4 at addresses 40-42, 19200, 9600 baud (6 of 6 probes"));
    EXPECT_TRUE(holds(result.err, "Check the wiring (RS-485 A and B"));
}

TEST_F(Scan, GarbledRepliesAreNoInstrumentButAreReported) {
    sim.control("fault badcrc");
    const Result result = scan({"--address", "17", "--baud", "9600"});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(holds(result.err, "Garbled replies came at 9600 baud (1)"));
}

TEST_F(Scan, ADeviceThatRefusesTheVersionReadIsListedAsNoInstrument) {
    sim.control("fault exception=2");
    const Result result = scan({"--address", "17", "--baud", "9600"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out,
              "address 17, 9600 baud: a device that refuses the version read (exception 2 (illegal data address)): "
              "no КЭР-5400-02(03)\n");
}

TEST_F(Scan, ARangeThatIsNoRangeIsAUsageErrorAndNothingIsSent) {
    const Result result = scan({"--address", "30-20"});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(holds(result.err, "--address '30-20' is no address range"));
    EXPECT_TRUE(sim.requestsFrom().empty());
}

class ScanFactoryFresh : public Scan {
protected:
    ScanFactoryFresh() : Scan(std::vector<std::string>{}) {}
};

TEST_F(ScanFactoryFresh, TheFactorySettingIsAskedFirstSoFirstFindsItAtOnce) {
    const Result result = scan({"--first"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "address 1, 19200 baud: firmware 1.90.0013\n");
    EXPECT_EQ(sim.requestsFrom(), std::vector<std::string>{"01 03 00 29 00 02"});
    EXPECT_TRUE(holds(result.err, "(1 of 1729 probes"));
}

class ScanTwoInstruments : public Scan {
protected:
    ScanTwoInstruments() : Scan({"--address", "17@9600", "--address", "19@4800", "--firmware", "1.90.0012"}) {}
};

TEST_F(ScanTwoInstruments, FindsBothOnOneLineInTheOrderOfTheSpeedsAsked) {
    const Result result = scan({"--address", "16-19", "--baud", "4800,9600"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "address 19, 4800 baud: firmware 1.90.0012 (older than 1.90.0013: not supported)\n"
              "address 17, 9600 baud: firmware 1.90.0012 (older than 1.90.0013: not supported)\n");
    EXPECT_TRUE(holds(result.err, "2 devices found"));
    const auto trace = sim.traceLines();
    EXPECT_EQ(std::ranges::count_if(trace, [](const std::string& line) { return line.ends_with("(instrument 19)"); }),
              1);
    EXPECT_EQ(std::ranges::count_if(trace, [](const std::string& line) { return line.ends_with("(instrument 17)"); }),
              1);
}

TEST_F(ScanTwoInstruments, FirstStopsAtTheFirstFound) {
    const Result result = scan({"--address", "16-19", "--baud", "9600,4800", "--first"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "address 17, 9600 baud: firmware 1.90.0012 (older than 1.90.0013: not supported)\n");
    EXPECT_EQ(probedAddresses(sim.requestsFrom()).back(), 17);
    EXPECT_EQ(probedAddresses(sim.requestsFrom()).size(), 2u);
}

}  // namespace
}  // namespace k54::ctl::test
