#pragma once
// Where k54ctl talks to its user: standard output for what a command produces, standard error for
// diagnostics, standard input for a question's answer, and the signals that ask it to end (Ctrl-C,
// kill, a closed SSH session). main gives the process's own; tests give strings and a signal of their own.
#include <functional>
#include <optional>
#include <ostream>
#include <string>

namespace k54::ctl {

struct Console {
    Console(std::ostream& output, std::ostream& errors) : out(output), err(errors) {}

    std::ostream& out;
    std::ostream& err;
    bool outIsTerminal = false;  // a progress bar is drawn only then
    bool inIsTerminal = false;   // a question is asked only then
    // The next line of standard input; nothing at its end, or once a signal has asked the program to end.
    std::function<std::optional<std::string>()> readLine;
    // The same, not shown as it is typed where standard input is a terminal (a password).
    std::function<std::optional<std::string>()> readSecret;
    // The signal (SIGINT, SIGTERM, SIGHUP) that has asked the program to end, 0 while none has. A command
    // never dies of one: it ends the exchange in progress, sends nothing more and says what it did.
    std::function<int()> caughtSignal;

    int signalCaught() const { return caughtSignal ? caughtSignal() : 0; }
    bool wasInterrupted() const { return signalCaught() != 0; }
};

}  // namespace k54::ctl
