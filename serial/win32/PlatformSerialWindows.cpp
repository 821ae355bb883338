#include "serial/PlatformSerial.h"

#include "serial/win32/Win32Serial.h"

namespace k54 {

std::unique_ptr<SerialBackend> makePlatformSerialBackend(const ReadTimeouts& timeouts) {
    return std::make_unique<Win32SerialBackend>(soundOpenFailureBeep, timeouts);
}

// Windows names its ports itself (QueryDosDeviceA); there is no folder of virtual ports to read.
std::unique_ptr<SerialBackend> makePlatformSerialBackend(const std::filesystem::path& /*portsDir*/,
                                                         const ReadTimeouts& timeouts) {
    return makePlatformSerialBackend(timeouts);
}

std::unique_ptr<SerialBackend> makeDeviceSerialBackend(const std::filesystem::path& device,
                                                       const ReadTimeouts& timeouts) {
    return std::make_unique<Win32SerialBackend>(soundOpenFailureBeep, timeouts, device.string());
}

}  // namespace k54
