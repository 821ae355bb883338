#include "serial/PlatformSerial.h"

#include "serial/LinuxPorts.h"
#include "serial/PosixSerial.h"

namespace k54 {

std::unique_ptr<SerialBackend> makePlatformSerialBackend() {
    return makePlatformSerialBackend(LinuxPorts::defaultPortsDir());
}

std::unique_ptr<SerialBackend> makePlatformSerialBackend(const std::filesystem::path& portsDir) {
    return std::make_unique<PosixSerialBackend>(LinuxPorts(portsDir));
}

}  // namespace k54
