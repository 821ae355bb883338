#pragma once

// Setting up an opened POSIX serial device for the instrument's line.

#include <linux/serial.h>
#include <termios.h>

#include <cstdint>
#include <optional>

namespace k54 {

// True when fd is a terminal device (character device answering tcgetattr).
bool isSerialDevice(int fd);
// Takes the device for this program alone: a non-blocking flock, then TIOCEXCL. False when another
// program holds it.
bool takeExclusively(int fd);
// The line settings record for raw 8E1 at the baud rate (received parity not checked), receiver on,
// modem lines ignored, no flow control; nullopt for a baud rate the line cannot take.
std::optional<termios> instrumentLineSettings(uint32_t baud);
// Applies instrumentLineSettings(baud) to the device; false for a baud rate the line cannot take.
bool applyLineSettings(int fd, uint32_t baud);
// Hands RTS to the kernel's RS-485 mode (RTS on while sending); false where the driver refuses.
bool enableKernelRs485(int fd);

// The device's own line settings and RS-485 mode as they were before this program changed them.
struct SavedLine {
    std::optional<termios> settings;    // nothing when the device would not tell them
    std::optional<serial_rs485> rs485;  // nothing where the driver has no RS-485 mode
};
SavedLine saveLine(int fd);
// Puts back what saveLine found, so that the port is left as it was found (an RS-232 port whose driver
// knows RS-485 does not stay in RS-485 mode).
void restoreLine(int fd, const SavedLine& saved);

}  // namespace k54
