#pragma once
// The virtual port: a link comN in the ports folder that names the configurator's end of the line.
// The folder and the link's name follow the serial back end's rule (serial/posix/LinuxPorts.h).
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace k54::sim {

// Creates the folder and any missing parents with mode 0700; throws std::runtime_error when it
// cannot, or when the folder is not a folder of this user.
void preparePortsDir(const std::filesystem::path& dir);

// Owns the link for its lifetime. A link that names an existing device means the port is taken:
// the constructor throws PortTaken. A dangling link is stale and gets replaced.
class PortLink {
public:
    struct PortTaken : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    PortLink(const std::filesystem::path& dir, uint8_t port, std::string target);
    ~PortLink();
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    void removeStaleLink();

    std::filesystem::path path_;
    std::string target_;
};

}  // namespace k54::sim
