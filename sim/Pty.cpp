#include "sim/Pty.h"

#include <fcntl.h>
#include <termios.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace k54::sim {

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::string slaveName(int masterFd) {
    std::vector<char> name(64);
    while (ptsname_r(masterFd, name.data(), name.size()) == ERANGE) name.resize(name.size() * 2);
    return std::string(name.data());
}

}  // namespace

PtyPair openPtyPair() {
    UniqueFd master(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!master.valid()) fail("cannot open a pseudo-terminal");
    if (grantpt(master.get()) != 0) fail("cannot grant the pseudo-terminal");
    if (unlockpt(master.get()) != 0) fail("cannot unlock the pseudo-terminal");
    std::string path = slaveName(master.get());
    return PtyPair{std::move(master), std::move(path)};
}

UniqueFd openRawSlave(const std::string& slavePath) {
    UniqueFd slave(::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!slave.valid()) fail("cannot open " + slavePath);
    termios settings{};
    if (tcgetattr(slave.get(), &settings) != 0) fail("cannot read the settings of " + slavePath);
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~static_cast<tcflag_t>(HUPCL);
    if (tcsetattr(slave.get(), TCSANOW, &settings) != 0) fail("cannot set " + slavePath + " raw");
    return slave;
}

}  // namespace k54::sim
