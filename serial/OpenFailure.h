#pragma once

// Why a port did not open, as far as the platform tells: so that a program can say what to check
// (another program holds the port, the user may not open it, there is no such device).

#include <cstdint>
#include <optional>
#include <string>

namespace k54 {

enum class OpenFailureReason : uint8_t {
    none,             // the last open succeeded, or nothing is known
    noSuchPort,       // the port number names no device (no link, no rule device)
    noSuchDevice,     // the device is not there (unplugged, a link to nothing)
    noPermission,     // the system refuses this user the device
    heldByProcess,    // the device's lock file names a live process
    busy,             // another program has the device open for itself
    notSerial,        // the device is no serial port (a file, a folder, a device of another kind)
    settingsRefused,  // the device refused the line settings
    other,            // any other error of the system (systemError)
};

struct OpenFailure {
    OpenFailureReason reason = OpenFailureReason::none;
    std::string device;             // the device the open tried, where known
    std::optional<int64_t> holder;  // heldByProcess: the process id the lock file names
    std::string holderName;         // its command name, where the system tells it
    int systemError = 0;            // the error number the system gave, where one did
};

}  // namespace k54
