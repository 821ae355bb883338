#include "tests/sim/SimMaster.h"

#include <cerrno>
#include <stdexcept>

#include "config/params/ParamTable.h"

namespace k54::test {

namespace {

// The longest pause inside a reply the master waits out: long enough that a loaded machine's delay of
// the paced simulator is not taken for a gap, shorter than the gap the fault tests inject.
constexpr uint32_t kByteTimeoutMicroseconds = 500000;

}  // namespace

SimMaster::SimMaster(const std::string& device, int slave, int baud, std::chrono::milliseconds responseTimeout)
    : context_(modbus_new_rtu(device.c_str(), baud, 'E', 8, 1)) {
    if (context_ == nullptr) throw std::runtime_error("modbus_new_rtu refused " + device);
    modbus_set_slave(context_, slave);
    const auto micro = std::chrono::duration_cast<std::chrono::microseconds>(responseTimeout).count();
    modbus_set_response_timeout(context_, static_cast<uint32_t>(micro / 1000000),
                                static_cast<uint32_t>(micro % 1000000));
    modbus_set_byte_timeout(context_, 0, kByteTimeoutMicroseconds);
    if (modbus_connect(context_) != 0) {
        modbus_free(context_);
        throw std::runtime_error("cannot open " + device + ": " + modbus_strerror(errno));
    }
}

SimMaster::~SimMaster() {
    modbus_close(context_);
    modbus_free(context_);
}

Outcome SimMaster::read(int address, int count) {
    Outcome outcome;
    outcome.values.resize(static_cast<std::size_t>(count));
    outcome.rc = modbus_read_registers(context_, address, count, outcome.values.data());
    outcome.error = outcome.rc < 0 ? errno : 0;
    if (outcome.rc < 0) outcome.values.clear();
    return outcome;
}

Outcome SimMaster::writeOne(int address, uint16_t value) {
    const int rc = modbus_write_register(context_, address, value);
    return {rc, rc < 0 ? errno : 0, {}};
}

Outcome SimMaster::writeMany(int address, const std::vector<uint16_t>& values) {
    const int rc = modbus_write_registers(context_, address, static_cast<int>(values.size()), values.data());
    return {rc, rc < 0 ? errno : 0, {}};
}

int32_t measurementOf(const Outcome& read) {
    return decodeWide(read.values.at(0), read.values.at(1));
}

}  // namespace k54::test
