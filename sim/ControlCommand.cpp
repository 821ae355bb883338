#include "sim/ControlCommand.h"

#include <algorithm>
#include <vector>

#include "sim/NumberText.h"
#include "sim/RegisterBank.h"

namespace k54::sim {

namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t position = 0;
    while (position < line.size()) {
        const auto start = line.find_first_not_of(" \t\r", position);
        if (start == std::string_view::npos) break;
        const auto end = std::min(line.find_first_of(" \t\r", start), line.size());
        result.push_back(line.substr(start, end - start));
        position = end;
    }
    return result;
}

ControlCommand parseFault(std::string_view fault, const FaultSet& currentFaults) {
    FaultSet faults = currentFaults;
    if (auto refused = addFault(faults, fault)) return RefusedCommand{*refused};
    return AddFault{faults};
}

ControlCommand parseSet(std::string_view regText, std::string_view valueText) {
    const auto reg = parseIntegerIn(regText, 0, RegisterBank::kRegisterCount - 1);
    if (!reg) return RefusedCommand{"set: no holding register '" + std::string(regText) + "' (0-99)"};
    const auto value = parseIntegerIn(valueText, -32768, 65535);
    if (!value) return RefusedCommand{"set: value '" + std::string(valueText) + "' is not -32768..65535"};
    return SetRegister{*reg, static_cast<uint16_t>(static_cast<uint32_t>(*value) & 0xFFFFu)};
}

ControlCommand parseVersion(std::string_view text) {
    const auto version = parseFirmwareVersion(text);
    if (!version)
        return RefusedCommand{"version '" + std::string(text) + "': " + std::string(firmwareVersionFormatHint())};
    return SetVersion{*version};
}

}  // namespace

ControlCommand parseControlCommand(std::string_view line, const FaultSet& currentFaults) {
    const auto parts = words(line);
    if (parts.size() == 2 && parts.at(0) == "fault") return parseFault(parts.at(1), currentFaults);
    if (parts.size() == 1 && parts.at(0) == "clear") return ClearFaults{};
    if (parts.size() == 3 && parts.at(0) == "set") return parseSet(parts.at(1), parts.at(2));
    if (parts.size() == 2 && parts.at(0) == "version") return parseVersion(parts.at(1));
    return RefusedCommand{"unknown command '" + std::string(line) +
                          "' (fault FAULT | clear | set REG VALUE | version V)"};
}

}  // namespace k54::sim
