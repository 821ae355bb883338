#pragma once

// What the Windows back end hands to the serial driver: the device control block for the instrument's
// line and the five communication time-outs.

#include <windows.h>

#include <cstdint>

namespace k54 {

// Input and output queue sizes asked of the driver (SetupComm).
inline constexpr DWORD kWin32QueueSize = 32;

// A device control block built from zero: the baud rate, 8 data bits, even parity, 1 stop bit, binary
// mode, received parity not checked, no flow control of any kind, no character replacement, DTR
// enabled, RTS toggled around transmission; every other field zero.
DCB win32LineSettings(uint32_t baud);

// Read interval 100 ms, read total 100 ms per byte + 5000 ms, write total 10 ms per byte + 10 ms.
COMMTIMEOUTS win32Timeouts();

}  // namespace k54
