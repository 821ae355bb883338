#pragma once
// What every configuration operation works with: the one state record, the window, the serial
// channel, the Modbus master, and the two facts it takes from the system (decimal separator, clock).
#include <ctime>
#include <functional>

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

}  // namespace k54
