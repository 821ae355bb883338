// The Windows back end on the run's instrument port under Wine (or a real port on Windows): what the
// driver took of the line settings and time-outs, the alert of a failed open, the device list, and both
// forms of the device name. Where Wine's pseudo-terminal cannot show a behaviour, the test says so and
// is skipped there.

#include "serial/K54com.h"
#include "serial/win32/Win32Serial.h"
#include "tests/instrument/InstrumentSession.h"
#include "tests/windows/DriverEnvironment.h"
#include "tests/windows/WineCheck.h"

#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using k54::Win32SerialBackend;
using k54::test::connectInstrument;
using k54::test::kSpeed115200;
using k54::test::kSpeed19200;
using k54::test::RecordingSink;

constexpr uint8_t kPortWithoutDevice = 200;
// The serial driver's request for the DTR and RTS output states, and the DTR bit of its answer.
constexpr DWORD kGetDtrRts = CTL_CODE(FILE_DEVICE_SERIAL_PORT, 30, METHOD_BUFFERED, FILE_ANY_ACCESS);
constexpr ULONG kDtrState = 0x01;
constexpr const char* kPtyHasNoParityOrFlow =
    "Wine maps the port to a pseudo-terminal, which keeps no parity bit (Linux clears PARENB), so Wine's "
    "SetCommState stops before the flow and modem-line settings: parity, DTR and RTS modes cannot be seen here";
constexpr const char* kPtyHasNoModemLines =
    "Wine maps the port to a pseudo-terminal, which has no modem lines: DTR and RTS cannot be set or read here";
constexpr const char* kWineSharesDevices =
    "Wine does not hold a serial device for the handle that opened it without sharing: a second CreateFileA "
    "on the same port succeeds there";

// A channel over the Windows back end on the run's instrument port; the back end stays reachable so
// that a test can read back what the driver took.
class Win32Port : public testing::Test {
protected:
    bool open(uint8_t speedIndex = kSpeed19200) { return port.open(link->portNumber(), speedIndex, sink); }

    DCB appliedState() const {
        DCB dcb{};
        dcb.DCBlength = sizeof(DCB);
        EXPECT_TRUE(::GetCommState(backend->nativeHandle(), &dcb));
        return dcb;
    }

    std::unique_ptr<k54::test::TestInstrument> link = connectInstrument(19200);
    Win32SerialBackend* backend = nullptr;  // owned by port
    k54::cPort port{keep(std::make_unique<Win32SerialBackend>())};
    RecordingSink sink;

private:
    std::unique_ptr<k54::SerialBackend> keep(std::unique_ptr<Win32SerialBackend> made) {
        backend = made.get();
        return made;
    }
};

struct SpeedCase {
    uint8_t speedIndex;
    DWORD baud;

    friend void PrintTo(const SpeedCase& c, std::ostream* os) { *os << c.baud << " baud"; }
};

class Win32PortSpeed : public Win32Port, public testing::WithParamInterface<SpeedCase> {};

TEST_P(Win32PortSpeed, TheDriverTakesTheSpeedEightDataBitsOneStopBitAndBinaryMode) {
    ASSERT_TRUE(open(GetParam().speedIndex));
    const DCB applied = appliedState();
    EXPECT_EQ(applied.BaudRate, GetParam().baud);
    EXPECT_EQ(applied.ByteSize, 8);
    EXPECT_EQ(applied.StopBits, ONESTOPBIT);
    EXPECT_EQ(applied.fBinary, 1U);
    EXPECT_EQ(applied.fOutxCtsFlow, 0U);
    EXPECT_EQ(applied.fOutX, 0U);
    EXPECT_EQ(applied.fInX, 0U);
}

INSTANTIATE_TEST_SUITE_P(Speeds, Win32PortSpeed,
                         testing::Values(SpeedCase{0, 2400}, SpeedCase{kSpeed19200, 19200},
                                         SpeedCase{kSpeed115200, 115200}));

TEST_F(Win32Port, TheDriverTakesEvenParityDtrEnableAndRtsToggle) {
    if (k54::test::runningUnderWine()) {
        GTEST_SKIP() << kPtyHasNoParityOrFlow;
    }
    ASSERT_TRUE(open());
    const DCB applied = appliedState();
    EXPECT_EQ(applied.Parity, EVENPARITY);
    EXPECT_EQ(applied.fParity, 0U);
    EXPECT_EQ(applied.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
    EXPECT_EQ(applied.fRtsControl, static_cast<DWORD>(RTS_CONTROL_TOGGLE));
}

TEST_F(Win32Port, TheDriverTakesTheFiveTimeouts) {
    ASSERT_TRUE(open());
    COMMTIMEOUTS applied{};
    ASSERT_TRUE(::GetCommTimeouts(backend->nativeHandle(), &applied));
    EXPECT_EQ(applied.ReadIntervalTimeout, 100U);
    EXPECT_EQ(applied.ReadTotalTimeoutMultiplier, 100U);
    EXPECT_EQ(applied.ReadTotalTimeoutConstant, 5000U);
    EXPECT_EQ(applied.WriteTotalTimeoutMultiplier, 10U);
    EXPECT_EQ(applied.WriteTotalTimeoutConstant, 10U);
}

TEST(Win32PortLimits, TheDriverTakesTheReadLimitsTheBackEndIsMadeWithAndThoseSetLater) {
    using std::chrono::milliseconds;
    const auto link = connectInstrument(19200);
    auto made = std::make_unique<Win32SerialBackend>(
        k54::soundOpenFailureBeep, k54::ReadTimeouts{milliseconds(30), milliseconds(3), milliseconds(300)});
    Win32SerialBackend& backend = *made;
    k54::cPort port(std::move(made));
    RecordingSink sink;
    ASSERT_TRUE(port.open(link->portNumber(), kSpeed19200, sink));
    COMMTIMEOUTS applied{};
    ASSERT_TRUE(::GetCommTimeouts(backend.nativeHandle(), &applied));
    EXPECT_EQ(applied.ReadIntervalTimeout, 30U);
    EXPECT_EQ(applied.ReadTotalTimeoutMultiplier, 3U);
    EXPECT_EQ(applied.ReadTotalTimeoutConstant, 300U);
    port.setReadTimeouts({milliseconds(40), milliseconds(4), milliseconds(40)});
    std::array<uint8_t, k54::kReceiveBufferSize> rx{};
    EXPECT_EQ(port.receive(1, rx), 0);  // a read applies them
    ASSERT_TRUE(::GetCommTimeouts(backend.nativeHandle(), &applied));
    EXPECT_EQ(applied.ReadIntervalTimeout, 40U);
    EXPECT_EQ(applied.ReadTotalTimeoutMultiplier, 4U);
    EXPECT_EQ(applied.ReadTotalTimeoutConstant, 40U);
}

TEST_F(Win32Port, DtrIsOffAfterOpen) {
    if (k54::test::runningUnderWine()) {
        GTEST_SKIP() << kPtyHasNoModemLines;
    }
    ASSERT_TRUE(open());
    ULONG lines = 0;
    DWORD returned = 0;
    ASSERT_TRUE(
        ::DeviceIoControl(backend->nativeHandle(), kGetDtrRts, nullptr, 0, &lines, sizeof(lines), &returned, nullptr));
    EXPECT_EQ(lines & kDtrState, 0U);
}

TEST_F(Win32Port, ClosingReleasesTheHandle) {
    ASSERT_TRUE(open());
    EXPECT_NE(backend->nativeHandle(), INVALID_HANDLE_VALUE);
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(backend->nativeHandle(), INVALID_HANDLE_VALUE);
    ASSERT_TRUE(open());
}

TEST_F(Win32Port, AHeldPortCannotBeOpenedASecondTime) {
    if (k54::test::runningUnderWine()) {
        GTEST_SKIP() << kWineSharesDevices;
    }
    ASSERT_TRUE(open());
    k54::cPort second(std::make_unique<Win32SerialBackend>([] {}));
    RecordingSink secondSink;
    EXPECT_FALSE(second.open(link->portNumber(), kSpeed19200, secondSink));
    EXPECT_EQ(secondSink.statuses,
              (std::vector<std::string>{"Ошибка инициализации Com" + std::to_string(link->portNumber())}));
}

TEST(Win32PortAlert, AFailedOpenSoundsTheAlertOnceAndAGoodOneNever) {
    const auto link = connectInstrument(19200);
    int alerts = 0;
    k54::cPort port(std::make_unique<Win32SerialBackend>([&alerts] { ++alerts; }));
    RecordingSink sink;
    EXPECT_FALSE(port.open(kPortWithoutDevice, kSpeed19200, sink));
    EXPECT_EQ(alerts, 1);
    EXPECT_TRUE(port.open(link->portNumber(), kSpeed19200, sink));
    EXPECT_EQ(alerts, 1);
}

TEST(Win32PortAlert, TheDefaultAlertIsTheBeepAndTheOpenStillFails) {
    k54::cPort port(std::make_unique<Win32SerialBackend>());
    RecordingSink sink;
    EXPECT_FALSE(port.open(kPortWithoutDevice, kSpeed19200, sink));
    EXPECT_EQ(sink.statuses, (std::vector<std::string>{"Ошибка инициализации Com200"}));
}

TEST(Win32PortNames, TheDeviceListSeesBothMappedPortsAsComNames) {
    const auto environment = k54::test::driverEnvironment();
    const std::vector<std::string> names = Win32SerialBackend().deviceNames();
    for (const uint8_t number : {environment.port, environment.shortPort}) {
        const std::string expected = "COM" + std::to_string(number);
        EXPECT_NE(std::ranges::find(names, expected), names.end()) << expected;
    }
    EXPECT_TRUE(std::ranges::none_of(names, [](const std::string& name) { return name.empty(); }));
}

TEST(Win32PortNames, TheShortAndTheNamespaceNameBothReachTheInstrument) {
    const auto link = connectInstrument(19200);
    const auto environment = k54::test::driverEnvironment();
    ASSERT_LT(environment.shortPort, 10);
    ASSERT_GE(environment.port, 10);
    for (const uint8_t number : {environment.shortPort, environment.port}) {
        SCOPED_TRACE(k54::cPort::deviceName(number));
        k54::cPort port(std::make_unique<Win32SerialBackend>());
        k54::mBus bus(port);
        RecordingSink sink;
        ASSERT_TRUE(port.open(number, kSpeed19200, sink));
        std::array<uint8_t, 8> tx{};
        std::array<uint8_t, k54::kReceiveBufferSize> rx{};
        EXPECT_EQ(bus.readRegisters(tx, rx, 1, 41, 2), 0);
        EXPECT_EQ(k54::replyRegister(rx, 0), 0x015A);
    }
}

struct DescribeCase {
    uint8_t port;
    const char* path;

    friend void PrintTo(const DescribeCase& c, std::ostream* os) { *os << "port " << int{c.port}; }
};

class Win32PortDescription : public testing::TestWithParam<DescribeCase> {};

TEST_P(Win32PortDescription, IsTheDeviceNamespacePath) {
    EXPECT_EQ(Win32SerialBackend().describe(GetParam().port), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Ports, Win32PortDescription,
                         testing::Values(DescribeCase{3, "\\\\.\\COM3"}, DescribeCase{10, "\\\\.\\COM10"},
                                         DescribeCase{255, "\\\\.\\COM255"}));

}  // namespace
