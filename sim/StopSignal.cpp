#include "sim/StopSignal.h"

#include <csignal>

namespace k54::sim {

namespace {

// The one piece of process-wide state: a signal handler can do nothing else safely.
volatile std::sig_atomic_t stopFlag = 0;

extern "C" void onStopSignal(int) {
    stopFlag = 1;
}

void handle(int signalNumber, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(signalNumber, &action, nullptr);
}

}  // namespace

void installStopHandlers() {
    handle(SIGINT, onStopSignal);
    handle(SIGTERM, onStopSignal);
    handle(SIGPIPE, SIG_IGN);
}

bool stopRequested() {
    return stopFlag != 0;
}

}  // namespace k54::sim
