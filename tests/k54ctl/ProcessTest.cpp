// k54ctl as a process, where the process boundary matters: its exit status, what goes to standard output
// and what to standard error, what it does on a terminal (a progress bar, a question) and off one, and
// Ctrl-C ending a watch cleanly.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>

#include "k54/Version.h"
#include "serial/posix/DeviceLock.h"
#include "tests/k54ctl/TerminalRun.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/SimInstrument.h"

#ifndef K54CTL_PATH
#error "K54CTL_PATH must name the k54ctl program"
#endif

namespace k54::ctl::test {
namespace {

using namespace std::chrono_literals;
using k54::test::ProgramResult;

constexpr auto kDeadline = 20s;

class Process : public ::testing::Test {
protected:
    std::vector<std::string> line(std::vector<std::string> args) const {
        args.insert(args.end(), {"--ports-dir", sim.portsDir().string(), "--port", "COM4", "--address", "17", "--baud",
                                 "9600", "--timeout-ms", "200"});
        return args;
    }
    ProgramResult ctl(const std::vector<std::string>& args) const {
        return k54::test::runProgram(K54CTL_PATH, args, kDeadline);
    }

    k54::test::SimInstrument sim{{"--no-pacing", "--address", "17@9600"}, 4};
    k54::test::ScratchDir files{"k54ctl-process-"};
};

TEST_F(Process, ExitStatusZeroOneTwoWithOutputAndDiagnosticsApart) {
    const ProgramResult version = ctl({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, std::string("k54ctl ") + kProgramVersion + "\n");
    EXPECT_EQ(version.err, "");

    const ProgramResult read = ctl(line({"read"}));
    EXPECT_EQ(read.exitStatus, 0);
    EXPECT_NE(read.out.find("US_1 "), std::string::npos);
    EXPECT_EQ(read.err, "");

    sim.control("fault silent");
    const ProgramResult silent = ctl(line({"read"}));
    EXPECT_EQ(silent.exitStatus, 1);
    EXPECT_EQ(silent.out, "");
    EXPECT_NE(silent.err.find("no reply (time-out)"), std::string::npos);

    const ProgramResult usage = ctl(line({"read", "--baud", "7"}));
    EXPECT_EQ(usage.exitStatus, 2);
    EXPECT_EQ(usage.out, "");
    EXPECT_NE(usage.err.find("--baud"), std::string::npos);
}

TEST_F(Process, AProgressBarOnlyOnATerminal) {
    const std::vector<std::string> scan{
        "scan",   "--ports-dir", sim.portsDir().string(), "--port", "COM4", "--address", "16-17",
        "--baud", "9600",        "--answer-ms",           "200"};  // a late simulated answer is no miss
    const ProgramResult piped = ctl(scan);
    EXPECT_EQ(piped.exitStatus, 0);
    EXPECT_EQ(piped.out, "address 17, 9600 baud: firmware 1.90.0013\n");

    TerminalRun terminal(K54CTL_PATH, scan);
    ASSERT_EQ(terminal.waitExit(kDeadline), 0) << terminal.shown();
    EXPECT_NE(terminal.shown().find("\rscan ["), std::string::npos) << terminal.shown();
    EXPECT_NE(terminal.shown().find("      \raddress 17, 9600 baud: firmware 1.90.0013\r\n"), std::string::npos);
}

TEST_F(Process, OnATerminalTheFactoryWriteAsksFirst) {
    TerminalRun terminal(K54CTL_PATH, line({"factory", "--backup-dir", (files.path() / "backups").string()}));
    ASSERT_TRUE(terminal.waitFor("[y/N] ", kDeadline)) << terminal.shown();
    terminal.type("y");
    ASSERT_EQ(terminal.waitExit(kDeadline), 0) << terminal.shown();
    EXPECT_NE(terminal.shown().find("read back: the instrument holds the factory configuration"), std::string::npos);
    EXPECT_EQ(k54::test::filesIn(files.path() / "backups").size(), 1u);
}

TEST_F(Process, CtrlCEndsAWatchCleanlyAndLeavesThePortFree) {
    TerminalRun terminal(K54CTL_PATH, line({"watch", "--interval", "50"}));
    ASSERT_TRUE(terminal.waitFor(" Ом\r\n", kDeadline)) << terminal.shown();
    ASSERT_TRUE(std::filesystem::exists(defaultLockFolder() / lockFileName(sim.devicePath())));
    terminal.sendSignal(SIGINT);
    EXPECT_EQ(terminal.waitExit(kDeadline), 130) << terminal.shown();  // as a shell reports Ctrl-C
    EXPECT_FALSE(std::filesystem::exists(defaultLockFolder() / lockFileName(sim.devicePath())));
    EXPECT_EQ(ctl(line({"info"})).exitStatus, 0);
}

// k54ctl with its arguments as a shell command line.
std::string shellCommand(const std::vector<std::string>& args) {
    std::string command = "'" + std::string(K54CTL_PATH) + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    return command;
}

// k54ctl started by a shell with its standard output in `output` (a file, /dev/full).
std::unique_ptr<k54::test::ChildProcess> startInShell(const std::vector<std::string>& args, const std::string& output,
                                                      const std::string& errors) {
    return std::make_unique<k54::test::ChildProcess>(
        "/bin/sh", std::vector<std::string>{"-c", "exec " + shellCommand(args) + " >" + output}, errors);
}

std::string textOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isWrite(const std::string& request) {
    return request.substr(3, 2) == "06" || request.substr(3, 2) == "10";
}

// A signal in the middle of a load: the write in progress ends, nothing more is sent, the report says
// what was written and where the backup is (its line in a file, not lost in a buffer), the lock is gone
// and the port has the speed it had; the exit status is 128 + the signal.
TEST_F(Process, ASignalInTheMiddleOfALoadEndsItWithItsReport) {
    const auto saved = files.path() / "plant.json";
    ASSERT_EQ(ctl(line({"save", saved.string()})).exitStatus, 0);
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}}) {
        sim.control("reset");
        ASSERT_EQ(ctl(line({"set", "CutE=0", "US_1=100", "ndt=5", "rL1=1", "Icod=5"})).exitStatus, 0);
        const int device = ::open(sim.devicePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(device, 0);
        termios before{};
        ::tcgetattr(device, &before);
        ::cfsetspeed(&before, B2400);
        ::tcsetattr(device, TCSANOW, &before);
        sim.control("fault late=300");
        const std::size_t mark = sim.traceLines().size();
        const auto out = files.path() / ("out-" + std::to_string(signal));
        const auto err = files.path() / ("err-" + std::to_string(signal));
        auto load = startInShell(
            {"load", saved.string(), "--backup-dir", (files.path() / "backups").string(), "--ports-dir",
             sim.portsDir().string(), "--port", "COM4", "--address", "17", "--baud", "9600", "--timeout-ms", "2000"},
            out.string(), err.string());
        ASSERT_TRUE(sim.waitForTrace(
            [&](const k54::test::TraceLines&) { return std::ranges::any_of(sim.requestsFrom(mark), isWrite); },
            kDeadline));
        load->sendSignal(signal);
        EXPECT_EQ(load->waitExit(kDeadline), status);
        std::vector<std::string> writes;
        std::ranges::copy_if(sim.requestsFrom(mark), std::back_inserter(writes), isWrite);
        EXPECT_EQ(writes.size(), 1u);  // the one in progress, no more
        EXPECT_TRUE(textOf(out).starts_with("backup: ")) << textOf(out);
        const std::string report = textOf(err);
        EXPECT_NE(report.find("k54ctl: the load stopped at a signal, after the request in progress\n"
                              "k54ctl: written: CutE; not written: ndt, Icod, rL1, US_1\n"),
                  std::string::npos)
            << report;
        EXPECT_NE(report.find("load it to undo"), std::string::npos) << report;
        EXPECT_NE(report.find("k54ctl: ended by SIG"), std::string::npos) << report;
        EXPECT_FALSE(std::filesystem::exists(defaultLockFolder() / lockFileName(sim.devicePath())));
        termios after{};
        ::tcgetattr(device, &after);
        EXPECT_EQ(::cfgetospeed(&after), B2400);
        ::close(device);
        sim.control("clear");
    }
}

bool lockRemains(const k54::test::SimInstrument& sim) {
    return std::filesystem::exists(defaultLockFolder() / lockFileName(sim.devicePath()));
}

// A Ctrl-C in the middle of a set on a slow line: the write in progress ends, nothing more is sent (not
// the address and speed held back for the end either), the report says what was written and what was
// not done, the lock is gone; 130.
TEST_F(Process, CtrlCInTheMiddleOfASetEndsItWithItsReport) {
    struct Case {
        std::vector<std::string> assignments;
        std::string stored, report;
    };
    const std::vector<Case> cases{
        {{"CutE=0", "ndt=5", "rL1=1", "Icod=5"},
         "CutE = 0",
         "k54ctl: the set stopped at a signal, after the request in progress; written: CutE\n"
         "k54ctl: not done: ndt=5 rL1=1 Icod=5\n"
         "k54ctl: ended by SIGINT (Ctrl-C)\n"},
        {{"address=20", "CutE=0"},
         "CutE = 0",
         "k54ctl: the set stopped at a signal, after the request in progress; written: CutE\n"
         "k54ctl: not done: address=20\n"
         "k54ctl: ended by SIGINT (Ctrl-C)\n"},
    };
    for (const Case& c : cases) {
        sim.control("reset");
        sim.control("fault late=300");
        const std::size_t mark = sim.traceLines().size();
        const auto out = files.path() / "out", err = files.path() / "err";
        std::vector<std::string> args{"set"};
        args.insert(args.end(), c.assignments.begin(), c.assignments.end());
        args.insert(args.end(), {"--ports-dir", sim.portsDir().string(), "--port", "COM4", "--address", "17", "--baud",
                                 "9600", "--timeout-ms", "2000"});
        auto set = startInShell(args, out.string(), err.string());
        ASSERT_TRUE(sim.waitForTrace(
            [&](const k54::test::TraceLines&) { return std::ranges::any_of(sim.requestsFrom(mark), isWrite); },
            kDeadline));
        set->sendSignal(SIGINT);
        EXPECT_EQ(set->waitExit(kDeadline), 130);
        std::vector<std::string> writes;
        std::ranges::copy_if(sim.requestsFrom(mark), std::back_inserter(writes), isWrite);
        EXPECT_EQ(writes, std::vector<std::string>{"11 06 00 03 00 00"});  // CutE, the one in progress
        EXPECT_TRUE(textOf(out).starts_with(c.stored)) << textOf(out);
        EXPECT_EQ(textOf(err), c.report);
        EXPECT_FALSE(lockRemains(sim));
        sim.control("clear");
    }
}

// A Ctrl-C in the middle of a scan: the probe in progress ends, the scan says how far it came; 130.
TEST_F(Process, CtrlCInTheMiddleOfAScanSaysHowFarItCame) {
    const std::size_t mark = sim.traceLines().size();
    const auto out = files.path() / "out", err = files.path() / "err";
    auto scan = startInShell({"scan", "--ports-dir", sim.portsDir().string(), "--port", "COM4", "--baud", "9600",
                              "--address", "100-247", "--answer-ms", "200"},
                             out.string(), err.string());
    ASSERT_TRUE(
        sim.waitForTrace([&](const k54::test::TraceLines&) { return !sim.requestsFrom(mark).empty(); }, kDeadline));
    scan->sendSignal(SIGINT);
    EXPECT_EQ(scan->waitExit(kDeadline), 130);
    const std::string report = textOf(err);
    std::size_t made = 0, planned = 0;
    ASSERT_EQ(std::sscanf(report.c_str(), "k54ctl: scan interrupted after %zu of %zu probes", &made, &planned), 2)
        << report;
    EXPECT_EQ(planned, 148u);  // addresses 100 - 247 at 9600 baud
    EXPECT_GE(made, 1u);
    EXPECT_LT(made, planned);
    EXPECT_EQ(sim.requestsFrom(mark).size(), made);  // no probe after the one in progress
    EXPECT_NE(report.find("; 0 devices found\nk54ctl: ended by SIGINT (Ctrl-C)\n"), std::string::npos) << report;
    EXPECT_EQ(textOf(out), "");
    EXPECT_FALSE(lockRemains(sim));
}

// "-" as a pipe uses it: save's file alone on standard output, read by load and diff from standard input.
TEST_F(Process, SaveIntoAPipeAndLoadOrDiffFromIt) {
    const auto err = files.path() / "err";
    const auto pipeline = [&](const std::vector<std::string>& reader) {
        k54::test::ChildProcess shell(
            "/bin/sh", {"-c", shellCommand(line({"save", "-"})) + " | " + shellCommand(line(reader))}, err.string());
        const std::string out = shell.readRest(kDeadline);
        return std::pair{shell.waitExit(kDeadline), out};
    };
    EXPECT_EQ(pipeline({"diff", "-"}),
              std::pair(std::optional(0), std::string("no differences: the instrument holds the configuration of "
                                                      "standard input\n")));
    EXPECT_NE(textOf(err).find("saved the configuration of address 17 (firmware 1.90.0013) to standard output\n"),
              std::string::npos);

    const auto saved = files.path() / "plant.json";
    ASSERT_EQ(ctl(line({"save", saved.string()})).exitStatus, 0);
    ASSERT_EQ(ctl(line({"set", "US_1=100"})).exitStatus, 0);
    k54::test::ChildProcess load(
        "/bin/sh",
        {"-c", shellCommand(line({"load", "-", "--backup-dir", (files.path() / "backups").string()})) + " <" +
                   saved.string()},
        err.string());
    const std::string out = load.readRest(kDeadline);
    EXPECT_EQ(load.waitExit(kDeadline), 0) << textOf(err);
    EXPECT_NE(out.find("written and read back: US_1\n"), std::string::npos) << out;
    EXPECT_EQ(ctl(line({"diff", saved.string()})).exitStatus, 0);
}

TEST_F(Process, OutputThatCannotBeWrittenIsAFileError) {
    for (const std::vector<std::string>& args : {line({"read"}), line({"read", "--json"}), line({"save", "-"}),
                                                 line({"read", "--traffic-log", "/dev/full"})}) {
        const std::string output = args.back() == "/dev/full" ? "/dev/null" : "/dev/full";
        const auto err = files.path() / "err";
        auto run = startInShell(args, output, err.string());
        EXPECT_EQ(run->waitExit(kDeadline), 2) << args.at(1);
        EXPECT_NE(textOf(err).find("k54ctl: cannot write "), std::string::npos) << textOf(err);
    }
}

}  // namespace
}  // namespace k54::ctl::test
