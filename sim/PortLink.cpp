#include "sim/PortLink.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "serial/posix/LinuxPorts.h"

namespace k54::sim {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& what, int error) {
    throw std::runtime_error(what + ": " + std::strerror(error));
}

void makeFolder(const fs::path& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) fail("cannot create " + dir.string(), errno);
}

std::optional<std::string> linkTarget(const fs::path& link) {
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    if (error) return std::nullopt;
    return target.string();
}

}  // namespace

void preparePortsDir(const fs::path& dir) {
    fs::path partial;
    for (const fs::path& part : dir) {
        partial /= part;
        if (!partial.has_relative_path()) continue;  // the root itself
        makeFolder(partial);
    }
    struct stat info {};
    if (::stat(dir.c_str(), &info) != 0) fail("cannot use ports folder " + dir.string(), errno);
    if (!S_ISDIR(info.st_mode)) throw std::runtime_error("ports folder " + dir.string() + " is not a folder");
    if (info.st_uid != ::geteuid()) {
        throw std::runtime_error("ports folder " + dir.string() + " belongs to another user");
    }
}

PortLink::PortLink(const fs::path& dir, uint8_t port, std::string target)
    : path_(dir / LinuxPorts::linkName(port)), target_(std::move(target)) {
    removeStaleLink();
    if (::symlink(target_.c_str(), path_.c_str()) != 0) {
        if (errno == EEXIST) throw PortTaken("COM" + std::to_string(port) + " is taken: " + path_.string() + " exists");
        fail("cannot create link " + path_.string(), errno);
    }
}

PortLink::~PortLink() {
    // Remove the link only while it is still ours: another simulated instrument may have replaced it.
    if (linkTarget(path_) == target_) ::unlink(path_.c_str());
}

void PortLink::removeStaleLink() {
    struct stat info {};
    if (::lstat(path_.c_str(), &info) != 0) return;  // no link yet
    if (!S_ISLNK(info.st_mode)) throw PortTaken(path_.string() + " exists and is not a link");
    if (::stat(path_.c_str(), &info) == 0) {
        throw PortTaken("the port is taken: " + path_.string() + " -> " + linkTarget(path_).value_or("?") +
                        " names a live device");
    }
    if (::unlink(path_.c_str()) != 0 && errno != ENOENT) fail("cannot remove stale link " + path_.string(), errno);
}

}  // namespace k54::sim
