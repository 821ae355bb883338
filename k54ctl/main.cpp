// k54ctl: the instrument from the command line. Gives the commands the process's own streams, tells
// them whether standard output and input are terminals, and catches the signals that ask the program to
// end (Ctrl-C, kill, a closed SSH session) from the start, so that no command dies in the middle of a
// write, with the port's lock and line settings left behind.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#endif

#include "k54ctl/CommandLine.h"

namespace {

// Set by the signal handler only; read by the command between its steps.
volatile std::sig_atomic_t signalCaught = 0;

extern "C" void catchSignal(int signal) {
    signalCaught = signal;
}

bool isTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return ::isatty(fileno(stream)) != 0;
#endif
}

#ifdef _WIN32
void catchSignals() {
    std::signal(SIGINT, catchSignal);
    std::signal(SIGTERM, catchSignal);
}

bool inputWaiting() {
    return true;
}
#else
// Interrupted system calls are restarted (the serial line's waits retry by themselves); only the wait
// for an answer on standard input looks at the signal, in inputWaiting.
void catchSignals() {
    struct sigaction action {};
    action.sa_handler = catchSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

// Waits until standard input has something to read; false when a signal came first.
bool inputWaiting() {
    constexpr int kSignalCheckMs = 100;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    while (signalCaught == 0) {
        if (::poll(&input, 1, kSignalCheckMs) > 0) return true;
    }
    return false;
}
#endif

std::optional<std::string> readInputLine() {
    std::string line;
    if (!inputWaiting() || !std::getline(std::cin, line)) return std::nullopt;
    return line;
}

// A line typed without being shown, on a terminal; elsewhere (a pipe, a file) the line as it comes.
std::optional<std::string> readHiddenLine() {
#ifdef _WIN32
    return readInputLine();
#else
    termios shown{};
    if (::tcgetattr(STDIN_FILENO, &shown) != 0) return readInputLine();
    termios hidden = shown;
    hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    auto line = readInputLine();
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &shown);
    std::cerr << std::endl;  // the Enter that was not shown
    return line;
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The labels and item texts are UTF-8.
    SetConsoleOutputCP(CP_UTF8);
#endif
    catchSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    k54::ctl::Console console(std::cout, std::cerr);
    console.outIsTerminal = isTerminal(stdout);
    console.inIsTerminal = isTerminal(stdin);
    console.readLine = readInputLine;
    console.readSecret = readHiddenLine;
    console.caughtSignal = [] { return static_cast<int>(signalCaught); };
    return k54::ctl::runK54ctl(args, console);
}
