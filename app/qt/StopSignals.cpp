#include "app/qt/StopSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifndef _WIN32
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <stdexcept>

#include "serial/posix/UniqueFd.h"
#endif

namespace k54 {

int StopSignals::exitStatusFor(int signalNumber) {
    return 128 + signalNumber;
}

#ifdef _WIN32

// A window program on Windows is ended through its window's messages; there are no such signals to catch.
struct StopSignals::Handlers {};

StopSignals::StopSignals(std::function<void(int)>) {}
StopSignals::~StopSignals() = default;

#else

namespace {

constexpr std::array kStopSignals{SIGTERM, SIGINT, SIGHUP};

// The write end of the wake-up socket. A signal handler can reach nothing but process-wide state, and it
// may only write to a descriptor, so this one descriptor is the only global the program keeps; it is set
// before the handlers are installed and cleared after they are removed.
volatile std::sig_atomic_t wakeFd = -1;

extern "C" void onStopSignal(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    static_cast<void>(::write(wakeFd, &byte, 1));
    errno = savedErrno;
}

}  // namespace

// The usual self-pipe: the handler writes the signal's number into a socket pair, and the event loop,
// woken by the other end, leaves exec() with the signal's exit status.
struct StopSignals::Handlers {
    UniqueFd readEnd;
    UniqueFd writeEnd;
    std::unique_ptr<QSocketNotifier> notifier;
    std::array<struct sigaction, kStopSignals.size()> previous{};
    std::array<bool, kStopSignals.size()> installed{};
};

StopSignals::StopSignals(std::function<void(int)> stop) : handlers_(std::make_unique<Handlers>()) {
    if (!stop) stop = [](int exitStatus) { QCoreApplication::exit(exitStatus); };
    if (wakeFd != -1) throw std::logic_error("StopSignals: only one instance at a time");
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0)
        throw std::runtime_error("StopSignals: no socket pair for the signal handlers");
    handlers_->readEnd.reset(ends[0]);
    handlers_->writeEnd.reset(ends[1]);
    wakeFd = ends[1];

    const int readFd = handlers_->readEnd.get();
    handlers_->notifier = std::make_unique<QSocketNotifier>(readFd, QSocketNotifier::Read);
    QObject::connect(handlers_->notifier.get(), &QSocketNotifier::activated, [readFd, stop = std::move(stop)] {
        unsigned char signalNumber = 0;
        if (::read(readFd, &signalNumber, 1) == 1) stop(exitStatusFor(signalNumber));
    });

    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        struct sigaction& previous = handlers_->previous[i];
        if (::sigaction(kStopSignals[i], nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) continue;
        handlers_->installed[i] = ::sigaction(kStopSignals[i], &action, nullptr) == 0;
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        if (handlers_->installed[i]) ::sigaction(kStopSignals[i], &handlers_->previous[i], nullptr);
    wakeFd = -1;
}

#endif

}  // namespace k54
