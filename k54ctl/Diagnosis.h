#pragma once
// What failed and what to check, in the words k54ctl writes to standard error.
#include <string>

#include "modbus/ExchangeReport.h"
#include "serial/OpenFailure.h"

namespace k54::ctl {

// Why the port did not open and what to do about it, e.g. "cannot open COM33 (/dev/ttyUSB0):
// permission denied. Add yourself to the group dialout ...".
std::string openFailureText(const OpenFailure& failure, const std::string& portName, uint32_t baud);

// Where a request went: the port, the speed and the address, for the texts below.
struct LinePlace {
    std::string port;
    uint32_t baud;
    int address;
};

// What an exchange that did not succeed came to and what to check, after `what` ("reading the
// configuration"): an address or speed that is not the instrument's, the wiring, a garbled line,
// another instrument at the address, the instrument's refusal.
std::string exchangeFailureText(const std::string& what, const ExchangeReport& report, const LinePlace& place);

}  // namespace k54::ctl
