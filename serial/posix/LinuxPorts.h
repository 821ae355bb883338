#pragma once

// Port numbers on Linux. A fixed rule gives each of COM1-COM128 a device:
//   COM1-COM32   /dev/ttyS0-31      COM33-COM64   /dev/ttyUSB0-31
//   COM65-COM96  /dev/ttyACM0-31    COM97-COM128  /dev/ttyAMA0-31
// and any number 1-255 may instead be a virtual port: a symbolic link "comN" (lower case, N decimal
// without leading zeros) in the ports folder, naming any serial device; it takes the place of the
// rule's device for its number.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace k54 {

// Where the rule's devices and the kernel's tty descriptions live (tests point them elsewhere).
struct DeviceFolders {
    std::filesystem::path dev{"/dev"};
    std::filesystem::path sysTty{"/sys/class/tty"};
};

class LinuxPorts {
public:
    explicit LinuxPorts(std::filesystem::path portsDir, DeviceFolders folders = {});

    // $XDG_RUNTIME_DIR/k54/ports, or /tmp/k54-<uid>/ports when that variable is unset or empty.
    static std::filesystem::path defaultPortsDir();
    // The name of a port's link in the ports folder, e.g. "com7" for 7.
    static std::string linkName(uint8_t port);
    // The rule's device for a port number, e.g. "ttyS0" for 1; empty outside 1..128.
    static std::string ruleDeviceName(uint8_t port);
    // The rule's device path under /dev, e.g. "/dev/ttyUSB0" for 33; empty outside 1..128.
    static std::string ruleDevicePath(uint8_t port);

    const std::filesystem::path& portsDir() const { return portsDir_; }
    // The path to open for a port: its link when there is one, else the rule's device; empty when
    // the number has neither.
    std::filesystem::path devicePath(uint8_t port) const;
    // "COMn" for every port that is really there, in number order, each once.
    std::vector<std::string> deviceNames() const;
    // The device behind a port: "<link> -> <target>" for a virtual port, else the rule's device path.
    std::string describe(uint8_t port) const;

private:
    std::filesystem::path linkPath(uint8_t port) const;
    bool hasLink(uint8_t port) const;
    bool linkTargetExists(uint8_t port) const;
    bool ruleDevicePresent(uint8_t port) const;
    bool serialHardwarePresent(uint8_t port) const;

    std::filesystem::path portsDir_;
    DeviceFolders folders_;
};

}  // namespace k54
