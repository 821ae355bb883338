// k54ctl as a process, where the process boundary matters: its exit status, what goes to standard output
// and what to standard error, what it does on a terminal (a progress bar, a question) and off one, and
// Ctrl-C ending a watch cleanly.
#include <gtest/gtest.h>

#include <signal.h>

#include "k54/Version.h"
#include "serial/DeviceLock.h"
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
    EXPECT_EQ(terminal.waitExit(kDeadline), 0) << terminal.shown();
    EXPECT_FALSE(std::filesystem::exists(defaultLockFolder() / lockFileName(sim.devicePath())));
    EXPECT_EQ(ctl(line({"info"})).exitStatus, 0);
}

}  // namespace
}  // namespace k54::ctl::test
