#pragma once
// The instrument's holding registers 0 - 99, kept in the libmodbus mapping that answers requests:
// 0 - 38 the configuration (factory values at start), 41 - 42 the firmware version,
// 60 - 61 the live measurement (signed 32 bits, high word first). The rest read 0.
#include <modbus.h>

#include <chrono>
#include <cstdint>
#include <memory>

#include "sim/FirmwareVersion.h"

namespace k54::sim {

class RegisterBank {
public:
    static constexpr int kRegisterCount = 100;
    static constexpr int kInputTypeRegister = 0;
    static constexpr int kVersionHighRegister = 41;
    static constexpr int kVersionLowRegister = 42;
    static constexpr int kMeasurementHighRegister = 60;
    static constexpr int kMeasurementLowRegister = 61;

    explicit RegisterBank(FirmwareVersion version);

    // Throws std::out_of_range for a register outside 0 - 99.
    uint16_t get(int reg) const;
    void set(int reg, uint16_t value);

    void setVersion(FirmwareVersion version);

    // Writes the live measurement for the input type in register 0, `elapsed` after start; nothing
    // once the measurement is held.
    void refreshMeasurement(std::chrono::duration<double> elapsed);
    // Keeps registers 60 - 61 at what they hold from now on (a fixed measured value for tests).
    void holdMeasurement() { measurementHeld_ = true; }

    modbus_mapping_t* mapping() { return mapping_.get(); }

private:
    struct MappingDeleter {
        void operator()(modbus_mapping_t* mapping) const { modbus_mapping_free(mapping); }
    };

    uint16_t& slot(int reg) const;

    std::unique_ptr<modbus_mapping_t, MappingDeleter> mapping_;
    bool measurementHeld_ = false;
};

}  // namespace k54::sim
