#include "config/instrument/InstrumentLink.h"

#include "base/TextFormat.h"
#include "config/rules/MeasurementConversion.h"

namespace k54 {

std::string firmwareText(const FirmwareVersion& version) {
    return formatText("%01d.%02d.%02d%02d", version.v1, version.v2, version.v3, version.v4);
}

int32_t deviceVersion(uint8_t v1, uint8_t v2, uint8_t v3, uint8_t v4) {
    const uint32_t bits = (uint32_t{v1} << 24) | (uint32_t{v2} << 16) | (uint32_t{v3} << 8) | v4;
    return static_cast<int32_t>(bits);
}

FirmwareAcceptance firmwareAcceptance(const FirmwareVersion& version) {
    if (version.v1 == 0) return FirmwareAcceptance::noInstrument;
    if (deviceVersion(version.v1, version.v2, version.v3, version.v4) < kMinDeviceVersion)
        return FirmwareAcceptance::tooOld;
    return FirmwareAcceptance::accepted;
}

uint8_t InstrumentLink::readConfiguration(RegisterImage& image) {
    const uint8_t result = bus_.readRegisters(tx_, rx_, address_, 0, kConfigRegisterCount);
    if (result != 0) return result;
    for (int k = 0; k < kConfigRegisterCount; ++k) image.at(static_cast<std::size_t>(k)) = replyRegister(rx_, k);
    return 0;
}

uint8_t InstrumentLink::readFirmware(FirmwareVersion& version) {
    const uint8_t result = bus_.readRegisters(tx_, rx_, address_, kRegVersion, 2);
    if (result != 0) return result;
    const uint16_t high = replyRegister(rx_, 0), low = replyRegister(rx_, 1);
    version = {static_cast<uint8_t>(high >> 8), static_cast<uint8_t>(high & 0xFFu), static_cast<uint8_t>(low >> 8),
               static_cast<uint8_t>(low & 0xFFu)};
    return 0;
}

uint8_t InstrumentLink::readMeasurement(int32_t& thousandths) {
    const uint8_t result = bus_.readRegisters(tx_, rx_, address_, kRegMeasurement, 2);
    if (result == 0) thousandths = decodeWide(replyRegister(rx_, 0), replyRegister(rx_, 1));
    return result;
}

uint8_t InstrumentLink::writeParameter(int rowIndex, int32_t value) {
    const ParamRow& row = kParamTemplate.at(static_cast<std::size_t>(rowIndex));
    if (row.wide) {
        const auto words = encodeWide(value);
        const std::array<int16_t, 2> values{static_cast<int16_t>(words[0]), static_cast<int16_t>(words[1])};
        return bus_.writeRegisters(tx_, rx_, address_, row.reg, 2, values);
    }
    return bus_.writeRegister(tx_, rx_, address_, row.reg, static_cast<int16_t>(encodeNarrow(value)));
}

uint8_t InstrumentLink::writeAddressAndSpeed(int32_t address, int32_t speed) {
    const std::array<int16_t, 2> values{static_cast<int16_t>(encodeNarrow(address)),
                                        static_cast<int16_t>(encodeNarrow(speed))};
    return bus_.writeRegisters(tx_, rx_, address_, kParamTemplate.at(row::Adr).reg, 2, values);
}

uint8_t readSavedConfiguration(InstrumentLink& link, const std::tm& now, SavedConfiguration& saved) {
    RegisterImage image{};
    FirmwareVersion version;
    uint8_t result = link.readConfiguration(image);
    if (result == 0) result = link.readFirmware(version);
    if (result != 0) return result;
    saved = {firmwareText(version), savedAtText(now), image};
    return 0;
}

}  // namespace k54
