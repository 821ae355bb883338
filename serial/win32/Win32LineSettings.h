#pragma once

// What the Windows back end hands to the serial driver: the device control block for the instrument's
// line and the five communication time-outs.

#include "serial/ReadTimeouts.h"

#include <windows.h>

#include <chrono>
#include <cstdint>

namespace k54 {

// Input and output queue sizes asked of the driver (SetupComm).
inline constexpr DWORD kWin32QueueSize = 32;

// A device control block built from zero: the baud rate, 8 data bits, even parity, 1 stop bit, binary
// mode, received parity not checked, no flow control of any kind, no character replacement, DTR
// enabled, RTS toggled around transmission; every other field zero.
DCB win32LineSettings(uint32_t baud);

// The read limits as given (the described ones: interval 100 ms, total 100 ms per byte + 5000 ms) and
// the write total of 10 ms per byte + 10 ms.
COMMTIMEOUTS win32Timeouts(const ReadTimeouts& read = {});

// For a read that ends when its count has come or `wait` (at least 1 ms) has passed: no interval
// limit, no multiplier, the wait as the total constant; the write limits as in win32Timeouts.
COMMTIMEOUTS win32WaitTimeouts(std::chrono::milliseconds wait);

}  // namespace k54
