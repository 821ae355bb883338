// Port names against the simulated instrument: the platform's device list names the instrument's port,
// and a port with no device behind it fails to open with a beep and the status line. The same source
// runs on Linux and, through Wine, on Windows.

#include "tests/instrument/InstrumentSession.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using k54::test::connectInstrument;
using k54::test::kSpeed19200;
using k54::test::RecordingSink;

// No platform of the tests has a device behind this number.
constexpr uint8_t kPortWithoutDevice = 200;

TEST(InstrumentPorts, TheDeviceListNamesTheInstrumentsPort) {
    const auto link = connectInstrument(19200);
    const k54::cPort port(link->makeBackend(k54::ReadTimeouts{}));
    const std::vector<std::string> names = port.deviceNames();
    const std::string expected = "COM" + std::to_string(link->portNumber());
    EXPECT_NE(std::ranges::find(names, expected), names.end())
        << expected << " is not among " << names.size() << " device names";
}

TEST(InstrumentPorts, APortWithoutDeviceFailsToOpenWithABeepAndTheStatusLine) {
    const auto link = connectInstrument(19200);
    k54::cPort port(link->makeBackend(k54::ReadTimeouts{}));
    RecordingSink sink;
    EXPECT_FALSE(port.open(kPortWithoutDevice, kSpeed19200, sink));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(sink.beeps, 1);
    EXPECT_EQ(sink.statuses, (std::vector<std::string>{"Ошибка инициализации Com200"}));
}

}  // namespace
