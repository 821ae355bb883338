#include "serial/PlatformSerial.h"

#include "serial/LinuxPorts.h"
#include "serial/PosixSerial.h"

namespace k54 {

std::unique_ptr<SerialBackend> makePlatformSerialBackend(const ReadTimeouts& timeouts) {
    return makePlatformSerialBackend(LinuxPorts::defaultPortsDir(), timeouts);
}

std::unique_ptr<SerialBackend> makePlatformSerialBackend(const std::filesystem::path& portsDir,
                                                         const ReadTimeouts& timeouts) {
    return std::make_unique<PosixSerialBackend>(LinuxPorts(portsDir), PosixSerialSettings{.timeouts = timeouts});
}

}  // namespace k54
