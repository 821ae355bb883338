#include "serial/posix/DeviceLock.h"

#include "serial/posix/UniqueFd.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>

namespace k54 {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDevFolder = "/dev/";
constexpr std::size_t kPidWidth = 10;
constexpr std::size_t kLongestLockText = 64;
// Lock files are readable by everyone so that any program can see who holds the device.
constexpr mode_t kLockFileMode = 0644;

// "      1234\n": the process id right-aligned in ten characters, then a newline.
std::string lockText(pid_t pid) {
    std::string number = std::to_string(pid);
    if (number.size() < kPidWidth) {
        number.insert(0, kPidWidth - number.size(), ' ');
    }
    return number + "\n";
}

std::optional<pid_t> parseAsciiPid(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    text.remove_prefix(first);
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), pid);
    const std::string_view rest(end, static_cast<std::size_t>(text.data() + text.size() - end));
    if (error != std::errc{} || pid <= 0 || rest.find_first_not_of(" \n") != std::string_view::npos) {
        return std::nullopt;
    }
    return pid;
}

// The process id in a lock file: the ASCII form, or the old binary form of four bytes; nothing when
// the file cannot be read or holds neither.
std::optional<pid_t> lockHolder(const fs::path& file) {
    const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!fd.valid()) {
        return std::nullopt;
    }
    std::string text(kLongestLockText, '\0');  // more than any lock file of the convention holds
    const ssize_t n = ::read(fd.get(), text.data(), text.size());
    if (n <= 0) {
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(n));
    if (const std::optional<pid_t> pid = parseAsciiPid(text)) {
        return pid;
    }
    int32_t binary = 0;
    if (text.size() == sizeof(binary)) {
        std::memcpy(&binary, text.data(), sizeof(binary));
        if (binary > 0) {
            return static_cast<pid_t>(binary);
        }
    }
    return std::nullopt;
}

// A process that exists, whether or not it is ours to signal.
bool processAlive(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Makes the lock file, holding our process id; 0, or the error that stopped it (EEXIST: a lock is there).
int createLockFile(const fs::path& file) {
    const UniqueFd fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, kLockFileMode));
    if (!fd.valid()) {
        return errno;
    }
    const std::string text = lockText(::getpid());
    if (::write(fd.get(), text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        static_cast<void>(::unlink(file.c_str()));
        return EIO;
    }
    return 0;
}

}  // namespace

fs::path defaultLockFolder() {
    std::error_code error;
    const fs::path run("/run/lock");
    return fs::is_directory(run, error) ? run : fs::path("/var/lock");
}

std::string lockFileName(const fs::path& device) {
    std::error_code error;
    const fs::path real = fs::canonical(device, error);
    std::string name = error ? device.string() : real.string();
    if (name.starts_with(kDevFolder)) {
        name.erase(0, kDevFolder.size());
    }
    while (name.starts_with('/')) {
        name.erase(0, 1);
    }
    std::ranges::replace(name, '/', '_');
    return "LCK.." + name;
}

std::string processName(pid_t pid) {
    std::ifstream comm(fs::path("/proc") / std::to_string(pid) / "comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

DeviceLock::Outcome DeviceLock::acquire(const fs::path& folder, const fs::path& device) {
    release();
    holder_.reset();
    const fs::path file = folder / lockFileName(device);
    // Two rounds: a stale lock removed in the first may be taken by another program before the second.
    for (int round = 0; round < 2; ++round) {
        const int error = createLockFile(file);
        if (error == 0) {
            file_ = file;
            return Outcome::locked;
        }
        if (error != EEXIST) {
            // A folder that is missing, read-only or not ours to write cannot hold a lock; the convention
            // is a courtesy among programs, so the port still opens (its own exclusive open still holds).
            return Outcome::notLockable;
        }
        const std::optional<pid_t> holder = lockHolder(file);
        if (holder && processAlive(*holder)) {
            holder_ = holder;
            return Outcome::heldByAnother;
        }
        if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
            return Outcome::notLockable;  // a stale lock we may not remove: its process is gone all the same
        }
    }
    return Outcome::heldByAnother;
}

void DeviceLock::release() {
    if (file_.empty()) {
        return;
    }
    if (lockHolder(file_) == ::getpid()) {
        static_cast<void>(::unlink(file_.c_str()));
    }
    file_.clear();
}

}  // namespace k54
