#pragma once
// Where k54ctl talks to its user: standard output for what a command produces, standard error for
// diagnostics, standard input for a question's answer, and Ctrl-C. main gives the process's own; tests
// give strings.
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
    // The next line of standard input; nothing at its end.
    std::function<std::optional<std::string>()> readLine;
    // From this call on, Ctrl-C (and SIGTERM) asks the command to end rather than ending the program;
    // for the commands that can end cleanly at any moment (scan, watch). Nothing to do where not given.
    std::function<void()> catchInterrupts;
    // Whether an interrupt has been caught.
    std::function<bool()> interrupted;

    bool wasInterrupted() const { return interrupted && interrupted(); }
};

}  // namespace k54::ctl
