#pragma once

// A pseudo-terminal standing in for the instrument's end of the line: the channel opens the slave
// side through a virtual port link; the test reads requests from and writes replies into the master.

#include "serial/posix/UniqueFd.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace k54::test {

class PtyPair {
public:
    PtyPair();

    const std::string& slavePath() const { return slavePath_; }
    // The slave side as the channel sees it (a descriptor of the test's own, for termios and queue checks).
    int slaveFd() const { return keeper_.get(); }
    // Makes the slave the virtual port `com<port>` in portsDir.
    void linkAs(const std::filesystem::path& portsDir, uint8_t port) const;

    // Reads from the master until `count` bytes have come or `within` has passed.
    std::vector<uint8_t> readFromMaster(std::size_t count, std::chrono::milliseconds within) const;
    void writeToMaster(std::span<const uint8_t> bytes) const;
    // Bytes written by the channel and not yet read from the master.
    std::size_t pendingAtMaster() const;
    // Waits until at least `count` bytes wait in the slave's input queue; false when `within` passed.
    bool waitForSlaveInput(std::size_t count, std::chrono::milliseconds within) const;

private:
    UniqueFd master_;
    UniqueFd keeper_;  // keeps the slave side alive while the channel opens and closes it
    std::string slavePath_;
};

}  // namespace k54::test
