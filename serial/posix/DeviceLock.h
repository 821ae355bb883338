#pragma once

// The lock-file convention serial programs on Linux share (the UUCP "HDB" form): whoever uses a serial
// device keeps a file LCK..<device> in the system's lock folder holding its process id as ten ASCII
// characters, right-aligned, and a newline. A lock whose process is gone is stale and taken over, as
// is one that names no process at all (the older binary form, four bytes, is read too).
//
// The device part of the name comes from the device's real path (symbolic links resolved, so that a
// virtual port link, a /dev/serial/by-id link and the device itself give one name), without its
// leading "/dev/" and with every further "/" turned into "_": /dev/ttyUSB0 gives LCK..ttyUSB0, a
// virtual port linked to /dev/pts/3 gives LCK..pts_3.

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace k54 {

// /run/lock where it exists, else /var/lock.
std::filesystem::path defaultLockFolder();
// "LCK..ttyUSB0" for /dev/ttyUSB0 or any link to it.
std::string lockFileName(const std::filesystem::path& device);
// A process's command name as the system keeps it (/proc/<pid>/comm); empty when it cannot tell.
std::string processName(pid_t pid);

// One device's lock file, held from acquire() until release() or destruction.
class DeviceLock {
public:
    enum class Outcome {
        locked,         // our lock file is in place
        notLockable,    // the folder cannot take a lock file (missing, not writable): go on without one
        heldByAnother,  // a live process holds the device
    };

    DeviceLock() = default;
    ~DeviceLock() { release(); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

    // Releases any lock held, then locks `device` in `folder`, taking over a stale lock.
    Outcome acquire(const std::filesystem::path& folder, const std::filesystem::path& device);
    // The live process whose lock refused the last acquire (heldByAnother); nothing after any other outcome.
    std::optional<pid_t> holder() const { return holder_; }
    // Removes our lock file (only while it still names this process); harmless when none is held.
    void release();
    bool holds() const { return !file_.empty(); }

private:
    std::filesystem::path file_;
    std::optional<pid_t> holder_;
};

}  // namespace k54
