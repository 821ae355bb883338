#include "k54ctl/Ending.h"

#include <csignal>
#include <string>

#include "k54ctl/ExitStatus.h"
#include "k54ctl/ReachedInstrument.h"

namespace k54::ctl {
namespace {

std::string signalName(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT (Ctrl-C)";
        case SIGTERM:
            return "SIGTERM";
#ifdef SIGHUP
        case SIGHUP:
            return "SIGHUP (the terminal or session closed)";
#endif
        default:
            return "signal " + std::to_string(signal);
    }
}

}  // namespace

int endStatus(int status, Console& console) {
    if (!console.out.flush())
        status = complain(console, kExitUsage, "cannot write the standard output: what the command produced is lost");
    if (const int signal = console.signalCaught()) {
        complain(console, kExitSignalBase + signal, "ended by " + signalName(signal));
        return kExitSignalBase + signal;
    }
    return status;
}

}  // namespace k54::ctl
