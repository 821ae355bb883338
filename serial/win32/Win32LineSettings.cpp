#include "serial/win32/Win32LineSettings.h"

#include <algorithm>

namespace k54 {

namespace {

constexpr DWORD kWriteMillisecondsPerByte = 10;
constexpr DWORD kWriteMilliseconds = 10;

// A time limit as the driver takes it: whole milliseconds, negative ones as zero, huge ones cut to the
// largest the driver takes as a limit.
DWORD milliseconds(std::chrono::milliseconds limit) {
    const auto count = std::clamp<std::chrono::milliseconds::rep>(limit.count(), 0, MAXDWORD - 1);
    return static_cast<DWORD>(count);
}

}  // namespace

DCB win32LineSettings(uint32_t baud) {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = baud;
    dcb.ByteSize = 8;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    // The block starts at zero; the flags below are named so that each of the line's rules shows.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_TOGGLE;
    return dcb;
}

COMMTIMEOUTS win32Timeouts(const ReadTimeouts& read) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = milliseconds(read.interByte);
    timeouts.ReadTotalTimeoutMultiplier = milliseconds(read.perByte);
    timeouts.ReadTotalTimeoutConstant = milliseconds(read.constant);
    timeouts.WriteTotalTimeoutMultiplier = kWriteMillisecondsPerByte;
    timeouts.WriteTotalTimeoutConstant = kWriteMilliseconds;
    return timeouts;
}

COMMTIMEOUTS win32WaitTimeouts(std::chrono::milliseconds wait) {
    COMMTIMEOUTS timeouts = win32Timeouts();
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    // All three read limits zero would mean no limit at all.
    timeouts.ReadTotalTimeoutConstant = std::max<DWORD>(milliseconds(wait), 1);
    return timeouts;
}

}  // namespace k54
