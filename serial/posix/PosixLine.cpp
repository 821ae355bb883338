#include "serial/posix/PosixLine.h"

#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <utility>

namespace k54 {

namespace {

constexpr std::array<std::pair<uint32_t, speed_t>, 7> kSpeeds{{
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
}};

bool speedFor(uint32_t baud, speed_t& speed) {
    for (const auto& [rate, code] : kSpeeds) {
        if (rate == baud) {
            speed = code;
            return true;
        }
    }
    return false;
}

}  // namespace

bool isSerialDevice(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode) || ::isatty(fd) == 0) {
        return false;
    }
    termios settings{};
    return ::tcgetattr(fd, &settings) == 0;
}

bool takeExclusively(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    return ::ioctl(fd, TIOCEXCL) == 0;
}

std::optional<termios> instrumentLineSettings(uint32_t baud) {
    speed_t speed = B0;
    if (!speedFor(baud, speed)) {
        return std::nullopt;
    }
    termios settings{};
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARODD | CRTSCTS);
    settings.c_cflag |= CS8 | PARENB | CLOCAL | CREAD;
    settings.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    ::cfsetispeed(&settings, speed);
    ::cfsetospeed(&settings, speed);
    return settings;
}

bool applyLineSettings(int fd, uint32_t baud) {
    const std::optional<termios> settings = instrumentLineSettings(baud);
    if (!settings) {
        return false;
    }
    // Like the platform it follows, the channel does not examine whether the driver took every setting.
    static_cast<void>(::tcsetattr(fd, TCSANOW, &*settings));
    return true;
}

bool enableKernelRs485(int fd) {
    serial_rs485 rs485{};
    rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
    return ::ioctl(fd, TIOCSRS485, &rs485) == 0;
}

SavedLine saveLine(int fd) {
    SavedLine saved;
    termios settings{};
    if (::tcgetattr(fd, &settings) == 0) {
        saved.settings = settings;
    }
    serial_rs485 rs485{};
    if (::ioctl(fd, TIOCGRS485, &rs485) == 0) {
        saved.rs485 = rs485;
    }
    return saved;
}

void restoreLine(int fd, const SavedLine& saved) {
    // The device is being let go: there is nobody to tell when it does not take them back.
    if (saved.rs485) {
        serial_rs485 rs485 = *saved.rs485;
        static_cast<void>(::ioctl(fd, TIOCSRS485, &rs485));
    }
    if (saved.settings) {
        static_cast<void>(::tcsetattr(fd, TCSANOW, &*saved.settings));
    }
}

}  // namespace k54
