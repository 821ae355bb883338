#pragma once

#include "serial/ReadTimeouts.h"
#include "serial/SerialBackend.h"

#include <filesystem>
#include <memory>

namespace k54 {

// The serial back end of the platform the program runs on, with its usual virtual ports folder and
// lock folder, reading under the given limits (the described ones unless told).
std::unique_ptr<SerialBackend> makePlatformSerialBackend(const ReadTimeouts& timeouts = {});
// The same with virtual ports taken from the given folder (a platform without them ignores it).
std::unique_ptr<SerialBackend> makePlatformSerialBackend(const std::filesystem::path& portsDir,
                                                         const ReadTimeouts& timeouts = {});
// A back end that opens the one device named by its path (Linux: e.g. /dev/ttyUSB0; Windows: COM3 or
// \\.\COM10) whatever port number it is asked for, with the platform's lock folder.
std::unique_ptr<SerialBackend> makeDeviceSerialBackend(const std::filesystem::path& device,
                                                       const ReadTimeouts& timeouts = {});

}  // namespace k54
