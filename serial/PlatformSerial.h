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

}  // namespace k54
