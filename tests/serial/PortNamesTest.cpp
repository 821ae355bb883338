// Port numbers on Linux: the fixed rule, virtual port links, and which ports are listed.

#include "serial/K54com.h"
#include "serial/posix/LinuxPorts.h"
#include "serial/posix/PosixSerial.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>

namespace {

namespace fs = std::filesystem;
using k54::DeviceFolders;
using k54::LinuxPorts;
using k54::test::PtyPair;
using k54::test::ScratchDir;
using Names = std::vector<std::string>;

struct RuleCase {
    uint8_t port;
    const char* path;

    friend void PrintTo(const RuleCase& c, std::ostream* os) { *os << "COM" << int{c.port}; }
};

class SerialPortRule : public testing::TestWithParam<RuleCase> {};

TEST_P(SerialPortRule, GivesTheDevicePath) {
    EXPECT_EQ(LinuxPorts::ruleDevicePath(GetParam().port), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Numbers, SerialPortRule,
                         testing::Values(RuleCase{1, "/dev/ttyS0"}, RuleCase{32, "/dev/ttyS31"},
                                         RuleCase{33, "/dev/ttyUSB0"}, RuleCase{64, "/dev/ttyUSB31"},
                                         RuleCase{65, "/dev/ttyACM0"}, RuleCase{97, "/dev/ttyAMA0"},
                                         RuleCase{128, "/dev/ttyAMA31"}, RuleCase{0, ""}, RuleCase{129, ""},
                                         RuleCase{255, ""}));

// A ports folder and stand-ins for /dev and /sys/class/tty, so that only what a test puts there exists.
class SerialPortNames : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(ports);
        fs::create_directories(folders.dev);
        fs::create_directories(folders.sysTty);
    }

    void link(const std::string& name, const fs::path& target) const { fs::create_symlink(target, ports / name); }
    void touch(const fs::path& file) const { std::ofstream(file) << ""; }

    ScratchDir dir{"k54-serial"};
    fs::path ports = dir.path() / "ports";
    DeviceFolders folders{dir.path() / "dev", dir.path() / "sys-class-tty"};
    LinuxPorts mapping{ports, folders};
    PtyPair pty;
};

TEST_F(SerialPortNames, ListOnlyLinksWithATargetUnderWellFormedNames) {
    PtyPair otherPty;
    link("com3", pty.slavePath());
    link("com10", otherPty.slavePath());
    link("com1", pty.slavePath());
    link("com5", dir.path() / "absent");
    for (const char* junk : {"comX", "com0", "com256", "com07", "COM3", "com4.bak", "com"}) {
        link(junk, pty.slavePath());
    }
    touch(ports / "com8");
    EXPECT_EQ(mapping.deviceNames(), (Names{"COM1", "COM3", "COM10"}));
}

TEST_F(SerialPortNames, ListRuleDevicesThatAreThere) {
    touch(folders.dev / "ttyUSB0");
    touch(folders.dev / "ttyACM1");
    touch(folders.dev / "ttyAMA31");
    EXPECT_EQ(mapping.deviceNames(), (Names{"COM33", "COM66", "COM128"}));
}

TEST_F(SerialPortNames, ListStandardPortsOnlyWithHardwareBehind) {
    // ttyS0 has a driver entry but is no UART (a pseudo-terminal answers no serial-info request);
    // ttyS1 has no driver entry at all.
    fs::create_symlink(pty.slavePath(), folders.dev / "ttyS0");
    fs::create_directories(folders.sysTty / "ttyS0" / "device");
    fs::create_symlink(pty.slavePath(), folders.dev / "ttyS1");
    EXPECT_TRUE(mapping.deviceNames().empty());
}

TEST_F(SerialPortNames, LinkTakesThePlaceOfTheRuleDevice) {
    touch(folders.dev / "ttyUSB0");
    touch(folders.dev / "ttyUSB1");
    link("com33", pty.slavePath());
    link("com34", dir.path() / "absent");
    EXPECT_EQ(mapping.deviceNames(), (Names{"COM33"}));
    EXPECT_EQ(mapping.devicePath(33), ports / "com33");
    EXPECT_EQ(mapping.devicePath(34), ports / "com34");
    EXPECT_EQ(mapping.devicePath(35), folders.dev / "ttyUSB2");
    EXPECT_EQ(mapping.devicePath(200), fs::path{});
}

TEST_F(SerialPortNames, DescribeShowsTheDeviceBehindThePort) {
    link("com4", pty.slavePath());
    EXPECT_EQ(mapping.describe(4), (ports / "com4").string() + " -> " + pty.slavePath());
    EXPECT_EQ(mapping.describe(33), (folders.dev / "ttyUSB0").string());
    EXPECT_EQ(mapping.describe(200), "");
    EXPECT_EQ(LinuxPorts(ports).describe(33), "/dev/ttyUSB0");
}

TEST_F(SerialPortNames, ChannelPassesTheListAndDescriptionOn) {
    link("com4", pty.slavePath());
    const k54::cPort port(std::make_unique<k54::PosixSerialBackend>(LinuxPorts(ports, folders)));
    EXPECT_EQ(port.deviceNames(), Names{"COM4"});
    EXPECT_EQ(port.describe(4), mapping.describe(4));
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SerialPortsFolder, FollowsTheRuntimeFolder) {
    const ScopedEnv env("XDG_RUNTIME_DIR", "/run/user/4321");
    EXPECT_EQ(LinuxPorts::defaultPortsDir(), fs::path("/run/user/4321/k54/ports"));
}

TEST(SerialPortsFolder, FallsBackToTmpPerUser) {
    const fs::path expected = "/tmp/k54-" + std::to_string(::getuid()) + "/ports";
    {
        const ScopedEnv env("XDG_RUNTIME_DIR", nullptr);
        EXPECT_EQ(LinuxPorts::defaultPortsDir(), expected);
    }
    const ScopedEnv env("XDG_RUNTIME_DIR", "");
    EXPECT_EQ(LinuxPorts::defaultPortsDir(), expected);
}

}  // namespace
