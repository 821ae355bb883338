#pragma once
// Commands read from the control FIFO while the simulated instrument runs:
//   fault FAULT     add a fault (see FaultSet)
//   clear           remove every fault
//   set REG VALUE   set holding register REG (0-99) to VALUE (-32768..65535; negative as two's complement)
//   version V       report firmware version V (V1.V2.V3V4)
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "sim/FaultSet.h"
#include "sim/FirmwareVersion.h"

namespace k54::sim {

struct AddFault {
    FaultSet faults;  // the current faults with the new one added
};
struct ClearFaults {};
struct SetRegister {
    int reg;
    uint16_t value;
};
struct SetVersion {
    FirmwareVersion version;
};
struct RefusedCommand {
    std::string reason;
};

using ControlCommand = std::variant<AddFault, ClearFaults, SetRegister, SetVersion, RefusedCommand>;

// Reads one command line against the faults now in force.
ControlCommand parseControlCommand(std::string_view line, const FaultSet& currentFaults);

}  // namespace k54::sim
