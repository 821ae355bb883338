#include "serial/PlatformSerial.h"

#include "serial/posix/LinuxPorts.h"
#include "serial/posix/PosixSerial.h"

namespace k54 {

std::unique_ptr<SerialBackend> makePlatformSerialBackend(const ReadTimeouts& timeouts) {
    return makePlatformSerialBackend(LinuxPorts::defaultPortsDir(), timeouts);
}

std::unique_ptr<SerialBackend> makePlatformSerialBackend(const std::filesystem::path& portsDir,
                                                         const ReadTimeouts& timeouts) {
    return std::make_unique<PosixSerialBackend>(LinuxPorts(portsDir), PosixSerialSettings{.timeouts = timeouts});
}

std::unique_ptr<SerialBackend> makeDeviceSerialBackend(const std::filesystem::path& device,
                                                       const ReadTimeouts& timeouts) {
    return std::make_unique<PosixSerialBackend>(LinuxPorts(LinuxPorts::defaultPortsDir()),
                                                PosixSerialSettings{.timeouts = timeouts, .fixedDevice = device});
}

}  // namespace k54
