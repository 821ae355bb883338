#include "sim/RegisterBank.h"

#include <new>
#include <span>
#include <stdexcept>
#include <string>

#include "config/params/ParamTable.h"
#include "sim/LiveMeasurement.h"

namespace k54::sim {

RegisterBank::RegisterBank(FirmwareVersion version) : mapping_(modbus_mapping_new(0, 0, kRegisterCount, 0)) {
    if (!mapping_) throw std::bad_alloc();
    const auto factoryImage = registerImage(kParamTemplate, true);
    for (std::size_t reg = 0; reg < factoryImage.size(); ++reg) set(static_cast<int>(reg), factoryImage.at(reg));
    setVersion(version);
}

uint16_t& RegisterBank::slot(int reg) const {
    const std::span<uint16_t> registers(mapping_->tab_registers, static_cast<std::size_t>(mapping_->nb_registers));
    if (reg < 0 || static_cast<std::size_t>(reg) >= registers.size()) {
        throw std::out_of_range("no holding register " + std::to_string(reg));
    }
    return registers[static_cast<std::size_t>(reg)];
}

uint16_t RegisterBank::get(int reg) const {
    return slot(reg);
}

void RegisterBank::set(int reg, uint16_t value) {
    slot(reg) = value;
}

void RegisterBank::setVersion(FirmwareVersion version) {
    set(kVersionHighRegister, version.high);
    set(kVersionLowRegister, version.low);
}

void RegisterBank::refreshMeasurement(std::chrono::duration<double> elapsed) {
    if (measurementHeld_) return;
    const int32_t inputType = decodeNarrow(get(kInputTypeRegister));
    const auto words = encodeWide(liveMeasurement(inputType, elapsed));
    set(kMeasurementHighRegister, words[0]);
    set(kMeasurementLowRegister, words[1]);
}

}  // namespace k54::sim
