#pragma once
// One instrument on the line as the configuration files reach it, through the Modbus master at the
// instrument's address: its configuration registers and firmware version read, a parameter written.
// Each operation returns the Modbus result (0, an exception code, or kNoReply).
#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "config/files/ConfigFile.h"
#include "config/params/ParamTable.h"
#include "modbus/K54mdb.h"

namespace k54 {

// How far a long operation is: `done` of `total` steps (the total may grow while it runs).
using Progress = std::function<void(int done, int total)>;
// Whether a long operation is asked to stop before its next request (a signal to a command line program).
using StopRequest = std::function<bool()>;

struct FirmwareVersion {
    uint8_t v1 = 0, v2 = 0, v3 = 0, v4 = 0;
};
// "1.90.0013"
std::string firmwareText(const FirmwareVersion& version);

inline constexpr uint16_t kRegVersion = 41;               // registers 41 - 42: V1 V2 V3 V4
inline constexpr int32_t kMinDeviceVersion = 0x015A000D;  // v.1.90.0013
// The version bytes V1 V2 V3 V4 as one signed number (so that a V1 of 128 or more counts as old).
int32_t deviceVersion(uint8_t v1, uint8_t v2, uint8_t v3, uint8_t v4);

// Whether a program may work with the instrument that reported the version.
enum class FirmwareAcceptance {
    accepted,      // v.1.90.0013 or later
    noInstrument,  // V1 = 0: whatever answered is no instrument of this kind
    tooOld,        // older than v.1.90.0013
};
FirmwareAcceptance firmwareAcceptance(const FirmwareVersion& version);

class InstrumentLink {
public:
    InstrumentLink(mBus& bus, uint8_t address) : bus_(bus), address_(address) {}

    uint8_t address() const { return address_; }

    // Registers 0 - 38 in one request (function 3).
    uint8_t readConfiguration(RegisterImage& image);
    // Registers 41 - 42 (function 3).
    uint8_t readFirmware(FirmwareVersion& version);
    // Registers 60 - 61 (function 3): the live measured value in thousandths of the input type's unit.
    uint8_t readMeasurement(int32_t& thousandths);
    // One parameter's value: a narrow row by function 6, a wide row by function 16 as two registers,
    // high word first.
    uint8_t writeParameter(int rowIndex, int32_t value);
    // The address and speed parameters (registers 21 and 22) together in one request (function 16),
    // so that the instrument takes both over the link it answers on, whenever it applies them.
    uint8_t writeAddressAndSpeed(int32_t address, int32_t speed);

private:
    mBus& bus_;
    uint8_t address_;
    std::array<uint8_t, kReceiveBufferSize> tx_{}, rx_{};
};

// The instrument's configuration and firmware version (two requests), saved at `now`. The registers are
// as read, the password's too: the file written from them leaves it out.
uint8_t readSavedConfiguration(InstrumentLink& link, const std::tm& now, SavedConfiguration& saved);

}  // namespace k54
