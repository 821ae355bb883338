// k54ctl: the instrument from the command line. Gives the commands the process's own streams, tells
// them whether standard output and input are terminals, and catches Ctrl-C for the commands that ask.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "k54ctl/CommandLine.h"

namespace {

// Set by the signal handler only; read by the command between its steps.
volatile std::sig_atomic_t interruptCaught = 0;

extern "C" void catchInterrupt(int /*signal*/) {
    interruptCaught = 1;
}

bool isTerminal(std::FILE* stream) {
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return ::isatty(fileno(stream)) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The labels and item texts are UTF-8.
    SetConsoleOutputCP(CP_UTF8);
#endif
    const std::vector<std::string> args(argv + 1, argv + argc);
    k54::ctl::Console console(std::cout, std::cerr);
    console.outIsTerminal = isTerminal(stdout);
    console.inIsTerminal = isTerminal(stdin);
    console.readLine = []() -> std::optional<std::string> {
        std::string line;
        if (!std::getline(std::cin, line)) return std::nullopt;
        return line;
    };
    console.catchInterrupts = [] {
        std::signal(SIGINT, catchInterrupt);
        std::signal(SIGTERM, catchInterrupt);
    };
    console.interrupted = [] { return interruptCaught != 0; };
    return k54::ctl::runK54ctl(args, console);
}
