#pragma once
// The command line of k54sim.
#include <optional>
#include <string>
#include <vector>

#include "sim/FaultSet.h"
#include "sim/FirmwareVersion.h"
#include "sim/Instrument.h"

namespace k54::sim {

// One --address: the instrument's address and, after '@', its own speed.
struct AddressOption {
    int address;
    std::optional<int> baud;
};

struct SimOptions {
    int port = 1;                          // the virtual port COMn
    std::string portsDir;                  // empty: the default ports folder
    int baud = 19200;                      // the speed of every instrument that names none
    std::vector<AddressOption> addresses;  // empty: one instrument at address 1
    FirmwareVersion firmware{};            // parsed from kDefaultFirmwareVersion unless given
    bool pacing = true;
    std::string tracePath;  // empty: no trace
    FaultSet faults;
    std::string controlPath;  // empty: no control FIFO
};

// The instruments on the line, in the order their addresses were given.
std::vector<InstrumentSetup> instrumentSetups(const SimOptions& options);

struct OptionsOutcome {
    enum class Action { Run, ShowHelp, ShowVersion, Refuse };
    Action action = Action::Run;
    SimOptions options;
    std::string error;  // why the command line is refused
};

// Reads the arguments after the program name. Options take their value as the next argument or
// after '=' (--port 7, --port=7).
OptionsOutcome parseSimOptions(const std::vector<std::string>& args);

std::string helpText();

}  // namespace k54::sim
