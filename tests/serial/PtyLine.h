#pragma once

// A channel opened on a pseudo-terminal through a virtual port link, with the instrument's side in
// the test's hands.

#include "PtyPair.h"
#include "RecordingSink.h"
#include "tests/support/ScratchDir.h"
#include "serial/K54com.h"
#include "serial/PosixSerial.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace k54::test {

class PtyLine : public testing::Test {
protected:
    static constexpr uint8_t kPort = 1;
    static constexpr uint8_t kSpeed19200 = 3;

    void SetUp() override {
        pty.linkAs(dir.path(), kPort);
        ASSERT_TRUE(port.open(kPort, kSpeed19200, sink));
    }

    ScratchDir dir{"k54-serial"};
    PtyPair pty;
    RecordingSink sink;
    cPort port{std::make_unique<PosixSerialBackend>(LinuxPorts(dir.path()))};
    std::array<uint8_t, kReceiveBufferSize> rx{};
};

}  // namespace k54::test
