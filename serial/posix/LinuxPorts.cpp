#include "serial/posix/LinuxPorts.h"

#include "serial/PortNumbers.h"
#include "serial/posix/UniqueFd.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <set>
#include <string_view>
#include <system_error>
#include <utility>

namespace k54 {

namespace {

namespace fs = std::filesystem;

constexpr unsigned kPortsPerFamily = 32;
constexpr unsigned kLastRulePort = 128;
constexpr unsigned kLastPort = 255;
constexpr std::array<std::string_view, 4> kRuleFamilies{"ttyS", "ttyUSB", "ttyACM", "ttyAMA"};
constexpr std::string_view kLinkPrefix = "com";

bool isStandardSerial(uint8_t port) {
    return port >= 1 && port <= kPortsPerFamily;
}

bool existsNoThrow(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// The names in a folder, read in one pass (none when it cannot be read): listing 255 port numbers then
// asks the disk only about the names that are there, not twice for each number.
std::set<std::string> entryNames(const fs::path& dir) {
    std::set<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(dir, error), end; !error && entry != end; entry.increment(error)) {
        names.insert(entry->path().filename().string());
    }
    return names;
}

}  // namespace

LinuxPorts::LinuxPorts(std::filesystem::path portsDir, DeviceFolders folders)
    : portsDir_(std::move(portsDir)), folders_(std::move(folders)) {}

std::filesystem::path LinuxPorts::defaultPortsDir() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return fs::path(runtime) / "k54" / "ports";
    }
    return fs::path("/tmp") / ("k54-" + std::to_string(::getuid())) / "ports";
}

std::string LinuxPorts::ruleDeviceName(uint8_t port) {
    if (port < 1 || port > kLastRulePort) {
        return {};
    }
    const unsigned index = port - 1U;
    const std::string_view family = kRuleFamilies.at(index / kPortsPerFamily);
    return std::string(family) + std::to_string(index % kPortsPerFamily);
}

std::string LinuxPorts::ruleDevicePath(uint8_t port) {
    const std::string name = ruleDeviceName(port);
    return name.empty() ? name : "/dev/" + name;
}

std::string LinuxPorts::linkName(uint8_t port) {
    return std::string(kLinkPrefix) + std::to_string(port);
}

std::filesystem::path LinuxPorts::linkPath(uint8_t port) const {
    return portsDir_ / linkName(port);
}

bool LinuxPorts::hasLink(uint8_t port) const {
    std::error_code error;
    return port >= 1 && fs::is_symlink(fs::symlink_status(linkPath(port), error));
}

bool LinuxPorts::linkTargetExists(uint8_t port) const {
    return hasLink(port) && existsNoThrow(linkPath(port));
}

std::filesystem::path LinuxPorts::devicePath(uint8_t port) const {
    if (hasLink(port)) {
        return linkPath(port);
    }
    const std::string name = ruleDeviceName(port);
    return name.empty() ? fs::path{} : folders_.dev / name;
}

bool LinuxPorts::serialHardwarePresent(uint8_t port) const {
    const std::string name = ruleDeviceName(port);
    if (!existsNoThrow(folders_.sysTty / name / "device")) {
        return false;
    }
    const UniqueFd fd(::open((folders_.dev / name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        return false;
    }
    serial_struct info{};
    return ::ioctl(fd.get(), TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
}

bool LinuxPorts::ruleDevicePresent(uint8_t port) const {
    const std::string name = ruleDeviceName(port);
    if (name.empty()) {
        return false;
    }
    if (isStandardSerial(port)) {
        return serialHardwarePresent(port);
    }
    return existsNoThrow(folders_.dev / name);
}

std::vector<std::string> LinuxPorts::deviceNames() const {
    const std::set<std::string> inPortsDir = entryNames(portsDir_);
    const std::set<std::string> inDev = entryNames(folders_.dev);
    std::vector<std::string> names;
    for (unsigned number = 1; number <= kLastPort; ++number) {
        const auto port = static_cast<uint8_t>(number);
        const bool linked = inPortsDir.contains(linkName(port)) && hasLink(port);
        const bool present =
            linked ? linkTargetExists(port) : inDev.contains(ruleDeviceName(port)) && ruleDevicePresent(port);
        if (present) {
            names.push_back(portName(static_cast<int>(number)));
        }
    }
    return names;
}

std::string LinuxPorts::describe(uint8_t port) const {
    if (hasLink(port)) {
        std::error_code error;
        const fs::path target = fs::read_symlink(linkPath(port), error);
        return linkPath(port).string() + " -> " + (error ? std::string("?") : target.string());
    }
    const std::string name = ruleDeviceName(port);
    return name.empty() ? name : (folders_.dev / name).string();
}

}  // namespace k54
