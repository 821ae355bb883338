#pragma once
// Commands read from the control FIFO while the simulated instrument runs, one per line:
//   fault FAULT [FAULT...]     the line's faults become exactly these, replacing those in force
//   clear                      no faults
//   reset                      every instrument as k54sim started it (registers, firmware, speed, live
//                              measurement) and the faults given on its command line
//   [@ADDR] set REG VALUE      set holding register REG (0-99) to VALUE (-32768..65535; negative as
//                              two's complement)
//   [@ADDR] firmware V         report firmware version V (V1.V2.V3V4)
//   [@ADDR] baud B             answer at speed B from now on
// Faults and the reset belong to the line; "@ADDR" names the instrument a register, firmware or speed
// command is for, and without it the command is for the first instrument.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "sim/FaultSet.h"
#include "sim/FirmwareVersion.h"

namespace k54::sim {

struct SetFaults {
    FaultSet faults;
};
struct ResetLine {};
struct SetRegister {
    int reg;
    uint16_t value;
};
struct SetFirmware {
    FirmwareVersion version;
};
struct SetBaud {
    int baud;
};
// A command for one instrument: the one at the address "@ADDR" named, or without it the first one.
struct InstrumentCommand {
    std::optional<int> address;
    std::variant<SetRegister, SetFirmware, SetBaud> action;
};
struct RefusedCommand {
    std::string reason;
};

using ControlCommand = std::variant<SetFaults, ResetLine, InstrumentCommand, RefusedCommand>;

ControlCommand parseControlCommand(std::string_view line);

}  // namespace k54::sim
