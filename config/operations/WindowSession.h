#pragma once
// What every window operation works with: the one state record, the window, the serial channel, the
// Modbus master, and the two facts it takes from the system (decimal separator, clock). Every exchange
// with the instrument goes through instrumentLink(), as the command-line program's do.
#include <ctime>
#include <functional>

#include "config/instrument/InstrumentLink.h"
#include "config/operations/K54cfg.h"
#include "config/rules/MeasurementListener.h"
#include "form/Form.h"
#include "modbus/K54mdb.h"
#include "serial/K54com.h"

namespace k54 {

struct SystemSettings {
    char decimalSeparator = '.';
    std::function<std::tm()> localTime;  // the PC's local date and time
};

struct WindowSession {
    k54L& k;
    Form& form;
    cPort& port;
    mBus& bus;
    const SystemSettings& system;
    MeasurementListener* measurementListener = nullptr;  // told of each poll; none by default
};

// The instrument at the link's slave address.
inline InstrumentLink instrumentLink(WindowSession& s) {
    return InstrumentLink(s.bus, s.k.slaveAddress);
}

}  // namespace k54
