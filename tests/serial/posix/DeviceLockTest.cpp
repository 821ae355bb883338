// The serial lock files on Linux: their name and form, a live holder refusing the port, a stale or
// unreadable lock taken over, our own lock removed on close, and a lock folder that cannot take a
// lock not stopping the port from opening.

#include "serial/posix/DeviceLock.h"
#include "tests/support/PtyLine.h"
#include "tests/support/PtyPair.h"
#include "tests/support/RecordingSink.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using k54::cPort;
using k54::lockFileName;
using k54::test::PtyPair;
using k54::test::RecordingSink;
using k54::test::ScratchDir;

constexpr uint8_t kPort = 5;
constexpr uint8_t kSpeed19200 = 3;
// The first process of the system: always alive.
constexpr pid_t kLivePid = 1;

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string binaryPid(int32_t pid) {
    return std::string(reinterpret_cast<const char*>(&pid), sizeof(pid));
}

// The id of a process that has ended.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

bool deviceHeld(const PtyPair& pty) {
    int exclusive = 0;
    return ::ioctl(pty.slaveFd(), TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

struct NameCase {
    const char* device;
    const char* name;

    friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.device; }
};

class SerialLockName : public testing::TestWithParam<NameCase> {};

TEST_P(SerialLockName, IsTheDeviceWithoutDevAndWithUnderscores) {
    EXPECT_EQ(lockFileName(GetParam().device), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Devices, SerialLockName,
                         testing::Values(NameCase{"/dev/ttyUSB0", "LCK..ttyUSB0"}, NameCase{"/dev/ttyS0", "LCK..ttyS0"},
                                         NameCase{"/dev/serial/none/x", "LCK..serial_none_x"}));

TEST(SerialLockName, AVirtualPortIsNamedForTheDeviceItsLinkNames) {
    ScratchDir dir{"k54-lock"};
    PtyPair pty;
    pty.linkAs(dir.path(), kPort);
    fs::create_symlink(dir.path() / "com5", dir.path() / "second-link");
    const std::string expected = "LCK..pts_" + fs::path(pty.slavePath()).filename().string();
    EXPECT_EQ(lockFileName(dir.path() / "com5"), expected);
    EXPECT_EQ(lockFileName(dir.path() / "second-link"), expected);
    EXPECT_EQ(lockFileName(pty.slavePath()), expected);
}

// A pseudo-terminal as virtual port 5 and a channel whose lock folder is the test's own.
class SerialLock : public testing::Test {
protected:
    void SetUp() override { pty.linkAs(dir.path(), kPort); }

    fs::path lockFolder() const { return dir.path() / "lock"; }
    fs::path lockFile() const { return lockFolder() / lockFileName(pty.slavePath()); }
    bool open() { return port.open(kPort, kSpeed19200, sink); }

    ScratchDir dir{"k54-lock"};
    PtyPair pty;
    cPort port{k54::test::linuxBackend(dir.path(), lockFolder())};
    RecordingSink sink;
};

TEST_F(SerialLock, WhileOpenOurLockHoldsOurProcessIdInTheUsualFormAndGoesOnClose) {
    ASSERT_TRUE(open());
    std::string expected = std::to_string(::getpid());
    expected.insert(0, 10 - expected.size(), ' ');
    EXPECT_EQ(fileText(lockFile()), expected + "\n");
    port.close();
    EXPECT_FALSE(fs::exists(lockFile()));
}

// What an existing lock file holds, and whether the port then opens.
struct HolderCase {
    const char* name;
    std::string (*contents)();
    bool opens;

    friend void PrintTo(const HolderCase& c, std::ostream* os) { *os << c.name; }
};

class SerialLockHolder : public SerialLock, public testing::WithParamInterface<HolderCase> {};

TEST_P(SerialLockHolder, ALiveHolderRefusesThePortAndAnyOtherLockIsTakenOver) {
    const std::string contents = GetParam().contents();
    writeFile(lockFile(), contents);
    EXPECT_EQ(open(), GetParam().opens);
    EXPECT_EQ(deviceHeld(pty), GetParam().opens);
    if (GetParam().opens) {
        EXPECT_EQ(std::stoi(fileText(lockFile())), ::getpid());
        EXPECT_EQ(sink.beeps, 0);
    } else {
        EXPECT_EQ(fileText(lockFile()), contents);
        EXPECT_EQ(sink.beeps, 1);
        EXPECT_EQ(sink.statuses, std::vector<std::string>{"Ошибка инициализации Com5"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Holders, SerialLockHolder,
    testing::Values(HolderCase{"LiveInTheUsualForm", [] { return std::string("         1\n"); }, false},
                    HolderCase{"LiveWithoutPadding", [] { return std::to_string(kLivePid) + "\n"; }, false},
                    HolderCase{"LiveInTheBinaryForm", [] { return binaryPid(kLivePid); }, false},
                    HolderCase{"ThisProgramAlready", [] { return std::to_string(::getpid()) + "\n"; }, false},
                    HolderCase{"EndedProcess", [] { return std::to_string(endedProcess()) + "\n"; }, true},
                    HolderCase{"EndedProcessInTheBinaryForm", [] { return binaryPid(endedProcess()); }, true},
                    HolderCase{"NoProcessId", [] { return std::string("not a process\n"); }, true},
                    HolderCase{"Empty", [] { return std::string(); }, true}),
    [](const testing::TestParamInfo<HolderCase>& info) { return std::string(info.param.name); });

TEST_F(SerialLock, ARefusedOpenNamesTheProcessThatHoldsTheLock) {
    writeFile(lockFile(), "         1\n");
    ASSERT_FALSE(open());
    const k54::OpenFailure failure = port.openFailure();
    EXPECT_EQ(failure.reason, k54::OpenFailureReason::heldByProcess);
    EXPECT_EQ(failure.holder, kLivePid);
    std::string comm = fileText("/proc/1/comm");
    comm.erase(comm.find_last_not_of('\n') + 1);
    EXPECT_FALSE(comm.empty());
    EXPECT_EQ(failure.holderName, comm);
    EXPECT_EQ(failure.device, (dir.path() / "com5").string());
    ASSERT_TRUE(fs::remove(lockFile()));
    EXPECT_TRUE(open());
    EXPECT_EQ(port.openFailure().reason, k54::OpenFailureReason::none);
}

TEST_F(SerialLock, ALockTakenOverByAnotherProgramIsNotRemovedOnClose) {
    ASSERT_TRUE(open());
    const std::string theirs = "         1\n";
    writeFile(lockFile(), theirs);
    port.close();
    EXPECT_EQ(fileText(lockFile()), theirs);
}

TEST_F(SerialLock, AFailedOpenLeavesNoLock) {
    fs::create_symlink(dir.path() / "absent", dir.path() / "com6");
    EXPECT_FALSE(port.open(6, kSpeed19200, sink));
    EXPECT_TRUE(fs::is_empty(lockFolder()));
}

struct FolderCase {
    const char* name;
    fs::path folder;

    friend void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }
};

class SerialLockFolder : public testing::TestWithParam<FolderCase> {};

// The convention is a courtesy among programs: without a usable lock folder the port still opens.
TEST_P(SerialLockFolder, ThatCannotTakeALockDoesNotStopThePort) {
    ScratchDir dir{"k54-lock"};
    PtyPair pty;
    pty.linkAs(dir.path(), kPort);
    const fs::path folder = GetParam().folder.is_absolute() ? GetParam().folder : dir.path() / GetParam().folder;
    cPort port(std::make_unique<k54::PosixSerialBackend>(k54::LinuxPorts(dir.path()),
                                                         k54::PosixSerialSettings{.lockFolder = folder}));
    RecordingSink sink;
    EXPECT_TRUE(port.open(kPort, kSpeed19200, sink));
    EXPECT_TRUE(deviceHeld(pty));
    EXPECT_FALSE(fs::exists(folder / lockFileName(pty.slavePath())));
    port.close();
    EXPECT_FALSE(deviceHeld(pty));
}

INSTANTIATE_TEST_SUITE_P(Folders, SerialLockFolder,
                         testing::Values(FolderCase{"Missing", "no-such-folder"},
                                         FolderCase{"NotWritableEvenForRoot", "/proc"}),
                         [](const testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.name); });

}  // namespace
