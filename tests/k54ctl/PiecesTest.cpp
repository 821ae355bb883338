// k54ctl's pieces that need no line: the scan's order and timing, the read limits, KEY=VALUE, the text
// of a table, a progress bar and of the diagnoses, and the command line's usage errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "config/params/ParamTable.h"
#include "k54ctl/Assignment.h"
#include "k54ctl/CommandLine.h"
#include "k54ctl/Diagnosis.h"
#include "k54ctl/ProgressBar.h"
#include "k54ctl/ReadLimits.h"
#include "k54ctl/ScanPlan.h"
#include "k54ctl/TextTable.h"

namespace k54::ctl {
namespace {

using namespace std::chrono_literals;
const std::vector<uint32_t> kAllSpeeds(kScanSpeedOrder.begin(), kScanSpeedOrder.end());

TEST(ScanPlan, FactorySettingThenAddressOneAtEverySpeedThenEveryAddressSpeedBySpeed) {
    const std::vector<Probe> plan = scanPlan({1, 247}, kAllSpeeds);
    ASSERT_EQ(plan.size(), 247u * 7u);
    EXPECT_EQ(plan.front(), (Probe{1, 19200}));
    for (std::size_t i = 0; i < kScanSpeedOrder.size(); ++i) EXPECT_EQ(plan[i], (Probe{1, kScanSpeedOrder[i]}));
    EXPECT_EQ(plan[7], (Probe{2, 19200}));
    EXPECT_EQ(plan[7 + 245], (Probe{247, 19200}));
    EXPECT_EQ(plan[7 + 246], (Probe{2, 9600}));
    EXPECT_EQ(plan.back(), (Probe{247, 2400}));
    std::set<std::pair<int, uint32_t>> each;
    for (const Probe& p : plan) each.insert({p.address, p.baud});
    EXPECT_EQ(each.size(), plan.size());
}

TEST(ScanPlan, KeepsTheGivenSpeedsOrderWithTheFactorySpeedFirstAndSkipsWhatIsNotAsked) {
    EXPECT_EQ(scanPlan({16, 17}, {2400, 9600}), (std::vector<Probe>{{16, 2400}, {17, 2400}, {16, 9600}, {17, 9600}}));
    EXPECT_EQ(scanPlan({1, 2}, {9600, 19200}), (std::vector<Probe>{{1, 19200}, {1, 9600}, {2, 19200}, {2, 9600}}));
    EXPECT_EQ(scanPlan({5, 5}, {19200}), (std::vector<Probe>{{5, 19200}}));
}

TEST(AddressRange, IsAOrAToBWithinTheAddresses) {
    struct Case {
        const char* text;
        std::optional<std::pair<int, int>> range;
    };
    const Case cases[] = {{"1-247", {{1, 247}}},
                          {"17", {{17, 17}}},
                          {"200-254", {{200, 254}}},
                          {"0-5", {}},
                          {"5-3", {}},
                          {"1-255", {}},
                          {"", {}},
                          {"a-b", {}},
                          {"1-", {}},
                          {"-5", {}},
                          {"1-2-3", {}},
                          {"7 ", {}}};
    for (const Case& c : cases) {
        const auto range = parseAddressRange(c.text);
        ASSERT_EQ(range.has_value(), c.range.has_value()) << c.text;
        if (range) {
            EXPECT_EQ(std::make_pair(range->first, range->last), *c.range) << c.text;
        }
    }
}

TEST(LineTiming, ElevenBitsACharacterAndTheScansWindowFromTheRequestsEnd) {
    EXPECT_EQ(wireTime(8, 19200), 4584us);
    EXPECT_EQ(wireTime(1, 2400), 4584us);
    const ReadTimeouts scan = scanTimeouts(19200, 50ms);
    EXPECT_EQ(scan.firstByte, 55ms);  // 4.6 ms of request, 50 ms of answer window, rounded up
    EXPECT_EQ(scan.perByte, 2ms);
    EXPECT_GE(scan.constant, 105ms);  // a reply that began late still has its own time and the window
    EXPECT_EQ(scanTimeouts(2400, 50ms).firstByte, 87ms);
    EXPECT_EQ(commandTimeouts(19200, std::nullopt), ReadTimeouts{});  // the described limits
    EXPECT_EQ(commandTimeouts(2400, 300), (ReadTimeouts{100ms, 6ms, 300ms}));
}

TEST(Assignment, TakesTheValueAsTheWindowOrAFileWouldAndRefusesTheRest) {
    const auto taken = [](const char* text) { return std::get<Assignment>(parseAssignment(text)); };
    EXPECT_EQ(taken("US_1=12,5").number, 12.5);
    EXPECT_EQ(taken("US_1=1e2").number, 100.0);
    EXPECT_EQ(taken("DpHi=-50").row, row::Dph);
    EXPECT_EQ(taken("C_HS=Входной заданный").raw, 1);
    EXPECT_EQ(taken("C_HS=2").raw, 2);
    EXPECT_EQ(taken("speed=9600").raw, 2);  // the item's text
    EXPECT_EQ(taken("speed=6").raw, 6);
    EXPECT_EQ(taken("ndt=5").raw, 5);  // a list counted from 1
    EXPECT_EQ(taken("address=254").raw, 254);
    struct Refusal {
        const char* text;
        const char* says;
    };
    const Refusal refusals[] = {
        {"US_1", "no KEY=VALUE"},
        {"=5", "no KEY=VALUE"},
        {"us_1=5", "unknown key 'us_1'"},
        {"password=1234", "k54ctl password"},
        {"US_1=abc", "not a number"},
        {"US_1=", "not a number"},
        {"C_HS=7", "its items are 0 «Входной полный», 1 «Входной заданный»"},
        {"C_HS=Полный", "no such item"},
        {"ndt=0", "no such item"},
        {"address=0", "1 ... 254"},
        {"address=255", "1 ... 254"},
        {"address=1.5", "not a whole number"},
    };
    for (const Refusal& r : refusals) {
        const auto parsed = parseAssignment(r.text);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << r.text;
        EXPECT_NE(std::get<std::string>(parsed).find(r.says), std::string::npos) << std::get<std::string>(parsed);
    }
}

TEST(TextTable, AlignsColumnsByCharactersNotBytes) {
    TextTable table;
    table.addRow({"dAt", "Тип датчика (dAt)", "22"});
    table.addRow({"line_resistance", "Компенсирующее сопротивление", "0.00", "Ом"});
    std::ostringstream out;
    table.write(out);
    EXPECT_EQ(out.str(),
              "dAt              Тип датчика (dAt)             22\n"
              "line_resistance  Компенсирующее сопротивление  0.00  Ом\n");
}

TEST(ProgressBar, IsDrawnOnlyOnATerminalAndErasedBeforeOtherOutput) {
    EXPECT_EQ(progressLine("scan", 5, 20, "9600 baud, address 5"),
              "scan [#######.......................]  25%  9600 baud, address 5");
    EXPECT_EQ(progressLine("load", 3, 3, ""), "load [##############################] 100%");
    std::ostringstream pipe, terminal, err;
    Console toPipe(pipe, err), toTerminal(terminal, err);
    toTerminal.outIsTerminal = true;
    for (Console* console : {&toPipe, &toTerminal}) {
        ProgressBar bar(*console, "load");
        bar.show(1, 2);
        bar.clear();
        console->out << "written\n";
    }
    EXPECT_EQ(pipe.str(), "written\n");
    const std::string bar = "load [###############...............]  50%";
    EXPECT_EQ(terminal.str(), "\r" + bar + "\r" + std::string(bar.size(), ' ') + "\rwritten\n");
}

TEST(Diagnosis, SaysWhatFailedAndWhatToCheck) {
    const auto opening = [](OpenFailureReason reason, std::optional<int64_t> holder = {}, std::string name = {}) {
        OpenFailure failure;
        failure.reason = reason;
        failure.device = "/dev/ttyUSB0";
        failure.holder = holder;
        failure.holderName = std::move(name);
        return openFailureText(failure, "COM33", 19200);
    };
    EXPECT_EQ(opening(OpenFailureReason::noPermission).rfind("cannot open COM33 (/dev/ttyUSB0): permission denied", 0),
              0u);
    EXPECT_NE(opening(OpenFailureReason::noPermission).find("dialout"), std::string::npos);
    EXPECT_NE(opening(OpenFailureReason::heldByProcess, 1234, "minicom").find("process 1234 (minicom) holds it"),
              std::string::npos);
    EXPECT_NE(opening(OpenFailureReason::heldByProcess).find("another program holds it"), std::string::npos);
    EXPECT_NE(opening(OpenFailureReason::busy).find("another program has it open"), std::string::npos);
    EXPECT_NE(opening(OpenFailureReason::noSuchDevice).find("plugged in"), std::string::npos);
    EXPECT_NE(opening(OpenFailureReason::noSuchPort).find("k54ctl ports"), std::string::npos);

    const LinePlace place{"COM4", 9600, 17};
    ExchangeReport silent;
    silent.outcome = Outcome::noReply;
    const std::string noReply = exchangeFailureText("reading the configuration", silent, place);
    EXPECT_EQ(noReply.rfind("reading the configuration: no reply (time-out) from address 17 at 9600 baud on COM4.", 0),
              0u);
    EXPECT_NE(noReply.find("k54ctl scan"), std::string::npos);
    EXPECT_NE(noReply.find("wiring"), std::string::npos);
    ExchangeReport refused;
    refused.outcome = Outcome::exception;
    refused.exceptionCode = 2;
    EXPECT_NE(exchangeFailureText("writing US_1", refused, place).find("exception 2 (illegal data address)"),
              std::string::npos);
    ExchangeReport garbled;
    garbled.outcome = Outcome::badCrc;
    EXPECT_NE(exchangeFailureText("x", garbled, place).find("garbled"), std::string::npos);
    ExchangeReport stranger;
    stranger.outcome = Outcome::stranger;
    EXPECT_NE(exchangeFailureText("x", stranger, place).find("share the address"), std::string::npos);
}

struct CommandRun {
    int status;
    std::string out, err;
};

CommandRun runCommandLine(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    Console console(out, err);
    const int status = runK54ctl(args, console);
    return {status, out.str(), err.str()};
}

// Usage errors are 2 with nothing on standard output, and every line of the message is the program's:
// CLI11's own words too get "k54ctl: ", the command they concern and where its options are told.
TEST(CommandLine, UsageErrorsSayWhatIsWrongAsTheProgramsOwnMessages) {
    const std::string commands =
        "; the commands are: ports, scan, info, read, save, load, diff, set, factory, password, watch\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"frobnicate", "--port", "COM4"}, "k54ctl: unknown command 'frobnicate'" + commands},
        {{}, "k54ctl: no command given" + commands},
        {{"--port", "COM4", "read"}, "k54ctl: the command comes first, before '--port'" + commands},
        {{"read", "--baud", "7"},
         "k54ctl: read: --baud: 7 not in {2400,4800,9600,19200,38400,57600,115200} (k54ctl read --help lists the "
         "options)\n"},
        {{"save"}, "k54ctl: save: file is required (k54ctl save --help lists the options)\n"},
        {{"read", "extra"},
         "k54ctl: read: The following argument was not expected: extra (k54ctl read --help lists the options)\n"},
    };
    for (const auto& [args, message] : cases) {
        const CommandRun run = runCommandLine(args);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_EQ(run.out, "") << message;
        EXPECT_EQ(run.err, message);
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"diff", "--help"}, {"--version"}}) {
        const CommandRun run = runCommandLine(args);
        EXPECT_EQ(run.status, 0) << args.front();
        EXPECT_NE(run.out, "") << args.front();
        EXPECT_EQ(run.err, "") << args.front();
    }
}

}  // namespace
}  // namespace k54::ctl
