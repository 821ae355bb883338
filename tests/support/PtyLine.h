#pragma once

// A channel opened on a pseudo-terminal through a virtual port link, with the instrument's side in
// the test's hands. Its lock files go to a folder of its own, and it reads under the short limits
// (a test that needs the described ones sets them).

#include "serial/K54com.h"
#include "serial/posix/PosixSerial.h"
#include "tests/support/PtyPair.h"
#include "tests/support/RecordingSink.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ShortReadTimeouts.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>

namespace k54::test {

// A Linux back end on the ports folder, with its lock folder beside it (made here) and the limits.
inline std::unique_ptr<PosixSerialBackend> linuxBackend(const std::filesystem::path& portsDir,
                                                        const std::filesystem::path& lockFolder,
                                                        const ReadTimeouts& timeouts = kShortReadTimeouts) {
    std::filesystem::create_directories(lockFolder);
    return std::make_unique<PosixSerialBackend>(LinuxPorts(portsDir),
                                                PosixSerialSettings{.lockFolder = lockFolder, .timeouts = timeouts});
}

class PtyLine : public testing::Test {
protected:
    static constexpr uint8_t kPort = 1;
    static constexpr uint8_t kSpeed19200 = 3;

    void SetUp() override {
        pty.linkAs(dir.path(), kPort);
        ASSERT_TRUE(port.open(kPort, kSpeed19200, sink));
    }

    std::filesystem::path lockFolder() const { return dir.path() / "lock"; }

    ScratchDir dir{"k54-serial"};
    PtyPair pty;
    RecordingSink sink;
    cPort port{linuxBackend(dir.path(), lockFolder())};
    std::array<uint8_t, kReceiveBufferSize> rx{};
};

}  // namespace k54::test
