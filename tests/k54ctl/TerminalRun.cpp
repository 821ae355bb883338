#include "tests/k54ctl/TerminalRun.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace k54::ctl::test {
namespace {

using Clock = std::chrono::steady_clock;

int statusOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus)) return 128 + WTERMSIG(waitStatus);
    return -1;
}

}  // namespace

TerminalRun::TerminalRun(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    termios raw{};
    ::cfmakeraw(&raw);
    raw.c_oflag |= OPOST | ONLCR;  // a terminal as a shell leaves it: "\n" shown as "\r\n"
    raw.c_lflag |= ICANON;         // lines typed are read whole
    pid_ = ::forkpty(&master_, nullptr, &raw, nullptr);
    if (pid_ < 0) throw std::runtime_error(std::string("forkpty: ") + std::strerror(errno));
    if (pid_ == 0) {
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
}

TerminalRun::~TerminalRun() {
    if (!exitStatus_ && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    if (master_ >= 0) ::close(master_);
}

bool TerminalRun::readSome(std::chrono::milliseconds timeout) {
    pollfd ready{master_, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(timeout.count())) <= 0) return false;
    std::array<char, 4096> chunk{};
    const ssize_t got = ::read(master_, chunk.data(), chunk.size());
    if (got <= 0) return false;  // EIO once the program's side has closed
    shown_.append(chunk.data(), static_cast<std::size_t>(got));
    return true;
}

bool TerminalRun::waitFor(const std::string& text, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (shown_.find(text) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        if (left.count() <= 0) return false;
        readSome(std::min(left, std::chrono::milliseconds(50)));
    }
    return true;
}

void TerminalRun::type(const std::string& line) {
    const std::string typed = line + "\n";
    if (::write(master_, typed.data(), typed.size()) != static_cast<ssize_t>(typed.size()))
        throw std::runtime_error("cannot type into the terminal");
}

void TerminalRun::sendSignal(int signalNumber) {
    if (!exitStatus_) ::kill(pid_, signalNumber);
}

std::optional<int> TerminalRun::waitExit(std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (!exitStatus_) {
        readSome(std::chrono::milliseconds(20));
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            exitStatus_ = statusOf(status);
            while (readSome(std::chrono::milliseconds(20))) {
            }
            break;
        }
        if (Clock::now() >= end) break;
    }
    return exitStatus_;
}

}  // namespace k54::ctl::test
