#pragma once

#include "serial/SerialBackend.h"

#include <filesystem>
#include <memory>

namespace k54 {

// The serial back end of the platform the program runs on, with its usual virtual ports folder.
std::unique_ptr<SerialBackend> makePlatformSerialBackend();
// The same with virtual ports taken from the given folder (a platform without them ignores it).
std::unique_ptr<SerialBackend> makePlatformSerialBackend(const std::filesystem::path& portsDir);

}  // namespace k54
