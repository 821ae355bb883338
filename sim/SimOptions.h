#pragma once
// The command line of k54sim.
#include <string>
#include <vector>

#include "sim/FaultSet.h"
#include "sim/FirmwareVersion.h"

namespace k54::sim {

struct SimOptions {
    int port = 1;          // the virtual port COMn
    std::string portsDir;  // empty: the default ports folder
    int baud = 19200;
    int address = 1;
    FirmwareVersion version{};  // parsed from kDefaultFirmwareVersion unless given
    bool pacing = true;
    std::string tracePath;  // empty: no trace
    FaultSet faults;
    std::string controlPath;  // empty: no control FIFO
};

struct OptionsOutcome {
    enum class Action { Run, ShowHelp, Refuse };
    Action action = Action::Run;
    SimOptions options;
    std::string error;  // why the command line is refused
};

// Reads the arguments after the program name. Options take their value as the next argument or
// after '=' (--port 7, --port=7).
OptionsOutcome parseSimOptions(const std::vector<std::string>& args);

std::string helpText();

}  // namespace k54::sim
