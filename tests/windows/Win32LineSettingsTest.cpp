// What the Windows back end hands to the serial driver: the device control block built from zero and
// the five communication time-outs.

#include "serial/win32/Win32LineSettings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <utility>

namespace {

using k54::win32LineSettings;

struct FieldCase {
    const char* name;
    DWORD (*field)(const DCB&);
    DWORD expected;

    friend void PrintTo(const FieldCase& c, std::ostream* os) { *os << c.name; }
};

class Win32LineSettings : public testing::TestWithParam<FieldCase> {};

TEST_P(Win32LineSettings, SetsTheField) {
    EXPECT_EQ(GetParam().field(win32LineSettings(19200)), GetParam().expected);
}

// Most of the block's flags are bit-fields, which no member pointer can name: a macro reads each one.
#define K54_DCB_FIELD(name, expected)                                            \
    FieldCase {                                                                  \
#name, [](const DCB& d) { return static_cast<DWORD>(d.name); }, expected \
    }

INSTANTIATE_TEST_SUITE_P(Fields, Win32LineSettings,
                         testing::Values(K54_DCB_FIELD(DCBlength, sizeof(DCB)), K54_DCB_FIELD(BaudRate, 19200),
                                         K54_DCB_FIELD(ByteSize, 8), K54_DCB_FIELD(Parity, EVENPARITY),
                                         K54_DCB_FIELD(StopBits, ONESTOPBIT), K54_DCB_FIELD(fBinary, 1),
                                         K54_DCB_FIELD(fParity, 0), K54_DCB_FIELD(fOutxCtsFlow, 0),
                                         K54_DCB_FIELD(fOutxDsrFlow, 0), K54_DCB_FIELD(fDtrControl, DTR_CONTROL_ENABLE),
                                         K54_DCB_FIELD(fDsrSensitivity, 0), K54_DCB_FIELD(fTXContinueOnXoff, 0),
                                         K54_DCB_FIELD(fOutX, 0), K54_DCB_FIELD(fInX, 0), K54_DCB_FIELD(fErrorChar, 0),
                                         K54_DCB_FIELD(fNull, 0), K54_DCB_FIELD(fRtsControl, RTS_CONTROL_TOGGLE),
                                         K54_DCB_FIELD(fAbortOnError, 0), K54_DCB_FIELD(XonLim, 0),
                                         K54_DCB_FIELD(XoffLim, 0), K54_DCB_FIELD(XonChar, 0),
                                         K54_DCB_FIELD(XoffChar, 0), K54_DCB_FIELD(ErrorChar, 0),
                                         K54_DCB_FIELD(EofChar, 0), K54_DCB_FIELD(EvtChar, 0)),
                         [](const testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.name); });

#undef K54_DCB_FIELD

TEST(Win32LineSettingsBlock, OnlyTheBaudRateDependsOnTheSpeed) {
    DCB slow = win32LineSettings(2400);
    DCB fast = win32LineSettings(115200);
    EXPECT_EQ(slow.BaudRate, 2400U);
    EXPECT_EQ(fast.BaudRate, 115200U);
    fast.BaudRate = slow.BaudRate;
    EXPECT_EQ(std::memcmp(&slow, &fast, sizeof(DCB)), 0);
}

TEST(Win32Timeouts, AreTheChannelsFiveLimits) {
    const COMMTIMEOUTS timeouts = k54::win32Timeouts();
    EXPECT_EQ(timeouts.ReadIntervalTimeout, 100U);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 100U);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 5000U);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 10U);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 10U);
}

TEST(Win32Timeouts, TakeTheReadLimitsGivenAndKeepTheWriteLimits) {
    using std::chrono::milliseconds;
    const COMMTIMEOUTS timeouts = k54::win32Timeouts({milliseconds(20), milliseconds(2), milliseconds(50)});
    EXPECT_EQ(timeouts.ReadIntervalTimeout, 20U);
    EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 2U);
    EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 50U);
    EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 10U);
    EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 10U);
}

// A wait of zero would leave all three read limits zero, which the driver takes as no limit at all.
TEST(Win32Timeouts, AWaitIsTheTotalConstantAloneAndNeverZero) {
    using std::chrono::milliseconds;
    for (const auto& [wait, constant] :
         {std::pair{milliseconds(37), 37U}, std::pair{milliseconds(0), 1U}, std::pair{milliseconds(-5), 1U}}) {
        const COMMTIMEOUTS timeouts = k54::win32WaitTimeouts(wait);
        EXPECT_EQ(timeouts.ReadIntervalTimeout, 0U);
        EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, 0U);
        EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, constant) << wait.count() << " ms";
    }
}

}  // namespace
